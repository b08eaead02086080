#include "widgets/skinbuttonaccessible.h"

#include "widgets/skinbutton.h"
#include "widgets/skincaption.h"
#include "widgets/symbolglyphs.h"

#include <QKeySequence>

namespace
{

QAccessibleInterface *skinButtonInterface(const QString &className, QObject *object)
{
    if (className == QLatin1String("skinButton") && object && object->isWidgetType())
        return new SkinButtonAccessible(static_cast<skinButton *>(object));
    return nullptr;
}

QString accessKeyText(const skinButton *button)
{
    if (button->AccessKey().isNull())
        return QString();
    const auto key = Qt::Key(button->AccessKey().toUpper().unicode());
    return QKeySequence(QKeyCombination(Qt::AltModifier, key)).toString(QKeySequence::NativeText);
}

} // namespace

SkinButtonAccessible::SkinButtonAccessible(skinButton *button)
    : QAccessibleWidget(button, QAccessible::Button)
{
}

skinButton *SkinButtonAccessible::button() const
{
    return static_cast<skinButton *>(widget());
}

QString SkinButtonAccessible::text(QAccessible::Text kind) const
{
    if (kind == QAccessible::Name) {
        const QString named = QAccessibleWidget::text(kind);
        if (!named.isEmpty())
            return named;
        // Symbols read out as letters say nothing; the tip says what it does.
        if (symbolFontOf(button()->FontName()) != SymbolFont::None)
            return button()->toolTip();
        return withoutAccessMarks(button()->Caption());
    }
    if (kind == QAccessible::Accelerator)
        return accessKeyText(button());
    return QAccessibleWidget::text(kind);
}

QAccessible::State SkinButtonAccessible::state() const
{
    QAccessible::State state = QAccessibleWidget::state();
    state.pressed = button()->isDown();
    return state;
}

QStringList SkinButtonAccessible::actionNames() const
{
    QStringList names = QAccessibleWidget::actionNames();
    if (button()->isEnabled())
        names.prepend(pressAction());
    return names;
}

void SkinButtonAccessible::doAction(const QString &action)
{
    if (action == pressAction())
        button()->clickFromAssistant();
    else
        QAccessibleWidget::doAction(action);
}

QStringList SkinButtonAccessible::keyBindingsForAction(const QString &action) const
{
    if (action == pressAction() && !button()->AccessKey().isNull())
        return {accessKeyText(button())};
    return QAccessibleWidget::keyBindingsForAction(action);
}

void SkinButtonAccessible::install()
{
    static const bool installed = [] {
        QAccessible::installFactory(&skinButtonInterface);
        return true;
    }();
    Q_UNUSED(installed);
}
