// Keeps at most one timed animal (manta or prop) active: when all are idle it
// activates one at random, never the same one twice in a row when there is a choice.
#pragma once

#include <vector>

namespace reef {

class Manta;
class TimedAnimal;

class TimedScheduler {
public:
    // Activates one animal when every one is idle. timed holds every manta and prop
    // in build order, mantas the manta list; a picked manta becomes the current one
    // and its follower resumes. Returns the current manta's index (-1 when none).
    int schedule(const std::vector<TimedAnimal*>& timed, const std::vector<Manta*>& mantas);
    // Steps the current manta's pass; it stops being current when the pass ends.
    void updateActiveManta(const std::vector<Manta*>& mantas);

    int currentManta() const { return m_currentManta; }
    int lastPick() const { return m_lastPick; }

private:
    int m_lastPick = -1;
    int m_currentManta = -1;
};

}  // namespace reef
