#include "surfaces/streamdialog.h"

#include "base/errors.h"
#include "core/module2.h"
#include "core/ontopbas.h"
#include "platform/units.h"
#include "settings/colorrendering.h"
#include "widgets/designlook.h"
#include "widgets/skinbutton.h"

#include <QApplication>
#include <QListWidget>
#include <QMouseEvent>

#include <algorithm>

namespace
{

constexpr int32_t kListBack = 0xFFC0C0;
constexpr int32_t kListText = 0x000000;
constexpr int kStyleThinBevel = 7;
// A disc has at most 8 audio streams, 32 subtitle streams and 9 angles; a
// count beyond that is damage, and listing it would never end.
constexpr int kMostEntries = 32;

} // namespace

StreamDialog::StreamDialog(const QString &caption, const QSize &size, const QRect &list,
                           const QRect &cancel)
    : QWidget(nullptr, Qt::Tool | Qt::WindowTitleHint | Qt::WindowCloseButtonHint)
{
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(caption);
    setFixedSize(size);
    List1 = new QListWidget(this);
    List1->setObjectName(QStringLiteral("List1"));
    List1->setGeometry(list);
    List1->setAccessibleName(caption);
    skinButton5 = addButton("skinButton5", QStringLiteral("CANCEL"), cancel);
    connect(List1, &QListWidget::itemClicked, this, &StreamDialog::List1_Click);
    connect(skinButton5, &skinButton::Click, this, &StreamDialog::skinButton5_Click);
    applyDesignColors();
}

skinButton *StreamDialog::addButton(const char *name, const QString &caption, const QRect &at)
{
    auto *button = DesignLook::makeButton(this, name, kStyleThinBevel, caption);
    button->setGeometry(at);
    DesignLook::setButtonColors(button);
    return button;
}

void StreamDialog::Form_Load()
{
    SetOnTop(this, true);
    ColorRendering();
    FillList();
}

void StreamDialog::FillList()
{
    List1->clear();
    IgnoreErrors steps;
    int count = 0;
    steps.step([&] { count = std::min(entryCount(), kMostEntries); });
    for (int index = 0; index < count; ++index)
        steps.step([&] {
            const Entry entry = entryAt(index);
            auto *item = new QListWidgetItem(entry.text, List1);
            item->setData(Qt::UserRole, entry.number);
        });
}

// "CANCEL", and "No Subtitles" on the subtitle dialog, are the buttons.
void StreamDialog::ColorRendering()
{
    ColorRow row;
    row.window = this;
    row.buttons = findChildren<skinButton *>();
    row.displays = {List1};
    ApplyColorRow(row);
}

// The built-in look until a colour scheme is stored; the buttons take theirs
// in addButton.
void StreamDialog::applyDesignColors()
{
    DesignLook::setBackground(this, DesignLook::kDarkGrey);
    QPalette list = List1->palette();
    list.setColor(QPalette::Base, fromColorRef(kListBack));
    list.setColor(QPalette::Text, fromColorRef(kListText));
    List1->setPalette(list);
}

// The selection mark goes with the refill: what the list shows is what the
// disc offers now.
bool StreamDialog::event(QEvent *event)
{
    if (event->type() == QEvent::WindowActivate && List1)
        FillList();
    return QWidget::event(event);
}

void StreamDialog::mousePressEvent(QMouseEvent *event)
{
    if (event->button() == Qt::LeftButton)
        DragWindow(this);
}

// Each entry carries the number it stands for, so an entry left out of the
// list does not shift the ones after it onto the wrong stream.
void StreamDialog::List1_Click(QListWidgetItem *item)
{
    const int number = item->data(Qt::UserRole).toInt();
    if (const auto failure = trapFirstError([&] { select(number); }))
        ShowMessage(failure->description());
}

void StreamDialog::skinButton5_Click()
{
    close();
}
