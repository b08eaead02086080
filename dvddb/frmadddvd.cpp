#include "dvddb/frmadddvd.h"

#include "base/errors.h"
#include "core/forms.h"
#include "core/module2.h"
#include "core/playerstate.h"
#include "dvddb/databaselook.h"
#include "dvddb/defaultpicture.h"
#include "dvddb/frmdvddb.h"
#include "dvddb/recordstore.h"
#include "dvddb/titleguess.h"
#include "engine/control/dvdcontrolinstance.h"
#include "engine/source/volumename.h"
#include "platform/dialogs.h"
#include "platform/units.h"
#include "settings/colorrendering.h"
#include "widgets/skinbutton.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>

namespace
{

// The detect buttons show this character of the Webdings symbol font.
constexpr char16_t kDetectSymbol = 0xB3;
// A caption stands this far above the box it names, and is at least this
// wide (pixels), also over a narrow box.
constexpr int kCaptionTwips = 240;
constexpr int kCaptionWidth = 105;
// The captions under the detect buttons stand beside them.
constexpr int kBesideDetect = 30;
// The "From disc" row under "Browse for picture.." moves the rows below it
// down by this much.
constexpr int kFromDiscRow = 360;

QRect belowFromDisc(int left, int top, int width, int height)
{
    return twipsRect(left, top + kFromDiscRow, width, height);
}

} // namespace

frmAddDVD::frmAddDVD() : QWidget(nullptr, Qt::Window)
{
    setObjectName(QStringLiteral("frmAddDVD"));
    // Closing discards the input: the next opening starts afresh.
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(QStringLiteral(".: Add DVD title"));
    setFixedSize(twips(6375), twips(6060 + kFromDiscRow));

    Image1 = new QLabel(this);
    Image1->setObjectName(QStringLiteral("Image1"));
    Image1->setGeometry(twipsRect(120, 240, 2220, 2175));
    Image1->setScaledContents(true);
    Image1->setPixmap(defaultDiscPicture(Image1->size()));
    givenPicture = RecordStore::kNoPicture;

    i1 = addBox(QStringLiteral("DVD title:"), twipsRect(2520, 360, 3615, 285));
    i2 = addBox(QStringLiteral("Director:"), twipsRect(2520, 1080, 3615, 285));
    i3 = addBox(QStringLiteral("Company:"), twipsRect(2520, 1800, 3615, 285));
    i4 = addBox(QStringLiteral("Year produced:"), twipsRect(2520, 2520, 1215, 285));
    DVDid = addBox(QStringLiteral("DVD Unique ID:"), twipsRect(4200, 2520, 1935, 285));
    i5 = addBox(QStringLiteral("Actors:"), belowFromDisc(240, 3240, 5895, 285));
    i6 = addBox(QStringLiteral("Comments:"), belowFromDisc(240, 3960, 5895, 285));
    i7 = addBox(QStringLiteral("Subtitles:"), belowFromDisc(240, 4920, 2655, 285), kBesideDetect);
    i8 = addBox(QStringLiteral("Audio streams:"), belowFromDisc(3120, 4920, 3015, 285),
                kBesideDetect);
    buildButtons();
}

QLineEdit *frmAddDVD::addBox(const QString &caption, const QRect &place, int indent)
{
    captions_ << DatabaseLook::makeCaption(this, caption,
                                           QRect(place.left() + indent,
                                                 place.top() - twips(kCaptionTwips),
                                                 qMax(place.width(), kCaptionWidth) - indent, 16));
    auto *box = new QLineEdit(this);
    box->setGeometry(place);
    captions_.last()->setBuddy(box);
    return box;
}

