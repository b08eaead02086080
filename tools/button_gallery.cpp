// Shows one button of each style in each of its looks, plus the control
// bar's symbol faces and a message window, and saves a screenshot.
#include "core/box.h"
#include "core/module2.h"
#include "widgets/skinbutton.h"

#include <QApplication>
#include <QCursor>
#include <QFocusEvent>
#include <QGridLayout>
#include <QLabel>
#include <QMouseEvent>
#include <QPixmap>
#include <QScreen>
#include <QTimer>

#include <cstdio>

namespace
{

struct Design {
    QString title;
    int type;
    int32_t back, fore, over;
    QString caption;
    QString fontName;
    double points;
    QSize size;
};

const QList<Design> kDesigns{
    {"Control bar (8)", 8, 0x404040, 0xFFFFFF, 0xC0C0C0, "4", "Webdings", 12, {27, 25}},
    {"Scan buttons (8)", 8, 0xFFC0C0, 0xFFFFFF, 0x000000, ">>", "MS Sans Serif", 8.25, {27, 17}},
    {"Message window (5)", 5, 0xFF8080, 0x000000, 0x000000, "OK", "", 0, {80, 26}},
    {"Settings, pad (5)",
     5,
     0x404040,
     0xFFFFFF,
     0x808080,
     "&Apply",
     "MS Sans Serif",
     8.25,
     {75, 23}},
    {"Stream dialogs (7)", 7, 0x404040, 0xFFFFFF, 0xC0C0C0, "OK", "", 0, {65, 23}},
    {"Database (3)", 3, 0x000000, 0xFFFFFF, 0xC0C0C0, "&Search", "MS Sans Serif", 8.25, {80, 25}},
    {"Classic bevel (1)", 1, 0xC8D0D4, 0x000000, 0x800000, "Button", "", 0, {75, 23}},
    {"Raised bevel (2)", 2, 0xC8D0D4, 0x000000, 0x800000, "Button", "", 0, {75, 23}},
    {"Rounded bevel (4)", 4, 0xC8D0D4, 0x000000, 0x800000, "Button", "", 0, {75, 23}},
    {"Soft frame (6)", 6, 0xC8D0D4, 0x000000, 0x800000, "Button", "", 0, {75, 23}},
    {"Hover frame (9)", 9, 0xC8D0D4, 0x000000, 0x800000, "Button", "", 0, {75, 23}},
    {"Hover fill (10)", 10, 0xC8D0D4, 0x000000, 0x800000, "Button", "", 0, {75, 23}},
};

const QStringList kLooks{"up", "hover", "pressed", "focused", "disabled"};

skinButton *makeButton(QWidget *parent, const Design &design)
{
    auto *button = new skinButton(parent);
    if (!design.fontName.isEmpty()) {
        button->setFontName(design.fontName);
        button->setFontSize(design.points);
    }
    button->setColorScheme(ColorSchemes::kOwn);
    button->setBackColor(design.back);
    button->setForeColor(design.fore);
    button->setForeOver(design.over);
    button->setButtonType(design.type);
    button->setCaption(design.caption);
    button->setShowFocusRect(false);
    button->setFixedSize(design.size);
    return button;
}

// Puts a button into a look with the events the user's actions would send.
void showLook(skinButton *button, const QString &look)
{
    const QPointF centre(button->width() / 2.0, button->height() / 2.0);
    const QPointF global = button->mapToGlobal(centre);
    if (look == "hover") {
        QMouseEvent move(QEvent::MouseMove, centre, global, Qt::NoButton, Qt::NoButton, {});
        QCoreApplication::sendEvent(button, &move);
    } else if (look == "pressed") {
        QMouseEvent press(QEvent::MouseButtonPress, centre, global, Qt::LeftButton, Qt::LeftButton,
                          {});
        QCoreApplication::sendEvent(button, &press);
    } else if (look == "focused") {
        button->setShowFocusRect(true);
        QFocusEvent focus(QEvent::FocusIn, Qt::TabFocusReason);
        QCoreApplication::sendEvent(button, &focus);
    } else if (look == "disabled") {
        button->setEnabled(false);
    }
}

QLabel *label(const QString &text, QWidget *parent)
{
    auto *title = new QLabel(text, parent);
    title->setStyleSheet("color: #e0e0e0;");
    return title;
}

void addSymbolRow(QGridLayout *grid, int row, QWidget *parent, const QString &title,
                  const QList<std::pair<QString, QString>> &faces, const Design &design)
{
    grid->addWidget(label(title, parent), row, 0);
    auto *strip = new QWidget(parent);
    auto *layout = new QHBoxLayout(strip);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(2);
    for (const auto &[font, caption] : faces) {
        Design face = design;
        face.fontName = font;
        face.caption = caption;
        layout->addWidget(makeButton(strip, face));
    }
    layout->addStretch();
    grid->addWidget(strip, row, 1, 1, int(kLooks.size()));
}

QWidget *buildGallery(QList<std::pair<skinButton *, QString>> &looks)
{
    auto *window = new QWidget(nullptr, Qt::FramelessWindowHint);
    window->setStyleSheet("background: #2e3036;");
    auto *grid = new QGridLayout(window);
    grid->setHorizontalSpacing(18);
    grid->setVerticalSpacing(8);
    for (int column = 0; column < kLooks.size(); ++column)
        grid->addWidget(label("<b>" + kLooks[column] + "</b>", window), 0, column + 1);
    int row = 1;
    for (const Design &design : kDesigns) {
        grid->addWidget(label(design.title, window), row, 0);
        for (int column = 0; column < kLooks.size(); ++column) {
            auto *button = makeButton(window, design);
            grid->addWidget(button, row, column + 1);
            looks.append({button, kLooks[column]});
        }
        ++row;
    }
    const Design bar = kDesigns[0];
    addSymbolRow(grid, row++, window, "Control bar faces",
                 {{"Webdings", "9"},
                  {"Webdings", "<"},
                  {"Webdings", "4"},
                  {"Webdings", ":"},
                  {"Webdings", "."},
                  {"Webdings", QString(QChar(0xA5))},
                  {"Webdings", "@"},
                  {"Wingdings", "3"},
                  {"Webdings", "7"},
                  {"Webdings", "8"},
                  {"Webdings", ";"},
                  {"Webdings", "3"},
                  {"Webdings", "q"}},
                 bar);
    Design scan = kDesigns[1];
    scan.size = {27, 17};
    addSymbolRow(grid, row++, window, "Scan buttons",
                 {{"MS Sans Serif", "<<<"},
                  {"MS Sans Serif", "<<"},
                  {"MS Sans Serif", "<"},
                  {"MS Sans Serif", "|"},
                  {"MS Sans Serif", ">"},
                  {"MS Sans Serif", ">>"},
                  {"MS Sans Serif", ">>>"}},
                 scan);
    return window;
}

} // namespace

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    const QString output = argc > 1 ? QString::fromLocal8Bit(argv[1]) : "button-gallery.png";
    const int zoom = argc > 2 ? std::max(1, QString::fromLocal8Bit(argv[2]).toInt()) : 1;
    QCursor::setPos(1279, 799); // keep the pointer off the buttons

    QList<std::pair<skinButton *, QString>> looks;
    QWidget *gallery = buildGallery(looks);
    gallery->move(10, 10);
    gallery->show();
    ShowMessage("Bookmark saved.\r\nIt is played from here next time.");
    BOX *box = BOX::openWindows().last();
    box->move(gallery->frameGeometry().right() + 12, 10);

    QTimer::singleShot(400, [&] {
        for (const auto &[button, look] : looks)
            showLook(button, look);
        QTimer::singleShot(300, [&] {
            const QRect area = gallery->frameGeometry().united(box->frameGeometry());
            const QRect shot(0, 0, area.right() + 11, area.bottom() + 11);
            const QPixmap picture = QGuiApplication::primaryScreen()->grabWindow(
                0, shot.x(), shot.y(), shot.width(), shot.height());
            const bool saved = picture.scaled(picture.size() * zoom).save(output);
            if (!saved)
                std::fprintf(stderr, "Could not save %s\n", qPrintable(output));
            QCoreApplication::exit(saved ? 0 : 1);
        });
    });
    return QApplication::exec();
}
