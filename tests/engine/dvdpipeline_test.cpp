#include "engine/common/snapshotstore.h"
#include "engine/demux/mediaqueue.h"
#include "engine/demux/psdemuxer.h"
#include "engine/output/dvdview.h"
#include "engine/present/playbackclock.h"
#include "engine/source/discinfo.h"
#include "engine/source/languagenames.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <vector>

// The pieces of the playback pipeline on their own, with hand-made input.
namespace
{

using Bytes = std::vector<uint8_t>;
using Clock = std::chrono::steady_clock;

void putPts(Bytes &out, int64_t pts)
{
    out.push_back(uint8_t(0x21 | ((pts >> 29) & 0x0E)));
    out.push_back(uint8_t(pts >> 22));
    out.push_back(uint8_t(0x01 | ((pts >> 14) & 0xFE)));
    out.push_back(uint8_t(pts >> 7));
    out.push_back(uint8_t(0x01 | ((pts << 1) & 0xFE)));
}

// An MPEG-2 PES packet; pts < 0 for none.
Bytes pes(uint8_t streamId, const Bytes &payload, int64_t pts, uint8_t flags = 0x81)
{
    Bytes header{flags, uint8_t(pts >= 0 ? 0x80 : 0x00), uint8_t(pts >= 0 ? 5 : 0)};
    if (pts >= 0)
        putPts(header, pts);
    const size_t length = header.size() + payload.size();
    Bytes out;
    out.reserve(6 + length);
    for (uint8_t byte :
         {uint8_t(0), uint8_t(0), uint8_t(1), streamId, uint8_t(length >> 8), uint8_t(length)})
        out.push_back(byte);
    std::copy(header.begin(), header.end(), std::back_inserter(out));
    std::copy(payload.begin(), payload.end(), std::back_inserter(out));
    return out;
}

// A 2048-byte pack: header with two bytes of stuffing, the packets, padding.
Bytes pack(const std::vector<Bytes> &packets)
{
    Bytes out{0, 0, 1, 0xBA, 0x44, 0, 4, 0, 4, 1, 1, 0x89, 0xC3, 0xFA, 0xFF, 0xFF};
    for (const Bytes &packet : packets)
        out.insert(out.end(), packet.begin(), packet.end());
    const size_t padding = PsDemuxer::kBlockSize - out.size() - 6;
    out.insert(out.end(), {0, 0, 1, 0xBE, uint8_t(padding >> 8), uint8_t(padding)});
    out.resize(PsDemuxer::kBlockSize, 0xFF);
    return out;
}

} // namespace

TEST(PsDemuxer, SplitsVideoSubpictureAndAudioPayloads)
{
    const Bytes block =
        pack({pes(0xE0, {0, 0, 1, 0xB3, 9}, 123456789), pes(0xBD, {0x21, 0xAA, 0xBB}, 90000),
              pes(0xBD, {0x80, 1, 0, 1, 0x0B, 0x77}, -1)});
    const std::vector<PsDemuxer::Payload> payloads = PsDemuxer::split(block.data());
    ASSERT_EQ(payloads.size(), 3u);
    EXPECT_EQ(payloads[0].streamId, 0xE0);
    EXPECT_EQ(payloads[0].pts, 123456789);
    EXPECT_EQ(Bytes(payloads[0].data, payloads[0].data + payloads[0].size),
              (Bytes{0, 0, 1, 0xB3, 9}));
    EXPECT_TRUE(PsDemuxer::isSubpicture(payloads[1]));
    EXPECT_EQ(payloads[1].subId, 0x21);
    EXPECT_EQ(Bytes(payloads[1].data, payloads[1].data + payloads[1].size), (Bytes{0xAA, 0xBB}));
    // AC-3 loses its sub-id, frame count and access pointer.
    EXPECT_EQ(payloads[2].subId, 0x80);
    EXPECT_EQ(payloads[2].pts, -1);
    EXPECT_EQ(Bytes(payloads[2].data, payloads[2].data + payloads[2].size), (Bytes{0x0B, 0x77}));
    EXPECT_FALSE(PsDemuxer::isScrambled(block.data()));
}

