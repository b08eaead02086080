#include "testdisc.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QTest>

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
