// Deterministic, tileable noise for the texture painters: gradient noise and its
// fractal sum over a lattice that wraps with a given period, and cellular
// (Worley) distances whose feature points can circle so that a sequence of
// frames loops. Every function is pure: the same arguments give the same value.
#pragma once

#include <cstdint>

namespace reef::tools {

class Noise {
public:
    explicit Noise(uint32_t seed) : m_seed(seed) {}

    // Gradient noise in about -1..1; x and y in lattice cells, repeating every
    // `period` cells in both directions.
    float gradient(float x, float y, int period) const;
    // Fractal sum of `octaves` gradient layers; each octave doubles the frequency
    // and the period (so the sum tiles with the base period). About -1..1.
    float fractal(float x, float y, int period, int octaves, float gain = 0.5f) const;
    // Distances to the nearest (f1) and second nearest (f2) feature point, one per
    // cell, in cell units, wrapping every `period` cells. Each point circles its
    // home with radius `orbit` (cells) at angle phase (radians) plus its own offset,
    // so phase 0 and 2*pi give the same pattern.
    void cellular(float x, float y, int period, float phase, float orbit, float& f1, float& f2) const;
    // A hash of integer lattice coordinates to 0..1.
    float hash01(int x, int y, int salt = 0) const;

private:
    uint32_t hash(int x, int y, int salt) const;
    uint32_t m_seed;
};

float smoothstep(float e0, float e1, float x);

}  // namespace reef::tools
