#include "shell/ScreenSettings.h"

#include <array>

#include "shell/SettingRows.h"
#include "shell/SettingsStore.h"

namespace reef {

namespace {

using Row = SettingRow<ScreenSettings>;

// Read and written in this order. A first start keeps the current screen size
// and never changes the display mode.
constexpr const char* kDepthName = "Bpp";
constexpr std::array<Row, 5> kRows = {{
    Row::numberRow("Width", -1, &ScreenSettings::width),
    Row::numberRow("Height", -1, &ScreenSettings::height),
    Row::numberRow(kDepthName, 16, &ScreenSettings::bitsPerPixel),
    Row::flagRow("LeaveRes", true, &ScreenSettings::leaveResolution),
    Row::flagRow("ShadeScecondary", true, &ScreenSettings::shadeSecondary),
}};

}  // namespace

ScreenSettings::ScreenSettings() { applyDefaults<ScreenSettings>(*this, kRows); }

void ScreenSettings::read(SettingsStore& store, const std::string& keyPath) {
    if (!store.OpenKey(keyPath)) return;
    readRows<ScreenSettings>(store, *this, kRows);
    // A missing value answers with whatever fallback it is given, a stored one never.
    depthStored = store.GetDword(kDepthName, 0) == store.GetDword(kDepthName, 1);
    store.CloseKey();
}

void ScreenSettings::write(SettingsStore& store, const std::string& keyPath) const {
    store.BeginWriteBatch();
    if (store.OpenKey(keyPath)) {
        writeRows<ScreenSettings>(store, *this, kRows);
        store.CloseKey();
    }
    store.CommitWriteBatch();
}

}  // namespace reef
