#include "app/SettingsLimits.h"

#include "app/SaverSettings.h"

namespace reef {

LimitedSettings LimitedSettings::from(const SaverSettings& stored) {
    using namespace settings_limits;
    LimitedSettings limited;
    limited.boidCount = kBoidCount.limit(stored.BoidCount);
    limited.fishCount = kFishCount.limit(stored.FishCount);
    limited.cameraPos = kCameraPos.limit(stored.CameraPos);
    limited.cameraSpeed = kCameraSpeed.limit(stored.CameraSpeed);
    limited.cameraFixTop = kCameraFixTop.limit(stored.CameraFixTop);
    limited.cameraFixBottom = kCameraFixBottom.limit(stored.CameraFixBottom);
    limited.skyType = kSkyType.limit(stored.SkyType);
    return limited;
}

}  // namespace reef
