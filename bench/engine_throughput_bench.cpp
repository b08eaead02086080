// Decoding throughput of a title through the engine's own path (libdvdnav's
// block loop, the demultiplexer, the video decoder, presentation, and the
// sound of the selected audio stream decoded to 48 kHz stereo) with no clock
// and nothing heard, beside `ffmpeg -threads 1 -i <VOB> -f null -` on the
// title's VOB files. The engine runs twice: as when nothing looks at the
// pictures (playback without a view: presented but not converted, as ffmpeg's
// null output does not convert either), and with every picture converted to
// RGB and composed, as a view showing them needs. Rounds alternate between
// the three so that all see the same machine; the best round of each counts.
//
// usage: engine_throughput_bench DISC [TITLE] [ROUNDS]

#include "bench/benchtools.h"
#include "base/errors.h"
#include "engine/common/dvderrors.h"
#include "engine/navigation/audiofeed.h"
#include "engine/navigation/navigationcore.h"
#include "engine/present/presentationcore.h"
#include "engine/source/dvdsource.h"

#include <QCoreApplication>
#include <QDir>

#include <algorithm>
#include <cstdio>

namespace
{

// Blocks read before a title that never ends is given up on.
constexpr int64_t kMaxSteps = 20'000'000;

struct EngineRound {
    int pictures = 0;
    double cpu = 0;
    double wall = 0;
    double decodeWall = 0;  // feeding the decoder: parsing and decoding
    double composeWall = 0; // showing: deinterlacing, conversion to RGB, subpictures, highlights
                            // (only the presenting when nothing is converted)
    double soundWall = 0;   // decoding and resampling the sound
    double soundSeconds = 0;
};

struct FfmpegRound {
    int pictures = 0;
    double cpu = 0;
    double wall = 0;
};

// Hands the reader's pictures straight to the presentation pipeline and its
// sound to the engine's sound feed, whose output is shut: decoded, then
// dropped. Times both.
class TimedSink : public MediaSink
{
public:
    explicit TimedSink(PresentationCore &core)
        : core_(core),
          sound_(std::make_shared<AudioGate>(nullptr), kSoundFormat, soundTap(), nullptr)
    {
    }
    void push(MediaItem item) override
    {
        const double start = bench::wallSeconds();
        core_.feed(std::move(item));
        // As the presentation thread does: decode what lies far enough
        // behind the newest picture read (the read-ahead for subpictures).
        core_.settle();
        pictureSeconds_ += bench::wallSeconds() - start;
    }
    void drain(uint64_t id)
    {
        const double start = bench::wallSeconds();
        core_.feed(DrainRequest{id});
        pictureSeconds_ += bench::wallSeconds() - start;
        sound_.drain();
    }
    void startSegment() override
    {
        core_.feed(SegmentStart{});
        sound_.flush();
    }
    void selectAudio(std::optional<AudioSelection> selection) override { sound_.select(selection); }
    void pushAudio(std::span<const uint8_t> payload, int64_t pts90k, size_t unitStart) override
    {
        const double start = bench::wallSeconds();
        sound_.feed(payload, pts90k, unitStart);
        soundSeconds_ += bench::wallSeconds() - start;
    }

    double pictureSeconds() const { return pictureSeconds_; }
    double soundSeconds() const { return soundSeconds_; }
    double soundDecoded() const { return double(*soundFrames_) / kSoundFormat.sampleRate; }

private:
    static constexpr PcmFormat kSoundFormat{48000, 2, PcmSampleType::Int16};

    std::shared_ptr<const PlaybackTaps> soundTap()
    {
        auto taps = std::make_shared<PlaybackTaps>();
        taps->sound = [frames = soundFrames_](const PcmFormat &format, const PcmBlock &block) {
            *frames += block.frames(format);
        };
        return taps;
    }

