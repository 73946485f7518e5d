#include "platform/MessageQueue.h"

#include <algorithm>

namespace reef {

void MessageQueue::post(const Message& message) { m_posted.push_back(message); }

void MessageQueue::postQuit(int exitCode) {
    m_quitPending = true;
    m_exitCode = exitCode;
}

void MessageQueue::setTimer(WindowHandle window, uint64_t id, uint32_t intervalMs, uint32_t now) {
    killTimer(window, id);
    m_timers.push_back({window, id, intervalMs, now + intervalMs});
}

void MessageQueue::killTimer(WindowHandle window, uint64_t id) {
    std::erase_if(m_timers, [&](const Timer& t) { return t.window == window && t.id == id; });
}

bool MessageQueue::takePosted(Message& out) {
    if (!m_posted.empty()) {
        out = m_posted.front();
        m_posted.pop_front();
        return true;
    }
    if (m_quitPending) {
        // The quit message stays pending: every later look at the queue sees it again.
        out = Message{0, WM_QUIT, static_cast<uint64_t>(m_exitCode), 0};
        return true;
    }
    return false;
}

bool MessageQueue::takeDueTimer(uint32_t now, Message& out) {
    for (Timer& timer : m_timers) {
        // Signed difference so the comparison survives the 49-day wrap of the tick count.
        if (static_cast<int32_t>(now - timer.due) >= 0) {
            timer.due = now + timer.interval;
            out = Message{timer.window, WM_TIMER, timer.id, 0};
            return true;
        }
    }
    return false;
}

int MessageQueue::millisecondsUntilNextTimer(uint32_t now) const {
    int best = -1;
    for (const Timer& timer : m_timers) {
        const int32_t wait = std::max<int32_t>(0, static_cast<int32_t>(timer.due - now));
        if (best < 0 || wait < best) best = wait;
    }
    return best;
}

}  // namespace reef
