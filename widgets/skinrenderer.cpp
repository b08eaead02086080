#include "widgets/skinrenderer.h"

#include "widgets/pixelpainter.h"
#include "widgets/skincaption.h"

#include <QPainter>

#include <cmath>

namespace
{

// Fixed colours of the gradient style.
constexpr int32_t kGradientBorder = 0x733C00;
constexpr int32_t kGradientCorner = 0x7B4D10;
constexpr int32_t kFocusCaptionFrame = 0xCC9999;

// The inner decoration of the gradient style: border, lower line, top line,
// second line, left and right lines.
struct GradientTrim {
    int32_t border, lower, top, second, sides;
};
constexpr GradientTrim kHoverTrim{0x31B2FF, 0x0096E7, 0xCEF3FF, 0x8CDBFF, 0x6BCBFF};
constexpr GradientTrim kFocusTrim{0xE7AE8C, 0xEF826B, 0xFFE7CE, 0xF7D7BD, 0xF0D1B5};

class Renderer
{
public:
    Renderer(QPainter &painter, const SkinLook &look, const SkinCaption &caption)
        : px_(painter), look_(look), caption_(caption), w_(look.width), h_(look.height),
          c_(look.colors)
    {
    }

    void paint();

private:
    void up();
    void down();
    void disabled();

    void classicUp();
    void raisedUp();
    void raisedDown();
    void gradientUp();
    void gradientDown();
    void gradientDisabled();
    void gradientEdge();
    void gradientTrim(const GradientTrim &trim);
    void gradientRows(int32_t base, bool reversed);
    void roundedOutline(int32_t color);
    void roundedUp();
    void roundedDown();
    void flatUp();
    void flatDown();
    void flatFocus();
    void hoverFillUp();

    void text(const QRect &rect, int32_t color) { caption_.draw(px_.painter(), rect, color); }
    void embossed();
    void focusRect();
    QRect client() const { return QRect(0, 0, w_, h_); }
    QRect inset() const { return QRect(1, 1, w_ - 2, h_ - 2); }
    void doubleBevel(const QRect &rect, int32_t c1, int32_t c2, int32_t c3, int32_t c4);

