#include "app/SaverSettings.h"

#include "engine/WideText.h"
#include "shell/SettingsStore.h"

#include <array>

namespace reef {

namespace {

using Row = SaverSettings::Row;

// Every scalar setting, once, in the order they are read.
constexpr std::array<Row, 10> kRows = {{
    {"BoidModel", &SaverSettings::BoidModel, nullptr},
    {"BoidCount", &SaverSettings::BoidCount, nullptr},
    {"BirdGull", nullptr, &SaverSettings::BirdGull},
    {"FishCount", &SaverSettings::FishCount, nullptr},
    {"CameraPos", &SaverSettings::CameraPos, nullptr},
    {"CameraSpeed", &SaverSettings::CameraSpeed, nullptr},
    {"CameraFixTop", &SaverSettings::CameraFixTop, nullptr},
    {"CameraFixBottom", &SaverSettings::CameraFixBottom, nullptr},
    {"SkyType", &SaverSettings::SkyType, nullptr},
    {"SoundOn", nullptr, &SaverSettings::SoundOn},
}};

// Writing stores the fish count before the gull flag; otherwise the same order.
constexpr std::array<size_t, 10> kWriteOrder = {0, 1, 3, 2, 4, 5, 6, 7, 8, 9};

}  // namespace

bool SaverSettings::read(SettingsStore& store, const std::string& keyPath) {
    if (store.OpenKey(keyPath)) {
        for (const Row& row : kRows) {
            if (row.number != nullptr) {
                this->*row.number = store.GetDword(row.name, this->*row.number);
            } else {
                this->*row.flag = store.GetBool(row.name, this->*row.flag);
            }
        }
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
    if (store.OpenKey(keyPath)) {
        for (size_t index : kWriteOrder) {
            const Row& row = kRows[index];
            const uint32_t value = row.number != nullptr ? static_cast<uint32_t>(this->*row.number)
                                                         : (this->*row.flag ? 1u : 0u);
            store.SetDword(row.name, value);
        }
        store.CloseKey();
    }
    if (store.OpenKey(keyPath + kFishSubKey)) {
        for (const SetEntryFlag& entry : fishSets.entries()) {
            store.SetDword(toUtf8(entry.id), entry.enabled);
        }
        store.CloseKey();
    }
    return true;
}

}  // namespace reef
