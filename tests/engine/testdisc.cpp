#include "testdisc.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QStandardPaths>
#include <QTest>

#include <cmath>

namespace TestDisc
{

namespace
{
QString discDir()
{
    return qEnvironmentVariable("VIDORA_TEST_DISCS");
}
} // namespace

QString folder()
{
    return discDir() + QStringLiteral("/sample");
}

QString avSyncFolder()
{
    return discDir() + QStringLiteral("/avsync");
}

QString fieldsFolder()
{
    return discDir() + QStringLiteral("/fields");
}

QString lpcmFolder()
{
    return discDir() + QStringLiteral("/lpcm");
}

QString menusFolder()
{
    return discDir() + QStringLiteral("/menus");
}

QString firstPlayFolder()
{
    return discDir() + QStringLiteral("/firstplay");
}

QString iso()
{
    return discDir() + QStringLiteral("/sample.iso");
}

QJsonObject authored()
{
    QFile file(discDir() + QStringLiteral("/sample.json"));
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return QJsonDocument::fromJson(file.readAll()).object();
}

QJsonObject title(int number)
{
    return authored().value(QStringLiteral("titles")).toArray().at(number - 1).toObject();
}

std::vector<std::vector<uint8_t>> packs(const QString &fileName, int first, int count)
{
    constexpr qint64 kPack = 2048;
    QFile file(folder() + QStringLiteral("/VIDEO_TS/") + fileName);
    std::vector<std::vector<uint8_t>> result;
    if (!file.open(QIODevice::ReadOnly) || !file.seek(first * kPack))
        return result;
    for (int i = 0; i < count; ++i) {
        std::vector<uint8_t> pack(kPack);
        if (file.read(reinterpret_cast<char *>(pack.data()), kPack) != kPack)
            break;
        result.push_back(std::move(pack));
    }
    return result;
}

namespace
{
template <typename Test> int countPixels(const QImage &picture, const QRect &area, Test test)
{
    int count = 0;
    const QRect inside = area.intersected(picture.rect());
    for (int y = inside.top(); y <= inside.bottom(); ++y) {
        for (int x = inside.left(); x <= inside.right(); ++x) {
            if (test(QColor(picture.pixel(x, y))))
                ++count;
        }
    }
    return count;
}
} // namespace

int brightPixels(const QImage &picture, const QRect &area)
{
    return countPixels(picture, area, [](const QColor &c) {
        return c.red() > 200 && c.green() > 200 && c.blue() > 200;
    });
}

int yellowPixels(const QImage &picture, const QRect &area)
{
    return countPixels(picture, area, [](const QColor &c) {
        return c.red() > 200 && c.green() > 200 && c.blue() < 100;
    });
}

double psnr(const QImage &first, const QImage &second)
{
    if (first.size() != second.size() || first.isNull())
        return 0;
    double squares = 0;
    for (int y = 0; y < first.height(); ++y) {
        for (int x = 0; x < first.width(); ++x) {
            const QRgb a = first.pixel(x, y);
            const QRgb b = second.pixel(x, y);
            for (int d : {qRed(a) - qRed(b), qGreen(a) - qGreen(b), qBlue(a) - qBlue(b)})
                squares += double(d) * d;
        }
    }
    const double mean = squares / (3.0 * first.width() * first.height());
    return mean == 0 ? 99.0 : 10.0 * std::log10(255.0 * 255.0 / mean);
}

QRect subtitleBand(const QImage &picture)
{
    return QRect(0, 450, picture.width(), 80);
}

namespace
{
std::vector<float> firstChannel(const PcmFormat &format, const PcmBlock &block)
{
    std::vector<float> samples(size_t(block.frames(format)));
    const char *data = block.data.constData();
    for (size_t i = 0; i < samples.size(); ++i) {
        const char *sample = data + i * size_t(format.bytesPerFrame());
        switch (format.sampleType) {
        case PcmSampleType::Int16:
            samples[i] = float(*reinterpret_cast<const int16_t *>(sample)) / 32768.0f;
            break;
        case PcmSampleType::Int32:
            samples[i] = float(*reinterpret_cast<const int32_t *>(sample)) / 2147483648.0f;
            break;
        case PcmSampleType::Float:
            samples[i] = *reinterpret_cast<const float *>(sample);
            break;
        }
    }
    return samples;
}

int meanBrightness(const QImage &image)
{
    int sum = 0;
    int count = 0;
    for (int y = image.height() / 8; y < image.height(); y += image.height() / 4) {
        for (int x = image.width() / 8; x < image.width(); x += image.width() / 4) {
            sum += qGray(image.pixel(x, y));
            ++count;
        }
    }
    return count ? sum / count : 0;
}
} // namespace

Recorder::Recorder() : taps_(std::make_shared<PlaybackTaps>())
{
    taps_->sound = [this](const PcmFormat &format, const PcmBlock &block) {
        Sound sound{block.pts90k, format.sampleRate, firstChannel(format, block)};
        std::lock_guard lock(mutex_);
        sound_.push_back(std::move(sound));
    };
    taps_->picture = [this](const PresentedPicture &picture) {
        Picture shown{picture.pts,      picture.titleTime90k,
                      picture.heard90k, meanBrightness(picture.image),
                      picture.at,       QImage()};
        std::lock_guard lock(mutex_);
        if (keepImage_ && keepImage_(picture.titleTime90k))
            shown.image = picture.image;
        pictures_.push_back(shown);
    };
}

void Recorder::keepImages(std::function<bool(int64_t titleTime90k)> wanted)
{
    std::lock_guard lock(mutex_);
    keepImage_ = std::move(wanted);
}

std::vector<Recorder::Sound> Recorder::sound() const
{
    std::lock_guard lock(mutex_);
    return sound_;
}

std::vector<Recorder::Picture> Recorder::pictures() const
{
    std::lock_guard lock(mutex_);
    return pictures_;
}

void Recorder::clear()
{
    std::lock_guard lock(mutex_);
    sound_.clear();
    pictures_.clear();
}

double toneFrequency(const std::vector<float> &samples, int sampleRate)
{
    if (samples.size() < 2 || sampleRate <= 0)
        return 0;
    int crossings = 0;
    for (size_t i = 1; i < samples.size(); ++i) {
        if ((samples[i - 1] < 0) != (samples[i] < 0))
            ++crossings;
    }
    return crossings / 2.0 * sampleRate / double(samples.size());
}

double toneAfter(const std::vector<Recorder::Sound> &sound, int64_t from)
{
    std::vector<float> samples;
    int rate = 48000;
    for (const Recorder::Sound &block : sound) {
        if (block.pts < from)
            continue;
        rate = block.sampleRate;
        samples.insert(samples.end(), block.left.begin(), block.left.end());
        if (samples.size() >= size_t(rate / 5))
            break;
    }
    return samples.size() >= size_t(rate / 10) ? toneFrequency(samples, rate) : 0.0;
}

std::optional<int64_t> firstBlockWithTone(const std::vector<Recorder::Sound> &sound, int64_t from,
                                          double hertz)
{
    for (const Recorder::Sound &block : sound) {
        if (block.pts >= from && std::abs(toneAfter(sound, block.pts) - hertz) < hertz * 0.05)
            return block.pts;
    }
    return std::nullopt;
}

std::optional<int64_t> heardNow(const Recorder &recorder)
{
    const std::vector<Recorder::Picture> pictures = recorder.pictures();
    for (auto it = pictures.rbegin(); it != pictures.rend(); ++it) {
        if (it->heard90k)
            return it->heard90k;
    }
    return std::nullopt;
}

int64_t lastSoundPts(const Recorder &recorder)
{
    const std::vector<Recorder::Sound> sound = recorder.sound();
    return sound.empty() ? -1 : sound.back().pts;
}

int errorNumber(const std::function<void()> &action, QString *description)
{
    const std::optional<AppError> error = trapFirstError(action);
    if (error && description)
        *description = error->description();
    return error ? error->number() : 0;
}

bool soundThroughADevice()
{
    return qEnvironmentVariable("VIDORA_TEST_SOUND") == QLatin1String("device");
}

QString bookmarkFile()
{
    return QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) +
           QStringLiteral("/engine-test-bookmarks.json");
}

