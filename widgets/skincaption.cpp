#include "widgets/skincaption.h"

#include "platform/units.h"

#include <QFontDatabase>
#include <QFontInfo>
#include <QFontMetrics>
#include <QPainter>

#include <algorithm>
#include <cmath>

namespace
{

constexpr int kTextFlags = Qt::AlignHCenter | Qt::TextWordWrap | Qt::TextShowMnemonic;

} // namespace

QFont displayFont(const QFont &logical)
{
    if (symbolFontOf(logical.family()) != SymbolFont::None)
        return symbolGlyphFont(logical);
    if (logical.family().compare(QLatin1String("MS Sans Serif"), Qt::CaseInsensitive) != 0)
        return logical;
    QFont font = logical;
    font.setFamily(QFontDatabase::systemFont(QFontDatabase::GeneralFont).family());
    return font;
}

QString withoutAccessMarks(const QString &caption)
{
    QString shown;
    shown.reserve(caption.size());
    for (qsizetype i = 0; i < caption.size(); ++i) {
        if (caption[i] == u'&' && i + 1 < caption.size())
            ++i;
        shown += caption[i];
    }
    return shown;
}

QChar accessKeyOf(const QString &caption)
{
    if (caption.size() <= 1)
        return QChar();
    qsizetype mark = caption.indexOf(u'&');
    if (mark >= 0 && mark + 1 < caption.size() && caption[mark + 1] == u'&')
        mark = caption.indexOf(u'&', mark + 2);
    if (mark < 0 || mark + 1 >= caption.size() || caption[mark + 1] == u'&')
        return QChar();
    return caption[mark + 1].toLower();
}

SkinCaption::SkinCaption(const QString &text, const QFont &logicalFont)
    : text_(text), font_(displayFont(logicalFont)), symbols_(symbolFontOf(logicalFont.family()))
{
}

QSize SkinCaption::wrappedSize(int width) const
{
    if (symbols_ != SymbolFont::None)
        return symbolSize();
    const QFontMetrics metrics(font_);
    return metrics.boundingRect(QRect(0, 0, std::max(width, 1), 0), kTextFlags, text_).size();
}

QSize SkinCaption::lineSize() const
{
    if (symbols_ != SymbolFont::None)
        return symbolSize();
    const QFontMetrics metrics(font_);
    const QStringList lines = withoutAccessMarks(text_).split(u'\n');
    int width = 0;
    for (const QString &line : lines)
        width = std::max(width, metrics.horizontalAdvance(line));
    return QSize(width, int(lines.size()) * metrics.height());
}

void SkinCaption::draw(QPainter &painter, const QRect &rect, int32_t color) const
{
    if (text_.isEmpty())
        return;
    if (symbols_ != SymbolFont::None) {
        drawSymbols(painter, rect, fromColorRef(color));
        return;
    }
    painter.setFont(font_);
    painter.setPen(fromColorRef(color));
    painter.drawText(rect, kTextFlags, text_);
}

QList<SkinCaption::Cell> SkinCaption::symbolCells() const
{
    const QFontMetrics metrics(font_);
    const int em = QFontInfo(font_).pixelSize();
    QList<Cell> cells;
    for (const QChar character : text_) {
        Cell cell;
        cell.glyph = findSymbolGlyph(symbols_, character)
                         .value_or(SymbolGlyph{SymbolShape::Glyph, QString(character)});
        if (cell.glyph.shape == SymbolShape::Glyph)
            cell.advance = metrics.horizontalAdvance(cell.glyph.text);
        else
            cell.advance = int(std::lround(em * symbolShapeAdvance(cell.glyph.shape)));
        cells << cell;
    }
    return cells;
}

QSize SkinCaption::symbolSize() const
{
    int width = 0;
    for (const Cell &cell : symbolCells())
        width += cell.advance;
    return QSize(width, QFontMetrics(font_).height());
}

void SkinCaption::drawSymbols(QPainter &painter, const QRect &rect, const QColor &color) const
{
    const QFontMetrics metrics(font_);
    // Painted shapes stand on the baseline and reach the capital height, like
    // the characters beside them.
    const int capHeight = std::max(1, metrics.capHeight());
    const int baseline = rect.top() + metrics.ascent();
    int x = rect.left() + (rect.width() - symbolSize().width()) / 2;
    painter.setFont(font_);
    painter.setPen(color);
    for (const Cell &cell : symbolCells()) {
        if (cell.glyph.shape == SymbolShape::Glyph) {
            painter.drawText(QPoint(x, baseline), cell.glyph.text);
        } else {
            const double inset = cell.advance * 0.08;
            const QRectF box(x + inset, baseline - capHeight, cell.advance - 2 * inset, capHeight);
            paintSymbolShape(painter, cell.glyph.shape, box, color);
        }
        x += cell.advance;
    }
}
