#pragma once

#include "base/errors.h"
#include "engine/common/dvdtypes.h"

#include <QImage>
#include <QObject>
#include <QString>

class QWidget;

// The DVD playback control: every operation the program needs of a DVD
// player. All calls are made on the GUI thread and fail by throwing AppError
// (number + readable description); reads never block on the drive.
class DvdControl : public QObject
{
    Q_OBJECT
public:
    using QObject::QObject;
    ~DvdControl() override = default;

    // Transport. Play also resumes after Pause and returns to normal speed
    // from a scan; speeds are 2, 4 or 8. A Play on a drive still reading the
    // disc returns after a moment: the disc shows as starting (first play) until it
    // plays, or PlayFailed says why it cannot.
    virtual void Play() = 0;
    virtual void Pause() = 0;
    virtual void Stop() = 0;
    virtual void PlayForwards(double speed) = 0;
    virtual void PlayBackwards(double speed) = 0;
    virtual void PlayNextChapter() = 0;
    virtual void PlayPrevChapter() = 0;

    // Menus and their buttons.
    virtual void ShowMenu(int menuId) = 0;
    virtual void Resume() = 0;
    virtual void SelectUpperButton() = 0;
    virtual void SelectLowerButton() = 0;
    virtual void SelectLeftButton() = 0;
    virtual void SelectRightButton() = 0;
    virtual void ActivateButton() = 0;

    // Position of the picture on screen.
    virtual int CurrentDomain() const = 0;
    virtual int CurrentTitle() const = 0;
    virtual int CurrentChapter() const = 0;
    virtual int ChapterCount(int title) const = 0;
    virtual QString TotalTitleTime() const = 0;                 // "h:mm:ss"
    virtual QString TimeCodeToText(int32_t timeCode) const = 0; // "h:mm:ss"

    // Streams and angles. Audio and subpicture streams count from 0, angles
    // from 1.
    virtual int AudioStreamsAvailable() const = 0;
    virtual int CurrentAudioStream() const = 0;
    virtual void setCurrentAudioStream(int stream) = 0;
    virtual QString AudioLanguage(int stream) const = 0;
    virtual int SubpictureStreamsAvailable() const = 0;
    virtual int CurrentSubpictureStream() const = 0;
    virtual void setCurrentSubpictureStream(int stream) = 0;
    virtual bool SubpictureOn() const = 0;
    virtual void setSubpictureOn(bool on) = 0;
    virtual QString SubpictureLanguage(int stream) const = 0;
    virtual int AnglesAvailable() const = 0;
    virtual int CurrentAngle() const = 0;
    virtual void setCurrentAngle(int angle) = 0;

    // Disc.
    virtual QString DiscUniqueId() const = 0;
    virtual QString DVDDirectory() const = 0;
    virtual void setDVDDirectory(const QString &source) = 0;
    virtual int CurrentDiscSide() const = 0;
    virtual int FramesPerSecond() const = 0;
    virtual void ChangeRegion() = 0;

    // Picture: magnify by ratio around (x, y) of the picture as shown, in
    // units of a 720-wide picture at its display aspect (360, 270 is the
    // middle of a 4:3 picture); 0.5 zooms out, never below the whole picture.
    virtual void Zoom(int x, int y, double ratio) = 0;

    // One bookmark per disc, kept by the control across program runs.
    virtual void SaveBookmark() = 0;
    virtual void RestoreBookmark() = 0;
    virtual void DeleteBookmark() = 0;

    // The widget that shows the picture; the video window parents and sizes it.
    virtual QWidget *view() = 0;

    // Beyond the player's own operations: where a title stands, for the
    // program to come back to later. The place is that of the picture on
    // screen, as a bookmark keeps it. A control that cannot tell refuses.
    virtual DiscPlace CurrentPlace() { throw unsupported(QStringLiteral("CurrentPlace")); }
    // Plays the disc from a place CurrentPlace gave, as RestoreBookmark does.
    virtual void PlayFromPlace(const DiscPlace &)
    {
        throw unsupported(QStringLiteral("PlayFromPlace"));
    }

    // The title's picture on screen without subpictures, at its display
    // aspect (768 x 576 for 4:3 PAL); refused outside a title.
    virtual QImage PictureOnScreen() { throw unsupported(QStringLiteral("PictureOnScreen")); }

    // True while a Pause holds the disc; a control that cannot tell says no.
    virtual bool isPaused() const { return false; }

private:
    static AppError unsupported(const QString &operation)
    {
        return AppError(ErrorNumbers::kNotPermitted,
                        operation + QStringLiteral(" is not supported by this control."));
    }

signals:
    // Delivered on the GUI thread, at least once a second while a title plays
    // and at every change of domain, title, chapter, stream or angle.
    void DVDNotify(int eventCode, int param1, int param2);
    // A Play that returned while the drive was still reading the disc failed
    // afterwards, with the number and description Play would have thrown.
    void PlayFailed(int number, const QString &description);
    // While a disc plays: part of it could not be read and playback went on
    // without it. Raised once, for the user to be told.
    void PlaybackProblem(int number, const QString &description);
};
