#pragma once

#include <QtCore/qnamespace.h>

class QCursor;
class QKeyEvent;
class QPixmap;

// The numbers the button's events carry: windows bind their handlers to
// these rather than to Qt's enums.
namespace InputCodes
{

// Mouse buttons: 1 left, 2 right, 4 middle.
constexpr int kLeftButton = 1;
constexpr int kRightButton = 2;
constexpr int kMiddleButton = 4;

// Shift state: 1 Shift, 2 Ctrl, 4 Alt.
constexpr int kShiftMask = 1;
constexpr int kCtrlMask = 2;
constexpr int kAltMask = 4;

// Virtual key codes the button itself acts on.
constexpr int kKeySpace = 32;
constexpr int kKeyLeft = 37;
constexpr int kKeyUp = 38;
constexpr int kKeyRight = 39;
constexpr int kKeyDown = 40;

// Cursor id that takes the cursor from the button's own picture.
constexpr int kCustomPointer = 99;

int mouseButton(Qt::MouseButton button);
int mouseButtons(Qt::MouseButtons buttons);
int shiftState(Qt::KeyboardModifiers modifiers);

// The virtual key code of a key event, 0 for keys without one.
int keyCode(const QKeyEvent *event);

// The cursor for a cursor id; 0 and unknown ids give nothing (inherit).
bool cursorFor(int pointer, const QPixmap &icon, QCursor *cursor);

} // namespace InputCodes
