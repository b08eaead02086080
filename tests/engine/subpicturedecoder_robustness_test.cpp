#include "engine/decode/subpicturedecoder.h"
#include "engine/demux/psdemuxer.h"
#include "engine/present/subpicturecompositor.h"
#include "engine/present/subpicturetrack.h"
#include "support/mutator.h"
#include "testdisc.h"

#include <gtest/gtest.h>

// The subtitles and menu buttons of the sample disc, damaged, through the
// decoder and the compositor: every unit that comes out is consistent and
// drawing it touches the picture inside its own area only.
namespace
{

using Bytes = std::vector<uint8_t>;

struct Payload {
    Bytes bytes;
    int64_t pts = -1;
};

std::vector<Payload> subpicturePayloads(const QString &fileName, int packs)
{
    std::vector<Payload> payloads;
    for (const Bytes &pack : TestDisc::packs(fileName, 0, packs)) {
        for (const PsDemuxer::Payload &payload : PsDemuxer::split(pack.data(), pack.size())) {
            if (PsDemuxer::isSubpicture(payload) && (payload.subId & 0x1F) == 0)
                payloads.push_back({Bytes(payload.data, payload.data + payload.size), payload.pts});
        }
    }
    return payloads;
}

// Whole packets, put together from their payloads by their size fields.
std::vector<Bytes> packetsOf(const std::vector<Payload> &payloads)
{
    std::vector<Bytes> packets;
    Bytes packet;
    for (const Payload &payload : payloads) {
        packet.insert(packet.end(), payload.bytes.begin(), payload.bytes.end());
        const size_t size = packet.size() >= 2 ? size_t(packet[0] << 8 | packet[1]) : 0;
        if (size >= 4 && packet.size() >= size) {
            packet.resize(size);
            packets.push_back(packet);
            packet.clear();
        }
    }
    return packets;
}

// Title 1's subtitles and the main menu's buttons.
const std::vector<Bytes> &discPackets()
{
    static const std::vector<Bytes> packets = [] {
        std::vector<Bytes> all =
            packetsOf(subpicturePayloads(QStringLiteral("VTS_01_1.VOB"), 2200));
        const std::vector<Bytes> menu =
            packetsOf(subpicturePayloads(QStringLiteral("VIDEO_TS.VOB"), 41));
        all.insert(all.end(), menu.begin(), menu.end());
        return all;
    }();
    return packets;
}

::testing::AssertionResult consistent(const SubpictureUnit &unit)
{
    if (unit.pixelTypes.size() != size_t(unit.area.width()) * size_t(unit.area.height()))
        return ::testing::AssertionFailure() << "pixel count does not match the area";
    if (!unit.area.isEmpty() && (unit.area.width() > 720 || unit.area.height() > 576))
        return ::testing::AssertionFailure() << "area larger than a picture";
    for (uint8_t type : unit.pixelTypes) {
        if (type > 3)
            return ::testing::AssertionFailure() << "pixel type " << int(type);
    }
    if (unit.endPts >= 0 && unit.endPts < unit.startPts)
        return ::testing::AssertionFailure() << "ends before it starts";
    return ::testing::AssertionSuccess();
}

// The part of the frame that differs from its one grey colour.
QRect changedArea(const QImage &frame)
{
    QRect changed;
    for (int y = 0; y < frame.height(); ++y) {
        const auto *line = reinterpret_cast<const QRgb *>(frame.constScanLine(y));
        for (int x = 0; x < frame.width(); ++x) {
            if (line[x] != qRgb(90, 90, 90))
                changed |= QRect(x, y, 1, 1);
        }
    }
    return changed;
}

class Composer
{
public:
    explicit Composer(Mutator &mutator) : mutator_(mutator)
    {
        uint32_t clut[16];
        for (uint32_t &entry : clut)
            entry = uint32_t(mutator_.below(1u << 24));
        palette_ = paletteFromClut(clut);
    }

