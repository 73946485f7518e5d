// A small animated model for the tests and the model benchmark, to be written
// with writers/Md3Writer.h.
#pragma once

#include <cstdint>

#include "writers/Md3Writer.h"

namespace reef::test {

// A model of `frames` frames with a row of `quads` quads (2 triangles each) per
// frame, `spacing` stored units apart; each frame shifts every vertex by the
// frame number along x.
inline Md3Model gridModel(int frames, int quads, int spacing = 64) {
    Md3Model model;
    Md3Surface s;
    for (int q = 0; q <= quads; ++q) {
        s.texCoords.push_back({static_cast<float>(q) / static_cast<float>(quads > 0 ? quads : 1), 0.0f});
        s.texCoords.push_back({static_cast<float>(q) / static_cast<float>(quads > 0 ? quads : 1), 1.0f});
    }
    for (int q = 0; q < quads; ++q) {
        const int32_t a = 2 * q, b = 2 * q + 1, c = 2 * q + 2, d = 2 * q + 3;
        s.triangles.push_back({a, b, c});
        s.triangles.push_back({b, d, c});
    }
    for (int f = 0; f < frames; ++f) {
        std::vector<std::array<int16_t, 3>> frame;
        for (int q = 0; q <= quads; ++q) {
            frame.push_back({static_cast<int16_t>(q * spacing + f), 0, 0});
            frame.push_back({static_cast<int16_t>(q * spacing + f), static_cast<int16_t>(spacing), 0});
        }
        s.positions.push_back(frame);
    }
    model.surfaces.push_back(s);
    return model;
}

}  // namespace reef::test
