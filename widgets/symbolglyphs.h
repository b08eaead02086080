#pragma once

#include <QChar>
#include <QString>

#include <optional>

class QFont;
class QPainter;
class QRectF;
class QColor;

// The design's symbol fonts are not on a Linux desktop. Each symbol they are
// used for maps to a character of an installed font or to a shape painted
// here, so the faces read as intended.
enum class SymbolFont { None, Webdings, Wingdings };

SymbolFont symbolFontOf(const QString &family);

enum class SymbolShape {
    Glyph, // the replacement character, drawn with symbolGlyphFont()
    Play,
    Back,
    Up,
    Down,
    Stop,
    Pause,
    Record,
    Previous,
    Next,
    Rewind,
    FastForward,
    Window,
    Minimize,
    Maximize,
    Restore,
};

struct SymbolGlyph {
    SymbolShape shape = SymbolShape::Glyph;
    QString text; // for SymbolShape::Glyph
};

// Nothing for characters the table does not know; they are drawn as
// themselves with symbolGlyphFont().
std::optional<SymbolGlyph> findSymbolGlyph(SymbolFont font, QChar character);

// The installed face the replacement characters come from, at the size and
// weight of the symbol font it stands in for.
QFont symbolGlyphFont(const QFont &symbolFont);

// The width a painted shape takes, as a share of the font's pixel size.
double symbolShapeAdvance(SymbolShape shape);

// Paints a shape into box (its height is the symbol's height).
void paintSymbolShape(QPainter &painter, SymbolShape shape, const QRectF &box, const QColor &color);