TEST(PsDemuxer, TellsWhereTheAudioUnitOfThePtsStarts)
{
    // The pointer counts from its own last byte: 1 is the first data byte.
    const Bytes block = pack({pes(0xBD, {0x88, 1, 0, 3, 0xA, 0xB, 0x7F, 0xFE}, 900),
                              pes(0xBD, {0xA0, 7, 0, 4, 0x0C, 0x01, 0x80, 1, 2, 3, 4}, 1800),
                              pes(0xBD, {0x81, 0, 0, 0, 0xA, 0xB}, -1),
                              pes(0xBD, {0x82, 1, 0, 9, 0xA, 0xB}, 2700)});
    const std::vector<PsDemuxer::Payload> payloads = PsDemuxer::split(block.data());
    ASSERT_EQ(payloads.size(), 4u);
    EXPECT_EQ(payloads[0].unitStart, 2u);
    EXPECT_EQ(payloads[0].size, 4u);
    // LPCM keeps its 3-byte header, which the pointer counts.
    EXPECT_EQ(payloads[1].unitStart, 3u);
    EXPECT_EQ(payloads[1].size, 7u);
    EXPECT_EQ(payloads[2].unitStart, 0u); // no unit starts here
    EXPECT_EQ(payloads[3].unitStart, 0u); // pointing past the packet
}

TEST(PsDemuxer, NoticesScrambledPacketsAndSurvivesBrokenOnes)
{
    const Bytes scrambled = pack({pes(0xE0, {1, 2, 3}, 0, 0x81 | 0x10)});
    EXPECT_TRUE(PsDemuxer::isScrambled(scrambled.data()));

    Bytes lying = pack({pes(0xE0, {1, 2, 3}, 0)});
    lying[16 + 4] = 0xFF; // a length running far past the block
    lying[16 + 5] = 0xFF;
    const std::vector<PsDemuxer::Payload> payloads = PsDemuxer::split(lying.data());
    ASSERT_EQ(payloads.size(), 1u);
    EXPECT_LE(payloads[0].data + payloads[0].size, lying.data() + lying.size());

    Bytes header = pack({pes(0xE0, {1, 2, 3}, 0)});
    header[16 + 8] = 0xF0; // a header length past the packet
    EXPECT_TRUE(PsDemuxer::split(header.data()).empty());
    const Bytes noise(PsDemuxer::kBlockSize, 0x47);
    EXPECT_TRUE(PsDemuxer::split(noise.data()).empty());
}

TEST(MediaQueue, LimitsHowFarTheReaderRunsAheadAndDropsAllOnANewSegment)
{
    MediaQueue queue(1 << 20, 45000);
    const Bytes chunk(40 * 1024, 0);
    queue.push(VideoData{chunk, 1000});
    queue.push(VideoData{chunk, 30000});
    EXPECT_FALSE(queue.full());
    queue.push(VideoData{chunk, 50000}); // 0.54 s ahead of the first picture
    EXPECT_TRUE(queue.full());
    bool spoken = false;
    queue.setSpaceListener([&] { spoken = true; });
    ASSERT_TRUE(queue.pop(Clock::now()).has_value());
    EXPECT_TRUE(queue.full()); // 0.54 s past the picture taken
    EXPECT_FALSE(spoken);
    ASSERT_TRUE(queue.pop(Clock::now()).has_value());
    EXPECT_FALSE(queue.full());
    EXPECT_TRUE(spoken);

    const uint64_t segment = queue.segment();
    queue.startSegment();
    EXPECT_EQ(queue.segment(), segment + 1);
    const std::optional<MediaItem> first = queue.pop(Clock::now());
    ASSERT_TRUE(first.has_value());
    EXPECT_TRUE(std::holds_alternative<SegmentStart>(*first));
    EXPECT_FALSE(queue.pop(Clock::now()).has_value());
    queue.close();
    queue.push(VideoData{chunk, 1});
    EXPECT_TRUE(queue.empty());
}

