#include "engine/control/dvdengine.h"

#include "engine/common/dvderrors.h"

// The reads of the control: all answered from the published snapshot.

QString DvdEngine::durationText(int64_t ticks90k)
{
    const int64_t seconds = std::max<int64_t>(0, ticks90k / 90000);
    return QStringLiteral("%1:%2:%3")
        .arg(seconds / 3600)
        .arg(seconds / 60 % 60, 2, 10, QLatin1Char('0'))
        .arg(seconds % 60, 2, 10, QLatin1Char('0'));
}

QString DvdEngine::TimeCodeToText(int32_t timeCode) const
{
    const TimeCode code = TimeCode::unpack(timeCode);
    return QStringLiteral("%1:%2:%3")
        .arg(code.hours)
        .arg(code.minutes, 2, 10, QLatin1Char('0'))
        .arg(code.seconds, 2, 10, QLatin1Char('0'));
}

int DvdEngine::CurrentDomain() const
{
    return snapshot().domain();
}

int DvdEngine::CurrentTitle() const
{
    return snapshot().title;
}

int DvdEngine::CurrentChapter() const
{
    return snapshot().chapter;
}

int DvdEngine::ChapterCount(int title) const
{
    const PlaybackSnapshot now = snapshot();
    if (!now.disc)
        throw DvdErrors::noDisc(requestedSource_);
    const TitleInfo *info = now.disc->title(title);
    if (!info)
        throw DvdErrors::invalidArgument(
            QStringLiteral("There is no title %1: the disc has titles 1 to %2.")
                .arg(title)
                .arg(now.disc->titles.size()));
    return info->chapters;
}

// A title's length is what its IFO stores for its program chains; in a menu
// it is the menu's own program chain.
QString DvdEngine::TotalTitleTime() const
{
    const PlaybackSnapshot now = requirePlaying();
    if (now.domain() == DvdDomain::kTitle) {
        if (const TitleInfo *title = now.disc->title(now.title); title && title->duration90k > 0)
            return durationText(title->duration90k);
    }
    return durationText(now.programChainLength90k);
}

int DvdEngine::AudioStreamsAvailable() const
{
    requireDisc();
    return int(snapshot().audio.size());
}

int DvdEngine::CurrentAudioStream() const
{
    return snapshot().currentAudio();
}

QString DvdEngine::AudioLanguage(int stream) const
{
    const PlaybackSnapshot now = snapshot();
    for (const AudioStreamInfo &info : now.audio) {
        if (info.stream == stream)
            return info.language;
    }
    throw DvdErrors::noSuchStream(QStringLiteral("audio stream"), stream, int(now.audio.size()));
}

int DvdEngine::SubpictureStreamsAvailable() const
{
    requireDisc();
    return int(snapshot().subpictures.size());
}

int DvdEngine::CurrentSubpictureStream() const
{
    return snapshot().currentSubpicture();
}

bool DvdEngine::SubpictureOn() const
{
    return snapshot().subpictureOn();
}

QString DvdEngine::SubpictureLanguage(int stream) const
{
    const PlaybackSnapshot now = snapshot();
    for (const SubpictureStreamInfo &info : now.subpictures) {
        if (info.stream == stream)
            return info.language;
    }
    throw DvdErrors::noSuchStream(QStringLiteral("subtitle stream"), stream,
                                  int(now.subpictures.size()));
}

int DvdEngine::AnglesAvailable() const
{
    requireDisc();
    return snapshot().angles;
}

int DvdEngine::CurrentAngle() const
{
    return snapshot().currentAngle();
}

double DvdEngine::presentedSeconds() const
{
    return double(snapshot().time90k) / 90000.0;
}

int DvdEngine::selectedButton() const
{
    return snapshot().button;
}

bool DvdEngine::isPaused() const
{
    return snapshot().paused;
}

int DvdEngine::scanSpeed() const
{
    return snapshot().scanning();
}
