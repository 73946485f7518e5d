#include "platform/DisplayModeRecord.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <sstream>
#include <vector>

namespace reef {

namespace {

constexpr const char* kHeader = "ReefSaver display mode 1";
constexpr mode_t kPrivateFolder = 0700;

// ":0.0" and ":0" are the same display for the record; characters that have
// no place in a file name become '_'.
std::string fileNameFor(const std::string& displayName) {
    std::string name = displayName;
    const size_t colon = name.rfind(':');
    const size_t dot = name.rfind('.');
    if (colon != std::string::npos && dot != std::string::npos && dot > colon) name.resize(dot);
    for (char& c : name) {
        const bool plain = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '-';
        if (!plain) c = '_';
    }
    return "display-mode-" + name;
}

// A folder that only this user can use: made when missing, refused when it is
// a link, someone else's, or open to others.
bool isPrivateFolder(const std::string& folder, bool create) {
    if (create && mkdir(folder.c_str(), kPrivateFolder) != 0 && errno != EEXIST) return false;
    struct stat info {};
    if (lstat(folder.c_str(), &info) != 0 || !S_ISDIR(info.st_mode)) return false;
    return info.st_uid == geteuid() && (info.st_mode & 077) == 0;
}

bool readLine(std::istringstream& in, const char* key, std::istringstream& fields) {
    std::string line;
    if (!std::getline(in, line)) return false;
    fields.clear();
    fields.str(line);
    std::string word;
    return static_cast<bool>(fields >> word) && word == key;
}

bool readStamp(std::istringstream& in, const char* key, ProcessStamp& stamp) {
    std::istringstream fields;
    long long pid = 0;
    if (!readLine(in, key, fields) || !(fields >> pid >> stamp.startTime) || pid <= 0 || pid > INT32_MAX) return false;
    stamp.pid = static_cast<pid_t>(pid);
    return true;
}

// An X resource id: 32 bits at most.
bool readId(std::istringstream& fields, unsigned long& id) {
    unsigned long long value = 0;
    if (!(fields >> value) || value > UINT32_MAX) return false;
    id = static_cast<unsigned long>(value);
    return true;
}

std::optional<DisplayModeRecord::Contents> parse(const std::string& text) {
    std::istringstream in(text);
    std::string header;
    if (!std::getline(in, header) || header != kHeader) return std::nullopt;
    DisplayModeRecord::Contents contents;
    if (!readStamp(in, "saver", contents.saver) || !readStamp(in, "watchdog", contents.watchdog)) return std::nullopt;
    std::istringstream fields;
    if (!readLine(in, "changed", fields) || !readId(fields, contents.changedTo)) return std::nullopt;
    CrtcState& p = contents.previous;
    unsigned long rotation = 0;
    if (!readLine(in, "crtc", fields) || !readId(fields, p.crtc) || !readId(fields, p.mode) ||
        !(fields >> p.x >> p.y) || !readId(fields, rotation) ||
        !(fields >> p.screenWidth >> p.screenHeight >> p.screenMmWidth >> p.screenMmHeight))
        return std::nullopt;
    p.rotation = static_cast<Rotation>(rotation);
    if (p.screenWidth <= 0 || p.screenHeight <= 0 || p.screenMmWidth < 0 || p.screenMmHeight < 0) return std::nullopt;
    if (!readLine(in, "outputs", fields)) return std::nullopt;
    unsigned long output = 0;
    while (readId(fields, output)) {
        if (p.outputs.size() == DisplayModeRecord::kMaxOutputs) return std::nullopt;
        p.outputs.push_back(output);
    }
    // Something that is no id, or no output at all (which would switch the CRTC off).
    if (!fields.eof() || p.outputs.empty()) return std::nullopt;
    return contents;
}

}  // namespace

ProcessStamp ProcessStamp::of(pid_t pid) {
    ProcessStamp stamp;
    stamp.pid = pid;
    // The state is the 3rd field of /proc/<pid>/stat and the start time the
    // 22nd; the name (field 2) may hold blanks and parentheses, so the fields
    // are counted after its last ')'.
    char path[64];
    std::snprintf(path, sizeof(path), "/proc/%d/stat", static_cast<int>(pid));
    FILE* file = std::fopen(path, "re");
    if (!file) return stamp;
    char buffer[1024];
    const size_t length = std::fread(buffer, 1, sizeof(buffer) - 1, file);
    std::fclose(file);
    buffer[length] = '\0';
    const std::string text(buffer);
    const size_t nameEnd = text.rfind(')');
    if (nameEnd == std::string::npos) return stamp;
    std::istringstream fields(text.substr(nameEnd + 1));
    std::string field;
    for (int index = 3; fields >> field; ++index) {
        if (index == 3 && (field == "Z" || field == "X")) break;  // dead, not yet reaped
        if (index == 22) {
            stamp.startTime = std::strtoull(field.c_str(), nullptr, 10);
            break;
        }
    }
    return stamp;
}

bool ProcessStamp::running() const {
    if (pid <= 0) return false;
    const ProcessStamp now = of(pid);
    return now.startTime != 0 && now.startTime == startTime;
}

std::string DisplayModeRecord::runtimeFolder(bool create) {
    const char* runtime = std::getenv("XDG_RUNTIME_DIR");
    const std::string folder = (runtime && runtime[0] == '/')
                                   ? std::string(runtime) + "/reefsaver"
                                   : "/tmp/reefsaver-" + std::to_string(static_cast<unsigned long>(geteuid()));
    return isPrivateFolder(folder, create) ? folder : std::string();
}

DisplayModeRecord::DisplayModeRecord(const std::string& displayName) : m_fileName(fileNameFor(displayName)) {
    const std::string folder = runtimeFolder(false);
    if (!folder.empty()) m_path = folder + "/" + m_fileName;
}

bool DisplayModeRecord::write(const Contents& c) {
    if (m_path.empty()) {
        const std::string folder = runtimeFolder(true);
        if (folder.empty()) return false;
        m_path = folder + "/" + m_fileName;
    }
    std::ostringstream text;
    text << kHeader << '\n'
         << "saver " << c.saver.pid << ' ' << c.saver.startTime << '\n'
         << "watchdog " << c.watchdog.pid << ' ' << c.watchdog.startTime << '\n'
         << "changed " << c.changedTo << '\n'
         << "crtc " << c.previous.crtc << ' ' << c.previous.mode << ' ' << c.previous.x << ' ' << c.previous.y << ' '
         << c.previous.rotation << ' ' << c.previous.screenWidth << ' ' << c.previous.screenHeight << ' '
         << c.previous.screenMmWidth << ' ' << c.previous.screenMmHeight << '\n'
         << "outputs";
    for (RROutput output : c.previous.outputs) text << ' ' << output;
    text << '\n';
    const std::string bytes = text.str();
    const std::string temporary = m_path + ".new";
    const int fd = open(temporary.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_NOFOLLOW | O_CLOEXEC, 0600);
    if (fd < 0) return false;
    const bool written = ::write(fd, bytes.data(), bytes.size()) == static_cast<ssize_t>(bytes.size());
    // The record must be on disk before the mode changes: a crash of the whole
    // machine is the one end no process survives to restore from.
    const bool synced = written && fsync(fd) == 0;
    close(fd);
    if (!synced || rename(temporary.c_str(), m_path.c_str()) != 0) {
        unlink(temporary.c_str());
        return false;
    }
    return true;
}

std::optional<DisplayModeRecord::Contents> DisplayModeRecord::read() const {
    if (m_path.empty()) return std::nullopt;
    const int fd = open(m_path.c_str(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0) return std::nullopt;
    struct stat info {};
    std::string text;
    if (fstat(fd, &info) == 0 && S_ISREG(info.st_mode) && info.st_size > 0 &&
        static_cast<size_t>(info.st_size) <= kMaxFileBytes) {
        text.resize(static_cast<size_t>(info.st_size));
        const ssize_t got = ::read(fd, text.data(), text.size());
        text.resize(got > 0 ? static_cast<size_t>(got) : 0);
    }
    close(fd);
    return parse(text);
}

bool DisplayModeRecord::exists() const {
    struct stat info {};
    return !m_path.empty() && lstat(m_path.c_str(), &info) == 0;
}

void DisplayModeRecord::remove() const {
    if (!m_path.empty()) unlink(m_path.c_str());
}

}  // namespace reef
