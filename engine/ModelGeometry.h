// The part of a loaded model that never changes once loaded: every frame's
// positions and normals, the triangles, the texture coordinates and the bounds.
// Models loaded from one file share one geometry (QModel::shareGeometry); what
// changes while the model is drawn (its animation, the blended frame) stays
// with each QModel.
#pragma once

#include <cstdint>
#include <vector>

namespace reef {

struct ModelGeometry {
    // A stored normal component: the unit normal scaled to the type's full range,
    // which OpenGL reads back as -1 .. 1.
    using PackedNormal = int8_t;

    int numFrames = 0;
    int vertexCount = 0;
    int triangleCount = 0;
    bool lighting = false;  // loaded with normals
    // x, y, z per vertex on the file's 1/64-unit grid and in its axes, frame after frame.
    std::vector<int16_t> positions;
    // Laid out like positions, in the file's axes; empty without lighting.
    std::vector<PackedNormal> normals;
    std::vector<uint16_t> indices;  // three per triangle
    std::vector<float> texCoords;   // s, t per vertex, the same in every frame
    // A sphere, in world units, that holds every vertex of every frame.
    float boundsCentre[3] = {0.0f, 0.0f, 0.0f};
    float boundsRadius = 0.0f;
};

}  // namespace reef
