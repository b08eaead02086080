#include "surfaces/frmnmain.h"

#include "core/version.h"

#include <QLabel>

frmNMain::frmNMain() : QWidget(nullptr, Qt::FramelessWindowHint)
{
    setObjectName(QStringLiteral("frmNMain"));
    setWindowTitle(QStringLiteral("KORVANE Vidora"));
    resize(578, 117);
    lblTime = new QLabel(this);
    lblChap = new QLabel(QStringLiteral("Chap"), this);
    lblLan = new QLabel(QStringLiteral("Lan"), this);
    lblDVDtit = new QLabel(QStringLiteral("DVD title"), this);
    St = new QLabel(this);
    imgDVDlogo = new QLabel(this);
}

void frmNMain::Form_Load()
{
    setWindowTitle(
        QStringLiteral("KORVANE Vidora %1.%2").arg(Version::kMajor).arg(Version::kMinor));
}