    // Draws the unit on frames of several sizes and formats, with a highlight
    // anywhere or none; checks now and then that nothing outside its area moved.
    void draw(const SubpictureUnit &unit, bool check)
    {
        static const QSize kSizes[] = {{720, 576}, {720, 480}, {352, 240}, {16, 16}};
        const QSize size = kSizes[mutator_.below(std::size(kSizes))];
        QImage frame(size, mutator_.chance(80) ? QImage::Format_RGB32 : QImage::Format_ARGB32);
        frame.fill(qRgb(90, 90, 90));
        composeSubpicture(frame, unit, palette_, highlight());
        ASSERT_EQ(frame.size(), size);
        if (check) {
            const QRect changed = changedArea(frame);
            EXPECT_TRUE(changed.isEmpty() || unit.area.contains(changed))
                << "drawn at " << changed.x() << "," << changed.y() << " size " << changed.width()
                << "x" << changed.height();
        }
    }

private:
    std::optional<ButtonHighlight> highlight()
    {
        if (mutator_.chance(50))
            return std::nullopt;
        const QPoint start(int(mutator_.below(800)) - 40, int(mutator_.below(640)) - 40);
        const QPoint end(int(mutator_.below(800)) - 40, int(mutator_.below(640)) - 40);
        return highlightFromPalette(QRect(start, end), uint32_t(mutator_.below(UINT32_MAX)));
    }

    Mutator &mutator_;
    std::array<QRgb, 16> palette_{};
};

} // namespace

TEST(SubpictureRobustness, TheDiscsSubtitlesAndButtonsDecode)
{
    ASSERT_GE(discPackets().size(), 4u);
    for (const Bytes &packet : discPackets()) {
        const std::vector<SubpictureUnit> units =
            decodeSubpicturePacket(packet.data(), packet.size(), 0);
        ASSERT_FALSE(units.empty());
        for (const SubpictureUnit &unit : units)
            EXPECT_TRUE(consistent(unit));
    }
}

TEST(SubpictureRobustness, DamagedPacketsDecodeToConsistentUnitsDrawnInsideTheirArea)
{
    const std::vector<Bytes> &packets = discPackets();
    ASSERT_FALSE(packets.empty());
    Mutator mutator(404);
    Composer composer(mutator);
    int drawn = 0;
    for (int round = 0; round < 1500; ++round) {
        const Bytes &packet = packets[mutator.below(packets.size())];
        Bytes damaged = packet;
        const size_t control = size_t(packet[2] << 8 | packet[3]);
        switch (round % 3) {
        case 0:
            // The run-length coded pixels alone: the packet still decodes.
            for (int changes = 1 + int(mutator.below(8)); changes > 0; --changes)
                damaged[4 + mutator.below(control - 4)] = mutator.byte();
            break;
        case 1:
            // The control sequences: times, colours, the area, the offsets.
            damaged[control + mutator.below(damaged.size() - control)] = mutator.byte();
            break;
        default:
            damaged = mutator.chance(30) ? mutator.truncate(packet) : mutator.mutate(packet, 4);
        }
        const int64_t pts = mutator.chance(10) ? -1 : int64_t(mutator.below(1u << 31));
        for (const SubpictureUnit &unit :
             decodeSubpicturePacket(damaged.data(), damaged.size(), pts)) {
            ASSERT_TRUE(consistent(unit)) << "round " << round;
            composer.draw(unit, round % 8 == 0);
            ++drawn;
        }
    }
    EXPECT_GT(drawn, 400) << "too few damaged packets still decode to test the drawing";
}

// The way the presentation meets them: payloads of a stream, some damaged,
// reassembled by the track, asked for at the time of each picture.
TEST(SubpictureRobustness, ATrackFedDamagedPayloadsOnlyShowsConsistentUnits)
{
    const std::vector<Payload> payloads = subpicturePayloads(QStringLiteral("VTS_01_1.VOB"), 2200);
    ASSERT_FALSE(payloads.empty());
    Mutator mutator(77);
    Composer composer(mutator);
    SubpictureTrack track;
    track.setMode(SubpictureMode{0, true});
    for (int pass = 0; pass < 20; ++pass) {
        for (const Payload &payload : payloads) {
            SubpictureData data{payload.bytes, payload.pts};
            if (mutator.chance(25))
                data.bytes = mutator.mutate(payload.bytes, 4);
            else if (mutator.chance(5))
                data.bytes = mutator.truncate(payload.bytes);
            track.feed(data);
            const int64_t now = payload.pts < 0 ? 0 : payload.pts + int64_t(mutator.below(90000));
            if (const std::shared_ptr<const SubpictureUnit> unit = track.unitAt(now)) {
                ASSERT_TRUE(consistent(*unit));
                composer.draw(*unit, false);
            }
        }
        if (mutator.chance(30))
            track.reset();
    }
}
