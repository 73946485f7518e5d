// The ranges the configuration dialog offers for each numeric setting. A settings
// file edited by hand or damaged can hold anything (a school of two billion fish);
// the scene works with the stored values brought inside these ranges, while the
// file keeps what it holds.
#pragma once

#include <cstdint>

namespace reef {

struct SaverSettings;

struct SettingRange {
    int32_t lowest;
    int32_t highest;
    int32_t limit(int32_t value) const { return value < lowest ? lowest : (value > highest ? highest : value); }
};

namespace settings_limits {
// The school's trackbar has five positions, five fish apart.
inline constexpr SettingRange kBoidCount{0, 4 * 5};
inline constexpr SettingRange kFishCount{0, 20};
// 0 automatic tilt, 1 to 3 the fixed set-ups.
inline constexpr SettingRange kCameraPos{0, 3};
inline constexpr SettingRange kCameraSpeed{1, 9};
// Rest times at the top and the bottom of the automatic tilt, in seconds.
inline constexpr SettingRange kCameraFixTop{5, 60};
inline constexpr SettingRange kCameraFixBottom{5, 60};
// 0 cloudy, 1 cloudless.
inline constexpr SettingRange kSkyType{0, 1};
}  // namespace settings_limits

// The numeric settings as the scene uses them, each inside its range.
struct LimitedSettings {
    int32_t boidCount = 10;
    int32_t fishCount = 10;
    int32_t cameraPos = 0;
    int32_t cameraSpeed = 4;
    int32_t cameraFixTop = 30;
    int32_t cameraFixBottom = 30;
    int32_t skyType = 0;

    static LimitedSettings from(const SaverSettings& stored);
};

}  // namespace reef
