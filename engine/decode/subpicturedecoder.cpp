#include "engine/decode/subpicturedecoder.h"

#include <algorithm>

namespace
{

// Bounds that keep hostile packets cheap: an area no larger than a PAL
// picture, and a limit on the displays one packet may describe (fades use a
// few dozen at most).
constexpr int kMaxWidth = 720;
constexpr int kMaxHeight = 576;
constexpr size_t kMaxUnitsPerPacket = 32;
// A caller that never takes units must not make the queue grow without end.
constexpr size_t kMaxQueuedUnits = 32;
// Control sequence delays count in 1024 ticks of the 90 kHz clock.
constexpr int64_t kDelayTicks = 1024;

enum Command : uint8_t {
    kForcedStart = 0x00,
    kStart = 0x01,
    kStop = 0x02,
    kSetColor = 0x03,
    kSetContrast = 0x04,
    kSetArea = 0x05,
    kSetFieldOffsets = 0x06,
    kChangeColorContrast = 0x07,
    kEnd = 0xFF,
};

uint16_t readBe16(const uint8_t *p)
{
    return uint16_t(p[0] << 8 | p[1]);
}

// Reads 4-bit units from [begin, end) of the packet; never past the end.
class NibbleReader
{
public:
    NibbleReader(const uint8_t *data, size_t begin, size_t end)
        : data_(data), position_(begin * 2), end_(end * 2)
    {
    }
    bool next(uint32_t &nibble)
    {
        if (position_ >= end_)
            return false;
        const uint8_t byte = data_[position_ / 2];
        nibble = (position_ % 2 == 0) ? byte >> 4 : byte & 0x0F;
        ++position_;
        return true;
    }
    void alignToByte() { position_ += position_ % 2; }

private:
    const uint8_t *data_;
    size_t position_;
    size_t end_;
};

// One run-length code: 4, 8, 12 or 16 bits holding the run in all but the
// last two bits and the pixel type in those. A run of 0 (only possible in the
// 16-bit form) fills the rest of the line.
bool readRun(NibbleReader &reader, int remaining, int &run, uint8_t &type)
{
    uint32_t code = 0;
    for (int nibbles = 1; nibbles <= 4; ++nibbles) {
        uint32_t nibble = 0;
        if (!reader.next(nibble))
            return false;
        code = code << 4 | nibble;
        if (code >= (1u << (2 * nibbles)))
            break;
    }
    type = uint8_t(code & 3);
    run = int(code >> 2);
    if (run == 0 || run > remaining)
        run = remaining;
    return true;
}

// Decodes the lines firstLine, firstLine + 2, ... of an interlaced picture.
bool decodeField(NibbleReader reader, int firstLine, QSize size, std::vector<uint8_t> &pixels)
{
    for (int y = firstLine; y < size.height(); y += 2) {
        uint8_t *line = pixels.data() + size_t(y) * size_t(size.width());
        for (int x = 0; x < size.width();) {
            int run = 0;
            uint8_t type = 0;
            if (!readRun(reader, size.width() - x, run, type))
                return false;
            std::fill_n(line + x, run, type);
            x += run;
        }
        reader.alignToByte();
    }
    return true;
}

// The display parameters as the control sequences set them so far.
struct DisplayState {
    std::array<uint8_t, 4> color{};
    std::array<uint8_t, 4> contrast{};
    QRect area;
    std::optional<std::array<uint16_t, 2>> fieldOffsets;

