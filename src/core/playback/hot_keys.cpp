#include "playback/hot_keys.h"

#include <QtCore/qnamespace.h>

#include <algorithm>
#include <array>
#include <iterator>

namespace tavrelia {

namespace {

// Keys of pictures 0..15: digits 1..8, Space, Z, X, C, V, B, N, M.
constexpr std::array<int, HotKeys::kPictures> kPictureKeys{49, 50, 51, 52, 53, 54, 55, 56,
                                                           32, 90, 88, 67, 86, 66, 78, 77};
// Keys of conveyor buttons 1..19.
constexpr char kKonveyrLetters[] = "QWERTYUIOPASDFGHJKL";

// The Latin letter on the key of each Cyrillic capital А..Я in the standard Russian
// layout; '?' marks the letters that sit on punctuation keys.
constexpr char kCyrillicKeys[] = "F?DULT?PBQRKVYJGHCNEA?WXIO?SM??Z";
constexpr int kCyrillicA = 0x0410;

struct KeyCode {
    int qtKey;
    int code;
};
constexpr KeyCode kOtherKeys[] = {
    {Qt::Key_Backspace, 8}, {Qt::Key_Tab, 9},       {Qt::Key_Return, 13},   {Qt::Key_Enter, 13},
    {Qt::Key_Shift, 16},    {Qt::Key_Control, 17},  {Qt::Key_Alt, 18},      {Qt::Key_Escape, 27},
    {Qt::Key_Space, 32},    {Qt::Key_PageUp, 33},   {Qt::Key_PageDown, 34}, {Qt::Key_End, 35},
    {Qt::Key_Home, 36},     {Qt::Key_Left, 37},     {Qt::Key_Up, 38},       {Qt::Key_Right, 39},
    {Qt::Key_Down, 40},     {Qt::Key_Insert, 45},   {Qt::Key_Delete, 46},   {Qt::Key_Equal, 187},
    {Qt::Key_Plus, 187},    {Qt::Key_Minus, 189},   {Qt::Key_Underscore, 189},
    // The digit keys with Shift, where only the symbol is known: the digit's own code,
    // as the key is the same. The Russian layout's Shift+3 is the one symbol that
    // belongs to no other key.
    {Qt::Key_ParenRight, 48}, {Qt::Key_Exclam, 49},     {Qt::Key_At, 50},         {Qt::Key_NumberSign, 51},
    {Qt::Key_Dollar, 52},     {Qt::Key_Percent, 53},    {Qt::Key_AsciiCircum, 54}, {Qt::Key_Ampersand, 55},
    {Qt::Key_Asterisk, 56},   {Qt::Key_ParenLeft, 57},  {0x2116, 51},
};

int keypadKey(int qtKey)
{
    if (qtKey >= Qt::Key_0 && qtKey <= Qt::Key_9)
        return 96 + (qtKey - Qt::Key_0);
    switch (qtKey) {
    case Qt::Key_Asterisk:
        return 106;
    case Qt::Key_Plus:
        return 107;
    case Qt::Key_Minus:
        return 109;
    case Qt::Key_Slash:
        return 111;
    default:
        return 0;
    }
}

}  // namespace

int HotKeys::virtualKey(int qtKey, bool keypad)
{
    if (keypad) {
        if (const int code = keypadKey(qtKey))
            return code;
    }
    if ((qtKey >= Qt::Key_0 && qtKey <= Qt::Key_9) || (qtKey >= Qt::Key_A && qtKey <= Qt::Key_Z))
        return qtKey;   // the same codes
    if (qtKey >= Qt::Key_F1 && qtKey <= Qt::Key_F12)
        return 112 + (qtKey - Qt::Key_F1);
    const int cyrillic = qtKey - kCyrillicA;
    if (cyrillic >= 0 && cyrillic < static_cast<int>(std::size(kCyrillicKeys)) - 1)
        return kCyrillicKeys[cyrillic] == '?' ? 0 : kCyrillicKeys[cyrillic];
    for (const KeyCode& key : kOtherKeys) {
        if (key.qtKey == qtKey)
            return key.code;
    }
    return 0;
}

int HotKeys::digitRowKey(unsigned scanCode)
{
    constexpr unsigned kKeyOf1 = 10;   // then 2..9, and 0 last
    constexpr unsigned kKeyOf0 = 19;
    if (scanCode < kKeyOf1 || scanCode > kKeyOf0)
        return 0;
    return scanCode == kKeyOf0 ? '0' : static_cast<int>('1' + (scanCode - kKeyOf1));
}

int HotKeys::pictureOfKey(int virtualKey)
{
    const auto found = std::find(kPictureKeys.begin(), kPictureKeys.end(), virtualKey);
    return found == kPictureKeys.end() ? -1 : static_cast<int>(found - kPictureKeys.begin());
}

int HotKeys::konveyrButtonOfKey(int virtualKey)
{
    for (int i = 0; i < kKonveyrKeys; ++i) {
        if (kKonveyrLetters[i] == virtualKey)
            return i + 1;
    }
    return 0;
}

HotKeys::Action HotKeys::actionOf(int virtualKey)
{
    switch (virtualKey) {
    case kCtrl:
        return Action::Ctrl;
    case kBlackOut:
        return Action::BlackOut;
    case kPlay:
        return Action::Play;
    case kStop:
        return Action::Stop;
    case kTap:
        return Action::Tap;
    default:
        return pictureOfKey(virtualKey) >= 0 ? Action::Picture : Action::None;
    }
}

int HotKeys::pictureReleasedBy(int virtualKey, bool ctrlHeld)
{
    return ctrlHeld ? -1 : pictureOfKey(virtualKey);
}

void HotKeys::keyDown(int virtualKey)
{
    if (virtualKey == kCtrl)
        ctrlHeld_ = true;
}

void HotKeys::keyUp(int virtualKey)
{
    if (virtualKey == kCtrl)
        ctrlHeld_ = false;
}

}  // namespace tavrelia
