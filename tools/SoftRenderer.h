// A small software rasteriser for the contact sheet: textured, depth-tested
// triangles in an orthographic view, lit by one directional light, so models can
// be inspected without a window or an OpenGL context.
#pragma once

#include <cstdint>
#include <vector>

#include "engine/EngineImports.h"
#include "tools/Image.h"

namespace reef::tools {

struct SoftVertex {
    float position[3];  // the engine's frame: x right, y up, z toward the viewer
    float normal[3];
    float s, t;
};

class SoftRenderer {
public:
    SoftRenderer(int width, int height, Colour background);

    // Looks at the points' bounding sphere from yaw/pitch (degrees) around +y and fits it to the view.
    void frame(const std::vector<SoftVertex>& vertices, float yawDegrees, float pitchDegrees);
    // Draws indexed triangles; texture may be null (grey). Texels with alpha below
    // one half are cut out. With lit false the texture colour is drawn as it is.
    void draw(const std::vector<SoftVertex>& vertices, const std::vector<uint16_t>& indices,
              const DecodedImage* texture, bool lit);

    const Image& image() const { return m_image; }

private:
    void project(const float p[3], float out[3]) const;
    Colour texel(const DecodedImage* texture, float s, float t) const;

    Image m_image;
    std::vector<float> m_depth;
    float m_centre[3] = {0, 0, 0};
    float m_scale = 1.0f;
    float m_rot[9] = {1, 0, 0, 0, 1, 0, 0, 0, 1};
};

}  // namespace reef::tools
