// A small seeded generator (splitmix64) for the data generator. Each asset owns
// its own instance with a fixed seed, so the output never depends on the order
// in which assets are made, and two runs give identical bytes.
#pragma once

#include <cstdint>

namespace reef::tools {

class Rng {
public:
    explicit Rng(uint64_t seed) : m_state(seed) {}

    uint64_t next() {
        uint64_t z = (m_state += 0x9E3779B97F4A7C15ull);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
        return z ^ (z >> 31);
    }
    // Uniform in [0, 1).
    float uniform() { return static_cast<float>(next() >> 40) * (1.0f / 16777216.0f); }
    float range(float lo, float hi) { return lo + (hi - lo) * uniform(); }
    // Uniform integer in [0, n); n must be positive.
    int below(int n) { return static_cast<int>(next() % static_cast<uint64_t>(n)); }

private:
    uint64_t m_state;
};

}  // namespace reef::tools
