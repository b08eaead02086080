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
// With --pacing, the view's own paint timestamps say how long each picture
// stayed on screen against how long it was due (the step to the next
// picture's timestamp), pictures never painted and pictures held twice.
//
// usage: engine_playback_bench DISC SECONDS [--events] [--headless] [--pacing]

#include "base/errors.h"
#include "bench/benchtools.h"
#include "bench/playbackprobe.h"

#include <QApplication>
#include <QEventLoop>
#include <QTimer>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <map>
#include <optional>
#include <vector>

namespace
{

struct Painted {
    int64_t pts = -1;
    std::chrono::steady_clock::time_point at;
};

struct PlaybackFigures {
    std::vector<Painted> paints; // with --pacing
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
    bool pacing = false;
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
    if (options.pacing) {
        figures.paints.reserve(size_t(options.seconds * 100));
        qobject_cast<DvdView *>(engine.view())
            ->setPaintObserver([&figures](int64_t pts, std::chrono::steady_clock::time_point at) {
                figures.paints.push_back({pts, at});
            });
    }
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
        else if (flag == QLatin1String("--pacing"))
            options.pacing = true;
        else
            return std::nullopt;
    }
    if (options.seconds <= 0)
        return std::nullopt;
    return options;
}

// The most common step between the timestamps of pictures painted one after
// the other: the picture period of the title.
int64_t picturePeriod(const std::vector<Painted> &painted)
{
    std::map<int64_t, int> steps;
    for (size_t i = 1; i < painted.size(); ++i)
        ++steps[painted[i].pts - painted[i - 1].pts];
    const auto most = std::max_element(steps.begin(), steps.end(), [](auto a, auto b) {
        return a.first <= 0 || (b.first > 0 && a.second < b.second);
    });
    return most == steps.end() ? 0 : std::max<int64_t>(0, most->first);
}

// Each picture's time on screen (from its paint to the next one's) against
// its due duration (the step to the next timestamp), for the pictures painted
// from first on. Steps of the timeline longer than ten pictures are jumps of
// the timestamps, not pictures missed.
void reportPacing(const char *label, const std::vector<Painted> &painted, size_t first,
                  int64_t period)
{
    std::vector<double> errors;
    int skipped = 0;
    int heldTwice = 0;
    for (size_t i = std::max<size_t>(first, 1); i < painted.size(); ++i) {
        const int64_t step = painted[i].pts - painted[i - 1].pts;
        if (step <= 0 || step > 10 * period)
            continue;
        const double dueMs = double(step) / 90.0;
        const double shownMs =
            std::chrono::duration<double, std::milli>(painted[i].at - painted[i - 1].at).count();
        errors.push_back(shownMs - dueMs);
        skipped += int(step / period) - 1;
        heldTwice += shownMs >= dueMs + double(period) / 90.0 / 2;
    }
    if (errors.empty())
        return;
    double mean = 0;
    for (double error : errors)
        mean += error;
    mean /= double(errors.size());
    double squares = 0;
    for (double error : errors)
        squares += (error - mean) * (error - mean);
    std::vector<double> sizes;
    for (double error : errors)
        sizes.push_back(std::abs(error));
    std::sort(sizes.begin(), sizes.end());
    const auto within5 = std::lower_bound(sizes.begin(), sizes.end(), 5.0) - sizes.begin();
    std::printf("%s: %zu pictures at %.1f ms: time on screen minus due, scatter (standard "
                "deviation) %.2f ms, 95%% within %.2f ms, worst %.2f ms; %.1f%% within 5 ms; "
                "%d never painted, %d held for twice their time\n",
                label, errors.size() + 1, double(period) / 90.0,
                std::sqrt(squares / double(errors.size())), sizes[sizes.size() * 95 / 100],
                sizes.back(), 100.0 * double(within5) / double(sizes.size()), skipped, heldTwice);
}

// The whole run, then the same from its second second on: the start, when
// the picture joins the sound already playing, apart from steady playback.
void reportPacing(const std::vector<Painted> &painted)
{
    const int64_t period = picturePeriod(painted);
    if (period <= 0) {
        std::printf("pacing: too few pictures painted\n");
        return;
    }
    reportPacing("pacing", painted, 1, period);
    const auto steady =
        std::find_if(painted.begin(), painted.end(), [&painted](const Painted &paint) {
            return paint.at - painted.front().at >= std::chrono::seconds(1);
        });
    reportPacing("pacing after the first second", painted, size_t(steady - painted.begin()),
                 period);
}

} // namespace

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    const std::optional<Options> options = parse(app.arguments());
    if (!options) {
        std::fprintf(stderr, "usage: engine_playback_bench DISC SECONDS [--events] [--headless] "
                             "[--pacing]\n");
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
        if (options->pacing)
            reportPacing(figures.paints);
    } catch (const AppError &error) {
        std::fprintf(stderr, "engine_playback_bench: %s\n", error.what());
        return 1;
    }
    return 0;
}
