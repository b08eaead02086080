#include "dvddb/frmdvddb.h"

#include "base/errors.h"
#include "base/plainfile.h"
#include "core/forms.h"
#include "core/module2.h"
#include "core/playerstate.h"
#include "core/version.h"
#include "dvddb/collectionexport.h"
#include "dvddb/databaselook.h"
#include "dvddb/defaultpicture.h"
#include "dvddb/discalias.h"
#include "dvddb/frmadddvd.h"
#include "dvddb/frmimdb.h"
#include "dvddb/recordfile.h"
#include "dvddb/recordstore.h"
#include "engine/control/dvdcontrolinstance.h"
#include "platform/dialogs.h"
#include "platform/units.h"
#include "settings/colorrendering.h"
#include "settings/settingskeys.h"
#include "settings/settingsstore.h"
#include "surfaces/frmnmain.h"
#include "widgets/readonlybox.h"
#include "widgets/skinbutton.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPointer>
#include <QSignalBlocker>
#include <QTimer>

namespace
{

constexpr int kWatchIntervalMs = 500;
// Below the fields: the buttons that reach beyond one record.
constexpr int kExtraRowTop = 7080;
constexpr int kWindowHeight = 7500;

struct Field {
    const char *caption;
    QRect place;
};

// Caption and place (in twips) of i1 to i8.
const std::array<Field, 8> kFields = {{
    {"DVD title:", twipsRect(4080, 2880, 3615, 285)},
    {"Director:", twipsRect(4080, 3360, 3615, 285)},
    {"Company:", twipsRect(4080, 3840, 3615, 285)},
    {"Year produced:", twipsRect(4080, 4320, 1215, 285)},
    {"Actors:", twipsRect(1440, 4920, 6255, 285)},
    {"Comments:", twipsRect(1440, 5400, 6255, 525)},
    {"Subtitles:", twipsRect(1440, 6120, 6255, 285)},
    {"Audio streams:", twipsRect(1440, 6600, 6255, 285)},
}};

// The caption goes to the left of its box: between the picture and the
// box for the fields beside the picture, from the window's edge otherwise.
QRect captionPlace(const QRect &box)
{
    const int left = box.left() > twips(3000) ? twips(2640) : twips(60);
    return QRect(left, box.top(), box.left() - left - 6, twips(285));
}

QString databaseDirectory()
{
    return playerState().databaseFolder;
}

} // namespace

frmDVDdb::frmDVDdb() : QWidget(nullptr, Qt::Window)
{
    setObjectName(QStringLiteral("frmDVDdb"));
    // Closing unloads: the lists, the search position and the watch go.
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(QStringLiteral(".: DVD database"));
    setFixedSize(twips(7935), twips(kWindowHeight));

    Label1 = DatabaseLook::makeCaption(this, QStringLiteral("Movie List:"),
                                       QRect(twips(120), twips(120) - 4, 200, 18));
    List1 = new QListWidget(this);
    List1->setObjectName(QStringLiteral("List1"));
    List1->setGeometry(twipsRect(120, 360, 5175, 2175));
    List1->setSortingEnabled(false);
    List1->setAccessibleName(Label1->text());
    txtKey = new QLineEdit(this);
    txtKey->setObjectName(QStringLiteral("txtKey"));
    txtKey->setGeometry(twipsRect(5520, 2160, 1815, 285));
    txtKey->setAccessibleName(QStringLiteral("Search the list for"));

    Image1 = new QLabel(this);
    Image1->setObjectName(QStringLiteral("Image1"));
    Image1->setGeometry(twipsRect(360, 2760, 2235, 1995));
    Image1->setScaledContents(true);
    defaultPicture = defaultDiscPicture(Image1->size());
    Image1->setPixmap(defaultPicture);

    buildFields();
    buildButtons();

    Timer1 = new QTimer(this);
    Timer1->setInterval(kWatchIntervalMs);

    // Selection, not the current row: the list makes its first entry current
    // when it takes the focus, without selecting it.
    connect(List1, &QListWidget::itemSelectionChanged, this, [this] {
        if (selectedRow() >= 0)
            List1_Click();
    });
    connect(List1, &QListWidget::itemDoubleClicked, this, &frmDVDdb::skinButton1_Click);
    connect(txtKey, &QLineEdit::returnPressed, this, &frmDVDdb::btnSearchDB_Click);
    connect(Timer1, &QTimer::timeout, this, &frmDVDdb::Timer1_Timer);
}

