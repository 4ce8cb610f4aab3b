#pragma once
// The key, shift and mouse-button codes with which the event handlers of a
// classic Windows desktop program identify user input, computed from Qt's.

#include <Qt>

namespace tw::platform {

// Shift-state bits.
constexpr int ShiftMask = 1;
constexpr int CtrlMask = 2;
constexpr int AltMask = 4;

// Mouse-button codes.
constexpr int LeftButton = 1;
constexpr int RightButton = 2;
constexpr int MiddleButton = 4;

// Windows virtual-key codes of the keys handlers compare with.
namespace Vk {
constexpr int Back = 8;
constexpr int Tab = 9;
constexpr int Return = 13;
constexpr int Shift = 16;
constexpr int Control = 17;
constexpr int Menu = 18; // Alt
constexpr int Escape = 27;
constexpr int Space = 32;
constexpr int Prior = 33; // Page Up
constexpr int Next = 34;  // Page Down
constexpr int End = 35;
constexpr int Home = 36;
constexpr int Left = 37;
constexpr int Up = 38;
constexpr int Right = 39;
constexpr int Down = 40;
constexpr int Insert = 45;
constexpr int Delete = 46;
constexpr int Apps = 93; // the Menu key
constexpr int F1 = 112;
constexpr int F10 = 121;
} // namespace Vk

// The virtual-key code of a Qt key (letters and digits are their upper-case
// ASCII codes); 0 for a key without one.
int windowsKeyCode(int qtKey, Qt::KeyboardModifiers modifiers = Qt::NoModifier);
// The shift-state bits of Qt's modifiers.
int shiftState(Qt::KeyboardModifiers modifiers);
// The button code of one Qt mouse button, or the bits of several.
int mouseButtonCode(Qt::MouseButtons buttons);

} // namespace tw::platform
