// Real-time playback of a disc in a 720x576 window for a fixed time: CPU
// time per second of playback, the pictures painted and the peak memory.
// The platform (offscreen, or xcb under Xvfb) comes from the environment;
// the bench script also times the whole process from outside, the same way
// as the other players it compares with.
//
// With --headless no window is shown, as with the other players' null video
// outputs: every picture is still decoded and presented on time, but as
// nothing looks at it (no view shown, and the probe's picture tap takes no
// images) none is converted to RGB or composed, as in the player whenever
// its video window is hidden.
//
// With --events, the moments the first picture is painted, the picture
// starts moving and sound is first heard are printed to the error output as
// they happen, for a
// harness that times them from the launch of the program.
//
// usage: engine_playback_bench DISC SECONDS [--events] [--headless]

#include "bench/benchtools.h"
#include "bench/playbackprobe.h"
#include "base/errors.h"

#include <QApplication>
#include <QEventLoop>
#include <QTimer>

#include <cstdio>
#include <optional>

namespace
{

struct PlaybackFigures {
    double wall = 0;
    double cpu = 0;
    double firstPosition = -1;
    double lastPosition = -1;
    int painted = 0;
    uint64_t presented = 0;
};

struct Options {
    QString disc;
    double seconds = 0;
    bool events = false;
    bool headless = false;
};

void reportEvent(const char *event)
{
    std::fprintf(stderr, "event: %s\n", event);
    std::fflush(stderr);
}

// Without a window the start-up events come from the presented pictures.
bench::PlaybackProbe::PresentListener presentEvents(bool events, bool headless)
{
    if (!events || !headless)
        return {};
    return [](uint64_t presented) {
        if (presented == 1)
            reportEvent("first picture");
        else if (presented == 2)
            reportEvent("picture moving");
    };
}

PlaybackFigures play(const Options &options)
{
    DvdEngine engine;
    engine.setDVDDirectory(options.disc);
    PlaybackFigures figures;
    uint64_t firstPicture = 0;
    bench::PlaybackProbe::SoundListener onSound;
    if (options.events)
        onSound = [] { reportEvent("sound running"); };
    bench::PlaybackProbe probe(
        engine,
        [&](uint64_t picture, double position) {
            if (figures.firstPosition < 0) {
                figures.firstPosition = position;
                firstPicture = picture;
                if (options.events)
                    reportEvent("first picture");
            } else if (options.events && firstPicture && picture != firstPicture) {
                firstPicture = 0;
                reportEvent("picture moving");
            }
            figures.lastPosition = position;
        },
        onSound, presentEvents(options.events, options.headless));
    if (!options.headless)
        probe.showWindow(720, 576);
    QCoreApplication::processEvents();
    const double cpuStart = bench::processCpuSeconds();
    const double wallStart = bench::wallSeconds();
    engine.Play();
    QEventLoop loop;
    QTimer::singleShot(int(options.seconds * 1000), Qt::PreciseTimer, &loop, &QEventLoop::quit);
    loop.exec();
    figures.cpu = bench::processCpuSeconds() - cpuStart;
    figures.wall = bench::wallSeconds() - wallStart;
    figures.painted = probe.paintedPictures();
    figures.presented = engine.picturesShown();
    if (options.headless) {
        // The first play starts the title at its beginning.
        figures.firstPosition = 0;
        figures.lastPosition = engine.presentedSeconds();
    }
    engine.Stop();
    return figures;
}

std::optional<Options> parse(const QStringList &arguments)
{
    if (arguments.size() < 3)
        return std::nullopt;
    Options options{arguments[1], arguments[2].toDouble()};
    for (const QString &flag : arguments.mid(3)) {
        if (flag == QLatin1String("--events"))
            options.events = true;
        else if (flag == QLatin1String("--headless"))
            options.headless = true;
        else
            return std::nullopt;
    }
    if (options.seconds <= 0)
        return std::nullopt;
    return options;
}

} // namespace

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    const std::optional<Options> options = parse(app.arguments());
    if (!options) {
        std::fprintf(stderr, "usage: engine_playback_bench DISC SECONDS [--events] [--headless]\n");
        return 2;
    }
    try {
        const PlaybackFigures figures = play(*options);
        const double played = figures.lastPosition - figures.firstPosition;
        std::printf("engine on %s%s: %.1f s played in %.1f s, %llu pictures presented, %d "
                    "painted (%.1f per second), CPU %.1f%% of one core, peak memory %.1f MiB\n",
                    qPrintable(QGuiApplication::platformName()),
                    options->headless ? ", no window" : "", played, figures.wall,
                    static_cast<unsigned long long>(figures.presented), figures.painted,
                    figures.painted / figures.wall, 100.0 * figures.cpu / figures.wall,
                    bench::peakRssMiB());
    } catch (const AppError &error) {
        std::fprintf(stderr, "engine_playback_bench: %s\n", error.what());
        return 1;
    }
    return 0;
}
