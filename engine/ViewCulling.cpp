#include "engine/ViewCulling.h"

#include <GL/gl.h>

#include <cmath>
#include <initializer_list>

namespace reef {

namespace {

// Row r of the column-major matrix m.
void row(const float* m, int r, float out[4]) {
    for (int c = 0; c < 4; ++c) out[c] = m[c * 4 + r];
}

}  // namespace

bool sphereOutsideView(const float centre[3], float radius) {
    float projection[16];
    float modelView[16];
    glGetFloatv(GL_PROJECTION_MATRIX, projection);
    glGetFloatv(GL_MODELVIEW_MATRIX, modelView);
    // clip = projection * modelView, column-major.
    float clip[16];
    for (int c = 0; c < 4; ++c)
        for (int r = 0; r < 4; ++r) {
            float sum = 0.0f;
            for (int k = 0; k < 4; ++k) sum += projection[k * 4 + r] * modelView[c * 4 + k];
            clip[c * 4 + r] = sum;
        }
    // Each plane is the last row plus or minus one of the first three; a point
    // inside the view gives w +- x >= 0 (likewise y, z) in clip coordinates.
    float w[4];
    row(clip, 3, w);
    for (int axis = 0; axis < 3; ++axis) {
        float a[4];
        row(clip, axis, a);
        for (float sign : {1.0f, -1.0f}) {
            const float plane[4] = {w[0] + sign * a[0], w[1] + sign * a[1], w[2] + sign * a[2],
                                    w[3] + sign * a[3]};
            const float length = std::sqrt(plane[0] * plane[0] + plane[1] * plane[1] + plane[2] * plane[2]);
            if (!(length > 0.0f) || !std::isfinite(length)) continue;
            const float distance =
                (plane[0] * centre[0] + plane[1] * centre[1] + plane[2] * centre[2] + plane[3]) / length;
            // A small margin keeps rounding from dropping a sphere that touches the edge.
            if (distance < -(radius * 1.01f + 1.0e-4f)) return true;
        }
    }
    return false;
}

}  // namespace reef