    PresentationCore &core_;
    std::shared_ptr<int64_t> soundFrames_ = std::make_shared<int64_t>(0);
    AudioFeed sound_;
    double pictureSeconds_ = 0;
    double soundSeconds_ = 0;
};

class EngineRun
{
public:
    EngineRun(const QString &path, int title, bool convert)
        : path_(path), title_(title), convert_(convert)
    {
    }
    EngineRound run();

private:
    // Shows the decoded pictures; false once the title has been left.
    bool showPictures(PresentationCore &core);

    QString path_;
    int title_;
    bool convert_;
    EngineRound round_;
    bool leftTitle_ = false;
};

bool EngineRun::showPictures(PresentationCore &core)
{
    while (std::optional<DecodedPicture> picture = core.nextPicture()) {
        const double start = bench::wallSeconds();
        const FrameOnScreen frame = core.show(*picture, ButtonState{}, convert_);
        round_.composeWall += bench::wallSeconds() - start;
        const bool inTitle =
            frame.position.domain == DvdDomain::kTitle && frame.position.title == title_;
        if (inTitle)
            ++round_.pictures;
        else if (round_.pictures > 0)
            leftTitle_ = true;
    }
    return !leftTitle_;
}

EngineRound EngineRun::run()
{
    const double cpuStart = bench::processCpuSeconds();
    const double wallStart = bench::wallSeconds();
    PresentationCore core;
    NavSession session(path_);
    session.check(dvdnav_title_play(session.handle(), title_),
                  QStringLiteral("starting title %1").arg(title_));
    TimedSink sink(core);
    NavigationCore navigation(session, sink);
    uint64_t drain = 0;
    for (int64_t step = 0; step < kMaxSteps; ++step) {
        const NavigationCore::Step next = navigation.readNext();
        if (next.result != NavigationCore::Result::Continue) {
            sink.drain(++drain);
        }
        if (!showPictures(core) || next.result == NavigationCore::Result::Stop)
            break;
        if (next.result == NavigationCore::Result::Wait)
            dvdnav_wait_skip(session.handle());
        if (next.result == NavigationCore::Result::Still)
            dvdnav_still_skip(session.handle());
    }
    round_.cpu = bench::processCpuSeconds() - cpuStart;
    round_.wall = bench::wallSeconds() - wallStart;
    round_.decodeWall = sink.pictureSeconds();
    round_.soundWall = sink.soundSeconds();
    round_.soundSeconds = sink.soundDecoded();
    return round_;
}

// The title's VOB files, in order, as one ffmpeg input.
QString titleInput(const QString &discPath, const DiscInfo &info, int title)
{
    const TitleInfo *found = info.title(title);
    if (!found)
        throw DvdErrors::invalidArgument(QStringLiteral("The disc has no title %1.").arg(title));
    const QDir videoTs(QDir(discPath).filePath(QStringLiteral("VIDEO_TS")));
    QStringList parts;
    for (int part = 1; part <= 9; ++part) {
        const QString name =
            QStringLiteral("VTS_%1_%2.VOB").arg(found->titleSet, 2, 10, QLatin1Char('0')).arg(part);
        if (!videoTs.exists(name))
            break;
        parts << videoTs.filePath(name);
    }
    if (parts.isEmpty())
        throw DvdErrors::invalidArgument(
            QStringLiteral("%1 holds no VOB files of title %2 (a folder is needed).")
                .arg(videoTs.path())
                .arg(title));
    return parts.size() == 1 ? parts.first() : QStringLiteral("concat:") + parts.join('|');
}

std::optional<FfmpegRound> runFfmpeg(const QString &input)
{
    const std::optional<QString> log = bench::runForErrorOutput(
        QStringLiteral("ffmpeg"), {"-nostdin", "-hide_banner", "-v", "info", "-benchmark",
                                   "-threads", "1", "-i", input, "-f", "null", "-"});
    if (!log)
        return std::nullopt;
    const auto user = bench::lastNumber(*log, QStringLiteral("utime=([0-9.]+)s"));
    const auto system = bench::lastNumber(*log, QStringLiteral("stime=([0-9.]+)s"));
    const auto real = bench::lastNumber(*log, QStringLiteral("rtime=([0-9.]+)s"));
    const auto frames = bench::lastNumber(*log, QStringLiteral("frame=\\s*([0-9]+)"));
    if (!user || !system || !real || !frames)
        return std::nullopt;
    return FfmpegRound{int(*frames), *user + *system, *real};
}

void printEngine(const char *label, const char *showing, const EngineRound &best)
{
    const double perPicture = 1000.0 / std::max(1, best.pictures);
    const double otherWall = best.wall - best.decodeWall - best.composeWall - best.soundWall;
    std::printf("  engine, %-26s %5d pictures  %6.2f s CPU  %6.0f fps\n", label, best.pictures,
                best.cpu, best.pictures / best.cpu);
    std::printf("    per picture: video decode %.3f ms, %s %.3f ms, sound %.3f ms "
                "(%.1f s decoded), nav+demux %.3f ms\n",
                best.decodeWall * perPicture, showing, best.composeWall * perPicture,
                best.soundWall * perPicture, best.soundSeconds, otherWall * perPicture);
}

void printFfmpeg(const FfmpegRound &best)
{
    std::printf("  ffmpeg -threads 1 -f null          %5d pictures  %6.2f s CPU  %6.0f fps\n",
                best.pictures, best.cpu, best.pictures / best.cpu);
}

void keepBest(std::optional<EngineRound> &best, const EngineRound &round)
{
    if (!best || round.cpu < best->cpu)
        best = round;
}

double throughputRatio(const EngineRound &engine, const FfmpegRound &ffmpeg)
{
    return (engine.pictures / engine.cpu) / (ffmpeg.pictures / std::max(ffmpeg.cpu, 1e-9));
}

int runBenchmark(const QString &requested, int title, int rounds)
{
    const ProbedDisc disc = DvdSource::probe(DvdSource::resolve(requested));
    const QString input = titleInput(disc.source.path, disc.info, title);
    std::optional<EngineRound> presented;
    std::optional<EngineRound> converted;
    std::optional<FfmpegRound> ffmpeg;
    for (int round = 0; round < rounds; ++round) {
        keepBest(presented, EngineRun(disc.source.path, title, false).run());
        keepBest(converted, EngineRun(disc.source.path, title, true).run());
        const std::optional<FfmpegRound> theirs = runFfmpeg(input);
        if (theirs && (!ffmpeg || theirs->cpu < ffmpeg->cpu))
            ffmpeg = theirs;
    }
    std::printf("Decoding throughput, title %d, one thread, no clock (best of %d rounds; "
                "fps = pictures per CPU second)\n",
                title, rounds);
    printEngine("nothing looks (no view):", "present", *presented);
    printEngine("converted (a view shows):", "convert+compose", *converted);
    if (!ffmpeg) {
        std::printf("  ffmpeg did not run on %s\n", qPrintable(input));
        return 0;
    }
    printFfmpeg(*ffmpeg);
    std::printf("  engine/ffmpeg throughput, no view  %5.2f  (aim: at least 0.90)\n",
                throughputRatio(*presented, *ffmpeg));
    std::printf("  engine/ffmpeg throughput, view     %5.2f\n",
                throughputRatio(*converted, *ffmpeg));
    return 0;
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const QStringList arguments = app.arguments();
    if (arguments.size() < 2) {
        std::fprintf(stderr, "usage: engine_throughput_bench DISC [TITLE] [ROUNDS]\n");
        return 2;
    }
    const int title = arguments.size() > 2 ? arguments[2].toInt() : 1;
    const int rounds = arguments.size() > 3 ? std::max(1, arguments[3].toInt()) : 3;
    try {
        return runBenchmark(arguments[1], title, rounds);
    } catch (const AppError &error) {
        std::fprintf(stderr, "engine_throughput_bench: %s\n", error.what());
        return 1;
    }
}
