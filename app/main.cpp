#include "core/version.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("vidora"));
    QApplication::setApplicationVersion(Version::fullVersion());
    return 0;
}
