#pragma once

#include "base/errors.h"
#include "engine/control/dvdcontrol.h"

#include <QStringList>
#include <QWidget>

#include <map>
#include <memory>

// A DVD control for tests of the logic above it: its state is set by the
// test, every operation is recorded by name (with its arguments), and any
// operation can be made to fail.
class ScriptedDvdControl : public DvdControl
{
public:
    // State the test sets.
    int domain = DvdDomain::kStop;
    int title = 1;
    int chapter = 1;
    std::map<int, int> chapterCounts{{1, 28}};
    QString totalTitleTime = QStringLiteral("1:45:00");
    int audioStreams = 2;
    int audioStream = 0;
    QStringList audioLanguages{QStringLiteral("English"), QStringLiteral("French")};
    int subpictureStreams = 2;
    int subpictureStream = 0;
    bool subpictureOn = false;
    QStringList subpictureLanguages{QStringLiteral("English"), QStringLiteral("German")};
    int angles = 1;
    int angle = 1;
    QString discId = QStringLiteral("0123456789abcdef0123456789abcdef");
    QString directory = QStringLiteral("/media/dvd/VIDEO_TS");
    int discSide = 1;
    int framesPerSecond = 25;

    // Every operation called, e.g. "Play", "ShowMenu(3)", "setCurrentAngle(2)".
    QStringList calls;
    // Operations (by bare name, e.g. "Play", "CurrentDomain") that throw.
    std::map<QString, AppError> failures;

    void failOn(const QString &operation, int32_t number, const QString &description)
    {
        failures.insert_or_assign(operation, AppError(number, description));
    }
    // Sends a notification as the real control does, on the calling thread.
    void notify(int event, int32_t timeCode, int param2 = 0)
    {
        emit DVDNotify(event, timeCode, param2);
    }
    QStringList callsExceptReads() const { return calls; }

    void Play() override { act("Play"); }
    void Pause() override { act("Pause"); }
    void Stop() override { act("Stop"); }
    void PlayForwards(double speed) override { act("PlayForwards", speed); }
    void PlayBackwards(double speed) override { act("PlayBackwards", speed); }
    void PlayNextChapter() override { act("PlayNextChapter"); }
    void PlayPrevChapter() override { act("PlayPrevChapter"); }
    void ShowMenu(int menuId) override { act("ShowMenu", menuId); }
    void Resume() override { act("Resume"); }
    void SelectUpperButton() override { act("SelectUpperButton"); }
    void SelectLowerButton() override { act("SelectLowerButton"); }
    void SelectLeftButton() override { act("SelectLeftButton"); }
    void SelectRightButton() override { act("SelectRightButton"); }
    void ActivateButton() override { act("ActivateButton"); }

    int CurrentDomain() const override { return read("CurrentDomain", domain); }
    int CurrentTitle() const override { return read("CurrentTitle", title); }
    int CurrentChapter() const override { return read("CurrentChapter", chapter); }
    int ChapterCount(int forTitle) const override
    {
        auto it = chapterCounts.find(forTitle);
        return read("ChapterCount", it == chapterCounts.end() ? 0 : it->second);
    }
    QString TotalTitleTime() const override { return read("TotalTitleTime", totalTitleTime); }
    QString TimeCodeToText(int32_t timeCode) const override
    {
        const TimeCode code = TimeCode::unpack(timeCode);
        return read("TimeCodeToText", QStringLiteral("%1:%2:%3")
                                          .arg(code.hours)
                                          .arg(code.minutes, 2, 10, QLatin1Char('0'))
                                          .arg(code.seconds, 2, 10, QLatin1Char('0')));
    }

    int AudioStreamsAvailable() const override
    {
        return read("AudioStreamsAvailable", audioStreams);
    }
    int CurrentAudioStream() const override { return read("CurrentAudioStream", audioStream); }
    void setCurrentAudioStream(int stream) override
    {
        act("setCurrentAudioStream", stream);
        audioStream = stream;
    }
    QString AudioLanguage(int stream) const override
    {
        return read("AudioLanguage", audioLanguages.value(stream, QStringLiteral("Unknown")));
    }
    int SubpictureStreamsAvailable() const override
    {
        return read("SubpictureStreamsAvailable", subpictureStreams);
    }
    int CurrentSubpictureStream() const override
    {
        return read("CurrentSubpictureStream", subpictureStream);
    }
    void setCurrentSubpictureStream(int stream) override
    {
        act("setCurrentSubpictureStream", stream);
        subpictureStream = stream;
    }
    bool SubpictureOn() const override { return read("SubpictureOn", subpictureOn); }
    void setSubpictureOn(bool on) override
    {
        act("setSubpictureOn", on ? 1 : 0);
        subpictureOn = on;
    }
    QString SubpictureLanguage(int stream) const override
    {
        return read("SubpictureLanguage",
                    subpictureLanguages.value(stream, QStringLiteral("Unknown")));
    }
    int AnglesAvailable() const override { return read("AnglesAvailable", angles); }
    int CurrentAngle() const override { return read("CurrentAngle", angle); }
    void setCurrentAngle(int value) override
    {
        act("setCurrentAngle", value);
        angle = value;
    }

    QString DiscUniqueId() const override { return read("DiscUniqueId", discId); }
    QString DVDDirectory() const override { return read("DVDDirectory", directory); }
    void setDVDDirectory(const QString &source) override
    {
        act("setDVDDirectory", source);
        directory = source;
    }
    int CurrentDiscSide() const override { return read("CurrentDiscSide", discSide); }
    int FramesPerSecond() const override { return read("FramesPerSecond", framesPerSecond); }
    void ChangeRegion() override { act("ChangeRegion"); }
    void Zoom(int x, int y, double ratio) override
    {
        act("Zoom", QStringLiteral("%1,%2,%3").arg(x).arg(y).arg(ratio));
    }
    void SaveBookmark() override { act("SaveBookmark"); }
    void RestoreBookmark() override { act("RestoreBookmark"); }
    DiscPlace place; // the place on screen while domain is the title
    DiscPlace CurrentPlace() override { return read("CurrentPlace", place); }
    void PlayFromPlace(const DiscPlace &to) override { act("PlayFromPlace", to.seconds); }
    void DeleteBookmark() override { act("DeleteBookmark"); }
    QImage picture; // the title's picture on screen
    QImage PictureOnScreen() override { return read("PictureOnScreen", picture); }

    QWidget *view() override
    {
        if (!view_)
            view_ = std::make_unique<QWidget>();
        return view_.get();
    }

    // Installs a fresh double as the program's DVD control and returns it.
    static ScriptedDvdControl *install();

private:
    void failIfScripted(const QString &name) const
    {
        auto it = failures.find(name);
        if (it != failures.end())
            throw it->second;
    }
    void act(const QString &name)
    {
        calls << name;
        failIfScripted(name);
    }
    template <typename Argument> void act(const QString &name, const Argument &argument)
    {
        calls << QStringLiteral("%1(%2)").arg(name).arg(argument);
        failIfScripted(name);
    }
    template <typename Value> Value read(const QString &name, Value value) const
    {
        failIfScripted(name);
        return value;
    }

    std::unique_ptr<QWidget> view_;
};
