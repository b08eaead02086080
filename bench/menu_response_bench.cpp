// Menu response: the time from SelectLowerButton (or SelectUpperButton, to
// come back) to the picture with the new highlight painted in a 720x576
// window. The disc must start in a menu with at least two buttons, one
// below the other (the test disc's first menu does).
//
// usage: menu_response_bench DISC [ROUNDS]

#include "bench/playbackprobe.h"
#include "base/errors.h"

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

// Runs the event loop until done() holds or the time is up.
bool spinUntil(const std::function<bool()> &done, int timeoutMs = kTimeoutMs)
{
    const auto deadline = Clock::now() + std::chrono::milliseconds(timeoutMs);
    while (!done()) {
        if (Clock::now() > deadline)
            return false;
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 5);
    }
    return true;
}

void settle(int milliseconds)
{
    QEventLoop loop;
    QTimer::singleShot(milliseconds, &loop, &QEventLoop::quit);
    loop.exec();
}

double percentile(std::vector<double> values, double share)
{
    std::sort(values.begin(), values.end());
    return values[std::min(values.size() - 1, size_t(share * double(values.size())))];
}

} // namespace

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    const QStringList arguments = app.arguments();
    if (arguments.size() < 2) {
        std::fprintf(stderr, "usage: menu_response_bench DISC [ROUNDS]\n");
        return 2;
    }
    const int rounds = arguments.size() > 2 ? std::max(1, arguments[2].toInt()) : 20;
    std::vector<double> responses;
    int unchanged = 0;
    try {
        DvdEngine engine;
        engine.setDVDDirectory(arguments[1]);
        uint64_t paintedPicture = 0;
        bench::PlaybackProbe probe(engine,
                                   [&](uint64_t picture, double) { paintedPicture = picture; });
        probe.showWindow(720, 576);
        engine.Play();
        if (!spinUntil([&] {
                return engine.CurrentDomain() == DvdDomain::kVideoManagerMenu &&
                       engine.selectedButton() > 0 && paintedPicture > 0;
            })) {
            std::fprintf(stderr, "menu_response_bench: no menu with buttons on screen\n");
            return 1;
        }
        settle(300);
        for (int round = 0; round < rounds; ++round) {
            const uint64_t before = engine.picturesShown();
            const QImage shown = engine.currentPicture();
            const auto start = Clock::now();
            if (round % 2 == 0)
                engine.SelectLowerButton();
            else
                engine.SelectUpperButton();
            if (!spinUntil([&] { return paintedPicture > before; })) {
                std::fprintf(stderr, "menu_response_bench: no new highlight painted\n");
                return 1;
            }
            responses.push_back(std::chrono::duration<double>(Clock::now() - start).count());
            if (engine.currentPicture() == shown)
                ++unchanged;
            settle(100);
        }
        engine.Stop();
    } catch (const AppError &error) {
        std::fprintf(stderr, "menu_response_bench: %s\n", error.what());
        return 1;
    }
    std::printf("Menu response on %s, %d button moves, to the new highlight painted "
                "(aim: under 0.050 s)\n",
                qPrintable(QGuiApplication::platformName()), rounds);
    std::printf(
        "  median %6.3f s  90th percentile %6.3f s  worst %6.3f s%s\n", percentile(responses, 0.5),
        percentile(responses, 0.9), *std::max_element(responses.begin(), responses.end()),
        unchanged ? qPrintable(QStringLiteral("  (%1 painted no change)").arg(unchanged)) : "");
    return 0;
}
