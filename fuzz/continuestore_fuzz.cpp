// The continue file's reader on any bytes: it must give entries that can be
// trusted (valid identifiers and places, at most the store's limit) or
// nothing, never crash or read without bound; what it gives writes back and
// reads the same.
#include "core/continuestore.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    const auto entries = ContinueStore::parse(bytes);
    if (!entries)
        return 0;
    if (int(entries->size()) > ContinueStore::kMaxDiscs)
        std::abort();
    const auto again = ContinueStore::parse(ContinueStore::serialize(*entries));
    if (!again || again->size() != entries->size())
        std::abort();
    for (std::size_t i = 0; i < entries->size(); ++i) {
        if (again->at(i).discId != entries->at(i).discId ||
            !(again->at(i).place == entries->at(i).place))
            std::abort();
    }
    return 0;
}
