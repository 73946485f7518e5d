#include <gtest/gtest.h>

#include <climits>

#include "app/SaverSettings.h"
#include "app/SettingsLimits.h"

namespace reef {
namespace {

SaverSettings filledWith(int32_t value) {
    SaverSettings s;
    s.BoidCount = s.FishCount = s.CameraPos = s.CameraSpeed = s.CameraFixTop = s.CameraFixBottom = s.SkyType = value;
    return s;
}

TEST(SettingsLimits, ExtremesLandOnTheNearestEndOfEachRange) {
    const LimitedSettings high = LimitedSettings::from(filledWith(INT32_MAX));
    EXPECT_EQ(high.boidCount, 20);
    EXPECT_EQ(high.fishCount, 20);
    EXPECT_EQ(high.cameraPos, 3);
    EXPECT_EQ(high.cameraSpeed, 9);
    EXPECT_EQ(high.cameraFixTop, 60);
    EXPECT_EQ(high.cameraFixBottom, 60);
    EXPECT_EQ(high.skyType, 1);

    const LimitedSettings low = LimitedSettings::from(filledWith(INT32_MIN));
    EXPECT_EQ(low.boidCount, 0);
    EXPECT_EQ(low.fishCount, 0);
    EXPECT_EQ(low.cameraPos, 0);
    EXPECT_EQ(low.cameraSpeed, 1);
    EXPECT_EQ(low.cameraFixTop, 5);
    EXPECT_EQ(low.cameraFixBottom, 5);
    EXPECT_EQ(low.skyType, 0);
}

TEST(SettingsLimits, ValuesInsideTheRangesPassUnchanged) {
    SaverSettings s;  // the defaults lie inside every range
    s.BoidCount = 12;  // between two trackbar steps: still a count the school can have
    s.CameraFixBottom = 59;
    const LimitedSettings limited = LimitedSettings::from(s);
    EXPECT_EQ(limited.boidCount, 12);
    EXPECT_EQ(limited.fishCount, s.FishCount);
    EXPECT_EQ(limited.cameraPos, s.CameraPos);
    EXPECT_EQ(limited.cameraSpeed, s.CameraSpeed);
    EXPECT_EQ(limited.cameraFixTop, s.CameraFixTop);
    EXPECT_EQ(limited.cameraFixBottom, 59);
    EXPECT_EQ(limited.skyType, s.SkyType);
}

}  // namespace
}  // namespace reef