TEST(SnapshotStore, NotifiesEachChangeOnceAndTheTimeOncePerSecond)
{
    SnapshotStore store;
    int wakes = 0;
    store.setWake([&] { ++wakes; });
    store.update([](PlaybackSnapshot &s) {
        s.playing = true;
        s.shownDomain = DvdDomain::kTitle;
        s.title = 1;
        s.chapter = 1;
    });
    store.update([](PlaybackSnapshot &s) { s.time90k = 45000; });
    store.update([](PlaybackSnapshot &s) { s.time90k = 90000; });
    store.update([](PlaybackSnapshot &s) { s.readerAudio = 1; });
    store.update([](PlaybackSnapshot &s) { s.readerEnded = true; });
    EXPECT_EQ(wakes, 1); // one delivery for the batch

    std::vector<std::pair<int, int>> events;
    for (const PendingNotification &n : store.takeNotifications())
        events.emplace_back(n.event, n.param2);
    const std::vector<std::pair<int, int>> expected{{DvdEvent::kDomainChange, DvdDomain::kTitle},
                                                    {DvdEvent::kTitleChange, 1},
                                                    {DvdEvent::kChapterStart, 1},
                                                    {DvdEvent::kCurrentTime, 0},
                                                    {DvdEvent::kCurrentTime, 0},
                                                    {DvdEvent::kAudioStreamChange, 1},
                                                    {DvdEvent::kDomainChange, DvdDomain::kStop},
                                                    {DvdEvent::kPlaybackStopped, 0}};
    EXPECT_EQ(events, expected);

    store.update([](PlaybackSnapshot &s) { s.time90k = 5 * 90000 + 45000; });
    EXPECT_EQ(store.read().packedTime(), (TimeCode{0, 0, 5, 12}.pack()));
}

TEST(SnapshotStore, OnlyTheSessionBegunLastWrites)
{
    auto store = std::make_shared<SnapshotStore>();
    SnapshotWriter old(store, store->beginSession());
    SnapshotWriter current(store, store->beginSession());
    old.update([](PlaybackSnapshot &s) { s.title = 7; });
    old.reportError(1, QStringLiteral("stale"));
    current.update([](PlaybackSnapshot &s) { s.chapter = 3; });
    EXPECT_EQ(store->read().title, 0);
    EXPECT_EQ(store->read().chapter, 3);
    EXPECT_TRUE(store->lastError().isEmpty());

    store->endSession();
    current.update([](PlaybackSnapshot &s) { s.chapter = 4; });
    EXPECT_EQ(store->read().chapter, 3);
}

// The control writes a choice, the navigation thread what the VM took: the
// choice reads until it was applied, and is reported once.
TEST(SnapshotStore, AChoiceReadsUntilAppliedThenTheVmsValueDoes)
{
    SnapshotStore store;
    store.update([](PlaybackSnapshot &s) {
        s.playing = true;
        s.shownDomain = DvdDomain::kTitle;
    });
    store.takeNotifications();
    store.update([](PlaybackSnapshot &s) {
        s.audioChoice = {1, 1};
        s.subpictureChoice = {2 | 0x40, 2};
    });
    store.update([](PlaybackSnapshot &s) {
        s.readerAudio = 1;
        s.streamChoicesApplied = 1; // the subtitle choice is still on its way
    });
    EXPECT_EQ(store.read().currentSubpicture(), 2);
    EXPECT_TRUE(store.read().subpictureOn());
    store.update([](PlaybackSnapshot &s) { s.readerAudio = 0; }); // a title with one stream
    std::vector<std::pair<int, int>> events;
    for (const PendingNotification &n : store.takeNotifications())
        events.emplace_back(n.event, n.param2);
    const std::vector<std::pair<int, int>> expected{{DvdEvent::kAudioStreamChange, 1},
                                                    {DvdEvent::kSubpictureStreamChange, 2},
                                                    {DvdEvent::kAudioStreamChange, 0}};
    EXPECT_EQ(events, expected);
    EXPECT_EQ(store.read().currentAudio(), 0);
}

