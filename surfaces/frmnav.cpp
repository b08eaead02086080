#include "surfaces/frmnav.h"

#include "core/functions.h"
#include "core/ontopbas.h"
#include "platform/units.h"
#include "settings/colorrendering.h"
#include "widgets/designlook.h"
#include "widgets/skinbutton.h"

#include <QApplication>

namespace
{

constexpr DesignLook::ButtonColors kButtonColors{.over = DesignLook::kGrey};
constexpr int kStyleFlatOutline = 5;
constexpr int kButtonTwips = 375;

} // namespace

frmNav::frmNav() : QWidget(nullptr, Qt::Tool | Qt::WindowTitleHint | Qt::WindowCloseButtonHint)
{
    setObjectName(QStringLiteral("frmNav"));
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(QStringLiteral(".: Navigation"));
    setFixedSize(twips(1455) + 8, twips(1455) + 8);
    btnUp = addButton("btnUp", QStringLiteral("/\\"), 600, 120, &Functions::MenuUp);
    btnLeft = addButton("btnLeft", QStringLiteral("<"), 120, 600, &Functions::MenuLeft);
    btnActive = addButton("btnActive", QStringLiteral("S"), 600, 600, &Functions::MenuActivate);
    btnRight = addButton("btnRight", QStringLiteral(">"), 1080, 600, &Functions::MenuRight);
    btnDown = addButton("btnDown", QStringLiteral("\\/"), 600, 1080, &Functions::MenuDown);
    applyDesignColors();
}

skinButton *frmNav::addButton(const char *name, const QString &caption, int left, int top,
                              void (*command)())
{
    auto *button = DesignLook::makeButton(this, name, kStyleFlatOutline, caption);
    button->setGeometry(twipsRect(left, top, kButtonTwips, kButtonTwips));
    button->setFontName(QStringLiteral("MS Sans Serif"));
    connect(button, &skinButton::Click, this, command);
    return button;
}

void frmNav::Form_Load()
{
    SetOnTop(this, true);
    ColorRendering();
}

void frmNav::ColorRendering()
{
    ColorRow row;
    row.window = this;
    row.buttons = {btnUp, btnDown, btnLeft, btnRight, btnActive};
    ApplyColorRow(row);
}

// The built-in look until a colour scheme is stored.
void frmNav::applyDesignColors()
{
    DesignLook::setBackground(this, DesignLook::kDarkGrey);
    for (skinButton *button : {btnUp, btnLeft, btnActive, btnRight, btnDown})
        DesignLook::setButtonColors(button, kButtonColors);
}
