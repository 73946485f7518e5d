// The primary output's mode from before the saver changed it, kept in a small
// file per display in the user's runtime folder while the change lasts. When
// the saver and its watchdog are both killed (killall -9 with the watchdog's
// name, a logout that kills everything), nobody is left to put the mode back:
// the next start of either program finds the record, sees that its owners are
// gone, and restores the mode from it.
//
// The file is text, one item a line:
//   ReefSaver display mode 1
//   saver <pid> <start time>          process start times as /proc/<pid>/stat
//   watchdog <pid> <start time>       has them, so a reused pid is not taken
//   changed <mode id>                 for the owner
//   crtc <id> <mode> <x> <y> <rotation> <screen w> <screen h> <mm w> <mm h>
//   outputs <id> ...
#pragma once

#include <sys/types.h>

#include <cstdint>
#include <optional>
#include <string>

#include "platform/DisplayModeGuard.h"

namespace reef {

// A process as it was when recorded: its pid and its start time (clock ticks
// after boot), which tell it apart from a later process with the same pid.
struct ProcessStamp {
    pid_t pid = 0;
    uint64_t startTime = 0;

    // The stamp of a running process; a start time of 0 when there is none
    // (or only its zombie, which nobody may have reaped: its parent was killed too).
    static ProcessStamp of(pid_t pid);
    // True while the recorded process itself still runs.
    bool running() const;
};

class DisplayModeRecord {
public:
    static constexpr size_t kMaxFileBytes = 4096;
    static constexpr size_t kMaxOutputs = 64;

    struct Contents {
        ProcessStamp saver;
        ProcessStamp watchdog;
        RRMode changedTo = 0;  // the mode the saver set
        CrtcState previous;    // what to put back
    };

    // The record of the named display (":0", ":1.0", "host:10"); one per display.
    explicit DisplayModeRecord(const std::string& displayName);

    // Empty while there is no runtime folder of our own to keep it in (it is
    // made by the first write).
    const std::string& path() const { return m_path; }
    // Replaces the file in one rename; false when it could not be written.
    bool write(const Contents& contents);
    // Nothing when there is no record or it is not one of ours (garbled, too large).
    std::optional<Contents> read() const;
    bool exists() const;
    void remove() const;

    // The runtime folder: $XDG_RUNTIME_DIR/reefsaver, else /tmp/reefsaver-<uid>;
    // empty when it is missing (and not to be made), a link, someone else's or
    // open to others.
    static std::string runtimeFolder(bool create);

private:
    std::string m_fileName;
    std::string m_path;
};

}  // namespace reef
