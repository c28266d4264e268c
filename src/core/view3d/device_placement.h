#pragma once

#include <cstdint>

#include "console_lock.h"
#include "output/device_feed.h"

namespace tavrelia {

// The placement controls' side of the device feed: the selected slot, the record
// switch, and the writes of type, position and a PAR's direction and width. Writes
// take the console lock and happen only while recording is on.
class DevicePlacement {
public:
    static constexpr int kSlots = 32;
    enum class Axis { X, Y, Z };
    enum class ParValue { Pan, Tilt, Width };

    DevicePlacement(DeviceFeed& feed, ConsoleLock& lock) : feed_(feed), lock_(lock) {}

    int device() const { return device_; }
    // Selects slot n (1..32) and returns where the bar of `axis` shows its stored
    // position: the X and Z bars show the value, the Y bar (top is high) 255 - value.
    void selectDevice(int n);
    int storedBarPosition(Axis axis) const;

    bool record() const { return record_; }
    void setRecord(bool on) { record_ = on; }

    // A bar moved: the slot's coordinate (written when recording) and what the fix
    // caption shows, which is that coordinate.
    uint8_t moveAxis(Axis axis, int position);
    void setType(uint8_t type);
    // Only a PAR takes its direction and width from the bars.
    void setParValue(ParValue value, int position);

private:
    static DeviceTables::Table DeviceTables::*axisTable(Axis axis);
    static uint8_t axisValue(Axis axis, int position);

    DeviceFeed& feed_;
    ConsoleLock& lock_;
    int device_ = 1;
    bool record_ = false;
};

}  // namespace tavrelia
