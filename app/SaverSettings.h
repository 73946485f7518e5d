// The persisted settings of the saver: ten scalar values under the settings
// key and one on/off value per creature set under its sub-key "fish". Values
// are stored as read; their ranges belong to the configuration dialog.
#pragma once

#include "scene/SetSelection.h"

#include <cstdint>
#include <string>

namespace reef {

class SettingsStore;

struct SaverSettings {
    int32_t BoidModel = 0;
    int32_t BoidCount = 10;
    SetSelection fishSets;
    bool BirdGull = true;
    int32_t FishCount = 10;
    int32_t CameraPos = 0;  // 0: automatic tilt; 1 to 3: fixed set-ups
    int32_t CameraSpeed = 4;
    int32_t CameraFixTop = 30;
    int32_t CameraFixBottom = 30;
    int32_t SkyType = 0;
    bool SoundOn = true;

    // One scalar setting: its registry value name and the field that holds it.
    struct Row {
        const char* name;
        int32_t SaverSettings::*number;  // set for numbers
        bool SaverSettings::*flag;       // set for flags
    };
    static constexpr const char* kFishSubKey = "\\fish";

    // Reads every scalar (the current value is the fallback) and adds the sets
    // stored under keyPath + "\\fish". A key that cannot be opened changes nothing.
    bool read(SettingsStore& store, const std::string& keyPath);
    // Writes every scalar (flags as 0 or 1) and one value per set.
    bool write(SettingsStore& store, const std::string& keyPath) const;
};

}  // namespace reef
