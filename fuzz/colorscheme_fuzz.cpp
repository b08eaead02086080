// Colour scheme files come from other people: any bytes must parse to one of
// the three outcomes without a fault.
#include "settings/colorscheme.h"

#include <QByteArrayView>

#include <cstddef>
#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const auto content = ColorScheme::parse(
        QByteArrayView(reinterpret_cast<const char *>(data), static_cast<qsizetype>(size)));
    using Outcome = ColorScheme::FileContent::Outcome;
    if (content.colors.size() > 6 ||
        (content.outcome == Outcome::Complete && content.colors.size() != 6))
        std::abort();
    return 0;
}
