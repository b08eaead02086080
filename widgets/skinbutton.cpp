#include "widgets/skinbutton.h"

#include "widgets/inputcodes.h"
#include "widgets/skinbuttonaccessible.h"
#include "widgets/skincaption.h"
#include "widgets/skinregion.h"
#include "widgets/skinrenderer.h"

#include "platform/units.h"
#include "widgets/propertybag.h"

#include <QAccessible>
#include <QApplication>
#include <QCursor>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QPointer>
#include <QResizeEvent>
#include <QShortcutEvent>

using namespace InputCodes;

namespace
{

int32_t systemColor(QPalette::ColorRole role)
{
    return toColorRef(QGuiApplication::palette().color(QPalette::Active, role));
}

} // namespace

skinButton::skinButton(QWidget *parent, const QString &name)
    : QWidget(parent), backColor_(systemColor(QPalette::Button)),
      foreColor_(systemColor(QPalette::ButtonText)), caption_(name)
{
    setObjectName(name);
    setFocusPolicy(Qt::StrongFocus);
    setMouseTracking(true);
    setAttribute(Qt::WA_OpaquePaintEvent);
    SkinButtonAccessible::install();
    recolor();
    readAccessKey();
}

void skinButton::setBackColor(int32_t color)
{
    backColor_ = color;
    recolor();
    Refresh();
}

void skinButton::setForeColor(int32_t color)
{
    foreColor_ = color;
    recolor();
    Refresh();
}

void skinButton::setForeOver(int32_t color)
{
    foreOver_ = color;
    recolor();
    Refresh();
}

void skinButton::setButtonType(int32_t type)
{
    buttonType_ = type;
    if (type == 5 && !font().bold())
        changeFont([](QFont &font) { font.setBold(true); });
    layoutFace();
}

void skinButton::setCaption(const QString &caption)
{
    caption_ = caption;
    readAccessKey();
    layoutFace();
    if (QAccessible::isActive()) {
        QAccessibleEvent renamed(this, QAccessible::NameChanged);
        QAccessible::updateAccessibility(&renamed);
    }
}

void skinButton::setFontBold(bool bold)
{
    changeFont([bold](QFont &font) { font.setBold(bold); });
}

void skinButton::setFontItalic(bool italic)
{
    changeFont([italic](QFont &font) { font.setItalic(italic); });
}

void skinButton::setFontUnderline(bool underline)
{
    changeFont([underline](QFont &font) { font.setUnderline(underline); });
}

void skinButton::setFontSize(double points)
{
    if (points > 0)
        changeFont([points](QFont &font) { font.setPointSizeF(points); });
}

void skinButton::setFontName(const QString &family)
{
    changeFont([&family](QFont &font) { font.setFamily(family); });
}

void skinButton::setColorScheme(int32_t scheme)
{
    colorScheme_ = scheme;
    recolor();
    Refresh();
}

void skinButton::setShowFocusRect(bool show)
{
    showFocusRect_ = show;
    Refresh();
}

void skinButton::setMousePointer(int16_t pointer)
{
    mousePointer_ = pointer;
    applyPointer();
}

void skinButton::setMouseIcon(const QPixmap &icon)
{
    mouseIcon_ = icon;
    applyPointer();
}

void skinButton::setDisplayAsDefault(bool isDefault)
{
    displayAsDefault_ = isDefault;
    Refresh();
}

