#include "support/qtprinters.h"
#include "widgets/skinbutton.h"
#include "widgets/skincaption.h"
#include "widgets/symbolglyphs.h"

#include <QCoreApplication>
#include <QFontDatabase>
#include <QFontMetrics>
#include <QResizeEvent>

#include <gtest/gtest.h>

#include <algorithm>

namespace
{

TEST(SymbolGlyphs, EveryControlBarFaceHasAReplacement)
{
    EXPECT_EQ(symbolFontOf("WEBDINGS"), SymbolFont::Webdings);
    EXPECT_EQ(symbolFontOf("Wingdings"), SymbolFont::Wingdings);
    EXPECT_EQ(symbolFontOf("MS Sans Serif"), SymbolFont::None);
    for (const char16_t face : {u'9', u'<', u'4', u':', u'.', u'\u00A5', u'@', u'7', u'8'})
        EXPECT_TRUE(findSymbolGlyph(SymbolFont::Webdings, QChar(face)).has_value()) << int(face);
    EXPECT_TRUE(findSymbolGlyph(SymbolFont::Wingdings, QChar(u'3')).has_value());
    EXPECT_EQ(findSymbolGlyph(SymbolFont::Webdings, QChar(u'9'))->shape, SymbolShape::Previous);
    EXPECT_EQ(findSymbolGlyph(SymbolFont::Webdings, QChar(u':'))->shape, SymbolShape::Next);
    EXPECT_EQ(findSymbolGlyph(SymbolFont::Webdings, QChar(u'@'))->text, QString(QChar(0x2699)));
    EXPECT_EQ(findSymbolGlyph(SymbolFont::Wingdings, QChar(u'3'))->text, QString(QChar(0x2630)));
    EXPECT_FALSE(findSymbolGlyph(SymbolFont::None, QChar(u'4')).has_value());
}

TEST(SymbolGlyphs, ReplacementCharactersExistInTheInstalledFace)
{
    const QFontMetrics metrics(symbolGlyphFont(QFont("Webdings", 12)));
    for (const SymbolFont font : {SymbolFont::Webdings, SymbolFont::Wingdings})
        for (char16_t code = 0x20; code <= 0xFF; ++code) {
            const auto glyph = findSymbolGlyph(font, QChar(code));
            if (glyph && glyph->shape == SymbolShape::Glyph) {
                EXPECT_TRUE(metrics.inFont(glyph->text.at(0)))
                    << "replacement for " << int(code) << " is missing";
            }
        }
}

// How many pixels of the column are lit by the white symbol.
int inkInColumn(const QImage &image, int x)
{
    int lit = 0;
    for (int y = 0; y < image.height(); ++y)
        lit += qGray(image.pixel(x, y)) > 160;
    return lit;
}

// The lit height of each column of the symbol, from its left end to its right.
QList<int> profile(const QString &face)
{
    skinButton button;
    button.setFontName("Webdings");
    button.setFontSize(12);
    button.setColorScheme(ColorSchemes::kOwn);
    button.setBackColor(0x404040);
    button.setForeColor(0xFFFFFF);
    button.setButtonType(8);
    button.setCaption(face);
    button.resize(30, 26);
    QResizeEvent resized(button.size(), QSize());
    QCoreApplication::sendEvent(&button, &resized);
    const QImage image = button.grab().toImage();
    QList<int> heights;
    for (int x = 0; x < image.width(); ++x)
        heights << inkInColumn(image, x);
    while (!heights.isEmpty() && heights.first() == 0)
        heights.removeFirst();
    while (!heights.isEmpty() && heights.last() == 0)
        heights.removeLast();
    return heights;
}

// Whether b is a mirror of a, give or take a pixel per column.
bool mirrored(const QList<int> &a, QList<int> b)
{
    std::reverse(b.begin(), b.end());
    if (std::abs(a.size() - b.size()) > 1)
        return false;
    for (qsizetype i = 0; i < std::min(a.size(), b.size()); ++i)
        if (std::abs(a[i] - b[i]) > 1)
            return false;
    return true;
}

TEST(SymbolGlyphs, TransportFacesPointTheRightWay)
{
    const QList<int> previous = profile("9"), next = profile(":");
    ASSERT_GT(previous.size(), 8);
    EXPECT_TRUE(mirrored(previous, next));
    EXPECT_FALSE(mirrored(previous, previous)) << "previous chapter is not symmetric";
    // The bar stands at the left end of previous chapter: columns full height.
    EXPECT_EQ(previous[0], previous[1]);
    EXPECT_GT(previous[1], previous[4] + 4);

    const QList<int> play = profile("4"), back = profile("3");
    EXPECT_GT(play.first(), play.last() + 4) << "points right";
    EXPECT_TRUE(mirrored(play, back));
    const QList<int> stop = profile("<");
    EXPECT_GT(stop.first(), 6);
    EXPECT_EQ(stop.first(), stop.last());
}

TEST(SymbolGlyphs, DesignFontsBecomeInstalledFaces)
{
    const QFont sans = displayFont(QFont("MS Sans Serif", 8));
    EXPECT_EQ(sans.family(), QFontDatabase::systemFont(QFontDatabase::GeneralFont).family());
    EXPECT_DOUBLE_EQ(sans.pointSizeF(), 8);
    // Scan captions are text in that face, not symbols.
    const SkinCaption scan(">>>", QFont("MS Sans Serif", 8));
    EXPECT_EQ(scan.lineSize().width(), QFontMetrics(sans).horizontalAdvance(">>>"));
    EXPECT_EQ(displayFont(QFont("DejaVu Serif")).family(), "DejaVu Serif");
}

} // namespace
