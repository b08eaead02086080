#pragma once

#include <QString>

class QLabel;
class QWidget;
class skinButton;

// What the settings window's tabs share: their buttons and wrapped texts.
namespace SettingsPage
{

// A dark button as wide as its caption needs, at least 80 by 26 pixels.
skinButton *button(QWidget *parent, const char *name, const QString &caption);

QLabel *wrappedLabel(const QString &text, QWidget *parent);

} // namespace SettingsPage