    bool sameLookAs(const DisplayState &other) const
    {
        return color == other.color && contrast == other.contrast && area == other.area &&
               fieldOffsets == other.fieldOffsets;
    }
};

// Nibble pairs are stored high nibble first for the highest pixel type.
std::array<uint8_t, 4> readTypeNibbles(const uint8_t *p)
{
    return {uint8_t(p[1] & 0x0F), uint8_t(p[1] >> 4), uint8_t(p[0] & 0x0F), uint8_t(p[0] >> 4)};
}

// An inclusive rectangle as three 12-bit pairs (x1 x2, y1 y2); empty if the
// ends are reversed or the size exceeds a picture.
QRect readArea(const uint8_t *p)
{
    const int x1 = p[0] << 4 | p[1] >> 4;
    const int x2 = (p[1] & 0x0F) << 8 | p[2];
    const int y1 = p[3] << 4 | p[4] >> 4;
    const int y2 = (p[4] & 0x0F) << 8 | p[5];
    if (x2 < x1 || y2 < y1 || x2 - x1 >= kMaxWidth || y2 - y1 >= kMaxHeight)
        return {};
    return QRect(QPoint(x1, y1), QPoint(x2, y2));
}

// What one control sequence asks for, in the order its commands came.
struct SequenceRequest {
    bool start = false;
    bool forced = false;
    bool stopBeforeStart = false;
    bool stopAfterStart = false;
};

class PacketDecoder
{
public:
    PacketDecoder(const uint8_t *data, size_t size, int64_t pts)
        : data_(data), size_(size), pts_(pts)
    {
    }

    std::vector<SubpictureUnit> run()
    {
        size_t position = readBe16(data_ + 2);
        for (;;) {
            size_t next = 0;
            if (!runSequence(position, next) || next < position || next >= size_)
                return {};
            if (next == position)
                break;
            position = next;
        }
        if (units_.empty() && firstStop_)
            units_.push_back(clearingUnit(*firstStop_));
        return std::move(units_);
    }

private:
    int64_t timeOf(uint16_t delay) const { return pts_ < 0 ? -1 : pts_ + delay * kDelayTicks; }

    bool runSequence(size_t position, size_t &next)
    {
        if (position + 4 > size_)
            return false;
        const int64_t time = timeOf(readBe16(data_ + position));
        next = readBe16(data_ + position + 2);
        const DisplayState before = state_;
        SequenceRequest request;
        if (!readCommands(position + 4, request))
            return false;
        return apply(request, before, time);
    }

    bool readCommands(size_t position, SequenceRequest &request)
    {
        while (position < size_) {
            const uint8_t command = data_[position++];
            if (command == kEnd)
                return true;
            if (!readCommand(command, position, request))
                return false;
        }
        return false;
    }

    // Reads one command's parameters at position and moves past them.
    bool readCommand(uint8_t command, size_t &position, SequenceRequest &request)
    {
        static constexpr size_t kParameterBytes[] = {0, 0, 0, 2, 2, 6, 4, 2};
        if (command > kChangeColorContrast || position + kParameterBytes[command] > size_)
            return false;
        const uint8_t *p = data_ + position;
        position += kParameterBytes[command];
        switch (command) {
        case kForcedStart:
        case kStart:
            request.start = true;
            request.forced = request.forced || command == kForcedStart;
            return true;
        case kStop:
            (request.start ? request.stopAfterStart : request.stopBeforeStart) = true;
            return true;
        case kSetColor:
            state_.color = readTypeNibbles(p);
            return true;
        case kSetContrast:
            state_.contrast = readTypeNibbles(p);
            return true;
        case kSetArea:
            state_.area = readArea(p);
            return state_.area.isValid();
        case kSetFieldOffsets:
            state_.fieldOffsets = {readBe16(p), readBe16(p + 2)};
            return true;
        default:
            return skipColorContrastChanges(readBe16(p), position);
        }
    }

    // Per-line colour and contrast changes are rare and not shown; their
    // block is skipped. Its size counts the two size bytes already read.
    bool skipColorContrastChanges(size_t blockSize, size_t &position) const
    {
        if (blockSize < 2 || position - 2 + blockSize > size_)
            return false;
        position += blockSize - 2;
        return true;
    }

