#include "testdisc.h"

#include "engine/fakedrive.h"
#include "engine/output/dvdview.h"
#include "support/qtprinters.h"
#include "support/scripteddialogs.h"
#include "surfaces/regiondialog.h"

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QMouseEvent>
#include <QPainter>
#include <QTemporaryDir>
#include <QTimer>

#include <gtest/gtest.h>

using TestDisc::errorNumber;
using TestDisc::Player;
using TestDisc::waitFor;

namespace
{

void expectRect(const QRectF &actual, const QRectF &expected)
{
    EXPECT_NEAR(actual.x(), expected.x(), 1e-9);
    EXPECT_NEAR(actual.y(), expected.y(), 1e-9);
    EXPECT_NEAR(actual.width(), expected.width(), 1e-9);
    EXPECT_NEAR(actual.height(), expected.height(), 1e-9);
}

void sendMouse(QWidget *widget, QEvent::Type type, QPoint at, Qt::MouseButtons buttons)
{
    QMouseEvent event(type, QPointF(at), widget->mapToGlobal(QPointF(at)),
                      type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton, buttons,
                      Qt::NoModifier);
    QApplication::sendEvent(widget, &event);
}

// Brings the engine to title 1 at `seconds` or a little later.
void playTitleOneTo(Player &player, double seconds)
{
    player.playTitleFromMenu(0);
    ASSERT_TRUE(player.waitForTitle(1));
    player.engine->PlayNextChapter();
    player.engine->PlayNextChapter();
    ASSERT_TRUE(player.waitForTitle(1, 3));
    player.engine->PlayForwards(8);
    ASSERT_TRUE(waitFor([&] { return player.seconds() >= seconds - 3.0; }));
    player.engine->Play();
    ASSERT_TRUE(waitFor([&] { return player.seconds() >= seconds; }));
}

// A drive double holding the test disc: its folder is the mount of /dev/sr0.
struct DriveWithTestDisc {
    QTemporaryDir root;
    std::shared_ptr<FakeDriveModel> model = std::make_shared<FakeDriveModel>();
    DriveAccess access;

    DriveWithTestDisc()
    {
        const QString mounts = root.filePath(QStringLiteral("mounts"));
        QFile file(mounts);
        if (file.open(QIODevice::WriteOnly))
            file.write(QStringLiteral("/dev/sr0 %1 iso9660 ro 0 0\n")
                           .arg(QDir(TestDisc::folder()).canonicalPath())
                           .toUtf8());
        access.mountsFile = mounts;
        access.deviceDirectory = root.filePath(QStringLiteral("dev"));
        access.open = [model = model](const QString &) {
            return std::make_unique<FakeDrive>(model);
        };
    }
};

// Answers the modal region dialog once it is up: region, then Change.
void answerRegionDialog(int region, bool *answered)
{
    auto *timer = new QTimer;
    QObject::connect(timer, &QTimer::timeout, timer, [=] {
        auto *dialog = qobject_cast<RegionDialog *>(QApplication::activeModalWidget());
        if (!dialog)
            return;
        dialog->cboRegion->setCurrentIndex(dialog->cboRegion->findData(region));
        dialog->btnChange_Click();
        dialog->accept();
        *answered = true;
        timer->deleteLater();
    });
    timer->start(10);
}

} // namespace

TEST(DvdEngineBookmark, SavedPositionAndStreamsComeBackInANewControl)
{
    double saved = 0;
    {
        Player player;
        player.engine->DeleteBookmark();
        playTitleOneTo(player, 33.0);
        player.engine->setCurrentAudioStream(1);
        player.engine->setCurrentSubpictureStream(0);
        ASSERT_TRUE(waitFor([&] {
            return player.engine->CurrentAudioStream() == 1 && player.engine->SubpictureOn();
        }));
        saved = player.seconds();
        player.engine->SaveBookmark();
    }
    EXPECT_NEAR(saved, 33.0, 0.5);

    Player restored;
    restored.engine->Play();
    ASSERT_TRUE(restored.waitForDomain(DvdDomain::kVideoManagerMenu));
    restored.engine->RestoreBookmark();
    ASSERT_TRUE(restored.waitForTitle(1, 3));
    ASSERT_TRUE(waitFor([&] { return restored.seconds() > 20.0; }));
    EXPECT_NEAR(restored.seconds(), saved, 1.0);
    EXPECT_EQ(restored.engine->CurrentAudioStream(), 1);
    EXPECT_EQ(restored.engine->CurrentSubpictureStream(), 0);
    EXPECT_TRUE(restored.engine->SubpictureOn());
    const int64_t from =
        restored.recorder.sound().empty() ? 0 : restored.recorder.sound().back().pts;
    ASSERT_TRUE(waitFor([&] {
        const auto sound = restored.recorder.sound();
        return !sound.empty() && sound.back().pts > from + 45000;
    }));
    std::vector<float> samples;
    for (const auto &block : restored.recorder.sound()) {
        if (block.pts > from)
            samples.insert(samples.end(), block.left.begin(), block.left.end());
    }
    EXPECT_NEAR(TestDisc::toneFrequency(samples, 48000), 660.0, 15.0);

    // A control that has not played yet starts the disc at the bookmark.
    Player stopped;
    stopped.engine->RestoreBookmark();
    ASSERT_TRUE(stopped.waitForTitle(1, 3));
    ASSERT_TRUE(waitFor([&] { return stopped.seconds() > 20.0; }));
    EXPECT_NEAR(stopped.seconds(), saved, 1.0);
}

