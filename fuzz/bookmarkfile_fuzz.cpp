#include "base/errors.h"
#include "engine/control/bookmarkstore.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <optional>

// The bookmark store on any bytes as its file: reading gives a valid
// bookmark, none, or a clear error; saving another disc's bookmark keeps the
// one already there, and a file too damaged to read is set aside byte for
// byte, never lost.
namespace
{

const QString kKeptDisc = QStringLiteral("0123456789abcdef0123456789abcdef");
const QString kNewDisc = QStringLiteral("fedcba9876543210fedcba9876543210");

QTemporaryDir &scratch()
{
    static const auto dir = std::make_unique<QTemporaryDir>();
    return *dir;
}

void require(bool condition)
{
    if (!condition)
        std::abort();
}

std::optional<BookmarkStore::Record> loaded(const BookmarkStore &store, bool &damaged)
{
    try {
        damaged = false;
        const std::optional<BookmarkStore::Record> record = store.load(kKeptDisc);
        require(!record || BookmarkStore::isValid(*record));
        return record;
    } catch (const AppError &) {
        damaged = true;
        return std::nullopt;
    }
}

QByteArray contentsOf(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    QDir dir(scratch().path());
    if (!scratch().isValid() || !dir.removeRecursively() || !QDir().mkpath(dir.path()))
        return 0;
    const QString path = dir.filePath(QStringLiteral("bookmarks.json"));
    const QByteArray original(reinterpret_cast<const char *>(data), qsizetype(size));
    {
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly) || file.write(original) != original.size())
            return 0;
    }
    BookmarkStore store(path);
    bool damaged = false;
    const std::optional<BookmarkStore::Record> before = loaded(store, damaged);

    const BookmarkStore::Record record{3, 2, 61.5, 1, 1, 0x41, true};
    try {
        store.save(kNewDisc, record);
    } catch (const AppError &) {
        return 0;
    }
    require(store.load(kNewDisc) == record);
    bool damagedAfter = false;
    require(loaded(store, damagedAfter) == before && !damagedAfter);
    if (damaged)
        require(contentsOf(path + QStringLiteral(".damaged")) == original);
    require(store.remove(kNewDisc) && !store.load(kNewDisc));
    return 0;
}
