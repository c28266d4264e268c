#include <gtest/gtest.h>

#include "console.h"
#include "view3d/device_placement.h"

using tavrelia::Console;
using tavrelia::DevicePlacement;
using tavrelia::DeviceTables;

namespace {

using Axis = DevicePlacement::Axis;
using ParValue = DevicePlacement::ParValue;

class PlacementTest : public ::testing::Test {
protected:
    DeviceTables tables()
    {
        auto guard = console.lock();
        return console.deviceFeed.snapshot();
    }
    static bool same(const DeviceTables& a, const DeviceTables& b)
    {
        return a.DevType == b.DevType && a.DevX == b.DevX && a.DevY == b.DevY && a.DevZ == b.DevZ
               && a.DevPan == b.DevPan && a.DevTilt == b.DevTilt && a.DevWidth == b.DevWidth;
    }

    Console console;
    DevicePlacement placement{console};
};

// With recording off the fix captions still follow the bars, and nothing is stored.
TEST_F(PlacementTest, NothingIsStoredWithoutRecord)
{
    placement.selectDevice(4);
    EXPECT_EQ(placement.moveAxis(Axis::X, 200), 200);
    EXPECT_EQ(placement.moveAxis(Axis::Y, 200), 55);
    EXPECT_EQ(placement.moveAxis(Axis::Z, 9), 9);
    placement.setType(2);
    placement.setParValue(ParValue::Pan, 3);
    EXPECT_TRUE(same(tables(), DeviceTables{}));
}

TEST_F(PlacementTest, RecordedWrites)
{
    placement.setRecord(true);
    placement.selectDevice(32);
    placement.moveAxis(Axis::X, 235);
    placement.moveAxis(Axis::Y, 20);   // the bar's top is the ceiling
    placement.moveAxis(Axis::Z, 0);
    DeviceTables expected;
    expected.DevX[32] = 235;
    expected.DevY[32] = 235;
    expected.DevZ[32] = 0;
    EXPECT_TRUE(same(tables(), expected));

    const uint8_t types[] = {1, 2, 3, 0};
    for (uint8_t type : types) {
        placement.setType(type);
        EXPECT_EQ(tables().DevType[32], type);
    }
}

TEST_F(PlacementTest, OnlyAParTakesDirectionAndWidth)
{
    placement.setRecord(true);
    placement.selectDevice(2);
    placement.setType(1);
    placement.setParValue(ParValue::Pan, 10);
    EXPECT_EQ(tables().DevPan[2], 0);
    placement.setType(3);
    placement.setParValue(ParValue::Pan, 10);
    placement.setParValue(ParValue::Tilt, 20);
    placement.setParValue(ParValue::Width, 30);
    EXPECT_EQ(tables().DevPan[2], 10);
    EXPECT_EQ(tables().DevTilt[2], 20);
    EXPECT_EQ(tables().DevWidth[2], 30);
}

TEST_F(PlacementTest, SelectingASlotGivesTheBarsItsStoredPlace)
{
    console.deviceFeed.DevX[7] = 40;
    console.deviceFeed.DevY[7] = 200;
    console.deviceFeed.DevZ[7] = 90;
    placement.selectDevice(7);
    EXPECT_EQ(placement.storedBarPosition(Axis::X), 40);
    EXPECT_EQ(placement.storedBarPosition(Axis::Y), 55);
    EXPECT_EQ(placement.storedBarPosition(Axis::Z), 90);
    // The controls reach slots 1..32 only.
    for (int n : {0, 33, 300}) {
        placement.selectDevice(n);
        EXPECT_GE(placement.device(), 1);
        EXPECT_LE(placement.device(), 32);
    }
}

}  // namespace
