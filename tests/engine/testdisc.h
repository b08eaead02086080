#pragma once

#include "support/waitfor.h"

#include "base/errors.h"
#include "engine/control/dvdengine.h"

#include <QImage>
#include <QJsonObject>
#include <QString>

#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <vector>

// The generated test disc and helpers for driving the real control on it.
namespace TestDisc
{

QString folder();          // <build>/testdiscs/sample (holds VIDEO_TS)
QString avSyncFolder();    // <build>/testdiscs/avsync: flash and beep every second
QString lpcmFolder();      // <build>/testdiscs/lpcm: an LPCM and a DTS stream, one tone each
QString menusFolder();     // <build>/testdiscs/menus: title 1 and every kind of menu, as stills
QString fieldsFolder();    // <build>/testdiscs/fields: 25i made from 50p, then 25p (and source/)
QString firstPlayFolder(); // <build>/testdiscs/firstplay: straight into a title of four chapters
QString iso();             // <build>/testdiscs/sample.iso
// Where the players of these tests keep their bookmarks.
QString bookmarkFile();
// True where the run plays through a sound server (VIDORA_TEST_SOUND=device).
bool soundThroughADevice();
QJsonObject authored(); // what the generator authored (sample.json)
QJsonObject title(int number);
// The 2048-byte packs of one of the sample disc's files ("VTS_01_1.VOB"),
// from the first on, at most count of them.
std::vector<std::vector<uint8_t>> packs(const QString &fileName, int first, int count);

// Pictures: pixels near white, pixels of the menus' yellow highlight, and
// the peak signal-to-noise ratio of two pictures of one size, in dB.
int brightPixels(const QImage &picture, const QRect &area);
int yellowPixels(const QImage &picture, const QRect &area);
double psnr(const QImage &first, const QImage &second);
// The band where the test disc's subtitles appear, in display pixels.
QRect subtitleBand(const QImage &picture);

using ::waitFor;

// The number of the AppError the action throws (its description into
// description when given); 0 when it throws none.
int errorNumber(const std::function<void()> &action, QString *description = nullptr);

// What the engine decoded and showed, recorded through its taps.
class Recorder
{
public:
    struct Sound {
        int64_t pts = 0;
        int sampleRate = 48000;
        std::vector<float> left; // the first channel, -1..1
    };
    struct Picture {
        int64_t pts = -1;
        int64_t titleTime90k = 0;
        std::optional<int64_t> heard90k;
        int brightness = 0; // mean of a grid of pixels, 0..255
        std::chrono::steady_clock::time_point at;
        QImage image; // only at the times keepImages() asks for
    };

    Recorder();
    std::shared_ptr<const PlaybackTaps> taps() const { return taps_; }
    std::vector<Sound> sound() const;
    std::vector<Picture> pictures() const;
    void clear();
    // Keeps the images of the pictures whose title time the filter takes.
    void keepImages(std::function<bool(int64_t titleTime90k)> wanted);

private:
    mutable std::mutex mutex_;
    std::vector<Sound> sound_;
    std::vector<Picture> pictures_;
    std::function<bool(int64_t)> keepImage_;
    std::shared_ptr<PlaybackTaps> taps_;
};

// The frequency of a tone, from its zero crossings.
double toneFrequency(const std::vector<float> &samples, int sampleRate);
// The tone of the sound decoded from `from` (90 kHz) on, over about 0.2 s; 0
// when less than 0.1 s was decoded.
double toneAfter(const std::vector<Recorder::Sound> &sound, int64_t from);
// The PTS of the first decoded block from `from` on whose tone is near `hertz`.
std::optional<int64_t> firstBlockWithTone(const std::vector<Recorder::Sound> &sound, int64_t from,
                                          double hertz);
// What the viewer hears now, as the last picture shown saw it.
std::optional<int64_t> heardNow(const Recorder &recorder);
int64_t lastSoundPts(const Recorder &recorder);

// A control playing the sample disc, its notifications recorded.
struct Player {
    explicit Player(const QString &source = folder());
    ~Player();

    // Waits for the domain; then for the picture on screen to show it.
    bool waitForDomain(int domain, int timeoutMs = 10000);
    bool waitForTitle(int title, int chapter = 0, int timeoutMs = 10000);
    // Plays and goes through the video manager menu to a title by its button.
    void playTitleFromMenu(int buttonsDown);
    // Seconds of the picture on screen in its program chain.
    double seconds() const;

    Recorder recorder;
    std::unique_ptr<DvdEngine> engine;
    std::vector<std::array<int, 3>> notifications; // event, p1, p2
};

} // namespace TestDisc