TEST(DvdEngineBookmark, NoBookmarkAndNoTitleAreRefused)
{
    Player player;
    player.engine->DeleteBookmark();
    EXPECT_NO_THROW(player.engine->DeleteBookmark());
    QString description;
    EXPECT_EQ(errorNumber([&] { player.engine->RestoreBookmark(); }, &description),
              ErrorNumbers::kNoBookmark);
    EXPECT_EQ(description, QStringLiteral("No bookmark is stored for this disc."));
    EXPECT_EQ(errorNumber([&] { player.engine->SaveBookmark(); }), ErrorNumbers::kNotPermitted);

    player.engine->Play();
    ASSERT_TRUE(player.waitForDomain(DvdDomain::kVideoManagerMenu));
    EXPECT_EQ(errorNumber([&] { player.engine->SaveBookmark(); }, &description),
              ErrorNumbers::kNotPermitted);
    EXPECT_EQ(description,
              QStringLiteral("SaveBookmark is not possible now: no title is playing."));
    EXPECT_EQ(errorNumber([&] { player.engine->PictureOnScreen(); }), ErrorNumbers::kNotPermitted);
    EXPECT_EQ(errorNumber([&] { player.engine->RestoreBookmark(); }), ErrorNumbers::kNoBookmark);
    EXPECT_EQ(player.engine->CurrentDomain(), DvdDomain::kVideoManagerMenu);
}

TEST(DvdEngineZoom, ZoomInThenOutShowsTheWholePictureAgain)
{
    DvdEngine engine;
    auto *view = static_cast<DvdView *>(engine.view());
    engine.Zoom(360, 270, 2.0);
    EXPECT_DOUBLE_EQ(view->zoomFactor(), 2.0);
    expectRect(view->visiblePart(), QRectF(0.25, 0.25, 0.5, 0.5));
    engine.Zoom(360, 270, 0.5);
    EXPECT_DOUBLE_EQ(view->zoomFactor(), 1.0);
    expectRect(view->visiblePart(), QRectF(0, 0, 1, 1));
    engine.Zoom(360, 270, 0.5);
    expectRect(view->visiblePart(), QRectF(0, 0, 1, 1));

    // Around a corner the corner stays put; the magnification has a limit.
    engine.Zoom(0, 0, 2.0);
    expectRect(view->visiblePart(), QRectF(0, 0, 0.5, 0.5));
    for (int i = 0; i < 5; ++i)
        engine.Zoom(720, 540, 2.0);
    EXPECT_DOUBLE_EQ(view->zoomFactor(), 8.0);
    EXPECT_NEAR(view->visiblePart().right(), 0.5, 1e-9);
    EXPECT_EQ(errorNumber([&] { engine.Zoom(360, 270, 0.0); }), ErrorNumbers::kInvalidArgument);
    EXPECT_EQ(errorNumber([&] { engine.Zoom(360, 270, std::nan("")); }),
              ErrorNumbers::kInvalidArgument);
}

