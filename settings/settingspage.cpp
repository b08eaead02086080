#include "settings/settingspage.h"

#include "widgets/designlook.h"
#include "widgets/skinbutton.h"

#include <QLabel>

#include <algorithm>

namespace SettingsPage
{

namespace
{

constexpr int kButtonStyle = 5;

} // namespace

skinButton *button(QWidget *parent, const char *name, const QString &caption)
{
    auto *button = DesignLook::makeButton(parent, name, kButtonStyle, caption);
    DesignLook::setButtonColors(button);
    const int width = button->fontMetrics().horizontalAdvance(caption) + 28;
    button->setMinimumSize(std::max(width, 80), 26);
    button->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
    return button;
}

QLabel *wrappedLabel(const QString &text, QWidget *parent)
{
    auto *label = new QLabel(text, parent);
    label->setWordWrap(true);
    return label;
}

} // namespace SettingsPage
