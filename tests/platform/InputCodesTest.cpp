#include "platform/InputCodes.h"

#include <gtest/gtest.h>

using namespace tw::platform;

TEST(InputCodes, KeysBecomeWindowsKeyCodes)
{
    struct {
        int key;
        Qt::KeyboardModifiers mods;
        int code;
    } const cases[] = {
        {Qt::Key_A, Qt::NoModifier, 65},     {Qt::Key_Z, Qt::ShiftModifier, 90}, {Qt::Key_5, Qt::NoModifier, 53},
        {Qt::Key_5, Qt::KeypadModifier, 101}, {Qt::Key_Delete, Qt::NoModifier, 46},
        {Qt::Key_Return, Qt::NoModifier, 13}, {Qt::Key_Enter, Qt::KeypadModifier, 13},
        {Qt::Key_Escape, Qt::NoModifier, 27}, {Qt::Key_F2, Qt::NoModifier, 113},
        {Qt::Key_Down, Qt::NoModifier, 40},  {Qt::Key_PageUp, Qt::NoModifier, 33},
        {Qt::Key_Insert, Qt::NoModifier, 45}, {Qt::Key_Tab, Qt::NoModifier, 9},
        {Qt::Key_Backtab, Qt::ShiftModifier, 9}, {Qt::Key_VolumeUp, Qt::NoModifier, 0},
        {Qt::Key_Menu, Qt::NoModifier, 93},   {Qt::Key_F10, Qt::ShiftModifier, 121},
    };
    for (const auto& c : cases)
        EXPECT_EQ(windowsKeyCode(c.key, c.mods), c.code) << "Qt key " << c.key;
}

TEST(InputCodes, ShiftBitsAndButtons)
{
    EXPECT_EQ(shiftState(Qt::NoModifier), 0);
    EXPECT_EQ(shiftState(Qt::ShiftModifier), 1);
    EXPECT_EQ(shiftState(Qt::ControlModifier | Qt::AltModifier), 6);
    EXPECT_EQ(shiftState(Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier | Qt::KeypadModifier), 7);
    EXPECT_EQ(mouseButtonCode(Qt::LeftButton), 1);
    EXPECT_EQ(mouseButtonCode(Qt::RightButton), 2);
    EXPECT_EQ(mouseButtonCode(Qt::MiddleButton), 4);
    EXPECT_EQ(mouseButtonCode(Qt::NoButton), 0);
}