TEST(DvdEngineZoom, ZoomedPictureIsDrawnMagnifiedAndDraggedWithTheLeftButton)
{
    auto pictures = std::make_shared<PictureSlot>();
    QImage image(720, 576, QImage::Format_RGB32);
    QPainter(&image).fillRect(0, 0, 360, 576, Qt::red);
    QPainter(&image).fillRect(360, 0, 360, 576, Qt::blue);
    pictures->publish({image, false});
    DvdView view(pictures);
    std::vector<std::pair<QPoint, bool>> pointed;
    view.setPointerHandler([&](QPoint point, bool activate) {
        pointed.push_back({point, activate});
    });
    view.resize(400, 300);

    view.zoomAt(QPointF(0, 270), 2.0);
    QImage shown = view.grab().toImage();
    EXPECT_EQ(QColor(shown.pixel(390, 150)), QColor(Qt::red)) << "the left half fills the view";

    // Dragging to the left brings the right half in; the picture ends where it ends.
    sendMouse(&view, QEvent::MouseButtonPress, QPoint(300, 150), Qt::LeftButton);
    sendMouse(&view, QEvent::MouseMove, QPoint(100, 150), Qt::LeftButton);
    sendMouse(&view, QEvent::MouseButtonRelease, QPoint(100, 150), Qt::NoButton);
    expectRect(view.visiblePart(), QRectF(0.25, 0.25, 0.5, 0.5));
    shown = view.grab().toImage();
    EXPECT_EQ(QColor(shown.pixel(10, 150)), QColor(Qt::red));
    EXPECT_EQ(QColor(shown.pixel(390, 150)), QColor(Qt::blue));
    sendMouse(&view, QEvent::MouseButtonPress, QPoint(300, 150), Qt::LeftButton);
    sendMouse(&view, QEvent::MouseMove, QPoint(0, 0), Qt::LeftButton);
    sendMouse(&view, QEvent::MouseButtonRelease, QPoint(0, 0), Qt::NoButton);
    expectRect(view.visiblePart(), QRectF(0.5, 0.5, 0.5, 0.5));
    EXPECT_TRUE(pointed.empty()) << "a drag is no click";

    // A press that does not move still clicks, at the point of the picture under it.
    sendMouse(&view, QEvent::MouseButtonPress, QPoint(200, 150), Qt::LeftButton);
    sendMouse(&view, QEvent::MouseButtonRelease, QPoint(200, 150), Qt::NoButton);
    ASSERT_EQ(pointed.size(), 1u);
    EXPECT_EQ(pointed[0].first, QPoint(540, 432));
    EXPECT_TRUE(pointed[0].second);
}

TEST(DvdEngineRegion, ImagesAndFoldersOnADiskHaveNoRegionToChange)
{
    Player player;
    QString description;
    EXPECT_EQ(errorNumber([&] { player.engine->ChangeRegion(); }, &description),
              ErrorNumbers::kNoDrive);
    EXPECT_TRUE(description.contains(QStringLiteral("not a disc in a DVD drive")))
        << description.toStdString();
    Player image(TestDisc::iso());
    image.engine->Play();
    ASSERT_TRUE(image.waitForDomain(DvdDomain::kVideoManagerMenu));
    EXPECT_EQ(errorNumber([&] { image.engine->ChangeRegion(); }), ErrorNumbers::kNoDrive);
    // Without a drive the VM plays every region the disc allows.
    ASSERT_TRUE(waitFor([&] { return image.engine->regionMask() != 0; }));
    EXPECT_EQ(image.engine->regionMask(), 0xFF);
}

TEST(DvdEngineRegion, TheVmFollowsTheDrivesRegionAndItsChange)
{
    ScriptedDialogs *dialogs = ScriptedDialogs::install();
    dialogs->yesNoAnswers = {true};
    DriveWithTestDisc drive;
    Player player;
    player.engine->setDriveAccess(drive.access);
    player.engine->setRegionChooser(&showRegionDialog);
    player.engine->Play();
    ASSERT_TRUE(player.waitForDomain(DvdDomain::kVideoManagerMenu));
    ASSERT_TRUE(waitFor([&] { return player.engine->regionMask() == 0x02; }));

    bool answered = false;
    answerRegionDialog(3, &answered);
    player.engine->ChangeRegion();
    EXPECT_TRUE(answered);
    EXPECT_EQ(drive.model->changes, std::vector<uint8_t>{0xFB});
    ASSERT_EQ(dialogs->questions.size(), 1);
    EXPECT_TRUE(dialogs->questions.front().contains(QStringLiteral("counts every region change")));
    EXPECT_TRUE(waitFor([&] { return player.engine->regionMask() == 0x04; }));

    player.engine->Stop();
    player.engine->Play();
    ASSERT_TRUE(player.waitForDomain(DvdDomain::kVideoManagerMenu));
    EXPECT_TRUE(waitFor([&] { return player.engine->regionMask() == 0x04; }));
}
