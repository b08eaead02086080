#include "engine/present/subpicturecompositor.h"

#include <gtest/gtest.h>

namespace
{

// CLUT index 1 is pure blue, 2 pure yellow, 3 near-white; 0 stays black.
std::array<QRgb, 16> testPalette()
{
    std::array<QRgb, 16> palette{};
    palette.fill(qRgb(0, 0, 0));
    palette[1] = qRgb(0, 0, 250);
    palette[2] = qRgb(250, 250, 0);
    palette[3] = qRgb(250, 250, 250);
    return palette;
}

QImage grayFrame(int width = 8, int height = 4)
{
    QImage frame(width, height, QImage::Format_RGB32);
    frame.fill(qRgb(100, 100, 100));
    return frame;
}

SubpictureUnit unitAt(QRect area, uint8_t type)
{
    SubpictureUnit unit;
    unit.area = area;
    unit.pixelTypes.assign(size_t(area.width() * area.height()), type);
    return unit;
}

} // namespace

TEST(SubpicturePalette, ConvertsLimitedRangeYCrCbToRgb)
{
    // Black, white, and BT.601 red (Y 81, Cr 240, Cb 90) and blue (Y 41, Cr 110, Cb 240).
    const uint32_t clut[16] = {0x108080, 0xEB8080, 0x51F05A, 0x296EF0};
    const auto palette = paletteFromClut(clut);
    EXPECT_EQ(palette[0], qRgb(0, 0, 0));
    EXPECT_EQ(palette[1], qRgb(255, 255, 255));
    auto near = [](QRgb actual, QRgb expected) {
        return std::abs(qRed(actual) - qRed(expected)) <= 2 &&
               std::abs(qGreen(actual) - qGreen(expected)) <= 2 &&
               std::abs(qBlue(actual) - qBlue(expected)) <= 2 && qAlpha(actual) == 255;
    };
    EXPECT_TRUE(near(palette[2], qRgb(255, 0, 0))) << std::hex << palette[2];
    EXPECT_TRUE(near(palette[3], qRgb(0, 0, 255))) << std::hex << palette[3];
}

TEST(SubpictureHighlight, UnpacksColoursAndContrastsPerPixelType)
{
    const auto highlight = highlightFromPalette(QRect(1, 2, 3, 4), 0x4321DCBA);
    EXPECT_EQ(highlight.area, QRect(1, 2, 3, 4));
    EXPECT_EQ(highlight.color, (std::array<uint8_t, 4>{1, 2, 3, 4}));
    EXPECT_EQ(highlight.contrast, (std::array<uint8_t, 4>{0xA, 0xB, 0xC, 0xD}));
}

TEST(SubpictureCompose, BlendsEachPixelTypeByItsContrast)
{
    SubpictureUnit unit = unitAt(QRect(2, 1, 4, 1), 0);
    unit.pixelTypes = {0, 1, 2, 3};
    unit.color = {3, 1, 2, 3};
    unit.contrast = {0, 15, 5, 10};
    QImage frame = grayFrame();
    composeSubpicture(frame, unit, testPalette(), std::nullopt);
    EXPECT_EQ(frame.pixel(2, 1), qRgb(100, 100, 100));
    EXPECT_EQ(frame.pixel(3, 1), qRgb(0, 0, 250));
    EXPECT_EQ(frame.pixel(4, 1), qRgb(150, 150, 67));
    EXPECT_EQ(frame.pixel(5, 1), qRgb(200, 200, 200));
    EXPECT_EQ(frame.pixel(1, 1), qRgb(100, 100, 100));
    EXPECT_EQ(frame.pixel(3, 0), qRgb(100, 100, 100));
}

TEST(SubpictureCompose, HighlightReplacesColoursOnlyInsideItsRectangle)
{
    // The highlight reaches past the unit, where there is nothing to recolour.
    SubpictureUnit unit = unitAt(QRect(0, 0, 6, 3), 1);
    unit.color = {0, 3, 0, 0};
    unit.contrast = {0, 15, 0, 0};
    QImage frame = grayFrame();
    composeSubpicture(frame, unit, testPalette(),
                      highlightFromPalette(QRect(QPoint(2, 1), QPoint(7, 3)), 0x002000F0));
    for (int y = 0; y < frame.height(); ++y) {
        for (int x = 0; x < frame.width(); ++x) {
            const bool inUnit = x < 6 && y < 3;
            const bool lit = inUnit && x >= 2 && y >= 1;
            const QRgb expected = lit      ? qRgb(250, 250, 0)
                                  : inUnit ? qRgb(250, 250, 250)
                                           : qRgb(100, 100, 100);
            EXPECT_EQ(frame.pixel(x, y), expected) << x << "," << y;
        }
    }
}

TEST(SubpictureCompose, ClipsToTheFrameAndIgnoresInconsistentUnits)
{
    SubpictureUnit unit = unitAt(QRect(-2, 2, 12, 5), 1);
    unit.color = {0, 2, 0, 0};
    unit.contrast = {0, 15, 0, 0};
    QImage frame = grayFrame();
    composeSubpicture(frame, unit, testPalette(), std::nullopt);
    EXPECT_EQ(frame.pixel(0, 2), qRgb(250, 250, 0));
    EXPECT_EQ(frame.pixel(7, 3), qRgb(250, 250, 0));
    EXPECT_EQ(frame.pixel(7, 1), qRgb(100, 100, 100));

    unit.pixelTypes.pop_back();
    QImage untouched = grayFrame();
    composeSubpicture(untouched, unit, testPalette(), std::nullopt);
    EXPECT_EQ(untouched, grayFrame());
}

TEST(SubpictureCompose, ConvertsOtherFrameFormatsToRgb32)
{
    QImage frame = grayFrame().convertToFormat(QImage::Format_RGB888);
    SubpictureUnit unit = unitAt(QRect(0, 0, 1, 1), 1);
    unit.color = {0, 1, 0, 0};
    unit.contrast = {0, 15, 0, 0};
    composeSubpicture(frame, unit, testPalette(), std::nullopt);
    EXPECT_EQ(frame.format(), QImage::Format_RGB32);
    EXPECT_EQ(frame.pixel(0, 0), qRgb(0, 0, 250));
}
