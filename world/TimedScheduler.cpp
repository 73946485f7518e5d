#include "world/TimedScheduler.h"

#include "core/Random.h"
#include "world/Manta.h"
#include "world/TimedAnimal.h"

namespace reef {

int TimedScheduler::schedule(const std::vector<TimedAnimal*>& timed, const std::vector<Manta*>& mantas) {
    for (const TimedAnimal* animal : timed) {
        if (animal && !animal->idle()) return m_currentManta;
    }
    const int count = static_cast<int>(timed.size());
    if (count == 0) return m_currentManta;
    int pick = 0;
    if (count >= 2) {
        do {
            pick = rand() % count;
        } while (pick == m_lastPick);
    }
    m_lastPick = pick;
    TimedAnimal* picked = timed[static_cast<size_t>(pick)];
    if (!picked) return m_currentManta;
    picked->activate();
    for (size_t i = 0; i < mantas.size(); ++i) {
        if (mantas[i] == picked) {
            m_currentManta = static_cast<int>(i);
            mantas[i]->follower().resume();
            break;
        }
    }
    return m_currentManta;
}

void TimedScheduler::updateActiveManta(const std::vector<Manta*>& mantas) {
    if (m_currentManta < 0 || m_currentManta >= static_cast<int>(mantas.size())) {
        m_currentManta = -1;
        return;
    }
    Manta* manta = mantas[static_cast<size_t>(m_currentManta)];
    if (!manta || manta->updateActive()) m_currentManta = -1;
}

}  // namespace reef
