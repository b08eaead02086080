#pragma once

#include <QAccessibleWidget>

class skinButton;

// What assistive technology sees of a skinned button: a push button named by
// its accessible name, else the label that is its buddy, else its caption
// (its tool tip when the caption is in a symbol font);
// pressed while held down, unavailable while disabled, and pressed through
// the action interface as a left click would.
class SkinButtonAccessible : public QAccessibleWidget
{
public:
    explicit SkinButtonAccessible(skinButton *button);

    QString text(QAccessible::Text kind) const override;
    QAccessible::State state() const override;
    QStringList actionNames() const override;
    void doAction(const QString &action) override;
    QStringList keyBindingsForAction(const QString &action) const override;

    // Makes Qt build this interface for every skinButton; once is enough.
    static void install();

private:
    skinButton *button() const;
};
