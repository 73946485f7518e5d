#include "app/SaverSettings.h"

#include "engine/WideText.h"
#include "shell/SettingRows.h"
#include "shell/SettingsStore.h"

#include <array>

namespace reef {

namespace {

// Every scalar setting, once, in the order they are written (the fish count
// before the gull flag) and read: reading has no order of its own to keep,
// since every value comes from the one parse of the key.
constexpr std::array<SaverSettings::Row, 10> kRows = {{
    SaverSettings::Row::numberRow("BoidModel", 0, &SaverSettings::BoidModel),
    SaverSettings::Row::numberRow("BoidCount", 10, &SaverSettings::BoidCount),
    SaverSettings::Row::numberRow("FishCount", 10, &SaverSettings::FishCount),
    SaverSettings::Row::flagRow("BirdGull", true, &SaverSettings::BirdGull),
    SaverSettings::Row::numberRow("CameraPos", 0, &SaverSettings::CameraPos),
    SaverSettings::Row::numberRow("CameraSpeed", 4, &SaverSettings::CameraSpeed),
    SaverSettings::Row::numberRow("CameraFixTop", 30, &SaverSettings::CameraFixTop),
    SaverSettings::Row::numberRow("CameraFixBottom", 30, &SaverSettings::CameraFixBottom),
    SaverSettings::Row::numberRow("SkyType", 0, &SaverSettings::SkyType),
    SaverSettings::Row::flagRow("SoundOn", true, &SaverSettings::SoundOn),
}};

}  // namespace

SaverSettings::SaverSettings() { applyDefaults<SaverSettings>(*this, kRows); }

bool SaverSettings::read(SettingsStore& store, const std::string& keyPath) {
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
    return true;
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
