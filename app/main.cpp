#include "core/startup.h"
#include "core/version.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    PreferX11Platform();
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("vidora"));
    QApplication::setApplicationVersion(Version::fullVersion());
    Main();
    return QApplication::exec();
}
