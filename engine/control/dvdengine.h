#pragma once

#include "engine/common/playbacktaps.h"
#include "engine/common/snapshotstore.h"
#include "engine/control/bookmarkstore.h"
#include "engine/control/discprobe.h"
#include "engine/control/dvdcontrol.h"
#include "engine/control/regionchange.h"
#include "engine/drive/drivesource.h"
#include "engine/navigation/commandqueue.h"
#include "engine/navigation/navsession.h"
#include "engine/output/audiooutput.h"
#include "engine/present/pictureslot.h"
#include "engine/source/dvdsource.h"

#include <QImage>
#include <QPointer>
#include <QTimer>

#include <atomic>
#include <memory>
#include <optional>

class AppError;
class DvdView;
class PlaybackSession;

// The real DVD control on libdvdnav and FFmpeg. It lives on the GUI thread:
// reads answer from the published snapshot, commands are checked against it
// and then run on the navigation thread, and notifications from the worker
// threads are delivered here as DVDNotify.
class DvdEngine : public DvdControl
{
    Q_OBJECT
public:
    explicit DvdEngine(QObject *parent = nullptr, const AudioOutputOptions &audio = {});
    ~DvdEngine() override;

    void Play() override;
    void Pause() override;
    void Stop() override;
    void PlayForwards(double speed) override;
    void PlayBackwards(double speed) override;
    void PlayNextChapter() override;
    void PlayPrevChapter() override;

    void ShowMenu(int menuId) override;
    void Resume() override;
    void SelectUpperButton() override;
    void SelectLowerButton() override;
    void SelectLeftButton() override;
    void SelectRightButton() override;
    void ActivateButton() override;

    int CurrentDomain() const override;
    int CurrentTitle() const override;
    int CurrentChapter() const override;
    int ChapterCount(int title) const override;
    QString TotalTitleTime() const override;
    QString TimeCodeToText(int32_t timeCode) const override;

    int AudioStreamsAvailable() const override;
    int CurrentAudioStream() const override;
    void setCurrentAudioStream(int stream) override;
    QString AudioLanguage(int stream) const override;
    int SubpictureStreamsAvailable() const override;
    int CurrentSubpictureStream() const override;
    void setCurrentSubpictureStream(int stream) override;
    bool SubpictureOn() const override;
    void setSubpictureOn(bool on) override;
    QString SubpictureLanguage(int stream) const override;
    int AnglesAvailable() const override;
    int CurrentAngle() const override;
    void setCurrentAngle(int angle) override;

    QString DiscUniqueId() const override;
    QString DVDDirectory() const override;
    void setDVDDirectory(const QString &source) override;
    int CurrentDiscSide() const override;
    int FramesPerSecond() const override;
    void ChangeRegion() override;

    void Zoom(int x, int y, double ratio) override;

    void SaveBookmark() override;
    void RestoreBookmark() override;
    DiscPlace CurrentPlace() override;
    void PlayFromPlace(const DiscPlace &place) override;
    QImage PictureOnScreen() override;
    void DeleteBookmark() override;

    QWidget *view() override;

