// Real-time playback of a disc in a 720x576 window for a fixed time: CPU
// time per second of playback, the pictures painted and the peak memory.
// The platform (offscreen, or xcb under Xvfb) comes from the environment;
// the bench script also times the whole process from outside, the same way
// as the other players it compares with.
//
// With --events, the moments the first picture is painted, the picture
// starts moving and sound is first heard are printed to the error output as
// they happen, for a
// harness that times them from the launch of the program.
//
// usage: engine_playback_bench DISC SECONDS [--events]

#include "bench/benchtools.h"
#include "bench/playbackprobe.h"
#include "core/errors.h"

#include <QApplication>
#include <QEventLoop>
#include <QTimer>

#include <cstdio>

namespace
{

struct PlaybackFigures {
    double wall = 0;
    double cpu = 0;
    double firstPosition = -1;
    double lastPosition = -1;
    int painted = 0;
};

void reportEvent(const char *event)
{
    std::fprintf(stderr, "event: %s\n", event);
    std::fflush(stderr);
}

PlaybackFigures play(const QString &disc, double seconds, bool events)
{
    DvdEngine engine;
    engine.setDVDDirectory(disc);
    PlaybackFigures figures;
    uint64_t firstPicture = 0;
    bench::PlaybackProbe::SoundListener onSound;
    if (events)
        onSound = [] { reportEvent("sound running"); };
    bench::PlaybackProbe probe(
        engine,
        [&](uint64_t picture, double position) {
            if (figures.firstPosition < 0) {
                figures.firstPosition = position;
                firstPicture = picture;
                if (events)
                    reportEvent("first picture");
            } else if (events && firstPicture && picture != firstPicture) {
                firstPicture = 0;
                reportEvent("picture moving");
            }
            figures.lastPosition = position;
        },
        onSound);
    probe.showWindow(720, 576);
    QCoreApplication::processEvents();
    const double cpuStart = bench::processCpuSeconds();
    const double wallStart = bench::wallSeconds();
    engine.Play();
    QEventLoop loop;
    QTimer::singleShot(int(seconds * 1000), Qt::PreciseTimer, &loop, &QEventLoop::quit);
    loop.exec();
    figures.cpu = bench::processCpuSeconds() - cpuStart;
    figures.wall = bench::wallSeconds() - wallStart;
    figures.painted = probe.paintedPictures();
    engine.Stop();
    return figures;
}

} // namespace

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    const QStringList arguments = app.arguments();
    const double seconds = arguments.size() > 2 ? arguments[2].toDouble() : 0;
    const bool events = arguments.size() > 3 && arguments[3] == QLatin1String("--events");
    if (arguments.size() < 3 || seconds <= 0) {
        std::fprintf(stderr, "usage: engine_playback_bench DISC SECONDS [--events]\n");
        return 2;
    }
    try {
        const PlaybackFigures figures = play(arguments[1], seconds, events);
        const double played = figures.lastPosition - figures.firstPosition;
        std::printf("engine on %s: %.1f s played in %.1f s, %d pictures painted (%.1f per "
                    "second), CPU %.1f%% of one core, peak memory %.1f MiB\n",
                    qPrintable(QGuiApplication::platformName()), played, figures.wall,
                    figures.painted, figures.painted / figures.wall,
                    100.0 * figures.cpu / figures.wall, bench::peakRssMiB());
    } catch (const AppError &error) {
        std::fprintf(stderr, "engine_playback_bench: %s\n", error.what());
        return 1;
    }
    return 0;
}
