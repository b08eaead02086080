#pragma once

#include "core/box.h"
#include "core/forms.h"
#include "support/scripteddvdcontrol.h"

#include <QApplication>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QStringList>
#include <QWidget>

#include <gtest/gtest.h>

// Helpers shared by the control surface tests.
namespace SurfaceTesting
{

// A press and release of one mouse button at a point of the widget, through
// the application, so that unhandled presses travel on to the parents.
inline void click(QWidget *widget, Qt::MouseButton button = Qt::LeftButton,
                  QPoint at = QPoint(-1, -1))
{
    if (at == QPoint(-1, -1))
        at = widget->rect().center();
    const QPointF local(at);
    const QPointF global(widget->mapToGlobal(at));
    QMouseEvent press(QEvent::MouseButtonPress, local, global, button, button, Qt::NoModifier);
    QApplication::sendEvent(widget, &press);
    QMouseEvent release(QEvent::MouseButtonRelease, local, global, button, Qt::NoButton,
                        Qt::NoModifier);
    QApplication::sendEvent(widget, &release);
}

inline void press(QWidget *widget, Qt::MouseButton button)
{
    const QPointF local(widget->rect().center());
    QMouseEvent event(QEvent::MouseButtonPress, local, widget->mapToGlobal(local), button, button,
                      Qt::NoModifier);
    QApplication::sendEvent(widget, &event);
}

// The pointer entering a widget: a move inside it with no button held.
inline void hover(QWidget *widget)
{
    const QPointF local(widget->rect().center());
    QMouseEvent move(QEvent::MouseMove, local, widget->mapToGlobal(local), Qt::NoButton,
                     Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(widget, &move);
}

// The pointer leaving it again.
inline void leave(QWidget *widget)
{
    const QPointF outside(widget->width() + 5, widget->height() + 5);
    QMouseEvent move(QEvent::MouseMove, outside, widget->mapToGlobal(outside), Qt::NoButton,
                     Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(widget, &move);
}

// The texts of the message windows now open; closes them.
inline QStringList takeMessages()
{
    QStringList texts;
    for (BOX *box : BOX::openWindows()) {
        texts << box->msg->toPlainText();
        box->close();
    }
    QApplication::processEvents();
    return texts;
}

// Lets windows that close themselves go.
inline void flushDeletes()
{
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QApplication::processEvents();
}

// A test on the scripted control; whatever windows and messages it opened
// are gone after it.
class ScriptedControlTest : public ::testing::Test
{
protected:
    void SetUp() override { control = ScriptedDvdControl::install(); }
    void TearDown() override
    {
        Forms::unloadAll();
        takeMessages();
    }
    ScriptedDvdControl *control = nullptr;
};

} // namespace SurfaceTesting