    // The picture on screen at its display aspect (e.g. 768 x 576 for 4:3
    // PAL); null before the first picture.
    QImage currentPicture() const;
    // Pictures shown since the control was made; a new count is a new
    // picture on screen.
    uint64_t picturesShown() const;
    // Points at (hover) or clicks (activate) the picture, in picture pixels.
    void pointAt(QPoint picturePoint, bool activate);
    // Seconds of the picture on screen into its program chain.
    double presentedSeconds() const;
    // The VM's region mask (bit r-1: region r) of the disc playing.
    int regionMask() const;
    // Where the control looks for drives and their regions (tests give it a
    // drive double).
    void setDriveAccess(DriveAccess access);
    // The window ChangeRegion opens; without one ChangeRegion fails.
    void setRegionChooser(RegionChooser chooser);
    // The file that keeps one bookmark per disc; without one the bookmark
    // calls fail.
    void setBookmarkFile(const QString &path);
    // Where sessions take their blocks from, from the next Play; empty:
    // libdvdnav (tests give it a reader that stalls).
    void setBlockReaders(BlockReaderFactory readers);
    // How sources set from now on are probed (tests give a slow one), and how
    // long a Play waits for a probe before it gives up on the drive.
    void setDiscProber(DiscProber prober);
    void setProbePatienceForPlay(std::chrono::milliseconds patience);
    bool isPaused() const override;
    // Times normal speed while scanning, negative backwards; 0 at normal speed.
    int scanSpeed() const;
    // The menu button the disc has selected (0: none).
    int selectedButton() const;
    // Observers of decoded sound and presented pictures; they take effect at
    // the next Play.
    void setTaps(std::shared_ptr<const PlaybackTaps> taps);
    // The description of the last failure that happened on the navigation
    // thread (reported by DVDNotify with DvdEvent::kError).
    QString lastPlaybackError() const;

protected:
    bool event(QEvent *event) override;

private:
    PlaybackSnapshot snapshot() const { return store_->read(); }
    void requireDisc() const;
    PlaybackSnapshot requirePlaying() const;
    PlaybackSnapshot requireTitle(const QString &operation) const;
    PlaybackSnapshot requireButtons(const QString &operation) const;
    void requireAllowed(const PlaybackSnapshot &snapshot, uint32_t operation,
                        const QString &name) const;
    void post(NavCommand command);
    void postScan(int speed);
    void scan(double speed, bool forward);
    void pauseOutputs();
    void resumeOutputs();
    // Jumps elsewhere play on at normal speed.
    void playOnAtNormalSpeed();
    void postSubpicture(int value);
    void startSession();
    void openSession(const ProbedDisc &probed);
    void awaitProbe(std::shared_ptr<DiscProbe> probe);
    void probeAnswered();
    void giveUpOnProbe();
    void cancelStart();
    void failStart(const AppError &error);
    std::shared_ptr<DiscProbe> probeFor(const DiscSource &source);
    ProbedDisc probedDisc(const DiscSource &source);
    std::function<int()> startingRegionMask(const DiscSource &source, const DiscInfo &info) const;
    void applyRegionMask(int mask);
    QString discIdForBookmark();
    BookmarkStore bookmarks() const;
    DiscPlace placeOnScreen(const QString &operation) const;
    void jumpTo(const DiscPlace &place, const QString &what);
    void endSession();
    void deliverNotifications();
    void schedulePictureUpdate();
    void watch();
    static QString durationText(int64_t ticks90k);

    // Opens the device on its own thread from the start; audio_ is it once
    // open.
    std::unique_ptr<AudioOutput> sound_;
    AudioOutput *audio_ = nullptr;
    std::shared_ptr<const PlaybackTaps> taps_;
    DriveAccess driveAccess_;
    RegionChooser regionChooser_;
    QString bookmarkFile_;
    BlockReaderFactory blockReaders_;
    int chosenRegionMask_ = 0;
    QString requestedSource_;
    std::optional<DiscSource> requested_;
    std::optional<ProbedDisc> disc_;
    DiscProber prober_ = DvdSource::probe;
    std::shared_ptr<ProbeThreads> probeThreads_;
    std::shared_ptr<DiscProbe> probe_;
    bool probeUsed_ = false;
    // A Play waiting for its probe: the session opens when it answers.
    std::shared_ptr<DiscProbe> starting_;
    QTimer startPatience_;
    std::shared_ptr<SnapshotStore> store_;
    std::shared_ptr<PictureSlot> pictures_;
    std::unique_ptr<PlaybackSession> session_;
    QPointer<DvdView> view_;
    QTimer watchTimer_;
    std::shared_ptr<std::atomic<bool>> pictureUpdatePending_;
    qint64 lastTimeNotification_ = 0;
    uint64_t scanRequests_ = 0;
    uint64_t choices_ = 0; // the user's stream and angle choices posted
};
