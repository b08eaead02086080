// The update document comes from a server: whatever it says, only an http or
// https address may come out as a page to open.
#include "settings/updatecheck.h"

#include <QString>
#include <QUrl>

#include <cstddef>
#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QString document =
        QString::fromUtf8(reinterpret_cast<const char *>(data), static_cast<qsizetype>(size));
    const auto verdict = UpdateReply::evaluate(document);
    if (verdict.result == UpdateReply::Result::NewUpdate) {
        const QString scheme = QUrl(verdict.address).scheme().toLower();
        if (scheme != QLatin1String("http") && scheme != QLatin1String("https"))
            std::abort();
    }
    return 0;
}
