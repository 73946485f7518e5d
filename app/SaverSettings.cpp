#include "app/SaverSettings.h"

#include "engine/WideText.h"
#include "shell/SettingRows.h"
#include "shell/SettingsStore.h"

#include <array>
#include <cassert>

namespace reef {

namespace {

// The largest counts the program builds: far more fish than a screen shows
// apart, yet a few megabytes of models and steering state.
constexpr int32_t kMaxCreatureCount = 1000;
// A whole tilt (25 degrees) in 25 ms: faster only skips frames.
constexpr int32_t kMaxCameraSpeed = 1000;
// A day at either end of the tilt; the rest time in ms still fits its counter.
constexpr int32_t kMaxRestSeconds = 24 * 60 * 60;

using Row = SaverSettings::Row;

// Every scalar setting, once, in the order they are written (the fish count
// before the gull flag) and read: reading has no order of its own to keep,
// since every value comes from the one parse of the key. A number's offered
// range is its dialog control's; its safe range is what the scene accepts.
// The camera position has none: 0 is the automatic tilt, 1 to 3 the fixed
// views, and any other value leaves the view level and still.
constexpr std::array<Row, 10> kRows = {{
    Row::numberRow("BoidModel", 0, &SaverSettings::BoidModel),
    Row::numberRow("BoidCount", 10, &SaverSettings::BoidCount, {0, 20, 5}, {0, kMaxCreatureCount}),
    Row::numberRow("FishCount", 10, &SaverSettings::FishCount, {0, 20}, {0, kMaxCreatureCount}),
    Row::flagRow("BirdGull", true, &SaverSettings::BirdGull),
    Row::numberRow("CameraPos", 0, &SaverSettings::CameraPos, {0, 3}),
    Row::numberRow("CameraSpeed", 4, &SaverSettings::CameraSpeed, {1, 9}, {0, kMaxCameraSpeed}),
    Row::numberRow("CameraFixTop", 30, &SaverSettings::CameraFixTop, {5, 60}, {0, kMaxRestSeconds}),
    Row::numberRow("CameraFixBottom", 30, &SaverSettings::CameraFixBottom, {5, 60}, {0, kMaxRestSeconds}),
    Row::numberRow("SkyType", 0, &SaverSettings::SkyType, {0, 1}, {0, 1}),
    Row::flagRow("SoundOn", true, &SaverSettings::SoundOn),
}};

}  // namespace

SaverSettings::SaverSettings() { applyDefaults<SaverSettings>(*this, kRows); }

std::span<const SaverSettings::Row> SaverSettings::rows() { return kRows; }

const SaverSettings::Row& SaverSettings::row(int32_t SaverSettings::*field) {
    for (const Row& row : kRows)
        if (row.number == field) return row;
    assert(!"every number field has a row");
    return kRows.front();
}

void SaverSettings::read(SettingsStore& store, const std::string& keyPath) {
    if (store.OpenKey(keyPath)) {
        readRows<SaverSettings>(store, *this, kRows);
        store.CloseKey();
    }
    if (store.OpenKey(keyPath + kFishSubKey)) {
        const int count = store.CountValues();
        for (int index = 0; index < count; ++index) {
            std::string name;
            if (!store.EnumValue(index, name)) continue;
            const bool enabled = store.GetBool(name, true);
            fishSets.addSet(fromUtf8(name), enabled ? 1 : 0);
        }
        store.CloseKey();
    }
}

bool SaverSettings::write(SettingsStore& store, const std::string& keyPath) const {
    // Both keys in one replacement of the file: a second dialog's OK either
    // comes wholly before or wholly after this one.
    store.BeginWriteBatch();
    if (store.OpenKey(keyPath)) {
        writeRows<SaverSettings>(store, *this, kRows);
        store.CloseKey();
    }
    if (store.OpenKey(keyPath + kFishSubKey)) {
        for (const SetEntryFlag& entry : fishSets.entries()) {
            store.SetDword(toUtf8(entry.id), entry.enabled);
        }
        store.CloseKey();
    }
    return store.CommitWriteBatch();
}

bool SaverSettings::sameValues(const SaverSettings& other) const {
    if (!sameRows<SaverSettings>(*this, other, kRows)) return false;
    for (const SetEntryFlag& entry : fishSets.entries()) {
        if (!other.fishSets.contains(entry.id) || other.fishSets.isSetEnabled(entry.id) != entry.enabled) return false;
    }
    return true;
}

}  // namespace reef
