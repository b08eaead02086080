#include "core/programoptions.h"

#include "core/version.h"

#include <xcb/xcb.h>

#include <cstdio>

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

bool displayAvailable(QString &problem)
{
    if (!xcbPlatform())
        return true;
    const QByteArray display = qgetenv("DISPLAY");
    if (display.isEmpty()) {
        problem = QStringLiteral("no display: DISPLAY is not set");
        return false;
    }
    xcb_connection_t *connection = xcb_connect(display.constData(), nullptr);
    const bool reached = xcb_connection_has_error(connection) == 0;
    xcb_disconnect(connection);
    if (!reached)
        problem =
            QStringLiteral("cannot open the display \"%1\"").arg(QString::fromLocal8Bit(display));
    return reached;
}

} // namespace ProgramOptions