void skinButton::ReadProperties(const PropertyBag &bag)
{
    const int32_t buttonText = systemColor(QPalette::ButtonText);
    const int32_t back = bag.ReadNumber(QStringLiteral("BCOL"), systemColor(QPalette::Button));
    const int32_t fore = bag.ReadNumber(QStringLiteral("FCOL"), buttonText);
    const int32_t over = bag.ReadNumber(QStringLiteral("FCOLO"), buttonText);
    const int32_t type = bag.ReadNumber(QStringLiteral("BTYPE"), 2);
    const QString text = bag.ReadText(QStringLiteral("TX"), QString());
    const bool enabled = bag.ReadSwitch(QStringLiteral("ENAB"), true);
    // A missing font is the containing window's, which an unset font inherits.
    const QFont textFont = bag.ReadFont(QStringLiteral("FONT")).value_or(QFont());
    const int32_t scheme = bag.ReadNumber(QStringLiteral("COLTYPE"), ColorSchemes::kSystem);
    const bool focusRect = bag.ReadSwitch(QStringLiteral("FOCUSR"), true);
    const int32_t pointer = bag.ReadNumber(QStringLiteral("MPTR"), 0);
    const QPixmap icon = bag.ReadPicture(QStringLiteral("MICON"));

    backColor_ = back;
    foreColor_ = fore;
    foreOver_ = over;
    buttonType_ = type;
    caption_ = text;
    colorScheme_ = scheme;
    showFocusRect_ = focusRect;
    mousePointer_ = int16_t(pointer);
    mouseIcon_ = icon;
    applyPointer();
    setEnabled(enabled);
    setFont(textFont);
    recolor();
    readAccessKey();
    layoutFace();
}

void skinButton::WriteProperties(PropertyBag &bag) const
{
    bag.WriteProperty(QStringLiteral("BCOL"), backColor_);
    bag.WriteProperty(QStringLiteral("FCOL"), foreColor_);
    bag.WriteProperty(QStringLiteral("FCOLO"), foreOver_);
    bag.WriteProperty(QStringLiteral("BTYPE"), buttonType_);
    bag.WriteProperty(QStringLiteral("TX"), caption_);
    bag.WriteProperty(QStringLiteral("ENAB"), Enabled());
    bag.WriteProperty(QStringLiteral("FONT"), font());
    bag.WriteProperty(QStringLiteral("COLTYPE"), colorScheme_);
    bag.WriteProperty(QStringLiteral("FOCUSR"), showFocusRect_);
    bag.WriteProperty(QStringLiteral("MPTR"), int(mousePointer_));
    bag.WriteProperty(QStringLiteral("MICON"), mouseIcon_);
}

void skinButton::Refresh()
{
    Paint(drawnState_, true);
}

bool skinButton::isDown() const
{
    return drawnState_ == SkinStates::kDown;
}

void skinButton::clickFromAssistant()
{
    lastButton_ = kLeftButton;
    clickAction();
}

// Qt delivers the font change to changeEvent, which lays the caption out again.
void skinButton::changeFont(const std::function<void(QFont &)> &change)
{
    QFont changed = font();
    change(changed);
    setFont(changed);
}

void skinButton::recolor()
{
    const QPalette container = parentWidget() ? parentWidget()->palette() : palette();
    colors_ = computeSkinPalette({colorScheme_, backColor_, foreColor_, foreOver_},
                                 QGuiApplication::palette(), container);
}

void skinButton::readAccessKey()
{
    if (shortcutId_ != 0)
        releaseShortcut(shortcutId_);
    shortcutId_ = 0;
    accessKey_ = accessKeyOf(caption_);
    if (accessKey_.isNull())
        return;
    const auto key = Qt::Key(accessKey_.toUpper().unicode());
    shortcutId_ = grabShortcut(QKeySequence(QKeyCombination(Qt::AltModifier, key)));
}

void skinButton::applyPointer()
{
    QCursor cursor;
    if (cursorFor(mousePointer_, mouseIcon_, &cursor))
        setCursor(cursor);
    else
        unsetCursor();
}

SkinCaption skinButton::caption() const
{
    return SkinCaption(caption_, font());
}

void skinButton::layoutFace()
{
    scaleWidth_ = width();
    scaleHeight_ = height();
    focusRect_ = QRect(4, 4, scaleWidth_ - 8, scaleHeight_ - 8);
    // Measured from (1, 0) as wide as the client less three pixels, then
    // centred in the whole client area.
    const QSize text = caption().wrappedSize(scaleWidth_ - 3);
    textRect_ =
        QRect(QPoint(1, 0), text)
            .translated((scaleWidth_ - (1 + text.width())) / 2, (scaleHeight_ - text.height()) / 2);
    textRectDown_ = textRect_.translated(1, 1);
    region_ = skinRegion(buttonType_, scaleWidth_, scaleHeight_);
    if (region_.isEmpty())
        clearMask();
    else
        setMask(region_);
    if (scaleHeight_ > 0)
        Paint(SkinStates::kUp, true);
}

