#pragma once

#include "platform/dialogs.h"

#include <QStringList>

#include <deque>

// Answers the program's dialogs from a script and records what was asked.
class ScriptedDialogs : public Dialogs
{
public:
    std::deque<QString> fileNames; // answers to open and save dialogs, in order
    std::deque<std::optional<QColor>> colors;
    std::deque<bool> yesNoAnswers; // an empty queue answers No
    QStringList questions;         // every Yes/No question asked
    QStringList fileCaptions;
    QStringList fileFilters;

    QString openFileName(QWidget *, const QString &caption, const QString &,
                         const QString &filter) override
    {
        return nextFile(caption, filter);
    }
    QString saveFileName(QWidget *, const QString &caption, const QString &,
                         const QString &filter) override
    {
        return nextFile(caption, filter);
    }
    QString discSource(QWidget *, const QString &caption, const QString &) override
    {
        return nextFile(caption, QString());
    }
    std::optional<QColor> color(QWidget *, const QColor &) override
    {
        if (colors.empty())
            return std::nullopt;
        auto answer = colors.front();
        colors.pop_front();
        return answer;
    }
    bool askYesNo(QWidget *, const QString &, const QString &question) override
    {
        questions << question;
        if (yesNoAnswers.empty())
            return false;
        const bool answer = yesNoAnswers.front();
        yesNoAnswers.pop_front();
        return answer;
    }

    // Installs a fresh instance as the program's dialogs and returns it.
    static ScriptedDialogs *install()
    {
        auto dialogs = std::make_unique<ScriptedDialogs>();
        auto *raw = dialogs.get();
        Dialogs::install(std::move(dialogs));
        return raw;
    }

private:
    QString nextFile(const QString &caption, const QString &filter)
    {
        fileCaptions << caption;
        fileFilters << filter;
        if (fileNames.empty())
            return {};
        QString answer = fileNames.front();
        fileNames.pop_front();
        return answer;
    }
};