void frmDVDdb::buildFields()
{
    QLineEdit **lines[] = {&i1, &i2, &i3, &i4, &i5, nullptr, &i7, &i8};
    for (std::size_t i = 0; i < kFields.size(); ++i) {
        const Field &field = kFields[i];
        captions_ << DatabaseLook::makeCaption(this, QString::fromLatin1(field.caption),
                                               captionPlace(field.place), true);
        if (!lines[i]) {
            i6 = new QPlainTextEdit(this);
            i6->setGeometry(field.place);
            i6->setReadOnly(true);
            i6->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
            captions_.last()->setBuddy(i6);
            continue;
        }
        auto *box = new QLineEdit(this);
        box->setGeometry(field.place);
        box->setReadOnly(true);
        showTextFromItsStart(box);
        captions_.last()->setBuddy(box);
        *lines[i] = box;
    }
}

void frmDVDdb::buildButtons()
{
    using DatabaseLook::makeButton;
    iIn = makeButton(this, "iIn", QStringLiteral("New"), twipsRect(5520, 360, 2175, 255));
    skinButton1 =
        makeButton(this, "skinButton1", QStringLiteral("Edit"), twipsRect(5520, 720, 2175, 255));
    skinButton2 =
        makeButton(this, "skinButton2", QStringLiteral("Delete"), twipsRect(5520, 1080, 2175, 255));
    skinButton5 =
        makeButton(this, "skinButton5", QStringLiteral("Import"), twipsRect(5520, 1440, 2175, 255));
    skinButton3 = makeButton(this, "skinButton3", QStringLiteral("Search in the IMDb"),
                             twipsRect(5520, 1800, 2175, 255));
    btnSearchDB =
        makeButton(this, "btnSearchDB", QStringLiteral("S"), twipsRect(7440, 2160, 255, 255));
    btnSearchDB->setAccessibleName(QStringLiteral("Search the list"));
    connect(iIn, &skinButton::Click, this, &frmDVDdb::iIn_Click);
    connect(skinButton1, &skinButton::Click, this, &frmDVDdb::skinButton1_Click);
    connect(skinButton2, &skinButton::Click, this, &frmDVDdb::skinButton2_Click);
    connect(skinButton5, &skinButton::Click, this, &frmDVDdb::skinButton5_Click);
    connect(skinButton3, &skinButton::Click, this, &frmDVDdb::skinButton3_Click);
    connect(btnSearchDB, &skinButton::Click, this, &frmDVDdb::btnSearchDB_Click);
    btnExport = makeButton(this, "btnExport", QStringLiteral("Export..."),
                           twipsRect(5520, kExtraRowTop, 2175, 255));
    btnLink = makeButton(this, "btnLink", QStringLiteral("Link to this disc"),
                         twipsRect(1440, kExtraRowTop, 2175, 255));
    connect(btnExport, &skinButton::Click, this, &frmDVDdb::btnExport_Click);
    connect(btnLink, &skinButton::Click, this, &frmDVDdb::btnLink_Click);
}

QList<skinButton *> frmDVDdb::buttons() const
{
    return {iIn,         skinButton1, skinButton2, skinButton3,
            skinButton5, btnSearchDB, btnExport,   btnLink};
}

QList<QWidget *> frmDVDdb::fieldBoxes() const
{
    return {List1, i1, i2, i3, i4, i5, i6, i7, i8};
}

void frmDVDdb::Form_Load()
{
    IgnoreErrors steps;
    steps.step([this] { ColorRendering(); });
    steps.step([this] { MakeList(); });
    Timer1->start();
}

void frmDVDdb::ColorRendering()
{
    DatabaseLook::applyDesignColors(this, buttons());
    ColorRow row;
    row.window = this;
    row.buttons = buttons();
    row.captionLabels << Label1;
    for (QLabel *caption : captions_)
        row.captionLabels << caption;
    row.displays = fieldBoxes();
    ApplyColorRow(row);
}