void skinButton::Paint(int state, bool force)
{
    if (scaleHeight_ <= 0 || scaleWidth_ <= 0)
        return;
    if (!force && state == drawnState_ && caption_ == drawnCaption_)
        return;
    const bool pressChanged = (state == SkinStates::kDown) != isDown();
    drawnState_ = state;
    if (pressChanged && QAccessible::isActive()) {
        QAccessible::State changed;
        changed.pressed = true;
        QAccessibleStateChangeEvent pressed(this, changed);
        QAccessible::updateAccessibility(&pressed);
    }
    drawnCaption_ = caption_;
    // Drawn in screen pixels, so that a scaled desktop gets sharp text and
    // edges rather than blown-up ones.
    const qreal ratio = devicePixelRatioF();
    const QSize pixels = (QSizeF(scaleWidth_, scaleHeight_) * ratio).toSize();
    if (canvas_.size() != pixels || canvas_.devicePixelRatio() != ratio) {
        canvas_ = QImage(pixels, QImage::Format_RGB32);
        canvas_.setDevicePixelRatio(ratio);
    }
    SkinLook look;
    look.buttonType = buttonType_;
    look.width = scaleWidth_;
    look.height = scaleHeight_;
    look.state = state;
    look.enabled = isEnabled();
    look.isOver = isOver_;
    look.hasFocus = hasFocus_;
    look.showFocusRect = showFocusRect_;
    look.displayAsDefault = displayAsDefault_;
    look.colors = colors_;
    look.textRect = textRect_;
    look.textRectDown = textRectDown_;
    look.focusRect = focusRect_;
    QPainter painter(&canvas_);
    paintSkinButton(painter, look, caption());
    update();
}

bool skinButton::event(QEvent *event)
{
    if (event->type() == QEvent::Shortcut &&
        static_cast<QShortcutEvent *>(event)->shortcutId() == shortcutId_) {
        // The access key clicks like the left button, whatever was pressed last.
        lastButton_ = kLeftButton;
        clickAction();
        return true;
    }
    return QWidget::event(event);
}

void skinButton::paintEvent(QPaintEvent *)
{
    if (canvas_.isNull())
        return;
    QPainter painter(this);
    painter.drawImage(0, 0, canvas_);
}

// Qt also reports unchanged sizes (when rendering a hidden button, for one);
// those keep the face as it is.
void skinButton::resizeEvent(QResizeEvent *event)
{
    if (event->size() != QSize(scaleWidth_, scaleHeight_))
        layoutFace();
}

void skinButton::changeEvent(QEvent *event)
{
    switch (event->type()) {
    case QEvent::FontChange:
        layoutFace();
        break;
    case QEvent::EnabledChange:
        Refresh();
        break;
    case QEvent::PaletteChange:
    case QEvent::ParentChange:
        if (colorScheme_ == ColorSchemes::kContainer) {
            recolor();
            Refresh();
        }
        break;
    default:
        break;
    }
    QWidget::changeEvent(event);
}

bool skinButton::isOutside(int x, int y) const
{
    return x < 0 || y < 0 || x > scaleWidth_ || y > scaleHeight_;
}

void skinButton::pressAt(int button, int shift, int x, int y)
{
    QPointer<skinButton> alive(this);
    emit MouseDown(button, shift, x, y);
    if (!alive)
        return;
    lastButton_ = button;
    // Qt keeps the pointer with this button while any mouse button is held,
    // which is the capture the left button asks for.
    if (button != kRightButton)
        Paint(SkinStates::kDown, false);
}

void skinButton::moveAt(int buttons, int shift, int x, int y)
{
    QPointer<skinButton> alive(this);
    emit MouseMove(buttons, shift, x, y);
    if (!alive)
        return;
    if (isOutside(x, y)) {
        Paint(SkinStates::kUp, false);
        isOver_ = false;
        Paint(SkinStates::kUp, true);
        // With a button held the pointer stays with us, so releasing outside
        // does not click; no MouseOut then.
        if (buttons & ~kRightButton)
            return;
        emit MouseOut();
        return;
    }
    if ((buttons & (kLeftButton | kMiddleButton)) || isOver_) {
        if (buttons & kLeftButton)
            Paint(SkinStates::kDown, false);
        return;
    }
    isOver_ = true;
    emit MouseOver();
    if (alive)
        Paint(SkinStates::kUp, true);
}

