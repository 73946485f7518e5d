// Pictures of the creature sets: side-projected fish skins painted through a
// FishLayout, the atlases of the manta, turtle, moray, its rock and the giant
// clam, and the small icons the set pages show, rendered from the models.
#pragma once

#include <functional>

#include "tools/CreatureModels.h"
#include "tools/Image.h"

namespace reef::tools {

Colour rgbColour(float r, float g, float b);

// A fish skin of size x size texels: colour(texel) for every texel, then the eye.
Image paintFishTexture(const FishLayout& layout, int size, const std::function<Colour(const FishTexel&)>& colour,
                       Colour iris = {0.85f, 0.75f, 0.3f, 1.0f});

Image mantaSetTexture();
Image turtleTexture();
Image morayTexture();
Image morayRockTexture();
Image clamTexture();

// A width x height picture of the model's frame seen from yaw/pitch (degrees)
// on the set pages' dark blue, supersampled and box-filtered down.
Image renderIcon(const AnimatedMesh& model, int frame, const Image& texture, float yawDegrees, float pitchDegrees,
                 int width, int height);

}  // namespace reef::tools
