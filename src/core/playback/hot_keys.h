#pragma once

namespace tavrelia {

// The main window's hot keys, in Windows virtual-key codes: the sixteen picture
// keys, play, stop, blackout, tap and the conveyor's keys, and the Ctrl-held flag
// that latches a picture.
class HotKeys {
public:
    static constexpr int kCtrl = 17;
    static constexpr int kSpace = 32;
    static constexpr int kBlackOut = 48;   // the digit 0
    static constexpr int kTap = 57;        // the digit 9, the one digit no picture holds
    static constexpr int kPlay = 187;      // the equals/plus key
    static constexpr int kStop = 189;      // the minus key
    static constexpr int kPictures = 16;
    static constexpr int kKonveyrKeys = 19;

    enum class Action { None, Ctrl, Picture, BlackOut, Play, Stop, Tap };

    // The virtual-key code of a Qt key (keypad keys have codes of their own); 0 when
    // the key has none. Cyrillic letters give the code of the Latin letter on the
    // same key of a standard keyboard, so the keys work in either layout, and the
    // symbols of the digit keys with Shift give the digit's code.
    static int virtualKey(int qtKey, bool keypad = false);
    // The code of a key of the digit row by its place on the keyboard, from the X
    // key code (the kernel's code + 8, which X and Wayland both report), whatever
    // Shift or the layout make of it; 0 for any other key.
    static int digitRowKey(unsigned scanCode);

    // Picture 0..15 bound to a key, or -1.
    static int pictureOfKey(int virtualKey);
    // Conveyor button 1..19 bound to a key (Q..L), or 0.
    static int konveyrButtonOfKey(int virtualKey);

    static Action actionOf(int virtualKey);
    // The picture whose box a key release clears, or -1: none while Ctrl is held,
    // which is how a picture is latched.
    static int pictureReleasedBy(int virtualKey, bool ctrlHeld);

    // The Ctrl-held flag follows the Ctrl key.
    void keyDown(int virtualKey);
    void keyUp(int virtualKey);
    bool ctrlHeld() const { return ctrlHeld_; }

private:
    bool ctrlHeld_ = false;
};

}  // namespace tavrelia
