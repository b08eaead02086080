#include "engine/control/dvdengine.h"

#include "base/logging.h"
#include "engine/common/dvderrors.h"
#include "engine/control/bookmarkstore.h"
#include "engine/control/regionchange.h"
#include "engine/drive/driveregion.h"
#include "engine/navigation/navsession.h"
#include "engine/output/dvdview.h"
#include "engine/present/pictureslot.h"

#include <cmath>

// The picture zoom, the bookmark and the drive's region.

void DvdEngine::Zoom(int x, int y, double ratio)
{
    if (!std::isfinite(ratio) || ratio <= 0)
        throw DvdErrors::invalidArgument(
            QStringLiteral("The zoom ratio must be a positive number, not %1.").arg(ratio));
    static_cast<DvdView *>(view())->zoomAt(QPointF(x, y), ratio);
}

// The bookmark is the picture on screen: its title, chapter and time, with
// the angle and streams the viewer chose.
void DvdEngine::SaveBookmark()
{
    const DiscPlace place = placeOnScreen(QStringLiteral("SaveBookmark"));
    bookmarks().save(requirePlaying().disc->discId, place);
}

DiscPlace DvdEngine::CurrentPlace()
{
    return placeOnScreen(QStringLiteral("CurrentPlace"));
}

QImage DvdEngine::PictureOnScreen()
{
    const QString operation = QStringLiteral("PictureOnScreen");
    if (requirePlaying().domain() != DvdDomain::kTitle)
        throw DvdErrors::notPermitted(operation, QStringLiteral("no title is playing"));
    const ShownPicture picture = pictures_->latest();
    if (picture.plain.isNull())
        throw DvdErrors::notPermitted(operation, QStringLiteral("no picture is on screen yet"));
    return picture.plain.scaled(picture.displayWidth(), picture.plain.height(),
                                Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
}

DiscPlace DvdEngine::placeOnScreen(const QString &operation) const
{
    const PlaybackSnapshot now = requirePlaying();
    if (now.domain() != DvdDomain::kTitle || now.title <= 0)
        throw DvdErrors::notPermitted(operation, QStringLiteral("no title is playing"));
    DiscPlace record;
    record.title = now.title;
    record.chapter = std::max(1, now.chapter);
    record.seconds = double(now.time90k) / 90000.0;
    record.angle = now.currentAngle();
    record.audioStream = now.currentAudio();
    record.subpictureStream = now.currentSubpicture();
    record.subpictureOn = now.subpictureOn();
    return record;
}

// From any domain, and from a stopped disc, which starts playing there.
void DvdEngine::RestoreBookmark()
{
    const QString discId = discIdForBookmark();
    const std::optional<BookmarkStore::Record> record = bookmarks().load(discId);
    if (!record)
        throw AppError(ErrorNumbers::kNoBookmark,
                       QStringLiteral("No bookmark is stored for this disc."));
    jumpTo(*record, QStringLiteral("going to a bookmark"));
}

void DvdEngine::PlayFromPlace(const DiscPlace &place)
{
    discIdForBookmark();
    jumpTo(place, QStringLiteral("going to a place on the disc"));
}

void DvdEngine::jumpTo(const DiscPlace &place, const QString &what)
{
    const TitleInfo *title = disc_->info.title(place.title);
    if (!title || place.chapter > title->chapters)
        throw AppError(ErrorNumbers::kNoBookmark,
                       QStringLiteral("The stored bookmark (title %1, chapter %2) does not fit "
                                      "this disc.")
                           .arg(place.title)
                           .arg(place.chapter));
    // The disc was probed for its id above; a drive is probed again, as
    // for a Play, and the jump needs its session now.
    if (!session_ || snapshot().domain() == DvdDomain::kStop) {
        endSession();
        openSession(probedDisc(DvdSource::resolve(requestedSource_)));
    }
    requireAllowed(snapshot(), UserOperation::kTitleOrTimePlay, what);
    BookmarkJump jump;
    jump.title = place.title;
    jump.chapter = place.chapter;
    jump.time90k = std::llround(place.seconds * 90000.0);
    jump.angle = place.angle;
    jump.audio = place.audioStream < 8 ? place.audioStream : -1;
    if (place.subpictureStream < 32)
        jump.subpicture = place.subpictureStream | (place.subpictureOn ? 0x40 : 0);
    playOnAtNormalSpeed();
    post(jump);
}

// Deleting a bookmark that is not there is no failure.
void DvdEngine::DeleteBookmark()
{
    bookmarks().remove(discIdForBookmark());
}

void DvdEngine::setBookmarkFile(const QString &path)
{
    bookmarkFile_ = path;
}

BookmarkStore DvdEngine::bookmarks() const
{
    if (bookmarkFile_.isEmpty())
        throw AppError(ErrorNumbers::kFileError,
                       QStringLiteral("The control was given no file for its bookmarks."));
    return BookmarkStore(bookmarkFile_);
}

// The disc the bookmark belongs to: the one playing, else the chosen source.
QString DvdEngine::discIdForBookmark()
{
    if (!disc_ || (requested_ && requested_->path != disc_->source.path))
        disc_ = probedDisc(DvdSource::resolve(requestedSource_));
    if (disc_->info.discId.isEmpty())
        throw DvdErrors::noDisc(requestedSource_);
    return disc_->info.discId;
}

void DvdEngine::ChangeRegion()
{
    QString source;
    if (requested_)
        source = requested_->path;
    else if (disc_)
        source = disc_->source.path;
    QWidget *parent = view_ ? view_->window() : nullptr;
    changeDriveRegion(
        parent, source, [this](int mask) { applyRegionMask(mask); }, driveAccess_, regionChooser_);
}

void DvdEngine::applyRegionMask(int mask)
{
    chosenRegionMask_ = mask;
    if (session_)
        post(RegionMask{mask});
}

// The VM's region follows the one chosen here, else the drive's, else it is
// every region the disc itself allows (an image or a folder has no drive).
// The drive is asked on the navigation thread: a busy drive never holds up
// the window.
std::function<int()> DvdEngine::startingRegionMask(const DiscSource &source,
                                                   const DiscInfo &info) const
{
    if (chosenRegionMask_)
        return [mask = chosenRegionMask_] { return mask; };
    return [source, access = driveAccess_, allowed = info.allowedRegions] {
        if (source.kind != SourceKind::Image) {
            try {
                if (const std::optional<int> region = readDriveRegion(source.path, access).region())
                    return 1 << (*region - 1);
            } catch (const AppError &error) {
                // No drive to ask, or no permission to ask it: the disc decides.
                qCDebug(logEngine) << "region from the disc, not the drive:" << error.description();
            }
        }
        return allowed;
    };
}

void DvdEngine::setDriveAccess(DriveAccess access)
{
    driveAccess_ = std::move(access);
}

void DvdEngine::setBlockReaders(BlockReaderFactory readers)
{
    blockReaders_ = std::move(readers);
}

void DvdEngine::setDiscProber(DiscProber prober)
{
    prober_ = std::move(prober);
}

void DvdEngine::setProbePatienceForPlay(std::chrono::milliseconds patience)
{
    startPatience_.setInterval(patience);
}

void DvdEngine::setRegionChooser(RegionChooser chooser)
{
    regionChooser_ = std::move(chooser);
}

int DvdEngine::regionMask() const
{
    return snapshot().regionMask;
}
