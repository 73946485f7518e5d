#include "platform/DisplayModeGuard.h"

#include <fcntl.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <initializer_list>
#include <cstdio>

#include "core/DiagnosticTexts.h"
#include "core/Diagnostics.h"
#include "platform/DisplayModeRecord.h"
#include "platform/X11Errors.h"

namespace reef {

namespace {

constexpr char kReleased = 'r';
constexpr int kWatchdogPipeFd = 3;

// True when the CRTC exists and shows the mode.
bool crtcShows(Display* display, RRCrtc crtc, RRMode mode) {
    XRRScreenResources* resources = XRRGetScreenResourcesCurrent(display, DefaultRootWindow(display));
    if (!resources) return false;
    clearX11Error();
    XRRCrtcInfo* info = XRRGetCrtcInfo(display, resources, crtc);
    XSync(display, False);
    const bool shows = info && lastX11Error() == 0 && info->mode == mode;
    if (info) XRRFreeCrtcInfo(info);
    XRRFreeScreenResources(resources);
    return shows;
}

// The record goes with the change it describes, but only the record of this
// watchdog: a later saver's may already stand in its place.
void removeRecordOf(const std::string& displayName, pid_t watchdog) {
    const DisplayModeRecord record(displayName);
    const std::optional<DisplayModeRecord::Contents> contents = record.read();
    if (contents && contents->watchdog.pid == watchdog) record.remove();
}

void rootSize(Display* display, int& width, int& height) {
    XWindowAttributes attributes{};
    XGetWindowAttributes(display, DefaultRootWindow(display), &attributes);
    width = attributes.width;
    height = attributes.height;
}

// The watchdog's whole life: wait until the saver is gone, then put the mode back
// over a connection of its own. Only this runs in the forked child, which never
// returns into the saver's code.
[[noreturn]] void runWatchdog(int readEnd, const std::string& displayName, const CrtcState& previous) {
    // Nothing of the saver's is kept open here: above all not its X connection,
    // or the server would not notice the saver's death while the watchdog waits.
    dup2(readEnd, kWatchdogPipeFd);
    close_range(kWatchdogPipeFd + 1, ~0u, 0);
    const int devNull = open("/dev/null", O_RDWR);
    if (devNull >= 0) {
        dup2(devNull, STDIN_FILENO);
        dup2(devNull, STDOUT_FILENO);
        if (devNull > kWatchdogPipeFd) close(devNull);
    }
    // Signals meant for the saver (a terminal's Ctrl+C or hang-up, a kill of the
    // whole process group, a kill by the saver's name) must not take the
    // watchdog with it.
    setsid();
    prctl(PR_SET_NAME, DisplayModeGuard::kWatchdogName);
    setDiagnosticSink(nullptr);  // a sink the saver installed stays with the saver: this line goes to standard error
    for (int signal : {SIGTERM, SIGINT, SIGHUP, SIGPIPE}) std::signal(signal, SIG_IGN);

    char byte = 0;
    ssize_t got;
    do {
        got = read(kWatchdogPipeFd, &byte, 1);
    } while (got < 0 && errno == EINTR);
    if (got == 1 && byte == kReleased) _exit(0);

    Display* display = XOpenDisplay(displayName.c_str());
    if (!display) _exit(1);  // the server went with the saver: nothing left to restore
    installX11ErrorHandlers();
    const bool restored = previous.apply(display);
    XCloseDisplay(display);
    removeRecordOf(displayName, getpid());
    report(Channel::Error, restored ? texts::kModeRestoredByWatchdog : texts::kModeNotRestoredByWatchdog);
    _exit(restored ? 0 : 1);
}

}  // namespace

bool CrtcState::apply(Display* display) const {
    const Window root = DefaultRootWindow(display);
    XRRScreenResources* resources = XRRGetScreenResourcesCurrent(display, root);
    if (!resources) return false;
    clearX11Error();
    int width = 0, height = 0;
    rootSize(display, width, height);
    const bool grow = screenWidth > width || screenHeight > height;
    if (grow)
        XRRSetScreenSize(display, root, std::max(width, screenWidth), std::max(height, screenHeight), screenMmWidth,
                         screenMmHeight);
    bool accepted = XRRSetCrtcConfig(display, resources, crtc, CurrentTime, x, y, mode, rotation,
                                     const_cast<RROutput*>(outputs.data()),
                                     static_cast<int>(outputs.size())) == RRSetConfigSuccess;
    XRRFreeScreenResources(resources);
    rootSize(display, width, height);
    if (accepted && (width != screenWidth || height != screenHeight))
        XRRSetScreenSize(display, root, screenWidth, screenHeight, screenMmWidth, screenMmHeight);
    XSync(display, False);
    return accepted && lastX11Error() == 0;
}

DisplayModeGuard::~DisplayModeGuard() { release(); }

bool DisplayModeGuard::watch(const std::string& displayName, const CrtcState& previous, RRMode changedTo) {
    release();
    int ends[2];
    if (pipe2(ends, O_CLOEXEC) != 0) return false;
    std::fflush(nullptr);  // the child must not write out the saver's buffered output again
    const pid_t child = fork();
    if (child < 0) {
        close(ends[0]);
        close(ends[1]);
        return false;
    }
    if (child == 0) {
        close(ends[1]);
        runWatchdog(ends[0], displayName, previous);
    }
    close(ends[0]);
    m_watchdog = child;
    m_pipe = ends[1];
    // A record that another saver still guards names the mode from before that
    // saver: it stays, and this one relies on its watchdog alone.
    DisplayModeRecord record(displayName);
    const std::optional<DisplayModeRecord::Contents> other = record.read();
    if (!other || !(other->saver.running() || other->watchdog.running())) {
        DisplayModeRecord::Contents contents;
        contents.saver = ProcessStamp::of(getpid());
        contents.watchdog = ProcessStamp::of(child);
        contents.changedTo = changedTo;
        contents.previous = previous;
        if (record.write(contents)) m_recordDisplay = displayName;
    }
    return true;
}

void DisplayModeGuard::release() {
    if (m_watchdog <= 0) return;
    ssize_t written;
    do {
        written = write(m_pipe, &kReleased, 1);
    } while (written < 0 && errno == EINTR);
    close(m_pipe);
    m_pipe = -1;
    while (waitpid(m_watchdog, nullptr, 0) < 0 && errno == EINTR) {
    }
    if (!m_recordDisplay.empty()) removeRecordOf(m_recordDisplay, m_watchdog);
    m_recordDisplay.clear();
    m_watchdog = 0;
}

bool DisplayModeGuard::restoreLeftBehind(Display* display) {
    const DisplayModeRecord record(DisplayString(display));
    if (!record.exists()) return false;
    const std::optional<DisplayModeRecord::Contents> contents = record.read();
    if (contents && (contents->saver.running() || contents->watchdog.running())) return false;  // they put it back
    bool restored = false;
    if (contents && crtcShows(display, contents->previous.crtc, contents->changedTo)) {
        restored = contents->previous.apply(display);
        report(Channel::Error, restored ? texts::kLeftModeRestored : texts::kLeftModeNotRestored);
    }
    record.remove();
    return restored;
}

}  // namespace reef
