// Draws the control bar's skin (the bitmap whose silver pixels are cut away
// from the window) and the disc logo, each also at double size for desktops
// scaled to 200%, and the program's icon. Run through make-skin.sh; the
// outputs are committed beside this file.

#include <QGuiApplication>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>

#include <QDir>

#include <cmath>
#include <cstdio>

namespace
{

constexpr QRgb kSilver = 0xFFC0C0C0; // cut away from the window
constexpr int kWidth = 578;
constexpr int kHeight = 117;

// Where the bar places its controls, in pixels.
const QRect kTransport(48, 8, 121, 25);
const QRect kScanRow(208, 16, 169, 9);
const QRect kDisplay(192, 16, 201, 81);
const QRect kStatus(208, 96, 161, 17);
const QRect kWindowButtons(416, 80, 121, 25);

// The body: a low pod for the transport keys on the left, a tall centre pod
// around the display, and a wing on the lower right for the window keys,
// joined by smooth fillets.
QPainterPath bodyOutline()
{
    QPainterPath path;
    path.moveTo(52, 2);
    path.lineTo(158, 2);
    path.cubicTo(170, 2, 172, 0, 186, 0);
    path.lineTo(394, 0);
    path.cubicTo(404, 0, 410, 6, 410, 16);
    path.lineTo(410, 56);
    path.cubicTo(410, 66, 414, 70, 426, 70);
    path.lineTo(540, 70);
    path.arcTo(517, 70, 46, 46, 90, -180);
    path.lineTo(196, 116);
    path.cubicTo(184, 116, 178, 110, 178, 98);
    path.lineTo(178, 58);
    path.cubicTo(178, 48, 172, 42, 160, 42);
    path.lineTo(52, 42);
    path.arcTo(32, 2, 40, 40, 270, -180);
    path.closeSubpath();
    return path;
}

void paintMetal(QPainter &p, const QPainterPath &body)
{
    QLinearGradient metal(0, 0, 0, kHeight);
    metal.setColorAt(0.0, QColor(118, 122, 130));
    metal.setColorAt(0.08, QColor(86, 89, 96));
    metal.setColorAt(0.55, QColor(58, 60, 66));
    metal.setColorAt(1.0, QColor(34, 35, 39));
    p.fillPath(body, metal);

    // Fine horizontal brushing.
    p.save();
    p.setClipPath(body);
    for (int y = 0; y < kHeight; y += 2) {
        const int shade = (y * 37) % 7;
        p.setPen(QColor(255, 255, 255, 4 + shade));
        p.drawLine(0, y, kWidth, y);
    }
    p.restore();

    // Polished rim: bright along the top, dark along the bottom.
    QLinearGradient rim(0, 0, 0, kHeight);
    rim.setColorAt(0.0, QColor(214, 218, 228));
    rim.setColorAt(0.5, QColor(120, 124, 134));
    rim.setColorAt(1.0, QColor(16, 16, 20));
    p.setPen(QPen(QBrush(rim), 2.0));
    p.setBrush(Qt::NoBrush);
    p.drawPath(body);
}

void paintWell(QPainter &p, const QRectF &area, qreal radius)
{
    QLinearGradient well(area.topLeft(), area.bottomLeft());
    well.setColorAt(0.0, QColor(18, 19, 22));
    well.setColorAt(1.0, QColor(44, 46, 52));
    QPainterPath path;
    path.addRoundedRect(area, radius, radius);
    p.fillPath(path, well);
    p.setPen(QPen(QColor(140, 144, 154), 1.0));
    p.drawLine(QPointF(area.left() + radius, area.bottom() + 0.5),
               QPointF(area.right() - radius, area.bottom() + 0.5));
}

void paintDisplay(QPainter &p)
{
    paintWell(p, QRectF(kDisplay).adjusted(-5, -5, 5, 5), 6);
    QLinearGradient glass(kDisplay.topLeft(), kDisplay.bottomLeft());
    glass.setColorAt(0.0, QColor(200, 206, 255));
    glass.setColorAt(1.0, QColor(168, 176, 236));
    p.fillRect(kDisplay, glass);
    // A soft reflection across the upper half of the glass.
    QPainterPath shine;
    shine.moveTo(kDisplay.left(), kDisplay.top());
    shine.lineTo(kDisplay.right() + 1, kDisplay.top());
    shine.lineTo(kDisplay.right() + 1, kDisplay.top() + 18);
    shine.cubicTo(kDisplay.right() - 60, kDisplay.top() + 30, kDisplay.left() + 60,
                  kDisplay.top() + 22, kDisplay.left(), kDisplay.top() + 34);
    shine.closeSubpath();
    p.fillPath(shine, QColor(255, 255, 255, 40));
}

void paintKeys(QPainter &p, const QRect &row, int count, int pitch)
{
    paintWell(p, QRectF(row).adjusted(-4, -4, 4, 4), 8);
    for (int i = 0; i < count; ++i) {
        const QRectF key(row.left() + i * pitch + 1, row.top() + 1, 23, 23);
        QLinearGradient cap(key.topLeft(), key.bottomLeft());
        cap.setColorAt(0.0, QColor(96, 99, 108));
        cap.setColorAt(1.0, QColor(50, 52, 58));
        QPainterPath path;
        path.addRoundedRect(key, 4, 4);
        p.fillPath(path, cap);
    }
}

void paintDetails(QPainter &p)
{
    // Screw heads on the pods.
    for (const QPointF centre :
         {QPointF(44, 22), QPointF(186, 108), QPointF(402, 108), QPointF(552, 93)}) {
        QRadialGradient head(centre - QPointF(1, 1), 4);
        head.setColorAt(0.0, QColor(210, 212, 218));
        head.setColorAt(1.0, QColor(70, 72, 78));
        p.setBrush(head);
        p.setPen(QColor(26, 27, 30));
        p.drawEllipse(centre, 3, 3);
        p.drawLine(centre - QPointF(2, 0), centre + QPointF(2, 0));
    }
    // Power lamp beside the transport keys.
    QRadialGradient lamp(QPointF(176, 20), 4);
    lamp.setColorAt(0.0, QColor(170, 255, 190));
    lamp.setColorAt(1.0, QColor(20, 120, 50));
    p.setBrush(lamp);
    p.setPen(Qt::NoPen);
    p.drawEllipse(QPointF(176, 20), 2.5, 2.5);
    // Ventilation slots on the wing.
    p.setPen(QPen(QColor(24, 25, 28), 1.0));
    for (int x = 430; x < 530; x += 6)
        p.drawLine(x, 74, x + 3, 74);
}

// The anti-aliased body drawn over the outline, then made hard-edged: a
// pixel is body when the outline covers at least half of it, silver
// otherwise, and no body pixel may be silver by accident.
QImage hardEdged(const QImage &soft)
{
    QImage skin(soft.size(), QImage::Format_RGB32);
    for (int y = 0; y < soft.height(); ++y)
        for (int x = 0; x < soft.width(); ++x) {
            const QRgb pixel = soft.pixel(x, y);
            if (qAlpha(pixel) < 128) {
                skin.setPixel(x, y, kSilver);
                continue;
            }
            const int a = qAlpha(pixel);
            QRgb opaque =
                qRgb(qRed(pixel) * 255 / a, qGreen(pixel) * 255 / a, qBlue(pixel) * 255 / a);
            if ((opaque & 0xFFFFFF) == (kSilver & 0xFFFFFF))
                opaque = qRgb(192, 192, 193);
            skin.setPixel(x, y, opaque);
        }
    return skin;
}

// The same drawing at any whole scale: only the pixel grid gets finer.
QImage drawSkin(int scale)
{
    QImage soft(kWidth * scale, kHeight * scale, QImage::Format_ARGB32_Premultiplied);
    soft.fill(Qt::transparent);
    QPainter p(&soft);
    p.setRenderHint(QPainter::Antialiasing);
    p.scale(scale, scale);
    const QPainterPath body = bodyOutline();
    p.fillPath(body, QColor(30, 31, 35)); // the rim colour under the soft edge
    paintMetal(p, body);
    paintKeys(p, kTransport, 4, 32);
    paintKeys(p, kWindowButtons, 4, 32);
    paintDisplay(p);
    paintWell(p, QRectF(kScanRow).adjusted(-1, -1, 1, 1), 2);
    p.fillRect(kStatus.adjusted(0, 3, 0, -2), QColor(36, 37, 41));
    paintDetails(p);
    p.end();
    return hardEdged(soft);
}

// A 48 x 48 disc: mirrored data side with a rainbow sheen and a clear hub.
void paintDisc(QPainter &p)
{
    const QPointF centre(24, 24);
    QConicalGradient sheen(centre, 30);
    sheen.setColorAt(0.00, QColor(222, 226, 236));
    sheen.setColorAt(0.12, QColor(255, 214, 160));
    sheen.setColorAt(0.25, QColor(190, 238, 205));
    sheen.setColorAt(0.38, QColor(170, 196, 255));
    sheen.setColorAt(0.50, QColor(230, 232, 240));
    sheen.setColorAt(0.62, QColor(255, 200, 220));
    sheen.setColorAt(0.75, QColor(200, 250, 240));
    sheen.setColorAt(0.88, QColor(180, 190, 250));
    sheen.setColorAt(1.00, QColor(222, 226, 236));
    p.setPen(QPen(QColor(70, 74, 90), 1.0));
    p.setBrush(sheen);
    p.drawEllipse(centre, 22.5, 22.5);
    p.setBrush(QColor(240, 242, 248, 200));
    p.setPen(QPen(QColor(120, 124, 140), 1.0));
    p.drawEllipse(centre, 8.5, 8.5);
    // The hole: cleared, so the display shows through.
    p.setCompositionMode(QPainter::CompositionMode_Clear);
    p.drawEllipse(centre, 3.5, 3.5);
    p.setCompositionMode(QPainter::CompositionMode_SourceOver);
    p.setPen(QPen(QColor(255, 255, 255, 150), 1.5));
    p.setBrush(Qt::NoBrush);
    p.drawArc(QRectF(7, 7, 34, 34), 100 * 16, 60 * 16);
}

QImage drawLogo(int scale)
{
    QImage logo(48 * scale, 48 * scale, QImage::Format_ARGB32_Premultiplied);
    logo.fill(Qt::transparent);
    QPainter p(&logo);
    p.setRenderHint(QPainter::Antialiasing);
    p.scale(scale, scale);
    paintDisc(p);
    p.end();
    return logo;
}

// The program's icon: the disc on a rounded plate of the bar's metal.
QImage drawIcon(int size)
{
    QImage icon(size, size, QImage::Format_ARGB32_Premultiplied);
    icon.fill(Qt::transparent);
    QPainter p(&icon);
    p.setRenderHint(QPainter::Antialiasing);
    p.scale(size / 48.0, size / 48.0);
    QLinearGradient metal(0, 0, 0, 48);
    metal.setColorAt(0.0, QColor(118, 122, 130));
    metal.setColorAt(0.5, QColor(58, 60, 66));
    metal.setColorAt(1.0, QColor(30, 31, 35));
    QPainterPath plate;
    plate.addRoundedRect(QRectF(1, 1, 46, 46), 9, 9);
    p.fillPath(plate, metal);
    p.setPen(QPen(QColor(214, 218, 228, 160), 1.0));
    p.drawPath(plate);
    p.translate(24, 24);
    p.scale(0.82, 0.82);
    p.translate(-24, -24);
    paintDisc(p);
    p.end();
    return icon;
}

bool save(const QImage &image, const QString &path, const char *format)
{
    if (image.save(path, format))
        return true;
    std::fprintf(stderr, "cannot write %s\n", path.toLocal8Bit().constData());
    return false;
}

} // namespace

int main(int argc, char *argv[])
{
    QGuiApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: makeskin ASSETS_FOLDER\n");
        return 2;
    }
    const QDir out(QString::fromLocal8Bit(argv[1]));
    bool written = true;
    for (int scale : {1, 2}) {
        const QString suffix = scale == 1 ? QString() : QStringLiteral("@%1x").arg(scale);
        written &= save(drawSkin(scale).convertToFormat(QImage::Format_RGB888),
                        out.filePath(QStringLiteral("controlbar%1.bmp").arg(suffix)), "BMP");
        written &=
            save(drawLogo(scale), out.filePath(QStringLiteral("dvdlogo%1.png").arg(suffix)), "PNG");
    }
    for (int size : {32, 48, 64, 128, 256})
        written &= save(drawIcon(size),
                        out.filePath(QStringLiteral("icons/vidora-%1.png").arg(size)), "PNG");
    return written ? 0 : 1;
}
