#pragma once

#include "widgets/skinpalette.h"

#include <QImage>
#include <QPixmap>
#include <QRegion>
#include <QWidget>

#include <cstdint>
#include <functional>

class PropertyBag;
class SkinCaption;

// The program's own push button, used for every button of every window. It
// paints itself in one of ten styles (ButtonType 1 to 10) from a seven-colour
// palette, tracks the pointer for a hover look, and tells its window what
// happened through the nine signals below. Colours are 0x00BBGGRR values.
class skinButton : public QWidget
{
    Q_OBJECT
public:
    // name is the control's name; a new button shows it as its caption.
    explicit skinButton(QWidget *parent = nullptr, const QString &name = QString());

    int32_t BackColor() const { return backColor_; }
    void setBackColor(int32_t color);
    int32_t ForeColor() const { return foreColor_; }
    void setForeColor(int32_t color);
    // The caption colour while the pointer is over the button.
    int32_t ForeOver() const { return foreOver_; }
    void setForeOver(int32_t color);
    int32_t ButtonType() const { return buttonType_; }
    void setButtonType(int32_t type); // 5 also makes the font bold
    QString Caption() const { return caption_; }
    void setCaption(const QString &caption); // "&" marks the access key
    bool Enabled() const { return !testAttribute(Qt::WA_ForceDisabled); }
    // Enabled is written with QWidget::setEnabled, the font with setFont.
    QFont Font() const { return font(); }
    bool FontBold() const { return font().bold(); }
    void setFontBold(bool bold);
    bool FontItalic() const { return font().italic(); }
    void setFontItalic(bool italic);
    bool FontUnderline() const { return font().underline(); }
    void setFontUnderline(bool underline);
    double FontSize() const { return font().pointSizeF(); } // points
    void setFontSize(double points);
    QString FontName() const { return font().family(); }
    void setFontName(const QString &family);
    int32_t ColorScheme() const { return colorScheme_; } // see ColorSchemes
    void setColorScheme(int32_t scheme);
    bool ShowFocusRect() const { return showFocusRect_; }
    void setShowFocusRect(bool show);
    int16_t MousePointer() const { return mousePointer_; }
    void setMousePointer(int16_t pointer);
    QPixmap MouseIcon() const { return mouseIcon_; }
    void setMouseIcon(const QPixmap &icon); // used with MousePointer 99
    QWidget *hwnd() { return this; }

    // Set by the window whose default button this is; the gradient style
    // then shows its focus decoration.
    bool DisplayAsDefault() const { return displayAsDefault_; }
    void setDisplayAsDefault(bool isDefault);

    // The access key in lower case, or a null character when there is none.
    QChar AccessKey() const { return accessKey_; }
    const SkinPalette &skinPalette() const { return colors_; }

    // Repaints in the current state.
    void Refresh();

    // Whether the face shows the button held down.
    bool isDown() const;
    // A click asked for by assistive technology: as the left button's, and
    // only while the button is enabled.
    void clickFromAssistant();

    // The eleven persisted properties, keys compared without regard to case.
    // ReadProperties throws AppError when a value has the wrong type, and then
    // changes nothing.
    void ReadProperties(const PropertyBag &bag);
    void WriteProperties(PropertyBag &bag) const;

signals:
    void Click();
    void MouseDown(int button, int shift, int x, int y);
    void MouseMove(int button, int shift, int x, int y);
    void MouseUp(int button, int shift, int x, int y);
    void KeyPress(int keyAscii);
    void KeyDown(int keyCode, int shift);
    void KeyUp(int keyCode, int shift);
    void MouseOver();
    void MouseOut();

protected:
    bool event(QEvent *event) override;
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void changeEvent(QEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void leaveEvent(QEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void keyReleaseEvent(QKeyEvent *event) override;
    void focusInEvent(QFocusEvent *event) override;
    void focusOutEvent(QFocusEvent *event) override;

private:
    void pressAt(int button, int shift, int x, int y);
    void moveAt(int buttons, int shift, int x, int y);
    void releaseAt(int button, int shift, int x, int y);
    void clickAction();
    bool isOutside(int x, int y) const;

    void Paint(int state, bool force);
    void layoutFace();
    void recolor();
    void readAccessKey();
    void applyPointer();
    void changeFont(const std::function<void(QFont &)> &change);
    SkinCaption caption() const;

    int32_t backColor_;
    int32_t foreColor_;
    int32_t foreOver_ = 0;
    int32_t buttonType_ = 2;
    QString caption_;
    int32_t colorScheme_ = ColorSchemes::kSystem;
    bool showFocusRect_ = true;
    int16_t mousePointer_ = 0;
    QPixmap mouseIcon_;
    bool displayAsDefault_ = false;

    int lastButton_ = 1;
    int lastKey_ = 0;
    bool hasFocus_ = false;
    bool isOver_ = false;
    int drawnState_ = 0;
    QString drawnCaption_;
    QChar accessKey_;
    int shortcutId_ = 0;

    SkinPalette colors_;
    int scaleWidth_ = 0;
    int scaleHeight_ = 0;
    QRect textRect_;
    QRect textRectDown_;
    QRect focusRect_;
    QRegion region_;
    QImage canvas_; // the face as last painted
};
