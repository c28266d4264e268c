#include <gtest/gtest.h>

#include <QtCore/qnamespace.h>

#include <utility>

#include "playback/hot_keys.h"

using tavrelia::HotKeys;
using Action = tavrelia::HotKeys::Action;

TEST(HotKeys, QtKeysGiveTheWindowsCodesInEitherLayout)
{
    struct Case {
        int qtKey;
        bool keypad;
        int code;
    };
    const Case cases[] = {
        {Qt::Key_0, false, 48},       {Qt::Key_8, false, 56},       {Qt::Key_A, false, 65},
        {Qt::Key_Z, false, 90},       {Qt::Key_Space, false, 32},   {Qt::Key_Control, false, 17},
        {Qt::Key_Equal, false, 187},  {Qt::Key_Plus, false, 187},   {Qt::Key_Minus, false, 189},
        {Qt::Key_F1, false, 112},     {Qt::Key_F12, false, 123},    {Qt::Key_Escape, false, 27},
        // The keypad has codes of its own, so its digits are no picture keys.
        {Qt::Key_1, true, 97},        {Qt::Key_Plus, true, 107},    {Qt::Key_Minus, true, 109},
        // Russian layout: Я is on Z, Й on Q, Ь on M, Б on the comma key.
        {0x042F, false, 90},          {0x0419, false, 81},          {0x042C, false, 77},
        {0x0411, false, 0},           {0x0410, false, 70},          {Qt::Key_Semicolon, false, 0},
        // A digit key with Shift is still that key: 1 and 3 in either layout, 0, 8;
        // the keypad's * stays its own.
        {Qt::Key_Exclam, false, 49},  {Qt::Key_NumberSign, false, 51}, {0x2116, false, 51},
        {Qt::Key_ParenRight, false, 48}, {Qt::Key_Asterisk, false, 56}, {Qt::Key_Asterisk, true, 106},
    };
    for (const Case& c : cases)
        EXPECT_EQ(HotKeys::virtualKey(c.qtKey, c.keypad), c.code) << std::hex << c.qtKey;
}

TEST(HotKeys, DigitRowByItsPlaceOnTheKeyboard)
{
    const std::pair<unsigned, int> cases[] = {{10, '1'}, {12, '3'}, {18, '9'}, {19, '0'},
                                              {9, 0},    {20, 0},   {0, 0},    {24, 0}};
    for (const auto& [scanCode, code] : cases)
        EXPECT_EQ(HotKeys::digitRowKey(scanCode), code) << scanCode;
}

TEST(HotKeys, KeysBindPicturesPlayStopBlackOutTapAndTheConveyor)
{
    const int pictureKeys[] = {49, 50, 51, 52, 53, 54, 55, 56, 32, 90, 88, 67, 86, 66, 78, 77};
    for (int k = 0; k < 16; ++k) {
        EXPECT_EQ(HotKeys::pictureOfKey(pictureKeys[k]), k);
        EXPECT_EQ(HotKeys::actionOf(pictureKeys[k]), Action::Picture);
        EXPECT_EQ(HotKeys::konveyrButtonOfKey(pictureKeys[k]), 0);
    }
    EXPECT_EQ(HotKeys::actionOf(48), Action::BlackOut);
    EXPECT_EQ(HotKeys::actionOf(57), Action::Tap);   // digit 9
    EXPECT_EQ(HotKeys::actionOf(58), Action::None);
    EXPECT_EQ(HotKeys::actionOf(187), Action::Play);
    EXPECT_EQ(HotKeys::actionOf(189), Action::Stop);
    EXPECT_EQ(HotKeys::actionOf(81), Action::None);   // Q: only the conveyor's
    EXPECT_EQ(HotKeys::konveyrButtonOfKey(81), 1);
    EXPECT_EQ(HotKeys::konveyrButtonOfKey(76), 19);   // L
    EXPECT_EQ(HotKeys::konveyrButtonOfKey(90), 0);    // Z is a picture
}

TEST(HotKeys, CtrlHeldLatchesThePictureWhoseKeyIsReleased)
{
    HotKeys keys;
    EXPECT_EQ(HotKeys::pictureReleasedBy(51, keys.ctrlHeld()), 2);
    keys.keyDown(17);
    EXPECT_TRUE(keys.ctrlHeld());
    EXPECT_EQ(HotKeys::pictureReleasedBy(51, keys.ctrlHeld()), -1);
    keys.keyUp(51);
    EXPECT_TRUE(keys.ctrlHeld());
    keys.keyUp(17);
    EXPECT_FALSE(keys.ctrlHeld());
    EXPECT_EQ(HotKeys::pictureReleasedBy(48, false), -1);
}