void frmAddDVD::buildButtons()
{
    using DatabaseLook::makeButton;
    skinButton2 = makeButton(this, "skinButton2", QStringLiteral("Browse for picture.."),
                             twipsRect(240, 2520, 1935, 255));
    btnFromDisc = makeButton(this, "btnFromDisc", QStringLiteral("From disc"),
                             twipsRect(240, 2520 + kFromDiscRow, 1935, 255));
    btnFromDisc->setToolTip(QStringLiteral("Take the title's picture on screen"));
    skinButton23 = makeButton(this, "skinButton23", QString(QChar(kDetectSymbol)),
                              belowFromDisc(240, 4440, 375, 375));
    skinButton1 = makeButton(this, "skinButton1", QString(QChar(kDetectSymbol)),
                             belowFromDisc(3120, 4440, 375, 375));
    for (skinButton *detect : {skinButton23, skinButton1})
        detect->setFontName(QStringLiteral("Webdings"));
    skinButton23->setToolTip(QStringLiteral("Detect the subtitles"));
    skinButton1->setToolTip(QStringLiteral("Detect the audio streams"));
    skinButton3 =
        makeButton(this, "skinButton3", QStringLiteral("OK"), belowFromDisc(1920, 5400, 1935, 375));
    connect(skinButton2, &skinButton::Click, this, &frmAddDVD::skinButton2_Click);
    connect(btnFromDisc, &skinButton::Click, this, &frmAddDVD::btnFromDisc_Click);
    connect(dvdControl(), &DvdControl::DVDNotify, this, &frmAddDVD::enableFromDisc);
    connect(skinButton23, &skinButton::Click, this, &frmAddDVD::skinButton23_Click);
    connect(skinButton1, &skinButton::Click, this, &frmAddDVD::skinButton1_Click);
    connect(skinButton3, &skinButton::Click, this, &frmAddDVD::skinButton3_Click);
}

QList<skinButton *> frmAddDVD::buttons() const
{
    return {skinButton2, btnFromDisc, skinButton23, skinButton1, skinButton3};
}

QList<QWidget *> frmAddDVD::fieldBoxes() const
{
    return {DVDid, i1, i2, i3, i4, i5, i6, i7, i8};
}

// A locked identifier is read from its start; it is longer than its box.
void frmAddDVD::showEvent(QShowEvent *event)
{
    if (DVDid->isReadOnly())
        DVDid->setCursorPosition(0);
    enableFromDisc();
    QWidget::showEvent(event);
}

void frmAddDVD::Form_Load()
{
    ColorRendering();
}

void frmAddDVD::ColorRendering()
{
    DatabaseLook::applyDesignColors(this, buttons());
    ColorRow row;
    row.window = this;
    row.buttons = buttons();
    row.displays = fieldBoxes();
    ApplyColorRow(row);
}

void frmAddDVD::setFields(const std::array<QString, 8> &texts)
{
    const auto boxes = fields();
    for (std::size_t i = 0; i < boxes.size(); ++i)
        boxes[i]->setText(texts[i]);
}

// The languages of the title playing, from the last stream to the first,
// each followed by ", ". Refused outside a title.
void frmAddDVD::detectLanguages(QLineEdit *target, const QString &refusal,
                                const std::function<int()> &count,
                                const std::function<QString(int)> &language)
{
    IgnoreErrors steps;
    int domain = 0;
    if (!steps.step([&] { domain = dvdControl()->CurrentDomain(); }) ||
        domain != DvdDomain::kTitle) {
        if (!refusal.isEmpty())
            ShowMessage(refusal);
        return;
    }
    int streams = 0;
    steps.step([&] { streams = count(); });
    QString text;
    for (int i = 0; i < streams; ++i)
        steps.step([&] { text = language(i) + QStringLiteral(", ") + text; });
    target->setText(text);
}

void frmAddDVD::detectAudio(const QString &refusal)
{
    detectLanguages(
        i8, refusal, [] { return dvdControl()->AudioStreamsAvailable(); },
        [](int stream) { return dvdControl()->AudioLanguage(stream); });
}

void frmAddDVD::detectSubtitles(const QString &refusal)
{
    detectLanguages(
        i7, refusal, [] { return dvdControl()->SubpictureStreamsAvailable(); },
        [](int stream) { return dvdControl()->SubpictureLanguage(stream); });
}

