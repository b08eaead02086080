#include "testdisc.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
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

bool waitFor(const std::function<bool()> &condition, int timeoutMs)
{
    return QTest::qWaitFor(condition, timeoutMs);
}

Player::Player(const QString &source) : engine(std::make_unique<DvdEngine>())
{
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
