#include "widgets/symbolglyphs.h"

#include <QFont>
#include <QPainter>
#include <QPainterPath>
#include <QPolygonF>
#include <QRectF>

#include <algorithm>
#include <array>

namespace
{

struct Entry {
    SymbolFont font;
    char16_t character;
    SymbolShape shape;
    char16_t replacement;
};

// Faces DejaVu Sans has are drawn with it; transport symbols it lacks (and
// the triangles and squares beside them, so the set looks alike) are painted.
constexpr std::array kTable{
    Entry{SymbolFont::Webdings, u'3', SymbolShape::Back, 0},
    Entry{SymbolFont::Webdings, u'4', SymbolShape::Play, 0},
    Entry{SymbolFont::Webdings, u'5', SymbolShape::Up, 0},
    Entry{SymbolFont::Webdings, u'6', SymbolShape::Down, 0},
    Entry{SymbolFont::Webdings, u'7', SymbolShape::Rewind, 0},
    Entry{SymbolFont::Webdings, u'8', SymbolShape::FastForward, 0},
    Entry{SymbolFont::Webdings, u'9', SymbolShape::Previous, 0},
    Entry{SymbolFont::Webdings, u':', SymbolShape::Next, 0},
    Entry{SymbolFont::Webdings, u';', SymbolShape::Pause, 0},
    Entry{SymbolFont::Webdings, u'<', SymbolShape::Stop, 0},
    Entry{SymbolFont::Webdings, u'=', SymbolShape::Record, 0},
    Entry{SymbolFont::Webdings, u'0', SymbolShape::Minimize, 0},
    Entry{SymbolFont::Webdings, u'1', SymbolShape::Maximize, 0},
    Entry{SymbolFont::Webdings, u'2', SymbolShape::Restore, 0},
    Entry{SymbolFont::Webdings, u'.', SymbolShape::Window, 0},
    Entry{SymbolFont::Webdings, u'@', SymbolShape::Glyph, u'\u2699'},      // gear: settings
    Entry{SymbolFont::Webdings, u'\u00A5', SymbolShape::Glyph, u'\u26C1'}, // discs: database
    Entry{SymbolFont::Webdings, u'a', SymbolShape::Glyph, u'\u2713'},      // check mark
    Entry{SymbolFont::Webdings, u'i', SymbolShape::Glyph, u'\u2139'},      // information
    Entry{SymbolFont::Webdings, u'q', SymbolShape::Glyph, u'\u21BB'},      // refresh: detect
    Entry{SymbolFont::Webdings, u'\u00B3', SymbolShape::Glyph, u'\u21BB'}, // detect from the disc
    Entry{SymbolFont::Webdings, u'r', SymbolShape::Glyph, u'\u2715'},      // close
    Entry{SymbolFont::Webdings, u'L', SymbolShape::Glyph, u'\u2315'},      // search
    Entry{SymbolFont::Wingdings, u'3', SymbolShape::Glyph, u'\u2630'},     // menu list
    Entry{SymbolFont::Wingdings, u'l', SymbolShape::Glyph, u'\u25CF'},     // dot
    Entry{SymbolFont::Wingdings, u'n', SymbolShape::Stop, 0},
    Entry{SymbolFont::Wingdings, u'\u00FB', SymbolShape::Glyph, u'\u2715'},
    Entry{SymbolFont::Wingdings, u'\u00FC', SymbolShape::Glyph, u'\u2713'},
};

QPolygonF triangle(const QRectF &box, bool pointsRight)
{
    if (pointsRight)
        return QPolygonF({box.topLeft(), box.bottomLeft(), {box.right(), box.center().y()}});
    return QPolygonF({box.topRight(), box.bottomRight(), {box.left(), box.center().y()}});
}

QRectF slice(const QRectF &box, double from, double to)
{
    return QRectF(box.left() + box.width() * from, box.top(), box.width() * (to - from),
                  box.height());
}

// A bar at one end and two triangles pointing the same way.
void paintSkip(QPainter &painter, const QRectF &box, bool forward)
{
    const double bar = 0.16;
    if (forward) {
        painter.drawPolygon(triangle(slice(box, 0, 0.42), true));
        painter.drawPolygon(triangle(slice(box, 0.42, 1 - bar), true));
        painter.drawRect(slice(box, 1 - bar, 1));
    } else {
        painter.drawRect(slice(box, 0, bar));
        painter.drawPolygon(triangle(slice(box, bar, 0.58), false));
        painter.drawPolygon(triangle(slice(box, 0.58, 1), false));
    }
}

// A frame with a thicker title bar: the ring between two rectangles.
void paintWindowOutline(QPainter &painter, const QRectF &box, double stroke)
{
    QPainterPath outline;
    outline.addRect(box);
    outline.addRect(box.adjusted(stroke, stroke * 2.5, -stroke, -stroke));
    painter.drawPath(outline);
}

void paintShape(QPainter &painter, SymbolShape shape, const QRectF &box, double stroke)
{
    const QRectF square((box.width() - box.height()) / 2 + box.left(), box.top(), box.height(),
                        box.height());
    switch (shape) {
    case SymbolShape::Play:
        return painter.drawPolygon(triangle(box, true));
    case SymbolShape::Back:
        return painter.drawPolygon(triangle(box, false));
    case SymbolShape::Up:
        return painter.drawPolygon(
            QPolygonF({box.bottomLeft(), box.bottomRight(), {box.center().x(), box.top()}}));
    case SymbolShape::Down:
        return painter.drawPolygon(
            QPolygonF({box.topLeft(), box.topRight(), {box.center().x(), box.bottom()}}));
    case SymbolShape::Stop:
        return painter.drawRect(square.adjusted(stroke / 2, stroke / 2, -stroke / 2, -stroke / 2));
    case SymbolShape::Pause:
        painter.drawRect(slice(box, 0.1, 0.4));
        return painter.drawRect(slice(box, 0.6, 0.9));
    case SymbolShape::Record:
        return painter.drawEllipse(square);
    case SymbolShape::Rewind:
        painter.drawPolygon(triangle(slice(box, 0, 0.5), false));
        return painter.drawPolygon(triangle(slice(box, 0.5, 1), false));
    case SymbolShape::FastForward:
        painter.drawPolygon(triangle(slice(box, 0, 0.5), true));
        return painter.drawPolygon(triangle(slice(box, 0.5, 1), true));
    case SymbolShape::Previous:
        return paintSkip(painter, box, false);
    case SymbolShape::Next:
        return paintSkip(painter, box, true);
    case SymbolShape::Window:
    case SymbolShape::Maximize:
        return paintWindowOutline(painter, box, stroke);
    case SymbolShape::Minimize:
        return painter.drawRect(
            QRectF(box.left(), box.bottom() - stroke * 2, box.width(), stroke * 2));
    case SymbolShape::Restore: {
        const QSizeF size = box.size() * 0.72;
        paintWindowOutline(painter, QRectF(box.topRight() - QPointF(size.width(), 0), size),
                           stroke);
        return paintWindowOutline(
            painter, QRectF(box.bottomLeft() - QPointF(0, size.height()), size), stroke);
    }
    case SymbolShape::Glyph:
        return;
    }
}

} // namespace

