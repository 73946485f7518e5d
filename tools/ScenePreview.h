// A software rendering of the reef from the saver's eye point, assembled from the
// generated data as the scene places it (sky, floor with caustics, corals, rock,
// fog gradient, island and palms, water and light pattern, fog): a check of sizes,
// placement and colour balance without a window or an OpenGL context.
#pragma once

#include <string>

#include "tools/Image.h"

namespace reef::tools {

class ScenePreview {
public:
    // dataFolder ends with '/'. pitchDegrees tilts the view like the camera's
    // pitch (negative: up toward the surface).
    static Image render(const std::string& dataFolder, int width, int height, float pitchDegrees);
};

}  // namespace reef::tools
