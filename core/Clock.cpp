#include "core/Clock.h"

#include <chrono>

namespace reef {

namespace {

uint32_t monotonicTicks() {
    using namespace std::chrono;
    static const steady_clock::time_point start = steady_clock::now();
    return static_cast<uint32_t>(duration_cast<milliseconds>(steady_clock::now() - start).count());
}

TickSource g_source = &monotonicTicks;
uint32_t g_manualNow = 0;

uint32_t manualTicks() { return g_manualNow; }

}  // namespace

uint32_t getTicks() { return g_source(); }

void setTickSource(TickSource source) { g_source = source ? source : &monotonicTicks; }

ManualClock::ManualClock(uint32_t start) : m_previous(g_source) {
    g_manualNow = start;
    g_source = &manualTicks;
}

ManualClock::~ManualClock() { g_source = m_previous; }

void ManualClock::advance(uint32_t milliseconds) { g_manualNow += milliseconds; }

void ManualClock::set(uint32_t now) { g_manualNow = now; }

uint32_t ManualClock::now() const { return g_manualNow; }

}  // namespace reef
