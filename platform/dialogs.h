#pragma once

#include <QColor>
#include <QString>

#include <memory>
#include <optional>

class QWidget;

// The file, colour and Yes/No dialogs of the program, behind one interface so
// that tests answer them without blocking.
class Dialogs
{
public:
    virtual ~Dialogs() = default;

    // Filters in Qt's form: "Color scheme (*.cfx)". Empty when cancelled.
    virtual QString openFileName(QWidget *parent, const QString &caption, const QString &directory,
                                 const QString &filter) = 0;
    virtual QString saveFileName(QWidget *parent, const QString &caption, const QString &directory,
                                 const QString &filter) = 0;
    // An ISO image or a folder: the user may open a folder as well as a file.
    // Empty when cancelled.
    virtual QString discSource(QWidget *parent, const QString &caption,
                               const QString &directory) = 0;
    virtual std::optional<QColor> color(QWidget *parent, const QColor &initial) = 0;
    // Enter answers No: the safe answer to a question that would destroy.
    virtual bool askYesNo(QWidget *parent, const QString &title, const QString &question) = 0;
    // Enter answers Yes, for a question whose No loses something, as the
    // offer to continue a film where it was left.
    virtual bool askYesNoDefaultYes(QWidget *parent, const QString &title, const QString &question)
    {
        return askYesNo(parent, title, question);
    }

    // The dialogs in use: the desktop's own unless a test installed others.
    static Dialogs &current();
    static void install(std::unique_ptr<Dialogs> dialogs);
};
