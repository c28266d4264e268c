#pragma once

#include <array>
#include <cstdint>

namespace tavrelia {

// What the output tick reads of the window. The UI writes it under the console lock
// whenever the control changes; the output thread reads it under the same lock.
// No widget is ever touched from the output thread.
struct ControlState {
    static constexpr int kStrips = 27;
    static constexpr int kPictures = 16;

    bool blackOut = false;                       // CheckBoxBlackOut checked
    bool macroOut = false;                       // SpeedButtonMacrosOut down
    std::array<bool, kPictures> pictures{};      // CheckBoxChs1..CheckBoxChsM checked
    bool manual = false;                         // CheckBoxManual checked
    std::array<bool, kStrips> stripChecked{};    // CheckBox1..CheckBox27
    std::array<uint8_t, kStrips> stripLevel{};   // ScrollBar1..ScrollBar27 positions
    uint8_t pageOffset = 0;                      // desk page: strip i shows channel pageOffset + i
    int transitionMode = 0;                      // RadioGroupRate item, -1 when none is selected
    bool handPriority = false;                   // hand-scan window owns the selected channels
    uint8_t handX = 0;
    uint8_t handY = 0;
    bool demo = false;                           // CheckBoxNoUSBconnect checked
};

}  // namespace tavrelia
