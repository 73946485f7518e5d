// Puts the primary output's display mode back when the saver ends, however it
// ends. The saver restores the mode itself on every ordinary path; a small
// watchdog process, forked before the change, restores it when the saver dies
// without doing so (a crash, SIGKILL), because X keeps a changed mode after its
// client is gone. The watchdog has a process name of its own, so that killing
// the saver by name leaves it alive; and the mode from before the change is
// recorded in the runtime folder (DisplayModeRecord), so that the next start
// of either program restores it when both were killed.
#pragma once

#include <X11/Xlib.h>
#include <X11/extensions/Xrandr.h>
#include <sys/types.h>

#include <string>
#include <vector>

namespace reef {

// One CRTC's configuration and the screen size around it.
struct CrtcState {
    RRCrtc crtc = 0;
    RRMode mode = 0;
    int x = 0;
    int y = 0;
    Rotation rotation = RR_Rotate_0;
    std::vector<RROutput> outputs;
    int screenWidth = 0;
    int screenHeight = 0;
    int screenMmWidth = 0;
    int screenMmHeight = 0;

    // Sets this configuration on the server: the screen grows before the CRTC
    // and shrinks after it, since a CRTC must always fit inside the screen.
    // True when the server accepted every request.
    bool apply(Display* display) const;
};

class DisplayModeGuard {
public:
    DisplayModeGuard() = default;
    ~DisplayModeGuard();
    DisplayModeGuard(const DisplayModeGuard&) = delete;
    DisplayModeGuard& operator=(const DisplayModeGuard&) = delete;

    // The watchdog's process name (what ps and killall see).
    static constexpr const char* kWatchdogName = "reef-modeguard";

    // Starts the watchdog that restores `previous` on the named display once this
    // process has gone without calling release(), and records `previous` with
    // the mode about to be set (`changedTo`). False when the watchdog could not start.
    bool watch(const std::string& displayName, const CrtcState& previous, RRMode changedTo);
    // The saver restored the mode itself: the watchdog ends without touching it,
    // and the record goes.
    void release();
    bool watching() const { return m_watchdog > 0; }

    // At a program's start: a record whose saver and watchdog are both gone
    // means a mode was left changed. When the output still shows the mode the
    // saver set, the recorded one is put back (one line says so); the record
    // goes either way. True when a mode was restored. Needs XRandR 1.2.
    static bool restoreLeftBehind(Display* display);

private:
    pid_t m_watchdog = 0;
    int m_pipe = -1;  // write end; the watchdog reads EOF when this process is gone
    std::string m_recordDisplay;  // the display whose record this process wrote; empty when none
};

}  // namespace reef