// The sound plays silently at the pace of a device, whatever this machine has;
// through the default device when the run asks for one.
Player::Player(const QString &source)
    : engine(std::make_unique<DvdEngine>(
          nullptr,
          AudioOutputOptions{.sink = soundThroughADevice() ? AudioOutputOptions::Sink::Default
                                                           : AudioOutputOptions::Sink::Silent}))
{
    engine->setTaps(recorder.taps());
    engine->setBookmarkFile(bookmarkFile());
    QObject::connect(engine.get(), &DvdControl::DVDNotify, engine.get(),
                     [this](int event, int p1, int p2) {
                         notifications.push_back({event, p1, p2});
                     });
    engine->setDVDDirectory(source);
}

Player::~Player() = default;

bool Player::waitForDomain(int domain, int timeoutMs)
{
    return waitFor([&] { return engine->CurrentDomain() == domain; }, timeoutMs);
}

bool Player::waitForTitle(int title, int chapter, int timeoutMs)
{
    return waitFor(
        [&] {
            return engine->CurrentDomain() == DvdDomain::kTitle &&
                   engine->CurrentTitle() == title &&
                   (chapter == 0 || engine->CurrentChapter() == chapter);
        },
        timeoutMs);
}

void Player::playTitleFromMenu(int buttonsDown)
{
    engine->Play();
    if (!waitFor([&] {
            return engine->CurrentDomain() == DvdDomain::kVideoManagerMenu &&
                   engine->selectedButton() == 1;
        }))
        return;
    for (int i = 0; i < buttonsDown; ++i) {
        const int before = engine->selectedButton();
        engine->SelectLowerButton();
        waitFor([&] { return engine->selectedButton() != before; });
    }
    engine->ActivateButton();
}

double Player::seconds() const
{
    return engine->presentedSeconds();
}

} // namespace TestDisc
