#include "engine/control/dvdengine.h"

#include "engine/common/dvderrors.h"
#include "engine/control/playbacksession.h"
#include "engine/navigation/navsession.h"

#include <cmath>

// The commands of the control: checked here against the snapshot, so that a
// refusal is an immediate error with a reason, then run on the navigation
// thread.

namespace
{
bool isMenu(int domain)
{
    return domain == DvdDomain::kVideoManagerMenu || domain == DvdDomain::kVideoTitleSetMenu;
}
} // namespace

// Questions about the disc itself have no answer before a disc was opened.
void DvdEngine::requireDisc() const
{
    if (!disc_)
        throw DvdErrors::noDisc(requestedSource_);
}

PlaybackSnapshot DvdEngine::requirePlaying() const
{
    PlaybackSnapshot now = snapshot();
    if (now.domain() == DvdDomain::kStop || !now.disc || !session_)
        throw DvdErrors::notPlaying();
    return now;
}

PlaybackSnapshot DvdEngine::requireTitle(const QString &operation) const
{
    PlaybackSnapshot now = requirePlaying();
    if (now.domain() != DvdDomain::kTitle)
        throw DvdErrors::notPermitted(operation, QStringLiteral("no title is playing"));
    return now;
}

PlaybackSnapshot DvdEngine::requireButtons(const QString &operation) const
{
    PlaybackSnapshot now = requirePlaying();
    if (!now.menuButtons)
        throw DvdErrors::notPermitted(operation, QStringLiteral("no menu buttons are on screen"));
    requireAllowed(now, UserOperation::kButtonSelectOrActivate, QStringLiteral("menu buttons"));
    return now;
}

void DvdEngine::requireAllowed(const PlaybackSnapshot &snapshot, uint32_t operation,
                               const QString &name) const
{
    if (snapshot.prohibited & operation)
        throw DvdErrors::prohibitedByDisc(name);
}

void DvdEngine::PlayNextChapter()
{
    const PlaybackSnapshot now = requireTitle(QStringLiteral("PlayNextChapter"));
    requireAllowed(now, UserOperation::kNextProgramSearch, QStringLiteral("skipping chapters"));
    const TitleInfo *title = now.disc->title(now.title);
    if (!title || now.chapter >= title->chapters)
        throw DvdErrors::notPermitted(QStringLiteral("PlayNextChapter"),
                                      QStringLiteral("this is the last chapter"));
    playOnAtNormalSpeed();
    post(ChapterPlay{now.title, now.chapter + 1});
}

// In the first chapter, the previous chapter is the start of this one.
void DvdEngine::PlayPrevChapter()
{
    const PlaybackSnapshot now = requireTitle(QStringLiteral("PlayPrevChapter"));
    requireAllowed(now, UserOperation::kPrevOrTopProgramSearch,
                   QStringLiteral("going back a chapter"));
    playOnAtNormalSpeed();
    post(ChapterPlay{now.title, std::max(1, now.chapter - 1)});
}

void DvdEngine::ShowMenu(int menuId)
{
    if (menuId < DvdMenu::kTitle || menuId > DvdMenu::kChapter)
        throw DvdErrors::invalidArgument(
            QStringLiteral("There is no DVD menu %1: menus are numbered 2 to 7.").arg(menuId));
    const PlaybackSnapshot now = requirePlaying();
    if (now.domain() == DvdDomain::kFirstPlay)
        throw DvdErrors::notPermitted(QStringLiteral("ShowMenu"),
                                      QStringLiteral("the disc is still starting"));
    requireAllowed(now, UserOperation::forMenu(menuId), QStringLiteral("this menu"));
    const TitleSetInfo *set = now.disc->titleSet(now.titleSet);
    const bool exists =
        menuId == DvdMenu::kTitle ? now.disc->hasTitleMenu : set && set->menus[size_t(menuId)];
    if (!exists)
        throw DvdErrors::notPermitted(QStringLiteral("ShowMenu"),
                                      QStringLiteral("the disc has no such menu here"));
    playOnAtNormalSpeed();
    post(MenuCall{menuId});
}

void DvdEngine::Resume()
{
    const PlaybackSnapshot now = requirePlaying();
    if (!isMenu(now.domain()))
        throw DvdErrors::notPermitted(QStringLiteral("Resume"),
                                      QStringLiteral("no DVD menu is shown"));
    requireAllowed(now, UserOperation::kResume, QStringLiteral("resuming"));
    if (!now.resumable)
        throw DvdErrors::notPermitted(QStringLiteral("Resume"),
                                      QStringLiteral("no title was left for this menu"));
    playOnAtNormalSpeed();
    post(MenuCall{0});
}

void DvdEngine::SelectUpperButton()
{
    requireButtons(QStringLiteral("SelectUpperButton"));
    post(ButtonMove{ButtonDirection::Up});
}

void DvdEngine::SelectLowerButton()
{
    requireButtons(QStringLiteral("SelectLowerButton"));
    post(ButtonMove{ButtonDirection::Down});
}

void DvdEngine::SelectLeftButton()
{
    requireButtons(QStringLiteral("SelectLeftButton"));
    post(ButtonMove{ButtonDirection::Left});
}

void DvdEngine::SelectRightButton()
{
    requireButtons(QStringLiteral("SelectRightButton"));
    post(ButtonMove{ButtonDirection::Right});
}

void DvdEngine::ActivateButton()
{
    requireButtons(QStringLiteral("ActivateButton"));
    playOnAtNormalSpeed();
    post(ButtonActivate{});
}