    bool apply(const SequenceRequest &request, const DisplayState &before, int64_t time)
    {
        if (request.stopBeforeStart || request.stopAfterStart)
            firstStop_ = firstStop_.value_or(time);
        if (request.stopBeforeStart)
            close(time);
        if (request.start) {
            close(time);
            if (!open(time, request.forced))
                return false;
        } else if (shown_ && !state_.sameLookAs(before)) {
            // A change while shown (a fade, a colour change) starts a new display.
            const bool forced = units_.back().forced;
            close(time);
            if (!open(time, forced))
                return false;
        }
        if (request.stopAfterStart)
            close(time);
        return true;
    }

    void close(int64_t time)
    {
        if (!shown_)
            return;
        SubpictureUnit &unit = units_.back();
        if (time >= 0)
            unit.endPts = std::max(time, unit.startPts);
        shown_ = false;
    }

    bool open(int64_t time, bool forced)
    {
        if (units_.size() >= kMaxUnitsPerPacket || !state_.area.isValid() || !decodePixels())
            return false;
        units_.push_back(
            {state_.area, pixels_, state_.color, state_.contrast, forced, time, int64_t(-1)});
        shown_ = true;
        return true;
    }

    // Decodes the two fields again only when the area or their offsets changed.
    bool decodePixels()
    {
        if (!state_.fieldOffsets)
            return false;
        if (decodedArea_ == state_.area && decodedOffsets_ == state_.fieldOffsets)
            return true;
        const QSize size = state_.area.size();
        const auto [top, bottom] = *state_.fieldOffsets;
        if (top < 4 || bottom < 4 || top >= size_ || bottom >= size_)
            return false;
        pixels_.assign(size_t(size.width()) * size_t(size.height()), 0);
        if (!decodeField(NibbleReader(data_, top, size_), 0, size, pixels_) ||
            !decodeField(NibbleReader(data_, bottom, size_), 1, size, pixels_))
            return false;
        decodedArea_ = state_.area;
        decodedOffsets_ = state_.fieldOffsets;
        return true;
    }

    SubpictureUnit clearingUnit(int64_t time) const
    {
        SubpictureUnit unit;
        unit.forced = true;
        unit.startPts = time;
        return unit;
    }

    const uint8_t *data_;
    size_t size_;
    int64_t pts_;
    DisplayState state_;
    std::vector<SubpictureUnit> units_;
    bool shown_ = false;
    std::optional<int64_t> firstStop_;
    std::vector<uint8_t> pixels_;
    QRect decodedArea_;
    std::optional<std::array<uint16_t, 2>> decodedOffsets_;
};

} // namespace

std::vector<SubpictureUnit> decodeSubpicturePacket(const uint8_t *data, size_t size, int64_t pts)
{
    if (data == nullptr || size < 4)
        return {};
    const size_t total = readBe16(data);
    const size_t controlOffset = readBe16(data + 2);
    if (total < 4 || total > size || controlOffset < 4 || controlOffset >= total)
        return {};
    return PacketDecoder(data, total, pts).run();
}

void SubpictureAssembler::feed(const uint8_t *data, size_t size, int64_t pts)
{
    if (data == nullptr || size == 0)
        return;
    if (packet_.empty())
        packetPts_ = pts;
    packet_.insert(packet_.end(), data, data + size);
    if (packet_.size() < 2)
        return;
    const size_t total = readBe16(packet_.data());
    if (total < 4)
        packet_.clear();
    else if (packet_.size() >= total)
        finishPacket();
}

// Bytes past the packet's size in its last payload are padding: the next
// packet starts with a new payload.
void SubpictureAssembler::finishPacket()
{
    for (SubpictureUnit &unit : decodeSubpicturePacket(packet_.data(), packet_.size(), packetPts_))
        ready_.push_back(std::move(unit));
    while (ready_.size() > kMaxQueuedUnits)
        ready_.pop_front();
    packet_.clear();
}

std::optional<SubpictureUnit> SubpictureAssembler::take()
{
    if (ready_.empty())
        return std::nullopt;
    SubpictureUnit unit = std::move(ready_.front());
    ready_.pop_front();
    return unit;
}

void SubpictureAssembler::reset()
{
    packet_.clear();
    packetPts_ = -1;
    ready_.clear();
}
