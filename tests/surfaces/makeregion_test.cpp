#include "base/errors.h"
#include "surfaces/makeregion.h"
#include "surfaces/skin.h"

#include <QFile>
#include <QImage>
#include <QWidget>

#include <gtest/gtest.h>

#include <algorithm>

namespace
{

constexpr int32_t kSilver = 0xC0C0C0;
const QRgb kSilverRgb = qRgb(192, 192, 192);

QImage loadSkin()
{
    QImage skin = Skin::controlBar();
    EXPECT_FALSE(skin.isNull());
    return skin;
}

// The region as the one-pixel-at-a-time algorithm builds it: the whole
// picture, with every transparent pixel toggled out by exclusive-or.
QRegion pixelByPixelRegion(const QImage &picture, QRgb transparent)
{
    QRegion region(0, 0, picture.width(), picture.height());
    for (int y = 0; y < picture.height(); ++y) {
        QRegion row;
        for (int x = 0; x < picture.width(); ++x)
            if ((picture.pixel(x, y) & 0xFFFFFF) == (transparent & 0xFFFFFF))
                row = row.xored(QRegion(x, y, 1, 1));
        region = region.xored(row);
    }
    return region;
}

QImage solidPicture(int width, int height, QRgb fill)
{
    QImage picture(width, height, QImage::Format_RGB32);
    picture.fill(fill);
    return picture;
}

} // namespace

TEST(Skin, IsA578By117TwentyFourBitBitmapWithASilverSurround)
{
    const QImage skin = loadSkin();
    QFile file(QStringLiteral(":/controlbar/controlbar.bmp"));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray header = file.read(30);
    EXPECT_EQ(header.left(2), "BM");
    EXPECT_EQ(quint8(header[28]), 24) << "bits per pixel";
    ASSERT_EQ(skin.size(), QSize(578, 117));
    for (const QPoint corner : {QPoint(0, 0), QPoint(577, 0), QPoint(0, 116), QPoint(577, 116)})
        EXPECT_EQ(skin.pixel(corner), kSilverRgb);
    const QRegion body = RegionFromPicture(skin, kSilver);
    EXPECT_GT(body.boundingRect().width(), 500) << "a body, not a sliver";
    EXPECT_EQ(Skin::discLogo().size(), QSize(48, 48));
}

// For a desktop scaled to 200%: the same outline, in steps of half a pixel
// of the bar rather than the 1x outline blown up.
TEST(Skin, TheDoubleSizeSkinHasTheSameOutlineInFinerSteps)
{
    const QImage twice = Skin::controlBar(2);
    ASSERT_EQ(twice.size(), QSize(1156, 234));
    QRegion blownUp;
    for (const QRect &r : RegionFromPicture(loadSkin(), kSilver))
        blownUp += QRect(r.x() * 2, r.y() * 2, r.width() * 2, r.height() * 2);
    const QRegion fine = RegionFromPicture(twice, kSilver);
    // They differ only within two screen pixels of the outline.
    QRegion grown;
    QRegion shrunk = blownUp;
    for (int dx = -2; dx <= 2; ++dx)
        for (int dy = -2; dy <= 2; ++dy) {
            grown += blownUp.translated(dx, dy);
            shrunk &= blownUp.translated(dx, dy);
        }
    EXPECT_TRUE((fine.xored(blownUp) - (grown - shrunk)).isEmpty());
    const bool halfSteps = std::any_of(fine.begin(), fine.end(), [](const QRect &r) {
        return r.x() % 2 != 0 || r.right() % 2 == 0;
    });
    EXPECT_TRUE(halfSteps) << "the outline is only the 1x one blown up";
}

