#include "dvddb/databaselook.h"

#include "platform/units.h"
#include "widgets/designlook.h"
#include "widgets/skinbutton.h"

#include <QLabel>

namespace DatabaseLook
{

namespace
{

constexpr int32_t kDesignWindow = 0xE8E4E0;
constexpr DesignLook::ButtonColors kButtonColors{.over = 0x80D0FF};
constexpr int kStyleFlatOutline = 5;
// Captions and button texts are set small, as the window layout expects.
constexpr double kTextPoints = 8;

} // namespace

skinButton *makeButton(QWidget *parent, const char *name, const QString &caption,
                       const QRect &place)
{
    auto *button = DesignLook::makeButton(parent, name, kStyleFlatOutline, caption);
    button->setGeometry(place);
    button->setFontSize(kTextPoints);
    return button;
}

QLabel *makeCaption(QWidget *parent, const QString &text, const QRect &place, bool rightAligned)
{
    auto *label = new QLabel(text, parent);
    label->setGeometry(place);
    label->setAlignment((rightAligned ? Qt::AlignRight : Qt::AlignLeft) | Qt::AlignVCenter);
    setSmallText(label);
    return label;
}

void setSmallText(QWidget *widget)
{
    QFont font = widget->font();
    font.setPointSizeF(kTextPoints);
    widget->setFont(font);
}

void applyDesignColors(QWidget *window, const QList<skinButton *> &buttons)
{
    DesignLook::setBackground(window, kDesignWindow);
    for (skinButton *button : buttons)
        DesignLook::setButtonColors(button, kButtonColors);
}

} // namespace DatabaseLook
