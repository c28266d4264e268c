#include "view3d/device_placement.h"

#include <algorithm>

namespace tavrelia {

DeviceTables::Table DeviceTables::*DevicePlacement::axisTable(Axis axis)
{
    static constexpr DeviceTables::Table DeviceTables::*kTables[] = {
        &DeviceTables::DevX, &DeviceTables::DevY, &DeviceTables::DevZ};
    return kTables[static_cast<int>(axis)];
}

// The Y bar has its top at the ceiling: a small position is a high device.
uint8_t DevicePlacement::axisValue(Axis axis, int position)
{
    const int value = axis == Axis::Y ? 255 - position : position;
    return static_cast<uint8_t>(std::clamp(value, 0, 255));
}

void DevicePlacement::selectDevice(int n)
{
    device_ = std::clamp(n, 1, kSlots);
}

int DevicePlacement::storedBarPosition(Axis axis) const
{
    auto guard = lock_.hold();
    return axisValue(axis, (feed_.*axisTable(axis))[device_]);
}

uint8_t DevicePlacement::moveAxis(Axis axis, int position)
{
    const uint8_t value = axisValue(axis, position);
    if (record_) {
        auto guard = lock_.hold();
        (feed_.*axisTable(axis))[device_] = value;
    }
    return value;
}

void DevicePlacement::setType(uint8_t type)
{
    if (!record_)
        return;
    auto guard = lock_.hold();
    feed_.DevType[device_] = type;
}

void DevicePlacement::setParValue(ParValue value, int position)
{
    static constexpr DeviceTables::Table DeviceTables::*kTables[] = {
        &DeviceTables::DevPan, &DeviceTables::DevTilt, &DeviceTables::DevWidth};
    if (!record_)
        return;
    auto guard = lock_.hold();
    if (feed_.DevType[device_] == 3)
        (feed_.*kTables[static_cast<int>(value)])[device_] = static_cast<uint8_t>(std::clamp(position, 0, 255));
}

}  // namespace tavrelia
