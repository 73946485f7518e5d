// Asked between the assets of a scene build whether to go on. Once the program
// has been asked to end (a stop input, a termination signal) the build skips
// what is left and returns, so even a build of thousands of assets ends within
// one asset's load; the ordinary shutdown then releases what was loaded.
#pragma once

#include <functional>
#include <utility>

namespace reef {

class BuildInterruption {
public:
    // Never stops.
    BuildInterruption() = default;
    // stopRequested is asked before each asset; it may look at the window's input.
    explicit BuildInterruption(std::function<bool()> stopRequested) : m_stopRequested(std::move(stopRequested)) {}

    bool stopped() const { return m_stopRequested && m_stopRequested(); }

private:
    std::function<bool()> m_stopRequested;
};

}  // namespace reef
