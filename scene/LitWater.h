// The water surface and the light pattern just above it, drawn as one pass of the
// water grid where the driver can combine two texture units: unit 0 the water, unit
// 1 the light pattern's frame at the point of its plane that each water vertex
// hides (seen from the eye), the pattern's fade as vertex alpha. Each pixel is the
// light pattern blended over the water blended over what lies behind, as the two
// passes draw it, for one fill of the screen area instead of two.
//
// Without the combine modes (or with a water or pattern this pass does not
// reproduce) render() draws the two objects one after the other, as they are.
#pragma once

#include <array>
#include <cstddef>
#include <vector>

namespace reef {

class MaskedGrid;
class Texture;
class WaterGrid;

class LitWater {
public:
    // The two objects, built and dressed; the per-vertex arrays are sized here, so
    // that drawing allocates nothing. Call again when either grid is rebuilt.
    void attach(WaterGrid* water, MaskedGrid* light);
    void detach();

    // Leave the single pass out even where it could be used (tests, comparisons).
    void setSinglePassAllowed(bool allowed) { m_singlePassAllowed = allowed; }
    // Whether render() draws one pass now: the combine modes are there, the water is
    // white with a texture of its own colours and the pattern's frame is alpha alone.
    bool singlePass() const;

    void render();

private:
    void renderSinglePass();
    // The planes that generate the pattern's texture coordinates from the water's
    // object coordinates, and the vertex colours (the pattern's fade) of every water
    // vertex, from the eye's position in the water's frame.
    void projectPattern();
    void generatePatternCoordinates(const Texture& frame, bool on);

    WaterGrid* m_water = nullptr;
    MaskedGrid* m_light = nullptr;
    bool m_singlePassAllowed = true;
    std::array<float, 4> m_planeS{}, m_planeT{}, m_planeQ{};  // object-linear, water frame
    std::vector<float> m_colours;         // (r, g, b, a) per water vertex
};

}  // namespace reef
