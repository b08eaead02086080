#include "platform/dialogs.h"

#include <QColorDialog>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>
#include <QRegularExpression>

#include <algorithm>

namespace
{

bool isVideoTsName(const QString &name)
{
    return name.compare(QLatin1String("VIDEO_TS"), Qt::CaseInsensitive) == 0;
}

// A disc folder holds VIDEO_TS, or is VIDEO_TS itself.
bool isDiscFolder(const QString &path)
{
    const QFileInfo info(path);
    if (!info.isDir())
        return false;
    const QStringList entries = QDir(path).entryList(QDir::Dirs | QDir::NoDotAndDotDot);
    return isVideoTsName(info.fileName()) ||
           std::any_of(entries.begin(), entries.end(), isVideoTsName);
}

// A file dialog for an image that also takes a disc folder: "Open" on a
// folder holding VIDEO_TS (selected, or the one shown) chooses that folder,
// while any other folder is entered as usual.
class DiscSourceDialog : public QFileDialog
{
public:
    DiscSourceDialog(QWidget *parent, const QString &caption, const QString &directory)
        : QFileDialog(parent, caption, directory,
                      QStringLiteral("DVD-Video (*.iso *.ISO *.img *.IMG VIDEO_TS.IFO "
                                     "video_ts.ifo);;All files (*)"))
    {
        setFileMode(QFileDialog::ExistingFile);
        setOption(QFileDialog::DontUseNativeDialog);
        setObjectName(QStringLiteral("discSourceDialog"));
    }

    QString chosen;

    void accept() override
    {
        QString candidate = selectedFiles().value(0);
        if (candidate.isEmpty())
            candidate = directory().absolutePath();
        if (isDiscFolder(candidate)) {
            chosen = candidate;
            QDialog::accept();
            return;
        }
        QFileDialog::accept();
        if (result() == QDialog::Accepted)
            chosen = selectedFiles().value(0);
    }
};

// The message windows stay on top: a question must too, or one of them could
// cover it while it blocks their OK buttons.
int askAboveEverything(QWidget *parent, const QString &title, const QString &question,
                       QMessageBox::StandardButton defaultButton)
{
    QMessageBox box(QMessageBox::Question, title, question, QMessageBox::Yes | QMessageBox::No,
                    parent);
    box.setDefaultButton(defaultButton);
    box.setObjectName(QStringLiteral("question"));
    box.setWindowModality(Qt::ApplicationModal);
    box.setWindowFlag(Qt::WindowStaysOnTopHint);
    return box.exec();
}

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
        // The filter's extension is added to a name typed without one before
        // the dialog asks about replacing a file of that name.
        QFileDialog dialog(parent, caption, directory, filter);
        dialog.setAcceptMode(QFileDialog::AcceptSave);
        const QRegularExpressionMatch extension =
            QRegularExpression(QStringLiteral("\\*\\.(\\w+)")).match(filter);
        if (extension.hasMatch())
            dialog.setDefaultSuffix(extension.captured(1));
        return dialog.exec() == QDialog::Accepted ? dialog.selectedFiles().value(0) : QString();
    }
    QString discSource(QWidget *parent, const QString &caption, const QString &directory) override
    {
        DiscSourceDialog dialog(parent, caption, directory);
        return dialog.exec() == QDialog::Accepted ? dialog.chosen : QString();
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
        return askAboveEverything(parent, title, question, QMessageBox::No) == QMessageBox::Yes;
    }
    bool askYesNoDefaultYes(QWidget *parent, const QString &title, const QString &question) override
    {
        return askAboveEverything(parent, title, question, QMessageBox::Yes) == QMessageBox::Yes;
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
