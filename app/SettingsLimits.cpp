#include "app/SettingsLimits.h"

#include "app/SaverSettings.h"

namespace reef {

namespace {

int32_t safeValue(const SaverSettings& stored, int32_t SaverSettings::*field) {
    return SaverSettings::row(field).safe.limit(stored.*field);
}

}  // namespace

LimitedSettings LimitedSettings::from(const SaverSettings& stored) {
    LimitedSettings limited;
    limited.boidCount = safeValue(stored, &SaverSettings::BoidCount);
    limited.fishCount = safeValue(stored, &SaverSettings::FishCount);
    limited.cameraPos = safeValue(stored, &SaverSettings::CameraPos);
    limited.cameraSpeed = safeValue(stored, &SaverSettings::CameraSpeed);
    limited.cameraFixTop = safeValue(stored, &SaverSettings::CameraFixTop);
    limited.cameraFixBottom = safeValue(stored, &SaverSettings::CameraFixBottom);
    limited.skyType = safeValue(stored, &SaverSettings::SkyType);
    return limited;
}

}  // namespace reef
