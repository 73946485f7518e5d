// The numeric settings as the scene uses them. A settings file edited by hand
// or damaged can hold anything (a school of two billion fish); the scene works
// with each stored value brought inside its row's safe range, while the file
// keeps what it holds. The safe ranges are wider than the dialog's, so values
// the dialog does not offer (a rest time of 0, a still camera) keep their meaning.
#pragma once

#include <cstdint>

namespace reef {

struct SaverSettings;

struct LimitedSettings {
    int32_t boidCount = 0;
    int32_t fishCount = 0;
    int32_t cameraPos = 0;
    int32_t cameraSpeed = 0;
    int32_t cameraFixTop = 0;
    int32_t cameraFixBottom = 0;
    int32_t skyType = 0;

    static LimitedSettings from(const SaverSettings& stored);
};

}  // namespace reef
