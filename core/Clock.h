// The one clock every controller reads: milliseconds as an unsigned 32-bit count
// that wraps like SDL_GetTicks. The application installs SDL's tick function;
// tests install a manual clock.
#pragma once

#include <cstdint>

namespace reef {

using TickSource = uint32_t (*)();

// Milliseconds from the installed source.
uint32_t getTicks();
// Installs a source; nullptr restores the built-in monotonic one.
void setTickSource(TickSource source);

// A clock that only moves when told to, for tests and simulations.
class ManualClock {
public:
    // Installs itself as the tick source; the previous source returns on destruction.
    explicit ManualClock(uint32_t start = 0);
    ~ManualClock();
    ManualClock(const ManualClock&) = delete;
    ManualClock& operator=(const ManualClock&) = delete;

    void advance(uint32_t milliseconds);
    void set(uint32_t now);
    uint32_t now() const;

private:
    TickSource m_previous;
};

}  // namespace reef
