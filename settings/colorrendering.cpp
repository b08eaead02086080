#include "settings/colorrendering.h"

#include "platform/units.h"
#include "settings/colorscheme.h"
#include "settings/settingskeys.h"
#include "widgets/skinbutton.h"

#include <QApplication>
#include <QWidget>

#include <initializer_list>
#include <optional>

namespace
{

using namespace SettingsKeys;
using ColorScheme::storedColor;

void paint(QWidget *widget, std::initializer_list<QPalette::ColorRole> roles,
           std::optional<int32_t> color)
{
    if (!widget || !color)
        return;
    QPalette palette = widget->palette();
    for (const QPalette::ColorRole role : roles)
        palette.setColor(role, fromColorRef(*color));
    widget->setPalette(palette);
    widget->update();
}

void setWindowColor(QWidget *window, std::optional<int32_t> color)
{
    if (!window || !color)
        return;
    paint(window, {QPalette::Window}, color);
    window->setAutoFillBackground(true);
}

void applyBackground(const ColorRow &row)
{
    switch (row.background) {
    case SchemeBackground::ReplacePicture:
        if (row.removePicture)
            row.removePicture();
        setWindowColor(row.window, storedColor(kBackColor));
        break;
    case SchemeBackground::KeepPicture:
        setWindowColor(row.window, storedColor(kBackColor));
        break;
    case SchemeBackground::DisplayColor:
        setWindowColor(row.window, storedColor(kDisplayBackColor));
        break;
    }
}

template <typename Setter> void setButtons(const ColorRow &row, const char *key, Setter setter)
{
    const auto color = storedColor(key);
    if (!color)
        return;
    for (skinButton *button : row.buttons)
        if (button)
            (button->*setter)(*color);
}

// A skinned button shown as a display takes the display colours as its own
// background and text; any other control through its palette.
void applyDisplays(const ColorRow &row)
{
    const auto back = storedColor(kDisplayBackColor);
    const auto fore = storedColor(kDisplayForeColor);
    for (QWidget *display : row.displays) {
        if (auto *button = qobject_cast<skinButton *>(display)) {
            if (back)
                button->setBackColor(*back);
            if (fore)
                button->setForeColor(*fore);
            continue;
        }
        paint(display, {QPalette::Window, QPalette::Base}, back);
        paint(display, {QPalette::WindowText, QPalette::Text}, fore);
    }
}

} // namespace

void ApplyColorRow(const ColorRow &row)
{
    if (!ColorScheme::isSchemeStored()) {
        QApplication::processEvents();
        return;
    }
    applyBackground(row);
    QApplication::processEvents();
    setButtons(row, kOverColor, &skinButton::setForeOver);
    QApplication::processEvents();
    setButtons(row, kButtonBackColor, &skinButton::setBackColor);
    QApplication::processEvents();
    setButtons(row, kButtonForeColor, &skinButton::setForeColor);
    const auto captions = storedColor(kButtonForeColor);
    for (QWidget *label : row.captionLabels)
        paint(label, {QPalette::WindowText}, captions);
    applyDisplays(row);
}
