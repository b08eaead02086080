#include "base/errors.h"
#include "base/localpath.h"
#include "platform/units.h"
#include "settings/colorrendering.h"
#include "settings/colorscheme.h"
#include "settings/settingskeys.h"
#include "settings/settingsstore.h"
#include "support/oddname.h"
#include "support/qtprinters.h"
#include "widgets/skinbutton.h"

#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QTemporaryDir>

#include <sys/stat.h>

#include <gtest/gtest.h>

using namespace SettingsKeys;
using Outcome = ColorScheme::FileContent::Outcome;

namespace
{

QByteArray schemeText(const QList<QByteArray> &lines)
{
    QByteArray bytes;
    for (const QByteArray &line : lines)
        bytes += line + "\r\n";
    return bytes;
}

const QList<QByteArray> kNineLines = {"KORVANE Vidora 2.2 Color scheme",
                                      " 255 ",
                                      "65280",
                                      " 16711680 ",
                                      "-1 ",
                                      " 0 ",
                                      " 4210752 ",
                                      "Night",
                                      "Ann"};

void storeColors(const QStringList &values)
{
    for (int index = 0; index < values.size(); ++index)
        SettingsStore::Write(kPlayer, kColorsSection, ColorScheme::kColorKeys[size_t(index)],
                             values[index]);
}

} // namespace

TEST(ColorSchemeFile, SavedSchemeReadsBackWithItsExactBytes)
{
    QTemporaryDir dir;
    SchemeColors scheme;
    scheme.BkCol = 0x404040;
    scheme.OverCol = -5;
    scheme.BBackCol = 0xFF;
    scheme.DForCol = 0;
    scheme.Name = QString::fromUtf8("Café night");
    scheme.Creator = QStringLiteral("Ann");
    const QString path = dir.filePath("night.cfx");
    ColorScheme::writeFile(path, scheme);

    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll(), QByteArray("KORVANE Vidora 2.2 Color scheme\r\n 4210752 \r\n-5 \r\n"
                                         " 255 \r\n 4210752 \r\n 4210752 \r\n 0 \r\n"
                                         "Caf\xE9 night\r\nAnn\r\n"));
    const auto content = ColorScheme::readFile(path);
    ASSERT_EQ(content.outcome, Outcome::Complete);
    EXPECT_EQ(content.colors, QList<int32_t>({0x404040, -5, 0xFF, 0x404040, 0x404040, 0}));
    EXPECT_EQ(content.Name, scheme.Name);
    EXPECT_EQ(content.Creator, "Ann");

    // A name as the command line gives it: a blank at the end and a byte
    // that is no UTF-8.
    const QByteArray odd = QFile::encodeName(dir.path()) + "/night\xE9 .cfx";
    const OddName renamed(path, odd);
    ASSERT_TRUE(renamed.renamed());
    EXPECT_EQ(ColorScheme::readFile(LocalPath::fromBytes(odd)).outcome, Outcome::Complete);
}

TEST(ColorSchemeFile, HeaderAndLineCountDecide)
{
    EXPECT_EQ(ColorScheme::parse(schemeText(kNineLines)).outcome, Outcome::Complete);
    QList<QByteArray> wrongVersion = kNineLines;
    wrongVersion[0] = "KORVANE Vidora 2.3 Color scheme";
    EXPECT_EQ(ColorScheme::parse(schemeText(wrongVersion)).outcome, Outcome::NotAScheme);
    EXPECT_EQ(ColorScheme::parse(schemeText(kNineLines.first(8))).outcome, Outcome::NotAScheme);
    EXPECT_EQ(ColorScheme::parse(schemeText(kNineLines + QList<QByteArray>{"extra"})).outcome,
              Outcome::Complete);
    // LF alone, and a last line without its line end, read the same.
    const auto unix = ColorScheme::parse(kNineLines.join('\n'));
    EXPECT_EQ(unix.outcome, Outcome::Complete);
    EXPECT_EQ(unix.Creator, "Ann");
}

TEST(ColorSchemeFile, ANonNumberStopsAtItsLine)
{
    QList<QByteArray> lines = kNineLines;
    lines[3] = "blue";
    const auto content = ColorScheme::parse(schemeText(lines));
    EXPECT_EQ(content.outcome, Outcome::BadColor);
    EXPECT_EQ(content.colors, QList<int32_t>({255, 65280}));
    EXPECT_EQ(content.badLine, "blue");
    lines[3] = "4294967296"; // beyond 32 bits
    EXPECT_EQ(ColorScheme::parse(schemeText(lines)).outcome, Outcome::BadColor);
    lines[3] = QByteArray(" 25\0 5 ", 7); // read as 25 up to the NUL
    EXPECT_EQ(ColorScheme::parse(schemeText(lines)).outcome, Outcome::BadColor);
}

