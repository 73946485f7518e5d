// The reef's one random generator: the classic linear congruential recurrence
// state = state * 214013 + 2531011, result = (state >> 16) & 0x7FFF.
// It is seeded once by the application; tests seed it to replay a run.
#pragma once

#include <cstdint>

namespace reef {

inline constexpr int kRandMax = 32767;

void seedRandom(uint32_t seed);
// 0 .. 32767.
int rand();

}  // namespace reef