TEST(DvdView, LetterboxesThePictureWithoutStretchingIt)
{
    EXPECT_EQ(DvdView::fitted(QSize(768, 576), QRect(0, 0, 1000, 600)), QRect(100, 0, 800, 600));
    EXPECT_EQ(DvdView::fitted(QSize(1024, 576), QRect(0, 0, 800, 600)), QRect(0, 75, 800, 450));
    EXPECT_TRUE(DvdView::fitted(QSize(768, 576), QRect()).isEmpty());

    auto pictures = std::make_shared<PictureSlot>();
    DvdView view(pictures);
    view.resize(800, 600);
    QImage frame(720, 576, QImage::Format_RGB32);
    frame.fill(Qt::white);
    pictures->publish({frame, true});
    EXPECT_EQ(view.toPicture(QPoint(400, 300)), QPoint(360, 288));
    EXPECT_FALSE(view.toPicture(QPoint(400, 40)).has_value());
    const QImage shown = view.grab().toImage();
    EXPECT_EQ(QColor(shown.pixel(400, 40)), QColor(Qt::black));
    EXPECT_EQ(QColor(shown.pixel(400, 300)), QColor(Qt::white));
}

TEST(LanguageNames, NamesTwoLetterCodesInEnglish)
{
    EXPECT_EQ(LanguageNames::codeFromPacked(0x6672), QStringLiteral("fr"));
    EXPECT_EQ(LanguageNames::codeFromPacked(0xFFFF), QString());
    EXPECT_EQ(LanguageNames::codeFromPacked(0x0000), QString());
    EXPECT_EQ(LanguageNames::nameForCode(QStringLiteral("en")), QStringLiteral("English"));
    EXPECT_EQ(LanguageNames::nameForCode(QStringLiteral("de")), QStringLiteral("German"));
    EXPECT_EQ(LanguageNames::nameForCode(QString()), QStringLiteral("Unknown"));
    EXPECT_EQ(LanguageNames::nameForCode(QStringLiteral("qq")), QStringLiteral("Unknown"));
}

TEST(DiscInfo, ReadsTheStoredPlaybackTimesOfBothFrameRates)
{
    EXPECT_EQ(dvdTimeTo90k(dvd_time_t{0x01, 0x02, 0x03, 0x40 | 0x12}),
              int64_t(3723) * 90000 + 12 * 3600);
    EXPECT_EQ(dvdTimeTo90k(dvd_time_t{0x00, 0x00, 0x10, 0xC0 | 0x15}), 10 * 90000 + 15 * 3003);
    EXPECT_EQ(dvdTimeTo90k(dvd_time_t{0x00, 0x9A, 0x00, 0x40}), 0); // not BCD
    EXPECT_EQ(audioFormatName(0), QStringLiteral("AC-3"));
    EXPECT_EQ(audioFormatName(3), QStringLiteral("MPEG"));
}

namespace
{
struct FixedMaster : SoundClock {
    std::optional<int64_t> audioClock90k() const override { return 500000; }
};
} // namespace

TEST(PlaybackClock, StandsStillWhilePausedAndFollowsAMaster)
{
    PlaybackClock clock;
    clock.anchor(90000);
    clock.pause();
    const int64_t paused = clock.now();
    EXPECT_GE(paused, 90000);
    EXPECT_EQ(clock.now(), paused);
    EXPECT_EQ(clock.when(paused + 1), Clock::time_point::max());

    clock.resume();
    const FixedMaster master;
    clock.setMaster(&master);
    EXPECT_NEAR(double(clock.now()), 500000.0, 900.0);
}

TEST(PlaybackClock, ScanRateRunsItFasterAndLeavesTheMasterAside)
{
    PlaybackClock clock;
    const FixedMaster master;
    clock.setMaster(&master);
    clock.anchor(0);
    clock.setRate(4);
    const int64_t start = clock.now();
    EXPECT_LT(start, 90000) << "the master does not lead a scan";
    const auto due = clock.when(start + 4 * 90000);
    EXPECT_NEAR(
        double(std::chrono::duration_cast<std::chrono::milliseconds>(due - Clock::now()).count()),
        1000.0, 50.0);
    clock.setRate(1);
    EXPECT_NEAR(double(clock.now()), 500000.0, 900.0);
}