TEST(ColorSchemeFile, OnlyPlainFilesAndTheirFirst64KiBAreRead)
{
    QTemporaryDir dir;
    const QString fifo = dir.filePath("pipe.cfx");
    ASSERT_EQ(mkfifo(fifo.toLocal8Bit().constData(), 0600), 0);
    EXPECT_EQ(ColorScheme::readFile(fifo).outcome, Outcome::NotAScheme);
    EXPECT_EQ(ColorScheme::readFile(dir.path()).outcome, Outcome::NotAScheme);
    EXPECT_THROW(ColorScheme::readFile(QString()), std::exception);
    EXPECT_THROW(ColorScheme::writeFile(fifo, SchemeColors()), std::exception);
    // A link in the scheme's place had its target overwritten.
    QFile other(dir.filePath("other"));
    ASSERT_TRUE(other.open(QIODevice::WriteOnly));
    other.close();
    ASSERT_TRUE(QFile::link(other.fileName(), dir.filePath("link.cfx")));
    EXPECT_THROW(ColorScheme::writeFile(dir.filePath("link.cfx"), SchemeColors()), AppError);
    EXPECT_EQ(other.size(), 0);

    QList<QByteArray> padded = kNineLines;
    padded[0] = QByteArray(70 * 1024, 'x');
    EXPECT_EQ(ColorScheme::parse(schemeText(padded)).outcome, Outcome::NotAScheme);
}

TEST(ColorSchemeStore, ABlackBackgroundIsStoredAsZeroAndReadsBackAsNoScheme)
{
    SchemeColors scheme;
    scheme.BkCol = 0;
    ColorScheme::store(scheme);
    EXPECT_EQ(SettingsStore::Read(kPlayer, kColorsSection, kBackColor, "<absent>"), "0");
    EXPECT_FALSE(ColorScheme::isSchemeStored());
}

TEST(ColorRendering, NoSchemeLeavesTheWindowAlone)
{
    storeColors({"0", "255", "255", "255", "255", "255"});
    QWidget window;
    const QColor before = window.palette().color(QPalette::Window);
    auto *button = new skinButton(&window, QStringLiteral("b"));
    button->setBackColor(0x123456);
    ColorRow row;
    row.window = &window;
    row.buttons = {button};
    ApplyColorRow(row);
    EXPECT_EQ(window.palette().color(QPalette::Window), before);
    EXPECT_EQ(button->BackColor(), 0x123456);
}

TEST(ColorRendering, EachControlTakesItsColourAndABadValueLosesOnlyItsOwn)
{
    storeColors({"1", "2", "x", "4", "5", "6"});
    QWidget window;
    auto *button = new skinButton(&window, QStringLiteral("b"));
    button->setBackColor(0x123456);
    auto *caption = new QLabel(&window);
    auto *box = new QLineEdit(&window);
    auto *scan = new skinButton(&window, QStringLiteral("s"));
    bool pictureRemoved = false;
    ColorRow row;
    row.window = &window;
    row.buttons = {button};
    row.captionLabels = {caption};
    row.displays = {box, scan};
    row.removePicture = [&] { pictureRemoved = true; };
    ApplyColorRow(row);
    EXPECT_TRUE(pictureRemoved);
    EXPECT_EQ(toColorRef(window.palette().color(QPalette::Window)), 1);
    EXPECT_EQ(button->ForeOver(), 2);
    EXPECT_EQ(button->BackColor(), 0x123456) << "\"x\" does not convert";
    EXPECT_EQ(button->ForeColor(), 4);
    EXPECT_EQ(toColorRef(caption->palette().color(QPalette::WindowText)), 4);
    EXPECT_EQ(toColorRef(box->palette().color(QPalette::Base)), 5);
    EXPECT_EQ(toColorRef(box->palette().color(QPalette::Text)), 6);
    EXPECT_EQ(scan->BackColor(), 5);
    EXPECT_EQ(scan->ForeColor(), 6);

    QWidget message;
    ColorRow messageRow;
    messageRow.window = &message;
    messageRow.background = SchemeBackground::DisplayColor;
    ApplyColorRow(messageRow);
    EXPECT_EQ(toColorRef(message.palette().color(QPalette::Window)), 5);
}