void frmAddDVD::skinButton1_Click()
{
    detectAudio(QStringLiteral("To automatically detect the available audio streams for this "
                               "DVD, you must hit ") +
                QStringLiteral("this button while the main title is playing."));
}

void frmAddDVD::skinButton23_Click()
{
    detectSubtitles(
        QStringLiteral("To automatically detect the available subtitles for this DVD, you must "
                       "hit ") +
        QStringLiteral("this button while the main title is playing."));
}

void frmAddDVD::guessFromPlayingDisc()
{
    if (i1->text().isEmpty()) {
        QString source;
        IgnoreErrors steps;
        steps.step([&] { source = dvdControl()->DVDDirectory(); });
        i1->setText(titleFromVolumeName(discVolumeName(source)));
        i1->selectAll();
        i1->setFocus();
    }
    if (i8->text().isEmpty())
        detectAudio(QString());
    if (i7->text().isEmpty())
        detectSubtitles(QString());
}

void frmAddDVD::skinButton2_Click()
{
    const QString chosen = Dialogs::current().openFileName(
        this, QStringLiteral("Browse for picture"), QString(),
        QStringLiteral("Bitmaps (*.bmp);;JPEG pictures (*.jpg);;GIF pictures (*.gif);;PNG pictures "
                       "(*.png)"));
    if (!chosen.isEmpty())
        cdFileName = chosen;
    if (cdFileName.isEmpty())
        return;
    if (const auto error = trapFirstError([this] {
            Image1->setPixmap(QPixmap::fromImage(RecordStore::loadPicture(cdFileName)));
        }))
        ShowMessage(error->description());
    else
        pictureFromDisc = false;
}

bool frmAddDVD::titlePlays()
{
    int domain = 0;
    IgnoreErrors steps;
    return steps.step([&] { domain = dvdControl()->CurrentDomain(); }) &&
           domain == DvdDomain::kTitle;
}

void frmAddDVD::enableFromDisc()
{
    btnFromDisc->setEnabled(titlePlays());
}

// The picture is stored under the record's identifier when it is saved.
void frmAddDVD::btnFromDisc_Click()
{
    QImage picture;
    if (const auto error = trapFirstError([&] { picture = dvdControl()->PictureOnScreen(); })) {
        ShowMessage(error->description());
        return;
    }
    Image1->setPixmap(QPixmap::fromImage(picture));
    pictureFromDisc = true;
}

void frmAddDVD::skinButton3_Click()
{
    if (i1->text().isEmpty()) {
        ShowMessage(QStringLiteral("You have to write the name of your DVD to create a record."));
        return;
    }
    if (DVDid->text().isEmpty()) {
        ShowMessage(QStringLiteral("You have to write the unique ID of your DVD."));
        return;
    }
    if (!save())
        return;
    QPointer<frmAddDVD> alive(this);
    QCoreApplication::processEvents();
    IgnoreErrors steps;
    steps.step([] { form<frmDVDdb>()->MakeList(); });
    QCoreApplication::processEvents();
    if (alive)
        close();
}

// Saves the chosen picture and writes the record; reports a failure and
// returns false, so that nothing typed is lost.
bool frmAddDVD::save()
{
    const auto error = trapFirstError([this] {
        const QString directory = playerState().databaseFolder;
        const QString identifier = DVDid->text();
        // Checked before the picture is saved for a record that cannot be.
        RecordStore::checkFileName(identifier, QStringLiteral("unique ID"));
        QString picture = givenPicture;
        if (pictureFromDisc)
            picture = RecordStore::savePicture(directory, Image1->pixmap().toImage(),
                                               identifier + QStringLiteral(".bmp"), identifier);
        else if (!cdFileName.isEmpty())
            picture = RecordStore::savePicture(directory, Image1->pixmap().toImage(),
                                               QFileInfo(cdFileName).fileName(), identifier);
        QStringList texts;
        for (const QLineEdit *box : fields())
            texts << box->text();
        RecordStore::writeRecord(directory, identifier, texts, picture);
    });
    if (error)
        ShowMessage(error->description());
    return !error;
}