TEST(RegionFromPicture, EqualsThePixelByPixelResultForTheSkin)
{
    const QImage skin = loadSkin();
    const QRegion runs = RegionFromPicture(skin, kSilver);
    const QRegion reference = pixelByPixelRegion(skin, kSilverRgb);
    EXPECT_TRUE(runs.xored(reference).isEmpty());
    // Region equality compares representations; the pixel sets are what count.
    for (int y = 0; y < skin.height(); ++y)
        for (int x = 0; x < skin.width(); ++x)
            ASSERT_EQ(runs.contains(QPoint(x, y)), skin.pixel(x, y) != kSilverRgb)
                << "pixel " << x << "," << y;
}

TEST(RegionFromPicture, CutsTheBottomRightCornerPixel)
{
    QImage picture = solidPicture(20, 10, qRgb(10, 20, 30));
    picture.setPixel(19, 9, kSilverRgb);
    const QRegion region = RegionFromPicture(picture, kSilver);
    EXPECT_FALSE(region.contains(QPoint(19, 9)));
    EXPECT_TRUE(region.contains(QPoint(18, 9)));
    EXPECT_TRUE(region.contains(QPoint(19, 8)));
    EXPECT_TRUE(region.xored(pixelByPixelRegion(picture, kSilverRgb)).isEmpty());
}

TEST(RegionFromPicture, KeepsPixelsOneStepOffTheTransparentColour)
{
    QImage picture = solidPicture(6, 3, kSilverRgb);
    picture.setPixel(1, 1, qRgb(191, 192, 192));
    picture.setPixel(2, 1, qRgb(192, 193, 192));
    picture.setPixel(3, 1, qRgb(192, 192, 191));
    picture.setPixel(4, 1, qRgb(193, 192, 192));
    const QRegion region = RegionFromPicture(picture, kSilver);
    EXPECT_TRUE(region.xored(QRegion(1, 1, 4, 1)).isEmpty());
}

TEST(RegionFromPicture, ReadsTheColourAsBlueGreenRed)
{
    QImage picture = solidPicture(2, 1, qRgb(0x11, 0x22, 0x33));
    picture.setPixel(1, 0, qRgb(0x33, 0x22, 0x11));
    const QRegion region = RegionFromPicture(picture, 0x112233); // red 0x33, blue 0x11
    EXPECT_TRUE(region.xored(QRegion(0, 0, 1, 1)).isEmpty());
}

TEST(RegionFromPicture, HandlesHolesAndRowsWithoutAnyBody)
{
    QImage picture = solidPicture(8, 6, qRgb(40, 40, 40));
    for (int x = 0; x < 8; ++x)
        picture.setPixel(x, 2, kSilverRgb); // a row cut away entirely
    picture.setPixel(3, 4, kSilverRgb);     // a one-pixel hole
    const QRegion region = RegionFromPicture(picture, kSilver);
    EXPECT_TRUE(region.xored(pixelByPixelRegion(picture, kSilverRgb)).isEmpty());
}

TEST(MakeRegion, APictureWithoutTheColourLeavesABorderlessFullRectangle)
{
    QWidget window;
    MakeRegion(&window, solidPicture(30, 12, qRgb(1, 2, 3)), kSilver);
    EXPECT_TRUE(window.windowFlags() & Qt::FramelessWindowHint);
    EXPECT_EQ(window.size(), QSize(30, 12));
    EXPECT_TRUE(window.mask().xored(QRegion(0, 0, 30, 12)).isEmpty());
}

TEST(MakeRegion, ShapesAndSizesTheWindowToTheSkin)
{
    QWidget window;
    window.resize(100, 100);
    const QImage skin = loadSkin();
    MakeRegion(&window, skin, kSilver);
    EXPECT_EQ(window.size(), QSize(578, 117));
    EXPECT_TRUE(window.mask().xored(RegionFromPicture(skin, kSilver)).isEmpty());
}

TEST(MakeRegion, WithoutAPictureFailsAndLeavesTheWindowAlone)
{
    QWidget window;
    window.resize(40, 20);
    EXPECT_THROW(MakeRegion(&window, QImage(), kSilver), AppError);
    EXPECT_EQ(window.size(), QSize(40, 20));
    EXPECT_TRUE(window.mask().isEmpty());
}
