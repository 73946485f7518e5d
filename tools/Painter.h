// Anti-aliased 2D shapes for painting pictures into an Image: capsules (thick
// tapered segments) and filled ellipses, coverage from the distance to the edge.
#pragma once

#include <functional>

#include "tools/Image.h"

namespace reef::tools {

class Painter {
public:
    explicit Painter(Image& image) : m_image(image) {}

    // A segment from (x0, y0) to (x1, y1) in pixels, radius r0 at the start and r1
    // at the end; colour may depend on the position along the segment (0..1).
    void capsule(float x0, float y0, float x1, float y1, float r0, float r1,
                 const std::function<Colour(float along, float across)>& colour);
    void ellipse(float cx, float cy, float rx, float ry, const Colour& colour);
    // Every pixel: colour = f(u, v) with u, v the pixel centre in 0..1.
    void fill(const std::function<Colour(float u, float v)>& f);

private:
    Image& m_image;
};

}  // namespace reef::tools
