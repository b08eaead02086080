#include "base/errors.h"
#include "engine/source/dvdsource.h"

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

// A disc opened as the player opens it (found, its IFO files read, its video
// checked) from a small description of its files. The input is a layout
// byte, then chunks of (file byte, offset as 4 bytes little-endian, length as
// 2 bytes little-endian, that many bytes) written into zero-filled files:
// layout 0 is an ISO image (file 0), any other a VIDEO_TS folder of
// VIDEO_TS.IFO (file 0) and VTS_01_0.IFO (file 1). Kept inputs hold only the
// parts of real discs that are not zero.
namespace
{

constexpr uint32_t kLargestFile = 4 * 1024 * 1024;

struct Chunk {
    uint8_t file = 0;
    uint32_t offset = 0;
    const uint8_t *bytes = nullptr;
    size_t length = 0;
};

std::vector<Chunk> chunksOf(const uint8_t *data, size_t size)
{
    std::vector<Chunk> chunks;
    size_t at = 0;
    while (at + 7 <= size) {
        Chunk chunk;
        chunk.file = data[at];
        chunk.offset = uint32_t(data[at + 1]) | uint32_t(data[at + 2]) << 8 |
                       uint32_t(data[at + 3]) << 16 | uint32_t(data[at + 4]) << 24;
        chunk.length = std::min(size - at - 7, size_t(data[at + 5]) | size_t(data[at + 6]) << 8);
        chunk.bytes = data + at + 7;
        at += 7 + chunk.length;
        if (chunk.offset < kLargestFile && chunk.length <= kLargestFile - chunk.offset)
            chunks.push_back(chunk);
    }
    return chunks;
}

void writeFile(const QString &path, const std::vector<Chunk> &chunks, uint8_t file)
{
    QFile out(path);
    if (!out.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return;
    for (const Chunk &chunk : chunks) {
        if (chunk.file % 2 != file)
            continue;
        out.seek(chunk.offset);
        out.write(reinterpret_cast<const char *>(chunk.bytes), qint64(chunk.length));
    }
    // Whole sectors, as on a disc.
    out.resize((out.size() + 2047) / 2048 * 2048);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    static const auto scratch = std::make_unique<QTemporaryDir>();
    if (size < 1 || !scratch->isValid())
        return 0;
    const std::vector<Chunk> chunks = chunksOf(data + 1, size - 1);
    QString source;
    if (data[0] == 0) {
        source = scratch->filePath(QStringLiteral("disc.iso"));
        writeFile(source, chunks, 0);
    } else {
        source = scratch->filePath(QStringLiteral("disc"));
        QDir(source + QStringLiteral("/VIDEO_TS")).removeRecursively();
        QDir().mkpath(source + QStringLiteral("/VIDEO_TS"));
        writeFile(source + QStringLiteral("/VIDEO_TS/VIDEO_TS.IFO"), chunks, 0);
        writeFile(source + QStringLiteral("/VIDEO_TS/VTS_01_0.IFO"), chunks, 1);
    }
    try {
        DvdSource::probe(DvdSource::resolve(source));
    } catch (const AppError &) {
        // A clear refusal is the right answer to most of these.
    }
    return 0;
}
