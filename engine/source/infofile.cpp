#include "engine/source/infofile.h"

#include <memory>

namespace
{

// Information files are a few hundred KiB at most; a larger one is not read
// here (libdvdread reads only the tables it needs).
constexpr int64_t kLargestFile = 32 * 1024 * 1024;
// Real files need a few thousand looks at their tables; a damaged one can
// list the same tables over and over, and is not walked for ever.
constexpr uint64_t kMostLooks = 2'000'000;

struct FileCloser {
    void operator()(dvd_file_t *file) const { DVDCloseFile(file); }
};

} // namespace

bool InfoFile::read(dvd_reader_t *reader, int number, dvd_read_domain_t domain)
{
    std::unique_ptr<dvd_file_t, FileCloser> file(DVDOpenFile(reader, number, domain));
    if (!file)
        return false;
    const int64_t blocks = int64_t(DVDFileSize(file.get()));
    if (blocks <= 0 || blocks * DVD_VIDEO_LB_LEN > kLargestFile)
        return false;
    bytes_.assign(size_t(blocks) * DVD_VIDEO_LB_LEN, 0);
    readable_.assign(size_t(blocks), false);
    for (int64_t block = 0; block < blocks; ++block) {
        const int at = int(block * DVD_VIDEO_LB_LEN);
        readable_[size_t(block)] =
            DVDFileSeek(file.get(), at) == at &&
            DVDReadBytes(file.get(), bytes_.data() + at, DVD_VIDEO_LB_LEN) == DVD_VIDEO_LB_LEN;
        damaged_ = damaged_ || !readable_[size_t(block)];
    }
    return true;
}

bool InfoFile::fits(uint64_t offset, uint64_t length) const
{
    if (++looks_ > kMostLooks || offset > bytes_.size() || length > bytes_.size() - offset)
        return false;
    if (length == 0)
        return true;
    for (uint64_t block = offset / DVD_VIDEO_LB_LEN;
         block <= (offset + length - 1) / DVD_VIDEO_LB_LEN; ++block) {
        if (!readable_[block])
            return false;
    }
    return true;
}

bool InfoFile::tangled() const
{
    return looks_ > kMostLooks;
}
