#pragma once

// Small measuring helpers shared by the benchmark programs.

#include <QProcess>
#include <QRegularExpression>
#include <QStringList>

#include <sys/resource.h>

#include <chrono>
#include <optional>

namespace bench
{

// CPU time (user + system) of the whole process so far.
inline double processCpuSeconds()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return double(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
           double(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

inline double wallSeconds()
{
    using namespace std::chrono;
    return duration<double>(steady_clock::now().time_since_epoch()).count();
}

// Peak resident memory of the process, in MiB.
inline double peakRssMiB()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return double(usage.ru_maxrss) / 1024.0;
}

// A program's exit code and error output; nothing when it could not start or
// did not finish in time.
inline std::optional<QString>
runForErrorOutput(const QString &program, const QStringList &arguments, int timeoutMs = 120000)
{
    QProcess process;
    process.start(program, arguments);
    if (!process.waitForFinished(timeoutMs)) {
        process.kill();
        process.waitForFinished();
        return std::nullopt;
    }
    if (process.exitStatus() != QProcess::NormalExit || process.exitCode() != 0)
        return std::nullopt;
    return QString::fromLocal8Bit(process.readAllStandardError());
}

// The last number a pattern with one capture finds in a text.
inline std::optional<double> lastNumber(const QString &text, const QString &pattern)
{
    QRegularExpressionMatchIterator matches = QRegularExpression(pattern).globalMatch(text);
    std::optional<double> value;
    while (matches.hasNext())
        value = matches.next().captured(1).toDouble();
    return value;
}

} // namespace bench