// The record shown stays selected and is read again, so that the fields show
// what the editor has just saved.
void frmDVDdb::MakeList()
{
    const int shown = selectedRow();
    const QString shownPath = shown >= 0 ? List2.value(shown) : QString();
    List1->clear();
    List2.clear();
    const QString directory = databaseDirectory();
    File1.Path = directory;
    IgnoreErrors steps;
    // A folder that cannot be listed lists no records, not the last folder's.
    const bool listed = steps.step([this] { File1.Refresh(); });
    const QStringList names = listed ? File1.names() : QStringList();
    steps.step([&] {
        SettingsStore::Write(SettingsKeys::kDatabase, SettingsKeys::kDatabaseSection,
                             SettingsKeys::kTotalRecords, QString::number(names.size()));
    });
    QStringList titles;
    titles.reserve(names.size());
    for (const QString &name : names) {
        QString title;
        steps.step([&] { title = RecordFile::readTitle(directory + name); });
        titles << title;
        List2 << directory + name;
    }
    List1->addItems(titles);
    if (const qsizetype row = List2.indexOf(shownPath); !shownPath.isEmpty() && row >= 0)
        List1->setCurrentRow(int(row), QItemSelectionModel::ClearAndSelect);
}

void frmDVDdb::Timer1_Timer()
{
    if (rebuilding_)
        return;
    rebuilding_ = true;
    QPointer<frmDVDdb> alive(this);
    QCoreApplication::processEvents();
    if (!alive)
        return;
    IgnoreErrors steps;
    const bool listed = steps.step([this] { File1.Refresh(); });
    if (listed && File1.names().size() != List1->count()) {
        List1->clear();
        List2.clear();
        QCoreApplication::processEvents();
        if (!alive)
            return;
        steps.step([this] { ColorRendering(); });
        steps.step([this] { MakeList(); });
    }
    rebuilding_ = false;
}

int frmDVDdb::selectedRow() const
{
    const QModelIndexList rows = List1->selectionModel()->selectedRows();
    return rows.isEmpty() ? -1 : rows.first().row();
}

void frmDVDdb::List1_Click()
{
    const int row = selectedRow();
    if (row < 0 || row >= List2.size())
        return;
    QStringList lines(RecordFile::kRecordLines);
    IgnoreErrors steps;
    steps.step([&] { lines = RecordFile::readRecord(List2.at(row)); });
    // A link in the folder is refused, not shown as if the record were empty.
    if (steps.lastError() && PlainFile::refusal(List2.at(row)))
        ShowMessage(steps.lastError()->description());
    ShowRecord(lines);
}

void frmDVDdb::ShowRecord(const QStringList &lines)
{
    const std::array<QLineEdit *, 8> boxes = {i1, i2, i3, i4, i5, nullptr, i7, i8};
    for (std::size_t i = 0; i < boxes.size(); ++i) {
        if (boxes[i])
            boxes[i]->setText(lines.value(qsizetype(i)));
        else
            i6->setPlainText(lines.value(qsizetype(i)));
    }
    shownPicture = lines.value(RecordStore::kFieldCount);
    showPicture(lines.value(RecordStore::kFieldCount));
}

void frmDVDdb::showPicture(const QString &name)
{
    if (name == RecordStore::kNoPicture) {
        Image1->setPixmap(defaultPicture);
        return;
    }
    IgnoreErrors steps;
    steps.step([&] {
        Image1->setPixmap(
            QPixmap::fromImage(RecordStore::loadRecordPicture(databaseDirectory(), name)));
    });
}

// Walks forward from where the last search stopped, never wrapping within
// one press; a press that finds nothing makes the next one start at the top.
void frmDVDdb::btnSearchDB_Click()
{
    const QString keyword = txtKey->text();
    if (keyword.isEmpty())
        return;
    const int count = List1->count();
    const int start = (searchPos > count - 1 || !searchFound_) ? 0 : searchPos + 1;
    for (int k = start; k < count; ++k) {
        if (!ContainsText(keyword, List1->item(k)->text()))
            continue;
        searchPos = k;
        searchFound_ = true;
        const bool sameRow = selectedRow() == k;
        List1->setCurrentRow(k, QItemSelectionModel::ClearAndSelect);
        if (sameRow)
            List1_Click();
        return;
    }
    searchPos = count;
}

void frmDVDdb::iIn_Click()
{
    QString discId;
    IgnoreErrors steps;
    steps.step([&] { discId = dvdControl()->DiscUniqueId(); });
    frmAddDVD *editor = form<frmAddDVD>();
    if (!discId.isEmpty()) {
        editor->DVDid->setText(discId);
        editor->DVDid->setReadOnly(true);
    }
    editor->show();
    editor->raise();
    if (!discId.isEmpty())
        editor->guessFromPlayingDisc();
}

