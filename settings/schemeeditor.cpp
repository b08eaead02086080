#include "settings/schemeeditor.h"

#include "base/errors.h"
#include "core/forms.h"
#include "core/module2.h"
#include "core/version.h"
#include "platform/desktop.h"
#include "platform/dialogs.h"
#include "platform/units.h"
#include "settings/settingspage.h"
#include "surfaces/frmnmain.h"
#include "widgets/skinbutton.h"

#include <QApplication>
#include <QFormLayout>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QVBoxLayout>

#include <cmath>
#include <functional>

namespace
{

const QString kSchemeFilter = QStringLiteral("Vidora color scheme (*.cfx)");
const QString kNotAScheme =
    QStringLiteral("The selected file is not a valid KORVANE Vidora 2.2 color scheme.");

// A label that answers a left click, for the download link.
class LinkLabel : public QLabel
{
public:
    LinkLabel(const QString &text, QWidget *parent, std::function<void()> onClick)
        : QLabel(text, parent), onClick_(std::move(onClick))
    {
        setCursor(Qt::PointingHandCursor);
        QFont underlined = font();
        underlined.setUnderline(true);
        setFont(underlined);
    }

protected:
    void mouseReleaseEvent(QMouseEvent *event) override
    {
        if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint()))
            onClick_();
    }

private:
    std::function<void()> onClick_;
};

// The colour's relative luminance, as the eye weighs red, green and blue.
double luminance(const QColor &color)
{
    const auto linear = [](double channel) {
        return channel <= 0.04045 ? channel / 12.92 : std::pow((channel + 0.055) / 1.055, 2.4);
    };
    return 0.2126 * linear(color.redF()) + 0.7152 * linear(color.greenF()) +
           0.0722 * linear(color.blueF());
}

// A swatch shows its colour; its "..." stays readable on any of them: black
// or white, whichever stands out more (they stand out equally at 0.179).
void showSwatch(skinButton *swatch, int32_t color)
{
    swatch->setBackColor(color);
    const int32_t caption = luminance(fromColorRef(color)) > 0.179 ? 0x000000 : 0xFFFFFF;
    swatch->setForeColor(caption);
    swatch->setForeOver(caption);
}

QString numberAndDescription(const AppError &error)
{
    return QString::number(error.number()) + QStringLiteral("\r\n") + error.description();
}

} // namespace

SchemeEditor::SchemeEditor(QWidget *parent) : QWidget(parent)
{
    new QVBoxLayout(this);
    buildSwatches();
    buildNamesAndButtons();
    connectHandlers();
}

void SchemeEditor::buildSwatches()
{
    auto *grid = new QGridLayout();
    const struct {
        skinButton **swatch;
        const char *name;
        const char *label;
    } rows[] = {
        {&skinButton1, "skinButton1", "Background color:"},
        {&skinButton8, "skinButton8", "Buttons mouse over:"},
        {&skinButton7, "skinButton7", "Buttons back color:"},
        {&skinButton2, "skinButton2", "Buttons fore color:"},
        {&skinButton3, "skinButton3", "Display Back color:"},
        {&skinButton9, "skinButton9", "Display Fore color:"},
    };
    for (int index = 0; index < 6; ++index) {
        const auto &row = rows[index];
        *row.swatch = SettingsPage::button(this, row.name, QStringLiteral("..."));
        showSwatch(*row.swatch, SchemeColors::kDesignColor);
        (*row.swatch)->setMinimumSize(40, 24);
        const int column = (index / 3) * 2;
        auto *label = new QLabel(QString::fromLatin1(row.label), this);
        label->setBuddy(*row.swatch);
        grid->addWidget(label, index % 3, column);
        grid->addWidget(*row.swatch, index % 3, column + 1);
    }
    grid->setColumnStretch(4, 1);
    static_cast<QVBoxLayout *>(layout())->addLayout(grid);
}

void SchemeEditor::buildNamesAndButtons()
{
    auto *layout = static_cast<QVBoxLayout *>(this->layout());
    auto *names = new QFormLayout();
    txtName = new QLineEdit(this);
    txtName->setObjectName(QStringLiteral("txtName"));
    txtCreator = new QLineEdit(this);
    txtCreator->setObjectName(QStringLiteral("txtCreator"));
    names->addRow(QStringLiteral("Scheme Name"), txtName);
    names->addRow(QStringLiteral("Scheme Creator"), txtCreator);
    layout->addLayout(names);

    auto *store = new QHBoxLayout();
    skinButton5 = SettingsPage::button(this, "skinButton5", QStringLiteral("Apply"));
    skinButton6 = SettingsPage::button(this, "skinButton6", QStringLiteral("Save"));
    skinButton12 =
        SettingsPage::button(this, "skinButton12", QStringLiteral("Default color scheme"));
    for (skinButton *button : {skinButton5, skinButton6, skinButton12})
        store->addWidget(button);
    store->addStretch();
    layout->addLayout(store);
    auto *files = new QHBoxLayout();
    skinButton10 = SettingsPage::button(this, "skinButton10", QStringLiteral("Save color scheme"));
    skinButton11 = SettingsPage::button(this, "skinButton11", QStringLiteral("Load color scheme"));
    files->addWidget(skinButton10);
    files->addWidget(skinButton11);
    files->addStretch();
    layout->addLayout(files);
    lblDownCS = new LinkLabel(QStringLiteral("Download New Color schemes Now!"), this,
                              [this] { lblDownCS_Click(); });
    lblDownCS->setObjectName(QStringLiteral("lblDownCS"));
    layout->addWidget(lblDownCS);
    layout->addStretch();
}

