#include "surfaces/displaylabel.h"

#include <QFontDatabase>
#include <QPainter>

#include <algorithm>

namespace
{

// Where a line that is too wide breaks: after the last space that leaves the
// words before it within the width; -1 when even the first word is too wide.
qsizetype breakPoint(const QString &text, const QFontMetrics &metrics, int width)
{
    qsizetype cut = -1;
    for (qsizetype space = text.indexOf(u' '); space > 0; space = text.indexOf(u' ', space + 1)) {
        if (metrics.horizontalAdvance(text.left(space)) > width)
            break;
        cut = space;
    }
    return cut;
}

} // namespace

DisplayLabel::DisplayLabel(const QString &caption, QWidget *parent) : QLabel(caption, parent)
{
    setFont(face());
}

QFont DisplayLabel::face()
{
    const QString mono = QStringLiteral("DejaVu Sans Mono");
    QFont font = QFontDatabase::families().contains(mono)
                     ? QFont(mono)
                     : QFontDatabase::systemFont(QFontDatabase::FixedFont);
    font.setPointSizeF(7.5);
    font.setBold(true);
    return font;
}

QStringList DisplayLabel::shownLines() const
{
    const QFontMetrics metrics(font());
    const int width = contentsRect().width();
    const int rows = std::max(1, contentsRect().height() / metrics.height());
    QStringList lines;
    QString rest = text().simplified();
    while (lines.size() < rows - 1 && metrics.horizontalAdvance(rest) > width) {
        const qsizetype cut = breakPoint(rest, metrics, width);
        if (cut < 0)
            break;
        lines << rest.left(cut);
        rest = rest.mid(cut + 1);
    }
    lines << metrics.elidedText(rest, Qt::ElideRight, width);
    return lines;
}

void DisplayLabel::paintEvent(QPaintEvent *)
{
    if (text().isEmpty())
        return;
    QPainter painter(this);
    painter.setFont(font());
    painter.setPen(palette().color(foregroundRole()));
    const QStringList lines = shownLines();
    const QRect area = contentsRect();
    const int lineHeight = fontMetrics().height();
    int top = area.top() + (area.height() - int(lines.size()) * lineHeight) / 2;
    const Qt::Alignment horizontal = alignment() & Qt::AlignHorizontal_Mask;
    for (const QString &line : lines) {
        painter.drawText(QRect(area.left(), top, area.width(), lineHeight),
                         horizontal | Qt::AlignVCenter, line);
        top += lineHeight;
    }
}