void frmDVDdb::skinButton1_Click()
{
    const int row = selectedRow();
    if (row < 0 || row >= List2.size()) {
        ShowMessage(QStringLiteral("Please select the record that you want to edit."));
        return;
    }
    frmAddDVD *editor = form<frmAddDVD>();
    const std::array<QString, 8> texts = {i1->text(), i2->text(),        i3->text(), i4->text(),
                                          i5->text(), i6->toPlainText(), i7->text(), i8->text()};
    editor->setFields(texts);
    // The file's own name, so that a database directory changed since the
    // list was built still gives the record's identifier.
    editor->DVDid->setText(RecordStore::identifierOf(QFileInfo(List2.at(row)).fileName()));
    editor->DVDid->setReadOnly(true);
    editor->givenPicture = shownPicture;
    editor->Image1->setPixmap(Image1->pixmap());
    editor->setWindowTitle(QStringLiteral(".: Edit DVD title"));
    editor->show();
    editor->raise();
}

void frmDVDdb::skinButton2_Click()
{
    std::optional<AppError> lastError;
    const int row = selectedRow();
    if (row < 0 || row >= List2.size()) {
        ShowMessage(QStringLiteral("Please select the record that you want to delete."));
        return;
    }
    const QString question =
        QStringLiteral("Are you sure that you want to delete from the database ") +
        QStringLiteral("all the data of the '") + List1->item(row)->text() +
        QStringLiteral("' DVD?");
    if (!Dialogs::current().askYesNo(this, Version::programTitle(), question))
        return;
    lastError = RecordStore::deleteRecord(List2.at(row));
    DiscAlias::removeLinksTo(databaseDirectory(),
                             RecordStore::identifierOf(QFileInfo(List2.at(row)).fileName()));
    {
        // The fields keep showing the deleted record.
        const QSignalBlocker quiet(List1);
        delete List1->takeItem(row);
        List2.removeAt(row);
        List1->clearSelection();
    }
    if (lastError)
        ShowMessage(lastError->description());
}

void frmDVDdb::skinButton5_Click()
{
    const QString source =
        Dialogs::current().openFileName(this, QStringLiteral("Import"), QString(),
                                        QStringLiteral("KORVANE DVD database records (*.dvd)"));
    if (source.isEmpty())
        return;
    // The watch lists the new record at its next tick.
    if (const auto error =
            trapFirstError([&] { RecordStore::importRecord(databaseDirectory(), source); }))
        ShowMessage(error->description());
}

void frmDVDdb::skinButton3_Click()
{
    const int row = selectedRow();
    frmIMDb *search = form<frmIMDb>();
    search->keyWord->setText(row >= 0 ? List1->item(row)->text() : QString());
    search->setWindowModality(Qt::ApplicationModal);
    search->show();
    search->raise();
}

void frmDVDdb::btnExport_Click()
{
    const QString chosen =
        Dialogs::current().saveFileName(this, QStringLiteral("Export the DVD database"),
                                        QDir::homePath() + QStringLiteral("/DVD collection.csv"),
                                        QStringLiteral("Spreadsheet (*.csv);;Web page (*.html)"));
    if (chosen.isEmpty())
        return;
    const QString target = CollectionExport::withExtension(chosen);
    int unreadable = 0;
    if (const auto error = trapFirstError([&] {
            unreadable = CollectionExport::exportCollection(databaseDirectory(), target);
        })) {
        ShowMessage(error->description());
        return;
    }
    if (unreadable > 0 && CollectionExport::formatOf(target) == CollectionExport::Format::Csv)
        ShowMessage(QStringLiteral("%1 record(s) could not be read and are not in \"%2\".")
                        .arg(unreadable)
                        .arg(target));
}

void frmDVDdb::btnLink_Click()
{
    const int row = selectedRow();
    if (row < 0 || row >= List2.size()) {
        ShowMessage(QStringLiteral("Please select the record of the DVD that is playing."));
        return;
    }
    QString discId;
    IgnoreErrors steps;
    if (!steps.step([&] { discId = dvdControl()->DiscUniqueId(); }) || discId.isEmpty()) {
        ShowMessage(QStringLiteral("Please play the DVD that you want to link to this record."));
        return;
    }
    const QString recordId = RecordStore::identifierOf(QFileInfo(List2.at(row)).fileName());
    if (const auto error =
            trapFirstError([&] { DiscAlias::link(databaseDirectory(), discId, recordId); })) {
        ShowMessage(error->description());
        return;
    }
    form<frmNMain>()->lblDVDtit->setText(List1->item(row)->text());
}