void SchemeEditor::connectHandlers()
{
    for (skinButton *swatch : swatches())
        connect(swatch, &skinButton::Click, this, [this, swatch] { swatch_Click(swatch); });
    connect(skinButton5, &skinButton::Click, this, [this] { ColorSave(); });
    connect(skinButton6, &skinButton::Click, this, &SchemeEditor::skinButton6_Click);
    connect(skinButton10, &skinButton::Click, this, &SchemeEditor::skinButton10_Click);
    connect(skinButton11, &skinButton::Click, this, &SchemeEditor::skinButton11_Click);
    connect(skinButton12, &skinButton::Click, this, &SchemeEditor::skinButton12_Click);
}

std::array<skinButton *, 6> SchemeEditor::swatches() const
{
    return {skinButton1, skinButton8, skinButton7, skinButton2, skinButton3, skinButton9};
}

void SchemeEditor::showStoredScheme()
{
    if (!ColorScheme::isSchemeStored()) {
        txtName->setText(QStringLiteral("Default"));
        txtCreator->setText(QStringLiteral("KORVANE"));
        return;
    }
    const SchemeColors scheme = ColorScheme::readStored();
    const auto colors = scheme.colors();
    for (size_t index = 0; index < colors.size(); ++index)
        showSwatch(swatches()[index], colors[index]);
    txtName->setText(scheme.Name);
    txtCreator->setText(scheme.Creator);
}

SchemeColors SchemeEditor::editedScheme() const
{
    SchemeColors scheme;
    const auto buttons = swatches();
    for (size_t index = 0; index < buttons.size(); ++index)
        scheme.setColor(int(index), buttons[index]->BackColor());
    scheme.Name = txtName->text();
    scheme.Creator = txtCreator->text();
    return scheme;
}

// A cancelled dialog leaves the swatch as it was.
void SchemeEditor::swatch_Click(skinButton *swatch)
{
    const auto chosen = Dialogs::current().color(window(), fromColorRef(swatch->BackColor()));
    QApplication::processEvents();
    if (chosen)
        showSwatch(swatch, toColorRef(*chosen));
}

// Events run after the first two writes, then the control bar takes the new
// colours. A failed write keeps the window open with the edits.
bool SchemeEditor::ColorSave()
{
    if (const auto failure = trapFirstError([&] { ColorScheme::store(editedScheme()); })) {
        ShowMessage(failure->description());
        return false;
    }
    QApplication::processEvents();
    if (isLoaded<frmNMain>())
        form<frmNMain>()->ColorRendering();
    return true;
}

void SchemeEditor::skinButton6_Click()
{
    if (ColorSave())
        emit finished();
}

void SchemeEditor::skinButton10_Click()
{
    const QString fileName = ColorScheme::schemeFileName(Dialogs::current().saveFileName(
        window(), QStringLiteral("Save color scheme"), QString(), kSchemeFilter));
    if (const auto failure =
            trapFirstError([&] { ColorScheme::writeFile(fileName, editedScheme()); })) {
        ShowMessage(failure->number() == ErrorNumbers::kFileError ? numberAndDescription(*failure)
                                                                  : failure->description());
    }
}

void SchemeEditor::skinButton11_Click()
{
    ColorLoad(Dialogs::current().openFileName(window(), QStringLiteral("Load color scheme"),
                                              QString(), kSchemeFilter));
}

// A cancelled dialog (no name) says nothing; the colours before a line that
// is not a number keep their new values.
void SchemeEditor::ColorLoad(const QString &fileName)
{
    if (fileName.isEmpty())
        return;
    ColorScheme::FileContent content;
    if (const auto failure = trapFirstError([&] { content = ColorScheme::readFile(fileName); })) {
        ShowMessage(numberAndDescription(*failure));
        return;
    }
    using Outcome = ColorScheme::FileContent::Outcome;
    if (content.outcome == Outcome::NotAScheme) {
        ShowMessage(kNotAScheme);
        return;
    }
    for (qsizetype index = 0; index < content.colors.size(); ++index)
        showSwatch(swatches()[size_t(index)], content.colors[index]);
    if (content.outcome == Outcome::BadColor) {
        ShowMessage(numberAndDescription(
            AppError(ErrorNumbers::kInvalidArgument,
                     QStringLiteral("Type mismatch: the color \"%1\" is not a number.")
                         .arg(content.badLine))));
        return;
    }
    txtName->setText(content.Name);
    txtCreator->setText(content.Creator);
    ShowMessage(
        QStringLiteral("You must select APPLY or SAVE to activate the loaded color scheme."));
}

void SchemeEditor::skinButton12_Click()
{
    const bool yes = Dialogs::current().askYesNo(
        window(), Version::programTitle(),
        QStringLiteral("Are you sure that you want to restore the default color scheme? All your "
                       "color settings will be lost. Please make sure to save your current color "
                       "scheme befor clicking the YES button."));
    if (!yes)
        return;
    if (const auto failure = trapFirstError([] { ColorScheme::storeDefault(); })) {
        ShowMessage(failure->description());
        return;
    }
    ShowMessage(QStringLiteral("You must restart Vidora to restore the default color scheme."));
    emit finished();
}

QString SchemeEditor::schemeDownloadAddress()
{
    return QStringLiteral("https://www.korvane.example/vidora/colorschemes/");
}

void SchemeEditor::lblDownCS_Click()
{
    if (!Desktop::openDocument(schemeDownloadAddress()))
        ShowMessage(QStringLiteral("An error has occured while trying to connect to the "
                                   "internet\r\nPlease ensure that your internet connection is "
                                   "functioning correctly and try again."));
}
