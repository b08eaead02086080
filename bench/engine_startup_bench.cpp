// Time from Play to the first picture on screen, to the picture moving, to
// sound heard, and to picture and sound both running, measured from outside
// the control while its view is shown in a 720x576 window. Every run starts a new control, as a
// user's first Play does; the first run also pays for loading and starting the decoders.
//
// usage: engine_startup_bench DISC [RUNS]

#include "base/errors.h"
#include "bench/playbackprobe.h"

#include <QApplication>
#include <QEventLoop>
#include <QTimer>

#include <algorithm>
#include <cstdio>
#include <vector>

namespace
{

constexpr int kTimeoutMs = 10000;

using Clock = bench::PlaybackProbe::Clock;

struct StartupRun {
    double playReturned = -1; // Play() is synchronous up to the threads' start
    double firstPicture = -1;
    double moving = -1; // a later picture of the title painted
    double sound = -1;  // a picture presented while sound is heard
    double running = -1;
    std::optional<double> soundAheadMs; // sound against the picture when first heard
};

double secondsSince(Clock::time_point start, Clock::time_point at = Clock::now())
{
    return std::chrono::duration<double>(at - start).count();
}

StartupRun measureOnce(const QString &disc)
{
    DvdEngine engine;
    engine.setDVDDirectory(disc);
    StartupRun run;
    Clock::time_point start;
    QEventLoop loop;
    uint64_t firstPicture = 0;
    bench::PlaybackProbe probe(engine, [&](uint64_t picture, double) {
        if (run.firstPicture < 0) {
            run.firstPicture = secondsSince(start);
            firstPicture = picture;
        } else if (run.moving < 0 && picture != firstPicture) {
            run.moving = secondsSince(start);
        }
        if (run.moving >= 0 && probe.soundHeardAt())
            loop.quit();
    });
    probe.showWindow(720, 576);
    QCoreApplication::processEvents();
    start = Clock::now();
    engine.Play();
    run.playReturned = secondsSince(start);
    QTimer::singleShot(kTimeoutMs, &loop, &QEventLoop::quit);
    loop.exec();
    engine.Stop();
    run.soundAheadMs = probe.soundAheadWhenFirstHeard();
    if (const auto heard = probe.soundHeardAt()) {
        run.sound = secondsSince(start, *heard);
        if (run.moving >= 0)
            run.running = std::max(run.moving, run.sound);
    }
    return run;
}

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values.empty() ? -1 : values[values.size() / 2];
}

void printFigure(const char *name, const std::vector<StartupRun> &runs, double StartupRun::*field)
{
    std::vector<double> later;
    for (size_t index = 1; index < runs.size(); ++index)
        later.push_back(runs[index].*field);
    const double first = runs.front().*field;
    const auto text = [](double seconds) {
        return seconds < 0 ? QStringLiteral("  never") : QString::asprintf("%6.3f s", seconds);
    };
    std::printf("  %-34s first run %s", name, qPrintable(text(first)));
    if (!later.empty())
        std::printf("  median of the next %zu %s  worst %s", later.size(),
                    qPrintable(text(median(later))),
                    qPrintable(text(*std::max_element(later.begin(), later.end()))));
    std::printf("\n");
}

// A new start must not begin with sound running ahead of the picture that
// the pictures then hurry to catch up with.
void printSoundAhead(const std::vector<StartupRun> &runs)
{
    std::printf("  %-34s", "sound ahead of the picture");
    for (const StartupRun &run : runs) {
        if (run.soundAheadMs)
            std::printf(" %+.0f", *run.soundAheadMs);
        else
            std::printf(" never heard");
    }
    std::printf(" ms (each run)\n");
}

} // namespace

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    const QStringList arguments = app.arguments();
    if (arguments.size() < 2) {
        std::fprintf(stderr, "usage: engine_startup_bench DISC [RUNS]\n");
        return 2;
    }
    const int runs = arguments.size() > 2 ? std::max(1, arguments[2].toInt()) : 6;
    std::vector<StartupRun> results;
    try {
        for (int run = 0; run < runs; ++run)
            results.push_back(measureOnce(arguments[1]));
    } catch (const AppError &error) {
        std::fprintf(stderr, "engine_startup_bench: %s\n", error.what());
        return 1;
    }
    std::printf("Start-up on %s, %d runs, each a new control (aim: under 0.150 s)\n",
                qPrintable(QGuiApplication::platformName()), runs);
    printFigure("Play returned", results, &StartupRun::playReturned);
    printFigure("first picture on screen", results, &StartupRun::firstPicture);
    printFigure("picture moving", results, &StartupRun::moving);
    printFigure("sound heard", results, &StartupRun::sound);
    printFigure("picture and sound both running", results, &StartupRun::running);
    printSoundAhead(results);
    return 0;
}