SymbolFont symbolFontOf(const QString &family)
{
    if (family.compare(QLatin1String("Webdings"), Qt::CaseInsensitive) == 0)
        return SymbolFont::Webdings;
    if (family.compare(QLatin1String("Wingdings"), Qt::CaseInsensitive) == 0)
        return SymbolFont::Wingdings;
    return SymbolFont::None;
}

std::optional<SymbolGlyph> findSymbolGlyph(SymbolFont font, QChar character)
{
    for (const Entry &entry : kTable) {
        if (entry.font != font || entry.character != character.unicode())
            continue;
        SymbolGlyph glyph{entry.shape, QString()};
        if (entry.shape == SymbolShape::Glyph)
            glyph.text = QString(QChar(entry.replacement));
        return glyph;
    }
    return std::nullopt;
}

QFont symbolGlyphFont(const QFont &symbolFont)
{
    QFont font(QStringLiteral("DejaVu Sans"));
    if (symbolFont.pixelSize() > 0)
        font.setPixelSize(symbolFont.pixelSize());
    else
        font.setPointSizeF(symbolFont.pointSizeF());
    font.setWeight(symbolFont.weight());
    font.setItalic(symbolFont.italic());
    return font;
}

double symbolShapeAdvance(SymbolShape shape)
{
    switch (shape) {
    case SymbolShape::Previous:
    case SymbolShape::Next:
    case SymbolShape::Rewind:
    case SymbolShape::FastForward:
        return 1.15;
    default:
        return 0.9;
    }
}

void paintSymbolShape(QPainter &painter, SymbolShape shape, const QRectF &box, const QColor &color)
{
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    painter.setBrush(color);
    paintShape(painter, shape, box, std::max(1.0, box.height() / 8));
    painter.restore();
}