    PixelPainter px_;
    const SkinLook &look_;
    const SkinCaption &caption_;
    const int w_, h_;
    const SkinPalette &c_;
    int32_t textColor_ = 0;
};

void Renderer::paint()
{
    px_.fill(0, 0, w_, h_, c_.colFace);
    if (!look_.enabled) {
        disabled();
        return;
    }
    textColor_ = look_.isOver ? c_.colTextOver : c_.colText;
    if (look_.state == SkinStates::kDown)
        down();
    else if (look_.state == SkinStates::kUp)
        up();
}

void Renderer::up()
{
    switch (look_.buttonType) {
    case 1:
        return classicUp();
    case 2:
        return raisedUp();
    case 3:
        return gradientUp();
    case 4:
        return roundedUp();
    case 5:
        return flatUp();
    case 6:
        text(look_.textRect, textColor_);
        doubleBevel(client(), Shade(c_.colLight, 8), c_.colShadow, Shade(c_.colLight, 8),
                    c_.colShadow);
        return focusRect();
    case 7:
    case 8:
        text(look_.textRect, textColor_);
        if (look_.buttonType == 7 || look_.isOver)
            px_.bevel(client(), c_.colHighlight, c_.colShadow);
        return focusRect();
    case 9:
        text(look_.textRect, textColor_);
        if (look_.isOver)
            px_.frame(0, 0, w_, h_, c_.colDarkShadow);
        return focusRect();
    case 10:
        return hoverFillUp();
    default:
        return text(look_.textRect, textColor_);
    }
}

void Renderer::down()
{
    switch (look_.buttonType) {
    case 1:
        text(look_.textRectDown, textColor_);
        doubleBevel(inset(), c_.colShadow, c_.colHighlight, c_.colShadow, c_.colHighlight);
        return px_.frame(0, 0, w_, h_, c_.colDarkShadow);
    case 2:
        return raisedDown();
    case 3:
        return gradientDown();
    case 4:
        return roundedDown();
    case 5:
        return flatDown();
    case 6:
        text(look_.textRectDown, textColor_);
        return doubleBevel(client(), c_.colShadow, Shade(c_.colLight, 8), c_.colShadow,
                           Shade(c_.colLight, 8));
    case 7:
    case 8:
        text(look_.textRectDown, textColor_);
        px_.bevel(client(), c_.colShadow, c_.colHighlight);
        return focusRect();
    case 9:
        text(look_.textRectDown, textColor_);
        px_.frame(0, 0, w_, h_, c_.colDarkShadow);
        return focusRect();
    case 10:
        px_.fill(0, 0, w_, h_, Shade(c_.colFace, -15));
        text(look_.textRectDown, textColor_);
        px_.bevel(client(), c_.colShadow, Shade(c_.colFace, 15));
        return focusRect();
    default:
        return text(look_.textRectDown, textColor_);
    }
}

void Renderer::disabled()
{
    switch (look_.buttonType) {
    case 1:
        embossed();
        doubleBevel(inset(), c_.colHighlight, c_.colShadow, c_.colHighlight, c_.colShadow);
        return px_.frame(0, 0, w_, h_, c_.colDarkShadow);
    case 2:
        embossed();
        return doubleBevel(client(), c_.colHighlight, c_.colDarkShadow, c_.colLight, c_.colShadow);
    case 3:
        return gradientDisabled();
    case 4:
        px_.fill(1, 1, w_ - 1, h_ - 1, Shade(c_.colFace, 8));
        embossed();
        return roundedOutline(c_.colShadow);
    case 5:
        text(look_.textRect, c_.colShadow);
        return px_.frame(0, 0, w_, h_, c_.colShadow);
    case 6:
        text(look_.textRect, c_.colShadow);
        return doubleBevel(client(), Shade(c_.colLight, 8), c_.colShadow, Shade(c_.colLight, 8),
                           c_.colShadow);
    case 8:
        embossed();
        return px_.frame(0, 0, w_, h_, c_.colShadow);
    case 7:
    case 9:
        embossed();
        return px_.bevel(client(), c_.colHighlight, c_.colShadow);
    case 10:
        px_.fill(0, 0, w_, h_, Shade(c_.colFace, 15));
        text(look_.textRect, c_.colShadow);
        return px_.frame(0, 0, w_, h_, c_.colShadow);
    default:
        return embossed();
    }
}

void Renderer::embossed()
{
    text(look_.textRectDown, c_.colHighlight);
    text(look_.textRect, c_.colShadow);
}

void Renderer::focusRect()
{
    if (look_.showFocusRect && look_.hasFocus)
        px_.focusOutline(look_.focusRect);
}

void Renderer::doubleBevel(const QRect &rect, int32_t c1, int32_t c2, int32_t c3, int32_t c4)
{
    px_.bevel(rect, c1, c2);
    px_.bevel(rect.adjusted(1, 1, -1, -1), c3, c4);
}

void Renderer::classicUp()
{
    text(look_.textRect, textColor_);
    doubleBevel(inset(), c_.colHighlight, c_.colShadow, c_.colHighlight, c_.colShadow);
    px_.frame(0, 0, w_, h_, c_.colDarkShadow);
    focusRect();
}

void Renderer::raisedUp()
{
    text(look_.textRect, textColor_);
    if (look_.hasFocus && look_.showFocusRect) {
        px_.frame(0, 0, w_, h_, c_.colDarkShadow);
        doubleBevel(inset(), c_.colHighlight, c_.colDarkShadow, c_.colLight, c_.colShadow);
        return focusRect();
    }
    doubleBevel(client(), c_.colHighlight, c_.colDarkShadow, c_.colLight, c_.colShadow);
}

void Renderer::raisedDown()
{
    text(look_.textRectDown, textColor_);
    px_.frame(0, 0, w_, h_, c_.colDarkShadow);
    if (look_.showFocusRect)
        px_.frame(1, 1, w_ - 1, h_ - 1, c_.colShadow);
    focusRect();
}

// One line per row, darkening by 25 in all from the first row to the last
// (or the other way round).
void Renderer::gradientRows(int32_t base, bool reversed)
{
    const double step = 25.0 / h_;
    for (int i = 1; i <= h_; ++i) {
        // Halves round to the even neighbour.
        const int k = int(std::nearbyint(step * i));
        const int row = reversed ? h_ - i : i;
        px_.line(0, row, w_, row, ShadeBlue(base, -k));
    }
}

void Renderer::gradientEdge()
{
    px_.frame(0, 0, w_, h_, kGradientBorder);
    px_.pixel(1, 1, kGradientCorner);
    px_.pixel(1, h_ - 2, kGradientCorner);
    px_.pixel(w_ - 2, 1, kGradientCorner);
    px_.pixel(w_ - 2, h_ - 2, kGradientCorner);
}

void Renderer::gradientTrim(const GradientTrim &trim)
{
    px_.frame(1, 2, w_ - 1, h_ - 2, trim.border);
    px_.line(2, h_ - 2, w_ - 2, h_ - 2, trim.lower);
    px_.line(2, 1, w_ - 2, 1, trim.top);
    px_.line(1, 2, w_ - 1, 2, trim.second);
    px_.line(2, 3, 2, h_ - 3, trim.sides);
    px_.line(w_ - 3, 3, w_ - 3, h_ - 3, trim.sides);
}

void Renderer::gradientUp()
{
    const int32_t b = ShadeBlue(c_.colFace, 48);
    gradientRows(b, false);
    text(look_.textRect, textColor_);
    gradientEdge();
    if (look_.isOver)
        return gradientTrim(kHoverTrim);
    if (look_.showFocusRect && (look_.hasFocus || look_.displayAsDefault))
        return gradientTrim(kFocusTrim);
    px_.line(2, h_ - 2, w_ - 2, h_ - 2, ShadeBlue(b, -48));
    px_.line(1, h_ - 3, w_ - 2, h_ - 3, ShadeBlue(b, -32));
    px_.line(w_ - 2, 2, w_ - 2, h_ - 2, ShadeBlue(b, -36));
    px_.line(w_ - 3, 3, w_ - 3, h_ - 3, ShadeBlue(b, -24));
    px_.line(2, 1, w_ - 2, 1, ShadeBlue(b, 16));
    px_.line(1, 2, w_ - 2, 2, ShadeBlue(b, 10));
    px_.line(1, 2, 1, h_ - 2, ShadeBlue(b, -5));
    px_.line(2, 3, 2, h_ - 3, ShadeBlue(b, -10));
}

void Renderer::gradientDown()
{
    const int32_t d = ShadeBlue(ShadeBlue(c_.colFace, 48), -32);
    gradientRows(d, true);
    text(look_.textRectDown, c_.colText);
    gradientEdge();
    px_.line(2, h_ - 2, w_ - 2, h_ - 2, ShadeBlue(d, 16));
    px_.line(1, h_ - 3, w_ - 2, h_ - 3, ShadeBlue(d, 10));
    px_.line(w_ - 2, 2, w_ - 2, h_ - 2, ShadeBlue(d, 5));
    px_.line(w_ - 3, 3, w_ - 3, h_ - 3, d);
    px_.line(2, 1, w_ - 2, 1, ShadeBlue(d, -32));
    px_.line(1, 2, w_ - 2, 2, ShadeBlue(d, -24));
    px_.line(1, 2, 1, h_ - 2, ShadeBlue(d, -32));
    px_.line(2, 2, 2, h_ - 2, ShadeBlue(d, -22));
}

void Renderer::gradientDisabled()
{
    const int32_t b = ShadeBlue(c_.colFace, 48);
    px_.fill(0, 0, w_, h_, ShadeBlue(b, -24));
    text(look_.textRect, ShadeBlue(b, -104));
    px_.frame(0, 0, w_, h_, ShadeBlue(b, -84));
    const int32_t corner = ShadeBlue(b, -72);
    px_.pixel(1, 1, corner);
    px_.pixel(1, h_ - 2, corner);
    px_.pixel(w_ - 2, 1, corner);
    px_.pixel(w_ - 2, h_ - 2, corner);
}

// The outline that follows the cut corners of the rounded style.
void Renderer::roundedOutline(int32_t color)
{
    px_.line(2, 0, w_ - 2, 0, color);
    px_.line(2, h_ - 1, w_ - 2, h_ - 1, color);
    px_.line(0, 2, 0, h_ - 2, color);
    px_.line(w_ - 1, 2, w_ - 1, h_ - 2, color);
    px_.pixel(1, 1, color);
    px_.pixel(w_ - 2, 1, color);
    px_.pixel(1, h_ - 2, color);
    px_.pixel(w_ - 2, h_ - 2, color);
}

void Renderer::roundedUp()
{
    px_.fill(1, h_ / 2, w_ - 1, h_ - 1, Shade(c_.colFace, -8));
    text(look_.textRect, textColor_);
    px_.line(2, 1, w_ - 2, 1, c_.colHighlight);
    px_.line(1, 2, 1, h_ - 2, c_.colHighlight);
    px_.line(3, 2, w_ - 3, 2, c_.colLight);
    px_.line(2, h_ - 2, w_ - 2, h_ - 2, c_.colShadow);
    px_.line(w_ - 2, 2, w_ - 2, h_ - 2, c_.colShadow);
    roundedOutline(c_.colDarkShadow);
    focusRect();
}

void Renderer::roundedDown()
{
    px_.fill(1, 1, w_ - 1, h_ - 1, Shade(c_.colFace, -16));
    text(look_.textRectDown, textColor_);
    px_.line(2, 1, w_ - 2, 1, Shade(c_.colShadow, -32));
    px_.line(1, 2, 1, h_ - 2, Shade(c_.colShadow, -32));
    px_.line(3, 2, w_ - 3, 2, Shade(c_.colShadow, -16));
    px_.line(2, 3, 2, h_ - 3, Shade(c_.colShadow, -16));
    roundedOutline(c_.colDarkShadow);
    focusRect();
}

void Renderer::flatUp()
{
    px_.fill(1, 1, w_, h_, Shade(c_.colFace, 12));
    text(look_.textRect, textColor_);
    px_.frame(1, 1, w_, h_, c_.colHighlight);
    px_.frame(0, 0, w_ - 1, h_ - 1, Shade(c_.colShadow, -26));
    px_.pixel(1, h_ - 2, Shade(c_.colShadow, 26));
    px_.pixel(w_ - 2, 1, Shade(c_.colShadow, 26));
    flatFocus();
}

void Renderer::flatDown()
{
    px_.fill(1, 1, w_ - 1, h_ - 1, Shade(c_.colShadow, 16));
    px_.frame(0, 0, w_ - 1, h_ - 1, Shade(c_.colShadow, -26));
    px_.line(w_ - 1, 1, w_ - 1, h_, c_.colHighlight);
    px_.line(1, h_ - 1, w_ - 1, h_ - 1, c_.colHighlight);
    text(look_.textRect, textColor_);
    flatFocus();
}

// The flat style frames the caption itself instead of the dotted outline.
void Renderer::flatFocus()
{
    if (!look_.hasFocus || !look_.showFocusRect)
        return;
    const QSize size = caption_.lineSize();
    const int left = (w_ - size.width()) / 2 - 3;
    const int top = (h_ - size.height()) / 2 - 1;
    px_.frame(left, top, left + size.width() + 6, top + size.height() + 2, kFocusCaptionFrame);
}

void Renderer::hoverFillUp()
{
    px_.fill(0, 0, w_, h_, Shade(c_.colFace, look_.isOver ? 35 : 15));
    text(look_.textRect, textColor_);
    px_.frame(0, 0, w_, h_, c_.colShadow);
    focusRect();
}

} // namespace

void paintSkinButton(QPainter &painter, const SkinLook &look, const SkinCaption &caption)
{
    if (look.width <= 0 || look.height <= 0)
        return;
    Renderer(painter, look, caption).paint();
}
