#include "widgets/windowaccessible.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QWidget>

namespace
{

bool isPlainWindow(const QString &className, QObject *object)
{
    if (!object || !object->isWidgetType())
        return false;
    const QMetaObject *type = object->metaObject();
    // Qt asks for each class up the chain: answer only for the object's own,
    // and leave every Qt class (QDialog, QMainWindow) to Qt.
    if (className != QLatin1String(type->className()) ||
        type->superClass() != &QWidget::staticMetaObject)
        return false;
    const auto *widget = static_cast<const QWidget *>(object);
    const Qt::WindowType kind = widget->windowType();
    return widget->isWindow() && kind != Qt::Popup && kind != Qt::ToolTip;
}

QAccessibleInterface *plainWindowInterface(const QString &className, QObject *object)
{
    if (!isPlainWindow(className, object))
        return nullptr;
    return new QAccessibleWidget(static_cast<QWidget *>(object), QAccessible::Window);
}

} // namespace

void WindowAccessible::install()
{
    QAccessible::installFactory(&plainWindowInterface);
}
