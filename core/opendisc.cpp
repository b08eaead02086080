#include "core/opendisc.h"

#include "base/errors.h"
#include "base/localpath.h"
#include "core/functions.h"
#include "core/playerstate.h"
#include "engine/control/dvdcontrolinstance.h"
#include "platform/dialogs.h"

#include <QDir>
#include <QDropEvent>
#include <QMimeData>
#include <QUrl>
#include <QWidget>

#include <algorithm>
#include <cstdlib>
#include <memory>

namespace OpenDisc
{

namespace
{

bool isVideoTsName(const QString &name)
{
    return name.compare(QLatin1String("VIDEO_TS"), Qt::CaseInsensitive) == 0;
}

// Paths are handled as LocalPath strings throughout: a name with blanks at
// either end or with bytes that are no valid UTF-8 stays the file it names.
QString nameOf(const QString &path)
{
    return path.section(u'/', -1);
}

// The absolute path without a trailing "/" (the root stays "/").
QString withoutTrailingSlash(const QString &path)
{
    QString absolute = LocalPath::absolute(path);
    while (absolute.size() > 1 && absolute.endsWith(u'/'))
        absolute.chop(1);
    return absolute;
}

bool holdsVideoTs(const QString &folder)
{
    const QStringList entries = LocalPath::entries(folder);
    return std::any_of(entries.begin(), entries.end(), [&](const QString &name) {
        return isVideoTsName(name) && LocalPath::isDirectory(folder + u'/' + name);
    });
}

// Only a regular file (or a link to one) is an image: a FIFO or a device
// named ".iso" is not.
bool isImage(const QString &path)
{
    const QString suffix = nameOf(path).section(u'.', -1).toLower();
    return nameOf(path).contains(u'.') && LocalPath::isPlainFile(path) &&
           (suffix == "iso" || suffix == "img");
}

QString folderSourceFor(const QString &path)
{
    const QString folder = withoutTrailingSlash(path);
    if (holdsVideoTs(folder))
        return folder + u'/';
    if (isVideoTsName(nameOf(folder)))
        return folder.section(u'/', 0, -2) + u'/';
    return QString();
}

QString sourceOfDrop(const QMimeData *data)
{
    if (!data || !data->hasUrls() || data->urls().size() != 1)
        return QString();
    const QUrl url = data->urls().constFirst();
    return url.isLocalFile() ? sourceFor(localPathOf(url)) : QString();
}

// The one name in the folder that Qt decodes as `shown`; `shown` itself
// when there is none or more than one.
QString nameDecodedAs(const QString &folder, const QString &shown)
{
    QStringList matches;
    for (const QString &entry :
         LocalPath::entries(folder.isEmpty() ? QStringLiteral("/") : folder)) {
        if (QString::fromUtf8(LocalPath::toBytes(entry)) == shown)
            matches << entry;
    }
    return matches.size() == 1 ? matches.front() : shown;
}

// The file dialog decodes names as UTF-8, a byte that is none becoming
// U+FFFD: each such part of the chosen path is matched back to its name on
// disk.
QString onDiskPath(const QString &chosen)
{
    if (!chosen.contains(QChar::ReplacementCharacter))
        return chosen;
    const QStringList parts = chosen.split(u'/');
    QString path = parts.front();
    for (qsizetype index = 1; index < parts.size(); ++index) {
        const QString &part = parts[index];
        path +=
            u'/' + (part.contains(QChar::ReplacementCharacter) ? nameDecodedAs(path, part) : part);
    }
    return path;
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
    const QString place = withoutTrailingSlash(source.isEmpty() ? path : source);
    const std::unique_ptr<char, void (*)(void *)> resolved(
        ::realpath(LocalPath::toBytes(place).constData(), nullptr), std::free);
    return resolved ? LocalPath::fromBytes(QByteArray(resolved.get())) : place;
}

// True also when the control holds no source yet.
bool holdsAnother(const QString &source)
{
    IgnoreErrors steps;
    bool another = true;
    steps.step([&] { another = samePlaceAs(dvdControl()->DVDDirectory()) != samePlaceAs(source); });
    return another;
}

bool discPlaying()
{
    IgnoreErrors steps;
    bool playing = false;
    steps.step([&] { playing = dvdControl()->CurrentDomain() != DvdDomain::kStop; });
    return playing;
}

} // namespace

QString localPathOf(const QUrl &url)
{
    return LocalPath::fromBytes(
        QByteArray::fromPercentEncoding(url.path(QUrl::FullyEncoded).toLatin1()));
}

QString sourceFor(const QString &path)
{
    if (path.isEmpty())
        return QString();
    if (LocalPath::isDirectory(path))
        return folderSourceFor(path);
    if (isImage(path))
        return LocalPath::absolute(path);
    if (LocalPath::isPlainFile(path) &&
        nameOf(path).compare(QLatin1String("VIDEO_TS.IFO"), Qt::CaseInsensitive) == 0)
        return folderSourceFor(LocalPath::absolute(path).section(u'/', 0, -2));
    return QString();
}

void play(const QString &source)
{
    const bool another = holdsAnother(source);
    const bool stopFirst = another && discPlaying();
    if (const auto refused = trapFirstError([&] { dvdControl()->setDVDDirectory(source); })) {
        Functions::ReportPlayFailure(refused->number(), refused->description());
        return;
    }
    if (stopFirst)
        Functions::StopDisc();
    else if (another)
        playerState().databaseWindowShown = false;
    Functions::PlayDisc();
}

// A path the dialog hands back that is not a disc goes to the control as it
// is, so that the refusal names it.
void choose(QWidget *parent)
{
    const QString chosen = onDiskPath(Dialogs::current().discSource(
        parent, QStringLiteral("Open a DVD: an ISO image or a folder holding VIDEO_TS"),
        QDir::homePath()));
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
