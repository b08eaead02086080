#pragma once

#include <QString>
#include <QStringList>

class QWidget;

// Small routines every window uses.

// Shows the text in a new message window and returns at once; the empty text
// shows nothing, and a text already showing is not opened again. A long path
// in the text is cut to a readable length (CutToReadableLength).
void ShowMessage(const QString &text);

// The text with every run of characters without a blank longer than a path
// one reads (a file name of a megabyte) cut in its middle to an ellipsis, and
// the whole cut after a few thousand characters: laying such a text out
// would hold the program up for a minute.
QString CutToReadableLength(const QString &text);

// While one exists, the messages ShowMessage is given go to it instead of
// to windows: a command run for a caller on the session bus answers that
// caller with them. Catchers nest; the newest takes the messages.
class MessageCatcher
{
public:
    MessageCatcher();
    ~MessageCatcher();
    MessageCatcher(const MessageCatcher &) = delete;
    MessageCatcher &operator=(const MessageCatcher &) = delete;

    const QStringList &messages() const { return messages_; }

private:
    friend void ShowMessage(const QString &text);
    QStringList messages_;
    MessageCatcher *outer_;
};

// Starts moving the window with the mouse; call from a left-button press.
void DragWindow(QWidget *window);

// Opens a document, program or address with the desktop's default handler.
// Empty text on success, otherwise the reason.
QString OpenDocument(const QString &file, const QString &parameters, const QString &directory);

// Case-insensitive search; the empty needle is in every haystack.
bool ContainsText(const QString &needle, const QString &haystack);

// Shows the window in front, restored first when it was minimized.
void ShowRestored(QWidget *window);
