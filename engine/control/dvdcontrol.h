#pragma once

#include <QObject>
#include <QString>

#include <cstdint>

class QWidget;

// Domains of the DVD virtual machine, as the rest of the program reads them.
namespace DvdDomain
{
constexpr int kFirstPlay = 1;
constexpr int kVideoManagerMenu = 2;
constexpr int kVideoTitleSetMenu = 3;
constexpr int kTitle = 4;
constexpr int kStop = 5;
} // namespace DvdDomain

// Menu identifiers for ShowMenu.
namespace DvdMenu
{
constexpr int kTitle = 2;
constexpr int kRoot = 3;
constexpr int kSubpicture = 4;
constexpr int kAudio = 5;
constexpr int kAngle = 6;
constexpr int kChapter = 7;
} // namespace DvdMenu

// Event codes of DVDNotify. Handlers may ignore them: parameter 1 is always
// the packed time code of the position on screen.
namespace DvdEvent
{
constexpr int kDomainChange = 0x101; // p2: new domain
constexpr int kTitleChange = 0x102;  // p2: new title
constexpr int kChapterStart = 0x103; // p2: new chapter
constexpr int kAudioStreamChange = 0x104;
constexpr int kSubpictureStreamChange = 0x105;
constexpr int kAngleChange = 0x106;
constexpr int kButtonChange = 0x107;
constexpr int kStillOn = 0x10D;
constexpr int kStillOff = 0x10E;
constexpr int kCurrentTime = 0x11A; // once a second while a title plays
constexpr int kPlaybackStopped = 0x112;
constexpr int kError = 0x10F; // p2: error number
} // namespace DvdEvent

// A time code packs hours, minutes, seconds and frames into one 32-bit value,
// one byte each, hours in the lowest byte.
struct TimeCode {
    int hours = 0;
    int minutes = 0;
    int seconds = 0;
    int frames = 0;

    static TimeCode unpack(int32_t packed)
    {
        const auto value = static_cast<uint32_t>(packed);
        return {int(value & 0xFF), int((value >> 8) & 0xFF), int((value >> 16) & 0xFF),
                int((value >> 24) & 0xFF)};
    }
    int32_t pack() const
    {
        const uint32_t value = uint32_t(hours & 0xFF) | uint32_t(minutes & 0xFF) << 8 |
                               uint32_t(seconds & 0xFF) << 16 | uint32_t(frames & 0xFF) << 24;
        return static_cast<int32_t>(value);
    }
    static TimeCode fromSeconds(double seconds, int framesPerSecond);
};

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
    // from a scan; speeds are 2, 4 or 8.
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

signals:
    // Delivered on the GUI thread, at least once a second while a title plays
    // and at every change of domain, title, chapter, stream or angle.
    void DVDNotify(int eventCode, int param1, int param2);
};
