#include "core/opendisc.h"

#include "core/errors.h"
#include "core/functions.h"
#include "engine/control/dvdcontrolinstance.h"
#include "platform/dialogs.h"

#include <QDir>
#include <QDropEvent>
#include <QFileInfo>
#include <QMimeData>
#include <QUrl>
#include <QWidget>

#include <algorithm>

namespace OpenDisc
{

namespace
{

bool isVideoTsName(const QString &name)
{
    return name.compare(QLatin1String("VIDEO_TS"), Qt::CaseInsensitive) == 0;
}

bool holdsVideoTs(const QDir &folder)
{
    const QStringList entries = folder.entryList(QDir::Dirs | QDir::NoDotAndDotDot);
    return std::any_of(entries.begin(), entries.end(), isVideoTsName);
}

QString asFolderSource(const QDir &folder)
{
    return folder.absolutePath() + u'/';
}

// Only a regular file (or a link to one) is an image: a FIFO or a device
// named ".iso" is not.
bool isImage(const QFileInfo &info)
{
    const QString suffix = info.suffix().toLower();
    return info.isFile() && (suffix == "iso" || suffix == "img");
}

QString folderSourceFor(const QFileInfo &info)
{
    QDir folder(info.absoluteFilePath());
    if (holdsVideoTs(folder))
        return asFolderSource(folder);
    if (isVideoTsName(info.fileName()) && folder.cdUp())
        return asFolderSource(folder);
    return QString();
}

QString sourceOfDrop(const QMimeData *data)
{
    if (!data || !data->hasUrls() || data->urls().size() != 1)
        return QString();
    const QUrl url = data->urls().constFirst();
    return url.isLocalFile() ? sourceFor(url.toLocalFile()) : QString();
}

// Takes drops for the window it watches.
class DropTarget : public QObject
{
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        switch (event->type()) {
        case QEvent::DragEnter:
        case QEvent::DragMove: {
            auto *drag = static_cast<QDropEvent *>(event);
            if (!sourceOfDrop(drag->mimeData()).isEmpty())
                drag->acceptProposedAction();
            else
                drag->ignore();
            return true;
        }
        case QEvent::Drop: {
            auto *drop = static_cast<QDropEvent *>(event);
            const QString source = sourceOfDrop(drop->mimeData());
            if (source.isEmpty())
                return false;
            drop->acceptProposedAction();
            play(source);
            return true;
        }
        default:
            return QObject::eventFilter(watched, event);
        }
    }
};

// The control names a disc folder by its VIDEO_TS folder: both name the same
// disc as the folder holding it.
QString samePlaceAs(const QString &path)
{
    const QString source = sourceFor(path);
    const QFileInfo info(source.isEmpty() ? path : source);
    return info.exists() ? info.canonicalFilePath() : info.absoluteFilePath();
}

bool playingAnother(const QString &source)
{
    IgnoreErrors steps;
    bool another = false;
    steps.step([&] {
        DvdControl *control = dvdControl();
        another = control->CurrentDomain() != DvdDomain::kStop &&
                  samePlaceAs(control->DVDDirectory()) != samePlaceAs(source);
    });
    return another;
}

} // namespace

QString sourceFor(const QString &path)
{
    if (path.isEmpty())
        return QString();
    const QFileInfo info(path);
    if (info.isDir())
        return folderSourceFor(info);
    if (isImage(info))
        return info.absoluteFilePath();
    if (info.isFile() &&
        info.fileName().compare(QLatin1String("VIDEO_TS.IFO"), Qt::CaseInsensitive) == 0)
        return folderSourceFor(QFileInfo(info.absolutePath()));
    return QString();
}

void play(const QString &source)
{
    if (playingAnother(source))
        Functions::StopDisc();
    IgnoreErrors steps;
    steps.step([&] { dvdControl()->setDVDDirectory(source); });
    Functions::PlayDisc();
}

// A path the dialog hands back that is not a disc goes to the control as it
// is, so that the play command names it in its error message.
void choose(QWidget *parent)
{
    const QString chosen = Dialogs::current().discSource(
        parent, QStringLiteral("Open a DVD: an ISO image or a folder holding VIDEO_TS"),
        QDir::homePath());
    if (chosen.isEmpty())
        return;
    const QString source = sourceFor(chosen);
    play(source.isEmpty() ? chosen : source);
}

void acceptDrops(QWidget *window)
{
    window->setAcceptDrops(true);
    window->installEventFilter(new DropTarget(window));
}

} // namespace OpenDisc
