// The layer's own part of the message queue: posted messages, timers and the
// quit message. Times are milliseconds from the caller's clock.
#pragma once

#include <cstdint>
#include <deque>
#include <vector>

#include "platform/WindowMessages.h"

namespace reef {

class MessageQueue {
public:
    void post(const Message& message);
    // WM_QUIT comes out after every message posted before it.
    void postQuit(int exitCode);
    // Replaces a timer with the same window and id.
    void setTimer(WindowHandle window, uint64_t id, uint32_t intervalMs, uint32_t now);
    void killTimer(WindowHandle window, uint64_t id);

    // The oldest posted message, or WM_QUIT once nothing else is posted.
    bool takePosted(Message& out);
    // A WM_TIMER for the first timer that is due; it then waits a full interval again.
    bool takeDueTimer(uint32_t now, Message& out);
    // Milliseconds until the next timer is due; -1 when there is none.
    int millisecondsUntilNextTimer(uint32_t now) const;
    // True when takePosted would give a message.
    bool hasPosted() const { return !m_posted.empty() || m_quitPending; }
    int exitCode() const { return m_exitCode; }

private:
    struct Timer {
        WindowHandle window;
        uint64_t id;
        uint32_t interval;
        uint32_t due;
    };

    std::deque<Message> m_posted;
    std::vector<Timer> m_timers;
    bool m_quitPending = false;
    int m_exitCode = 0;
};

}  // namespace reef
