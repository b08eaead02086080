#include "core/programoptions.h"

#include "core/version.h"

#include <cstdio>
#include <cstdlib>

namespace ProgramOptions
{

namespace
{

void print(FILE *stream, const QString &text)
{
    std::fprintf(stream, "%s\n", text.toLocal8Bit().constData());
}

// Only an X display is checked here: another platform was chosen by the
// user or by a Wayland session, and Qt reports its own failures.
bool xcbPlatform()
{
    const QByteArray platform = qgetenv("QT_QPA_PLATFORM");
    if (platform.isEmpty())
        return qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY");
    return platform.startsWith("xcb");
}

} // namespace

QString usage()
{
    return QStringLiteral(
        "usage: vidora [SOURCE | SCHEME.cfx]\n"
        "       vidora --dvd-info SOURCE\n"
        "       vidora --dvd-snapshot SOURCE --title T --at SECONDS [--subtitle N] --out FILE.png\n"
        "       vidora --help | --version\n"
        "\n"
        "SOURCE is a folder holding VIDEO_TS (a mounted disc), an ISO image or a\n"
        "drive such as /dev/sr0. A colour scheme file (.cfx) opens the settings on\n"
        "its colours. While the player runs, a new SOURCE or scheme is handed to it.");
}

std::optional<int> answer(const QStringList &arguments)
{
    if (arguments.isEmpty())
        return std::nullopt;
    const QString &first = arguments.front();
    if (first == QStringLiteral("--help") || first == QStringLiteral("-h")) {
        print(stdout, usage());
        return 0;
    }
    if (first == QStringLiteral("--version")) {
        print(stdout, QStringLiteral("vidora ") + Version::fullVersion());
        return 0;
    }
    for (const QString &argument : arguments) {
        if (argument.startsWith(u'-') && argument.size() > 1) {
            print(stderr, QStringLiteral("vidora: unknown option \"%1\"").arg(argument));
            print(stderr, usage());
            return kUsage;
        }
    }
    return std::nullopt;
}

// Only names are checked: a trial connection here would be one more client
// opening and closing just before Qt's own, which an X server may refuse.
bool displayAvailable(QString &problem)
{
    if (!xcbPlatform())
        return true;
    if (qEnvironmentVariableIsEmpty("DISPLAY")) {
        problem = QStringLiteral("no display: DISPLAY is not set");
        return false;
    }
    return true;
}

namespace
{

QtMessageHandler &previousHandler()
{
    static QtMessageHandler handler = nullptr;
    return handler;
}

void endWithoutDisplay(QtMsgType type, const QMessageLogContext &context, const QString &message)
{
    if (type != QtFatalMsg) {
        if (previousHandler())
            previousHandler()(type, context, message);
        return;
    }
    QString display = qEnvironmentVariable("DISPLAY");
    if (display.isEmpty())
        display = qEnvironmentVariable("WAYLAND_DISPLAY");
    print(stderr, QStringLiteral("vidora: cannot open the display \"%1\"").arg(display));
    std::fflush(stderr);
    std::_Exit(kNoDisplay);
}

} // namespace

DisplayGuard::DisplayGuard()
{
    previousHandler() = qInstallMessageHandler(endWithoutDisplay);
}

DisplayGuard::~DisplayGuard()
{
    qInstallMessageHandler(previousHandler());
}

} // namespace ProgramOptions
