#include "surfaces/frmnav.h"

#include "core/functions.h"
#include "platform/units.h"

#include <QPushButton>

namespace
{

QPushButton *padButton(QWidget *parent, const QString &caption, int left, int top)
{
    auto *button = new QPushButton(caption, parent);
    button->setGeometry(twipsRect(left, top, 375, 375));
    return button;
}

} // namespace

frmNav::frmNav() : QWidget(nullptr, Qt::Tool)
{
    setObjectName(QStringLiteral("frmNav"));
    setWindowTitle(QStringLiteral(".: Navigation"));
    resize(twips(1575), twips(1575));
    btnUp = padButton(this, QStringLiteral("/\\"), 600, 120);
    btnLeft = padButton(this, QStringLiteral("<"), 120, 600);
    btnActive = padButton(this, QStringLiteral("S"), 600, 600);
    btnRight = padButton(this, QStringLiteral(">"), 1080, 600);
    btnDown = padButton(this, QStringLiteral("\\/"), 600, 1080);
    connect(btnUp, &QPushButton::clicked, this, &Functions::MenuUp);
    connect(btnLeft, &QPushButton::clicked, this, &Functions::MenuLeft);
    connect(btnActive, &QPushButton::clicked, this, &Functions::MenuActivate);
    connect(btnRight, &QPushButton::clicked, this, &Functions::MenuRight);
    connect(btnDown, &QPushButton::clicked, this, &Functions::MenuDown);
}
