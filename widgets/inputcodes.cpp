#include "widgets/inputcodes.h"

#include <QCursor>
#include <QKeyEvent>
#include <QPixmap>

#include <array>
#include <utility>

namespace InputCodes
{

int mouseButton(Qt::MouseButton button)
{
    switch (button) {
    case Qt::LeftButton:
        return kLeftButton;
    case Qt::RightButton:
        return kRightButton;
    case Qt::MiddleButton:
        return kMiddleButton;
    default:
        return 0;
    }
}

int mouseButtons(Qt::MouseButtons buttons)
{
    int code = 0;
    if (buttons & Qt::LeftButton)
        code |= kLeftButton;
    if (buttons & Qt::RightButton)
        code |= kRightButton;
    if (buttons & Qt::MiddleButton)
        code |= kMiddleButton;
    return code;
}

int shiftState(Qt::KeyboardModifiers modifiers)
{
    int code = 0;
    if (modifiers & Qt::ShiftModifier)
        code |= kShiftMask;
    if (modifiers & Qt::ControlModifier)
        code |= kCtrlMask;
    if (modifiers & Qt::AltModifier)
        code |= kAltMask;
    return code;
}

namespace
{

// Keys whose code is not their character.
constexpr std::array<std::pair<int, int>, 27> kNamedKeys{{
    {Qt::Key_Backspace, 8}, {Qt::Key_Tab, 9},          {Qt::Key_Backtab, 9},  {Qt::Key_Return, 13},
    {Qt::Key_Enter, 13},    {Qt::Key_Shift, 16},       {Qt::Key_Control, 17}, {Qt::Key_Alt, 18},
    {Qt::Key_Pause, 19},    {Qt::Key_CapsLock, 20},    {Qt::Key_Escape, 27},  {Qt::Key_Space, 32},
    {Qt::Key_PageUp, 33},   {Qt::Key_PageDown, 34},    {Qt::Key_End, 35},     {Qt::Key_Home, 36},
    {Qt::Key_Left, 37},     {Qt::Key_Up, 38},          {Qt::Key_Right, 39},   {Qt::Key_Down, 40},
    {Qt::Key_Insert, 45},   {Qt::Key_Delete, 46},      {Qt::Key_Plus, 107},   {Qt::Key_Minus, 109},
    {Qt::Key_NumLock, 144}, {Qt::Key_ScrollLock, 145}, {Qt::Key_Menu, 93},
}};

} // namespace

int keyCode(const QKeyEvent *event)
{
    const int key = event->key();
    if ((key >= Qt::Key_A && key <= Qt::Key_Z) || (key >= Qt::Key_0 && key <= Qt::Key_9))
        return key; // letters and digits are their upper-case character
    if (key >= Qt::Key_F1 && key <= Qt::Key_F24)
        return 112 + (key - Qt::Key_F1);
    for (const auto &[qtKey, code] : kNamedKeys)
        if (qtKey == key)
            return code;
    return 0;
}

bool cursorFor(int pointer, const QPixmap &icon, QCursor *cursor)
{
    static constexpr std::array<Qt::CursorShape, 16> kShapes{
        Qt::ArrowCursor,     Qt::ArrowCursor,   Qt::CrossCursor,     Qt::IBeamCursor,
        Qt::ArrowCursor,     Qt::SizeAllCursor, Qt::SizeBDiagCursor, Qt::SizeVerCursor,
        Qt::SizeFDiagCursor, Qt::SizeHorCursor, Qt::UpArrowCursor,   Qt::WaitCursor,
        Qt::ForbiddenCursor, Qt::BusyCursor,    Qt::WhatsThisCursor, Qt::SizeAllCursor};
    if (pointer == kCustomPointer && !icon.isNull()) {
        *cursor = QCursor(icon);
        return true;
    }
    if (pointer <= 0 || pointer >= int(kShapes.size()))
        return false;
    *cursor = QCursor(kShapes[size_t(pointer)]);
    return true;
}

} // namespace InputCodes
