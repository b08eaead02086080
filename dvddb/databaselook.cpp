#include "dvddb/databaselook.h"

#include "platform/units.h"
#include "widgets/skinbutton.h"

#include <QLabel>

namespace DatabaseLook
{

namespace
{

constexpr int32_t kDesignWindow = 0xE8E4E0;
constexpr int32_t kButtonBack = 0x404040;
constexpr int32_t kButtonFore = 0xFFFFFF;
constexpr int32_t kButtonOver = 0x80D0FF;
constexpr int kStyleFlatOutline = 5;
// Captions and button texts are set small, as the window layout expects.
constexpr double kTextPoints = 8;

} // namespace

skinButton *makeButton(QWidget *parent, const char *name, const QString &caption,
                       const QRect &place)
{
    auto *button = new skinButton(parent, QString::fromLatin1(name));
    button->setGeometry(place);
    button->setButtonType(kStyleFlatOutline);
    button->setColorScheme(ColorSchemes::kOwn);
    button->setShowFocusRect(false);
    button->setFontSize(kTextPoints);
    button->setCaption(caption);
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
    QPalette palette = window->palette();
    palette.setColor(QPalette::Window, fromColorRef(kDesignWindow));
    window->setPalette(palette);
    window->setAutoFillBackground(true);
    for (skinButton *button : buttons) {
        button->setBackColor(kButtonBack);
        button->setForeColor(kButtonFore);
        button->setForeOver(kButtonOver);
    }
}

} // namespace DatabaseLook