void skinButton::releaseAt(int button, int shift, int x, int y)
{
    QPointer<skinButton> alive(this);
    emit MouseUp(button, shift, x, y);
    if (!alive)
        return;
    if (button != kRightButton)
        Paint(SkinStates::kUp, false);
    isOver_ = false;
}

void skinButton::clickAction()
{
    if (lastButton_ != kLeftButton || !isEnabled())
        return;
    Paint(SkinStates::kUp, true);
    repaint();
    emit Click();
}

void skinButton::mousePressEvent(QMouseEvent *event)
{
    const QPoint at = event->position().toPoint();
    pressAt(mouseButton(event->button()), shiftState(event->modifiers()), at.x(), at.y());
}

// A quick second left click presses again and so clicks again.
void skinButton::mouseDoubleClickEvent(QMouseEvent *event)
{
    if (event->button() == Qt::LeftButton && lastButton_ == kLeftButton)
        pressAt(kLeftButton, shiftState(event->modifiers()), 1, 1);
    else
        mousePressEvent(event);
}

void skinButton::mouseMoveEvent(QMouseEvent *event)
{
    const QPoint at = event->position().toPoint();
    moveAt(mouseButtons(event->buttons()), shiftState(event->modifiers()), at.x(), at.y());
}

void skinButton::mouseReleaseEvent(QMouseEvent *event)
{
    const QPoint at = event->position().toPoint();
    QPointer<skinButton> alive(this);
    releaseAt(mouseButton(event->button()), shiftState(event->modifiers()), at.x(), at.y());
    if (alive && rect().contains(at))
        clickAction();
}

// Leaving while hovering is a move outside: Qt reports no moves beyond the
// button unless a mouse button is held.
void skinButton::leaveEvent(QEvent *event)
{
    QWidget::leaveEvent(event);
    if (!isOver_)
        return;
    if (!isEnabled()) {
        isOver_ = false;
        return;
    }
    const Qt::MouseButtons held = QGuiApplication::mouseButtons();
    if (held & (Qt::LeftButton | Qt::MiddleButton))
        return;
    QPoint at = mapFromGlobal(QCursor::pos());
    if (!isOutside(at.x(), at.y()))
        at = QPoint(-1, -1);
    moveAt(mouseButtons(held), shiftState(QGuiApplication::keyboardModifiers()), at.x(), at.y());
}

void skinButton::keyPressEvent(QKeyEvent *event)
{
    const int code = keyCode(event);
    const int shift = shiftState(event->modifiers());
    QPointer<skinButton> alive(this);
    emit KeyDown(code, shift);
    if (!alive)
        return;
    lastKey_ = code;
    if (code == kKeySpace)
        pressAt(kLeftButton, shift, 1, 1);
    else if (code == kKeyRight || code == kKeyDown)
        focusNextPrevChild(true);
    else if (code == kKeyLeft || code == kKeyUp)
        focusNextPrevChild(false);
    if (alive && !event->text().isEmpty())
        emit KeyPress(event->text().at(0).unicode());
}

void skinButton::keyReleaseEvent(QKeyEvent *event)
{
    // Held keys repeat their presses only, as the button expects.
    if (event->isAutoRepeat())
        return;
    const int code = keyCode(event);
    const int shift = shiftState(event->modifiers());
    QPointer<skinButton> alive(this);
    emit KeyUp(code, shift);
    if (!alive || lastKey_ != kKeySpace || code != kKeySpace)
        return;
    releaseAt(kLeftButton, shift, 1, 1);
    if (!alive)
        return;
    lastButton_ = kLeftButton;
    clickAction();
}

void skinButton::focusInEvent(QFocusEvent *event)
{
    QWidget::focusInEvent(event);
    hasFocus_ = true;
    Refresh();
}

void skinButton::focusOutEvent(QFocusEvent *event)
{
    QWidget::focusOutEvent(event);
    hasFocus_ = false;
    Refresh();
}
