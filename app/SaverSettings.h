// The persisted settings of the saver: ten scalar values under the settings
// key and one on/off value per creature set under its sub-key "fish". Values
// are stored as read; each number's row says the range a person is offered
// and the range the scene can use.
#pragma once

#include "scene/SetSelection.h"
#include "shell/SettingRows.h"

#include <cstdint>
#include <span>
#include <string>

namespace reef {

class SettingsStore;

struct SaverSettings {
    // The scalar settings; their registry names and defaults are the rows of
    // SaverSettings.cpp, which set them in the constructor.
    int32_t BoidModel;
    int32_t BoidCount;
    SetSelection fishSets;
    bool BirdGull;
    int32_t FishCount;
    int32_t CameraPos;  // 0: automatic tilt; 1 to 3: fixed set-ups
    int32_t CameraSpeed;
    int32_t CameraFixTop;
    int32_t CameraFixBottom;
    int32_t SkyType;
    bool SoundOn;

    using Row = SettingRow<SaverSettings>;
    static constexpr const char* kFishSubKey = "\\fish";

    // Every scalar at its default, no sets.
    SaverSettings();

    // The scalar settings' rows: the one place of each default and range.
    static std::span<const Row> rows();
    // The row of a number field.
    static const Row& row(int32_t SaverSettings::*field);

    // Reads every scalar (the current value is the fallback) and adds the sets
    // stored under keyPath + "\\fish". A key that cannot be opened changes nothing.
    void read(SettingsStore& store, const std::string& keyPath);
    // Writes every scalar (flags as 0 or 1) and one value per set.
    // False when the store did not take the writes.
    bool write(SettingsStore& store, const std::string& keyPath) const;
    // Every scalar equal, and every set of this record stored in other with the same flag.
    bool sameValues(const SaverSettings& other) const;
};
}  // namespace reef
