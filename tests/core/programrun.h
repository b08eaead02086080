#pragma once

#include <QCoreApplication>
#include <QProcess>

// The built program, run as a user runs it.
struct ProgramRun {
    int status = -1;
    QByteArray out;
    QByteArray err;
};

inline QString programPath()
{
    return QCoreApplication::applicationDirPath() + QStringLiteral("/../vidora");
}

inline ProgramRun runProgram(const QStringList &arguments, const QProcessEnvironment &environment,
                             int timeoutMs = 30000)
{
    QProcess process;
    process.setProgram(programPath());
    process.setArguments(arguments);
    process.setProcessEnvironment(environment);
    process.start();
    if (!process.waitForFinished(timeoutMs)) {
        process.kill();
        process.waitForFinished();
        return {};
    }
    return {process.exitCode(), process.readAllStandardOutput(), process.readAllStandardError()};
}

// The environment of a machine without any display.
inline QProcessEnvironment withoutDisplay()
{
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    for (const char *name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"})
        environment.remove(QString::fromLatin1(name));
    return environment;
}
