// Start-up as the user sees it: from starting the program to its control bar
// painted on screen. Each run is a new process of the built player, told by
// VIDORA_EXIT_WHEN_SHOWN to report its first paint and end; the platform is
// whatever the environment gives (an X server under xvfb-run, or offscreen).
//
// usage: program_startup_bench VIDORA [RUNS]

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QProcess>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <vector>

namespace
{

constexpr int kTimeoutMs = 20000;

// Milliseconds from the start to "shown", or a negative number on failure.
double measureOnce(const QString &program, const QProcessEnvironment &environment)
{
    QProcess process;
    process.setProgram(program);
    process.setProcessEnvironment(environment);
    process.setStandardErrorFile(QProcess::nullDevice());
    QElapsedTimer clock;
    clock.start();
    process.start();
    while (process.waitForReadyRead(kTimeoutMs)) {
        if (process.readAllStandardOutput().contains("shown")) {
            const double elapsed = double(clock.nsecsElapsed()) / 1e6;
            process.waitForFinished(kTimeoutMs);
            return elapsed;
        }
    }
    process.kill();
    process.waitForFinished();
    return -1;
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    if (argc < 2) {
        std::fprintf(stderr, "usage: program_startup_bench VIDORA [RUNS]\n");
        return 2;
    }
    const QString program = QString::fromLocal8Bit(argv[1]);
    const int runs = argc > 2 ? std::max(1, std::atoi(argv[2])) : 10;
    // A settings and data folder of its own, and an instance key no running
    // player shares: every run is a first start of its own.
    QTemporaryDir home;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("VIDORA_EXIT_WHEN_SHOWN"), QStringLiteral("1"));
    environment.insert(QStringLiteral("VIDORA_INSTANCE_KEY"),
                       QStringLiteral("vidora-bench-%1").arg(QCoreApplication::applicationPid()));
    environment.insert(QStringLiteral("XDG_CONFIG_HOME"), home.filePath(QStringLiteral("config")));
    environment.insert(QStringLiteral("XDG_DATA_HOME"), home.filePath(QStringLiteral("data")));
    std::vector<double> times;
    for (int i = 0; i < runs; ++i) {
        const double ms = measureOnce(program, environment);
        if (ms < 0) {
            std::fprintf(stderr, "run %d: the control bar was never shown\n", i + 1);
            return 1;
        }
        times.push_back(ms);
    }
    const double first = times.front();
    std::sort(times.begin(), times.end());
    std::printf("start-up (%s): process start to control bar shown: median %.0f ms, best %.0f "
                "ms, worst %.0f ms, first run %.0f ms, %d runs (aim: under 300 ms)\n",
                qEnvironmentVariable("QT_QPA_PLATFORM", QStringLiteral("default"))
                    .toLocal8Bit()
                    .constData(),
                times[times.size() / 2], times.front(), times.back(), first, runs);
    return 0;
}
