#include "platform/InputCodes.h"

namespace tw::platform {

int windowsKeyCode(int qtKey, Qt::KeyboardModifiers modifiers)
{
    if (qtKey >= Qt::Key_A && qtKey <= Qt::Key_Z)
        return qtKey; // 'A'..'Z'
    if (qtKey >= Qt::Key_0 && qtKey <= Qt::Key_9)
        return (modifiers & Qt::KeypadModifier) ? 96 + (qtKey - Qt::Key_0) : qtKey;
    if (qtKey >= Qt::Key_F1 && qtKey <= Qt::Key_F24)
        return Vk::F1 + (qtKey - Qt::Key_F1);
    switch (qtKey) {
    case Qt::Key_Backspace:
        return Vk::Back;
    case Qt::Key_Tab:
    case Qt::Key_Backtab:
        return Vk::Tab;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        return Vk::Return;
    case Qt::Key_Shift:
        return Vk::Shift;
    case Qt::Key_Control:
        return Vk::Control;
    case Qt::Key_Alt:
        return Vk::Menu;
    case Qt::Key_Escape:
        return Vk::Escape;
    case Qt::Key_Space:
        return Vk::Space;
    case Qt::Key_PageUp:
        return Vk::Prior;
    case Qt::Key_PageDown:
        return Vk::Next;
    case Qt::Key_End:
        return Vk::End;
    case Qt::Key_Home:
        return Vk::Home;
    case Qt::Key_Left:
        return Vk::Left;
    case Qt::Key_Up:
        return Vk::Up;
    case Qt::Key_Right:
        return Vk::Right;
    case Qt::Key_Down:
        return Vk::Down;
    case Qt::Key_Insert:
        return Vk::Insert;
    case Qt::Key_Delete:
        return Vk::Delete;
    case Qt::Key_Menu:
        return Vk::Apps;
    case Qt::Key_Asterisk:
        return (modifiers & Qt::KeypadModifier) ? 106 : 0;
    case Qt::Key_Plus:
        return (modifiers & Qt::KeypadModifier) ? 107 : 187;
    case Qt::Key_Minus:
        return (modifiers & Qt::KeypadModifier) ? 109 : 189;
    case Qt::Key_Period:
        return (modifiers & Qt::KeypadModifier) ? 110 : 190;
    case Qt::Key_Slash:
        return (modifiers & Qt::KeypadModifier) ? 111 : 191;
    case Qt::Key_Comma:
        return 188;
    default:
        return 0;
    }
}

int shiftState(Qt::KeyboardModifiers modifiers)
{
    int s = 0;
    if (modifiers & Qt::ShiftModifier)
        s |= ShiftMask;
    if (modifiers & Qt::ControlModifier)
        s |= CtrlMask;
    if (modifiers & Qt::AltModifier)
        s |= AltMask;
    return s;
}

int mouseButtonCode(Qt::MouseButtons buttons)
{
    int b = 0;
    if (buttons & Qt::LeftButton)
        b |= LeftButton;
    if (buttons & Qt::RightButton)
        b |= RightButton;
    if (buttons & Qt::MiddleButton)
        b |= MiddleButton;
    return b;
}

} // namespace tw::platform