void DvdEngine::pointAt(QPoint picturePoint, bool activate)
{
    const PlaybackSnapshot now = snapshot();
    if (!session_ || !now.menuButtons || (now.prohibited & UserOperation::kButtonSelectOrActivate))
        return;
    if (activate)
        playOnAtNormalSpeed();
    post(PointerButton{picturePoint.x(), picturePoint.y(), activate});
}

void DvdEngine::setCurrentAudioStream(int stream)
{
    const PlaybackSnapshot now = requireTitle(QStringLiteral("Changing the audio stream"));
    requireAllowed(now, UserOperation::kAudioStreamChange, QStringLiteral("changing the audio"));
    const bool exists =
        std::any_of(now.audio.begin(), now.audio.end(),
                    [&](const AudioStreamInfo &info) { return info.stream == stream; });
    if (!exists)
        throw DvdErrors::noSuchStream(QStringLiteral("audio stream"), stream,
                                      int(now.audio.size()));
    const uint64_t request = ++choices_;
    post(StreamRegisters{stream, -1, request});
    store_->update([&](PlaybackSnapshot &snapshot) { snapshot.audioChoice = {stream, request}; });
}

// Choosing a subtitle stream also shows it: on most discs subtitles start
// hidden, and a choice the viewer cannot see would be no choice.
void DvdEngine::setCurrentSubpictureStream(int stream)
{
    const PlaybackSnapshot now = requireTitle(QStringLiteral("Changing the subtitles"));
    requireAllowed(now, UserOperation::kSubpictureStreamChange,
                   QStringLiteral("changing the subtitles"));
    const bool exists =
        std::any_of(now.subpictures.begin(), now.subpictures.end(),
                    [&](const SubpictureStreamInfo &info) { return info.stream == stream; });
    if (!exists)
        throw DvdErrors::noSuchStream(QStringLiteral("subtitle stream"), stream,
                                      int(now.subpictures.size()));
    postSubpicture(stream | 0x40);
}

void DvdEngine::setSubpictureOn(bool on)
{
    const PlaybackSnapshot now = requireTitle(QStringLiteral("Showing or hiding subtitles"));
    requireAllowed(now, UserOperation::kSubpictureStreamChange,
                   QStringLiteral("showing or hiding subtitles"));
    if (now.subpictures.empty())
        throw DvdErrors::notPermitted(QStringLiteral("Showing or hiding subtitles"),
                                      QStringLiteral("this title has no subtitles"));
    postSubpicture(now.currentSubpicture() | (on ? 0x40 : 0));
}

void DvdEngine::postSubpicture(int value)
{
    const uint64_t request = ++choices_;
    post(StreamRegisters{-1, value, request});
    store_->update([&](PlaybackSnapshot &snapshot) {
        snapshot.subpictureChoice = {value, request};
    });
}

void DvdEngine::setCurrentAngle(int angle)
{
    const PlaybackSnapshot now = requireTitle(QStringLiteral("Changing the angle"));
    if (angle < 1 || angle > now.angles)
        throw DvdErrors::noSuchStream(QStringLiteral("angle"), angle, now.angles);
    requireAllowed(now, UserOperation::kAngleChange, QStringLiteral("changing the angle"));
    const uint64_t request = ++choices_;
    post(AngleChange{angle, request});
    store_->update([&](PlaybackSnapshot &snapshot) { snapshot.angleChoice = {angle, request}; });
}

// Sound and pictures stop together; a scan ends where its picture stands.
void DvdEngine::Pause()
{
    const PlaybackSnapshot now = requirePlaying();
    requireAllowed(now, UserOperation::kPauseOn, QStringLiteral("pausing"));
    if (now.paused)
        return;
    if (now.scanning() != 0)
        postScan(0);
    pauseOutputs();
    store_->update([](PlaybackSnapshot &snapshot) { snapshot.paused = true; });
}

void DvdEngine::PlayForwards(double speed)
{
    scan(speed, true);
}

void DvdEngine::PlayBackwards(double speed)
{
    scan(speed, false);
}

void DvdEngine::scan(double speed, bool forward)
{
    const QString operation =
        forward ? QStringLiteral("PlayForwards") : QStringLiteral("PlayBackwards");
    const int rate = int(std::lround(speed));
    if ((rate != 2 && rate != 4 && rate != 8) || std::abs(speed - rate) > 0.01)
        throw DvdErrors::invalidArgument(
            QStringLiteral("%1 takes the speeds 2, 4 and 8, not %2.").arg(operation).arg(speed));
    const PlaybackSnapshot now = requireTitle(operation);
    requireAllowed(now, forward ? UserOperation::kForwardScan : UserOperation::kBackwardScan,
                   forward ? QStringLiteral("scanning forward")
                           : QStringLiteral("scanning backward"));
    if (now.still)
        throw DvdErrors::notPermitted(operation, QStringLiteral("a still picture is shown"));
    if (now.paused)
        resumeOutputs();
    const int signedRate = forward ? rate : -rate;
    postScan(signedRate);
    store_->update([](PlaybackSnapshot &snapshot) { snapshot.paused = false; });
}

void DvdEngine::pauseOutputs()
{
    if (audio_)
        audio_->pause();
    session_->pause();
}

void DvdEngine::resumeOutputs()
{
    session_->resume();
    if (audio_)
        audio_->resume();
}

void DvdEngine::playOnAtNormalSpeed()
{
    const PlaybackSnapshot now = snapshot();
    if (!session_ || (!now.paused && now.scanning() == 0))
        return;
    if (now.paused)
        resumeOutputs();
    store_->update([](PlaybackSnapshot &snapshot) {
        snapshot.paused = false;
        snapshot.scanSpeed = 0;
    });
}
