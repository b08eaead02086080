#pragma once

#include <QString>

class QWidget;

// Small routines every window uses.

// Shows the text in a new message window and returns at once; the empty text
// shows nothing.
void ShowMessage(const QString &text);

// Starts moving the window with the mouse; call from a left-button press.
void DragWindow(QWidget *window);

// Opens a document, program or address with the desktop's default handler.
// Empty text on success, otherwise the reason.
QString OpenDocument(const QString &file, const QString &parameters, const QString &directory);

// Case-insensitive search; the empty needle is in every haystack.
bool ContainsText(const QString &needle, const QString &haystack);

// Shows the window in front, restored first when it was minimized.
void ShowRestored(QWidget *window);
