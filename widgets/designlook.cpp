#include "widgets/designlook.h"

#include "platform/units.h"
#include "widgets/skinbutton.h"

#include <QPalette>
#include <QWidget>

namespace DesignLook
{

skinButton *makeButton(QWidget *parent, const char *name, int32_t style, const QString &caption)
{
    auto *button = new skinButton(parent, QString::fromLatin1(name));
    button->setButtonType(style);
    button->setColorScheme(ColorSchemes::kOwn);
    button->setShowFocusRect(false);
    button->setCaption(caption);
    return button;
}

void setButtonColors(skinButton *button, const ButtonColors &colors)
{
    button->setBackColor(colors.back);
    button->setForeColor(colors.fore);
    button->setForeOver(colors.over);
}

void setBackground(QWidget *widget, int32_t color)
{
    QPalette palette = widget->palette();
    palette.setColor(QPalette::Window, fromColorRef(color));
    widget->setPalette(palette);
    widget->setAutoFillBackground(true);
}

void setTextColor(QWidget *widget, int32_t color)
{
    QPalette palette = widget->palette();
    palette.setColor(QPalette::WindowText, fromColorRef(color));
    widget->setPalette(palette);
}

} // namespace DesignLook
