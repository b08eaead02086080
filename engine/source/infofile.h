#pragma once

#include <QString>

#include <dvdread/dvd_reader.h>

#include <cstdint>
#include <vector>

// Where the tables of an information file lie, as byte offsets in a block,
// a table or a program chain.
namespace InfoLayout
{
constexpr uint64_t kTitleSets = 0x3E;      // video manager: how many title sets
constexpr uint64_t kManagerEnd = 0x80;     // video manager: the last byte of its header part
constexpr uint64_t kFirstPlayChain = 0x84; // byte offset of the first-play program chain
constexpr uint64_t kTitleTable = 0xC4;     // video manager: sector of the title table
constexpr uint64_t kManagerMenus = 0xC8;   // video manager: sector of the menu chains
constexpr uint64_t kChapterTable = 0xC8;   // title set: sector of the chapters of its titles
constexpr uint64_t kTitleChains = 0xCC;    // title set: sector of the title chains
constexpr uint64_t kSetMenus = 0xD0;       // title set: sector of the menu chains
constexpr uint64_t kChainSize = 236;       // a program chain's fixed part
constexpr uint64_t kPrograms = 2;          // in a program chain: how many programs
constexpr uint64_t kCells = 3;             // and cells
constexpr uint64_t kCommandTableAt = 0xE4; // in a program chain, followed by:
constexpr uint64_t kProgramMapAt = 0xE6;
constexpr uint64_t kCellPlaybackAt = 0xE8;
constexpr uint64_t kCellPositionAt = 0xEA;
constexpr uint64_t kCellPlaybackSize = 24;
constexpr uint64_t kCellPositionSize = 4;
constexpr uint64_t kHeaderSize = 8; // of every table, and of each of their entries
constexpr uint64_t kCommandSize = 8;
constexpr uint64_t kTitleSize = 12;
constexpr uint64_t kChapterSize = 4; // program chain and program of a chapter
} // namespace InfoLayout

// The whole blocks of one information file, and which of them can be read:
// what libdvdread can read of it. A block that cannot be read (a damaged
// disc, or an image whose file runs past its end) fails libdvdread's read of
// any table on it just as the end of the file does.
class InfoFile
{
public:
    bool read(dvd_reader_t *reader, int number, dvd_read_domain_t domain);

    // Whether `length` bytes at `offset` lie in the file and can be read;
    // nothing does once the file took too many looks.
    bool fits(uint64_t offset, uint64_t length) const;
    // Some block of the file cannot be read.
    bool damaged() const { return damaged_; }
    // Its tables refer to each other too often to be those of a disc.
    bool tangled() const;
    uint64_t size() const { return bytes_.size(); }
    // Only where fits() said so.
    uint64_t bytes(uint64_t at) const { return bytes_[at]; }
    uint64_t be16(uint64_t at) const { return uint64_t(bytes_[at]) << 8 | bytes_[at + 1]; }
    uint64_t be32(uint64_t at) const { return be16(at) << 16 | be16(at + 2); }

private:
    std::vector<uint8_t> bytes_;
    std::vector<bool> readable_;
    bool damaged_ = false;
    mutable uint64_t looks_ = 0;
};
