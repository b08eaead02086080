#include "coretest.h"

#include "dvddb/frmadddvd.h"
#include "dvddb/frmdvddb.h"
#include "dvddb/frmimdb.h"
#include "settings/frmsettings.h"
#include "surfaces/frmnmain.h"
#include "widgets/skinbutton.h"

#include <QAbstractItemView>
#include <QAccessible>
#include <QComboBox>
#include <QLineEdit>
#include <QSignalSpy>
#include <QTest>

// What assistive technology is told about the windows' controls.
namespace
{

QAccessibleInterface *accessible(QObject *object)
{
    return QAccessible::queryAccessibleInterface(object);
}

QString nameOf(QObject *object)
{
    return accessible(object)->text(QAccessible::Name);
}

// The text boxes, lists and combo boxes of a window that have no name.
QStringList unnamedInputs(QWidget *window)
{
    QStringList unnamed;
    for (QWidget *child : window->findChildren<QWidget *>()) {
        const bool input =
            qobject_cast<QLineEdit *>(child) || qobject_cast<QPlainTextEdit *>(child) ||
            qobject_cast<QComboBox *>(child) || qobject_cast<QAbstractItemView *>(child);
        if (input && nameOf(child).trimmed().isEmpty())
            unnamed << QString::fromLatin1(child->metaObject()->className()) + ' ' +
                           child->objectName();
    }
    return unnamed;
}

} // namespace

class AccessibilityTest : public CoreTest
{
};

TEST_F(AccessibilityTest, BarButtonsAreNamedPushButtonsAndTextBoxesCarryTheirLabels)
{
    frmNMain *bar = form<frmNMain>();
    for (skinButton *button : bar->findChildren<skinButton *>()) {
        EXPECT_EQ(accessible(button)->role(), QAccessible::Button);
        EXPECT_GT(nameOf(button).size(), 2) << button->objectName().toStdString();
    }
    EXPECT_EQ(nameOf(bar->btnPreCh), "Previous chapter");
    EXPECT_EQ(nameOf(bar->btnBack8), "Scan backward 8x");

    for (QWidget *window :
         {static_cast<QWidget *>(form<frmSettings>()), static_cast<QWidget *>(form<frmDVDdb>()),
          static_cast<QWidget *>(form<frmAddDVD>()), static_cast<QWidget *>(form<frmIMDb>())})
        EXPECT_EQ(unnamedInputs(window), QStringList()) << window->objectName().toStdString();
    EXPECT_EQ(nameOf(form<frmAddDVD>()->DVDid), "DVD Unique ID:");
    EXPECT_EQ(nameOf(form<frmSettings>()->Text8), "Set DVD database directory:");
    // A symbol button says what its tip says; a colour swatch, its label.
    EXPECT_EQ(nameOf(form<frmAddDVD>()->skinButton1), "Detect the audio streams");
}

TEST_F(AccessibilityTest, AButtonReportsItsStatesAndIsPressedThroughItsAction)
{
    QWidget window;
    auto *button = new skinButton(&window, QStringLiteral("skinButton1"));
    button->setGeometry(0, 0, 80, 26);
    button->setCaption(QStringLiteral("&Open && play"));
    window.show();
    QSignalSpy clicks(button, &skinButton::Click);
    QAccessibleInterface *face = accessible(button);
    EXPECT_EQ(face->text(QAccessible::Name), "Open & play");
    EXPECT_EQ(face->text(QAccessible::Accelerator), "Alt+O");

    QAccessibleActionInterface *actions = face->actionInterface();
    ASSERT_TRUE(actions);
    ASSERT_TRUE(actions->actionNames().contains(QAccessibleActionInterface::pressAction()));
    actions->doAction(QAccessibleActionInterface::pressAction());
    EXPECT_EQ(clicks.size(), 1);

    QTest::mousePress(button, Qt::LeftButton, {}, QPoint(10, 10));
    EXPECT_TRUE(face->state().pressed);
    QTest::mouseRelease(button, Qt::LeftButton, {}, QPoint(10, 10));
    EXPECT_FALSE(face->state().pressed);
    EXPECT_EQ(clicks.size(), 2);

    button->setEnabled(false);
    EXPECT_TRUE(face->state().disabled);
    EXPECT_FALSE(actions->actionNames().contains(QAccessibleActionInterface::pressAction()));
    actions->doAction(QAccessibleActionInterface::pressAction());
    EXPECT_EQ(clicks.size(), 2);
}
