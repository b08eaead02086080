#include "platform/dialogs.h"

#include <QColorDialog>
#include <QFileDialog>
#include <QMessageBox>

namespace
{

class DesktopDialogs : public Dialogs
{
public:
    QString openFileName(QWidget *parent, const QString &caption, const QString &directory,
                         const QString &filter) override
    {
        return QFileDialog::getOpenFileName(parent, caption, directory, filter);
    }
    QString saveFileName(QWidget *parent, const QString &caption, const QString &directory,
                         const QString &filter) override
    {
        return QFileDialog::getSaveFileName(parent, caption, directory, filter);
    }
    std::optional<QColor> color(QWidget *parent, const QColor &initial) override
    {
        const QColor chosen = QColorDialog::getColor(initial, parent);
        if (!chosen.isValid())
            return std::nullopt;
        return chosen;
    }
    bool askYesNo(QWidget *parent, const QString &title, const QString &question) override
    {
        return QMessageBox::question(parent, title, question, QMessageBox::Yes | QMessageBox::No,
                                     QMessageBox::No) == QMessageBox::Yes;
    }
};

std::unique_ptr<Dialogs> &slot()
{
    static std::unique_ptr<Dialogs> dialogs;
    return dialogs;
}

} // namespace

Dialogs &Dialogs::current()
{
    if (!slot())
        slot() = std::make_unique<DesktopDialogs>();
    return *slot();
}

void Dialogs::install(std::unique_ptr<Dialogs> dialogs)
{
    slot() = std::move(dialogs);
}
