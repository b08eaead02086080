#pragma once

#include <QString>

class QWidget;

// Desktop services: the shell, the beep, stay-on-top and window dragging.
namespace Desktop
{

// Opens a document, folder or web/mail address with the user's default
// application; never through a shell command line. False when nothing could
// be asked to open it.
bool openDocument(const QString &target);

void beep();

// Keeps the window above others (or not) without moving, resizing or
// activating it; shows it.
void setStayOnTop(QWidget *window, bool onTop);
bool isStayOnTop(const QWidget *window);

// Moves the window with the mouse until the left button is released. Call
// from a left-button press handler.
void startWindowDrag(QWidget *window);

// Runs a batch file in the background through the platform's batch runner
// (Wine's cmd where installed). False when no runner exists.
bool runBatchFile(const QString &path);

} // namespace Desktop
