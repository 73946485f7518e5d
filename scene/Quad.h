// A flat textured rectangle in its own x-y plane, centred on its placement:
// the sky plane, billboards, the light-pattern layer and the fog gradient.
#pragma once

#include <array>
#include <optional>
#include <vector>

#include "engine/SceneObject.h"

namespace reef {

class AlphaMask;

class Quad : public SceneObject {
public:
    // A part of the quad in texture-space fractions of it: u from the left edge (0)
    // to the right (1), v from the top (0) to the bottom (1).
    struct Window {
        float u0, v0, u1, v1;
    };

    // One corner as drawn: position (world units), then texture coordinate. The
    // same layout as the sky's and the water's vertices, so the software driver
    // fetches all of them with one compiled vertex routine.
    struct Corner {
        float x, y, z;
        float u, v;
    };

    // Width and height in world units; the halves follow.
    void setSize(float width, float height);
    // How often the texture repeats across the quad.
    void setRepeat(float u, float v);
    float width() const { return m_width; }
    float height() const { return m_height; }

    // The four corners in drawing order: top right, top left, bottom left, bottom right.
    std::array<Corner, 4> corners() const;

    // Draws only these parts of the quad from now on (each as a quad of its own,
    // corners in the same order); an empty list draws nothing.
    void showOnly(const std::vector<Window>& windows);
    // Draws the whole quad again.
    void showWhole();
    // Leaves out the parts of the quad where the texture, whose alpha is the mask
    // and which is stretched once over the quad, shows nothing at all: the picture
    // is cut into cells of cellTexels x cellTexels texels and only the cells a
    // linear filter can draw anything in are kept (merged into as few rectangles
    // as rows allow); a picture with nothing visible draws nothing. Nothing
    // changes for an empty mask or a cell size below 1.
    void trimTo(const AlphaMask& mask, int cellTexels);
    // The widest band of rows in which a texture (alpha as the mask, stretched once
    // over a quad) is fully opaque across its whole width, kept half a texel inside
    // so that a linear filter reads only those rows; nothing when there is none.
    static std::optional<Window> opaqueBandOf(const AlphaMask& mask);
    // The rows of the quad above and below a band that spans its width.
    static std::vector<Window> rowsOutside(const Window& band);
    // The parts drawn when not the whole quad (see showOnly), corners in drawing order.
    const std::vector<Corner>& pieceCorners() const { return m_pieceCorners; }

    // Pushes the matrix, then the base placement and material.
    void beginDraw() override;
    void draw() override;
    // Pops the matrix, then the base clean-up.
    void endDraw() override;

private:
    float m_width = 1.0f, m_height = 1.0f;
    float m_halfWidth = 0.5f, m_halfHeight = 0.5f;
    float m_repeatU = 1.0f, m_repeatV = 1.0f;
    bool m_windowed = false;
    std::vector<Window> m_windows;
    std::vector<Corner> m_pieceCorners;  // four per window, rebuilt when size or repeat change

    void buildPieces();
};

}  // namespace reef
