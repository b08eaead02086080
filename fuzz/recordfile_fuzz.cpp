// The record reader on any bytes: a record file, a colour scheme or whatever
// else was copied into the database folder. It must return lines or throw
// AppError, never crash, hang or read without bound.
#include "base/errors.h"
#include "dvddb/recordfile.h"

#include <QDir>
#include <QFile>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <unistd.h>

namespace
{

// One scratch file per run, removed when the run ends.
struct ScratchFile {
    const QString path =
        QDir::tempPath() + QStringLiteral("/recordfile_fuzz_%1.dvd").arg(::getpid());
    ~ScratchFile() { QFile::remove(path); }
};

QString scratchPath()
{
    static const ScratchFile scratch;
    return scratch.path;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    QFile file(scratchPath());
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return 0;
    file.write(reinterpret_cast<const char *>(data), qint64(size));
    file.close();
    try {
        const QStringList record = RecordFile::readRecord(scratchPath());
        if (record.size() != RecordFile::kRecordLines)
            std::abort();
        const QStringList lines = RecordFile::readLines(scratchPath());
        if (!lines.isEmpty() && RecordFile::readTitle(scratchPath()) != lines.first())
            std::abort();
    } catch (const AppError &) {
    }
    return 0;
}
