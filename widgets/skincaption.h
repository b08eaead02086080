#pragma once

#include "widgets/symbolglyphs.h"

#include <QFont>
#include <QRect>
#include <QString>

#include <cstdint>

class QPainter;

// The face a button font is drawn with: the design's "MS Sans Serif" is the
// desktop's sans serif; other families are used as they are.
QFont displayFont(const QFont &logical);

// Single "&" marks the access key and "&&" stands for "&".
QString withoutAccessMarks(const QString &caption);

// The access key of a caption in lower case: the character after the first
// "&" that is neither doubled nor last; after a doubled first "&" the next
// "&" is tried the same way. A null character when there is none.
QChar accessKeyOf(const QString &caption);

// A caption in a button's font: word-wrapped, centred text with its access
// key underlined, or, in a symbol font, a row of symbols.
class SkinCaption
{
public:
    SkinCaption() = default;
    SkinCaption(const QString &text, const QFont &logicalFont);

    // The text extent when wrapped at the given width.
    QSize wrappedSize(int width) const;
    // The extent of the text on its own lines, without wrapping.
    QSize lineSize() const;

    // Draws transparently, centred horizontally in rect, from its top.
    void draw(QPainter &painter, const QRect &rect, int32_t color) const;

private:
    struct Cell {
        SymbolGlyph glyph;
        int advance = 0;
    };
    QList<Cell> symbolCells() const;
    QSize symbolSize() const;
    void drawSymbols(QPainter &painter, const QRect &rect, const QColor &color) const;

    QString text_;
    QFont font_;
    SymbolFont symbols_ = SymbolFont::None;
};
