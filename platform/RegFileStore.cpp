#include "platform/RegFileStore.h"

#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <climits>
#include <ctime>

#include <fcntl.h>
#include <pwd.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include "core/DiagnosticTexts.h"
#include "core/Diagnostics.h"
#include "engine/FilePath.h"
#include "platform/TerminationSignal.h"

namespace reef {

namespace {

constexpr const char* kOldFirstLine = "REGEDIT4";

char lowerAscii(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

// The value of a hexadecimal digit (one the caller has checked).
int hexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    return lowerAscii(c) - 'a' + 10;
}

bool hasLineBreak(const std::string& text) { return text.find_first_of("\r\n") != std::string::npos; }

// "Software\\Reef\\" -> "HKEY_CURRENT_USER\Software\Reef": empty parts dropped.
std::optional<std::string> fullKeyName(const std::string& keyPath) {
    if (hasLineBreak(keyPath)) return std::nullopt;
    std::string full = RegFileStore::kHive;
    size_t start = 0;
    while (start <= keyPath.size()) {
        size_t end = keyPath.find('\\', start);
        if (end == std::string::npos) end = keyPath.size();
        if (end > start) full += "\\" + keyPath.substr(start, end - start);
        start = end + 1;
    }
    return full;
}


std::string quote(const std::string& text) {
    std::string out = "\"";
    for (char c : text) {
        switch (c) {
            case '\\': out += "\\\\"; break;
            case '"': out += "\\\""; break;
            // Line breaks would split the entry; they travel as escapes.
            case '\n': out += "\\n"; break;
            case '\r': out += "\\r"; break;
            default: out += c; break;
        }
    }
    return out + "\"";
}

// Reads a quoted string at pos (which holds the opening quote); pos ends after
// the closing quote. False on a missing end or an unknown escape.
bool unquote(std::string_view line, size_t& pos, std::string& out) {
    out.clear();
    ++pos;
    while (pos < line.size()) {
        const char c = line[pos++];
        if (c == '"') return true;
        if (c != '\\') {
            out += c;
            continue;
        }
        if (pos >= line.size()) return false;
        const char escaped = line[pos++];
        switch (escaped) {
            case '\\': out += '\\'; break;
            case '"': out += '"'; break;
            case 'n': out += '\n'; break;
            case 'r': out += '\r'; break;
            default: return false;
        }
    }
    return false;
}

std::string_view trimBlanks(std::string_view text) {
    const size_t first = text.find_first_not_of(" \t\r");
    if (first == std::string_view::npos) return {};
    const size_t last = text.find_last_not_of(" \t\r");
    return text.substr(first, last - first + 1);
}

// Creates the folder and its parents (mode 0700 for new ones).
bool makeFolders(const std::string& folder) {
    if (folder.empty()) return true;
    std::string partial;
    size_t start = 0;
    while (start <= folder.size()) {
        size_t end = folder.find('/', start);
        if (end == std::string::npos) end = folder.size();
        partial = folder.substr(0, end);
        if (!partial.empty() && mkdir(partial.c_str(), 0700) != 0 && errno != EEXIST) return false;
        start = end + 1;
    }
    struct stat info {};
    return stat(folder.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

std::string folderOf(const std::string& path) {
    const size_t slash = path.rfind('/');
    if (slash == std::string::npos) return ".";
    if (slash == 0) return "/";
    return path.substr(0, slash);
}

// True when the file exists and its owner has no write permission on it: the
// person's way of saying "leave it", even where the folder would let a rename
// replace it (and for root, whom permissions do not stop).
bool ownerMayNotWrite(const std::string& path) {
    struct stat info {};
    return stat(path.c_str(), &info) == 0 && (info.st_mode & S_IWUSR) == 0;
}

bool writeAll(int fd, const std::string& text) {
    size_t done = 0;
    while (done < text.size()) {
        const ssize_t wrote = ::write(fd, text.data() + done, text.size() - done);
        if (wrote < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        done += static_cast<size_t>(wrote);
    }
    return true;
}

}  // namespace

// Holds an exclusive advisory lock on the settings folder while it lives, so
// that two processes' read-modify-write cycles do not interleave. The lock is
// tried a few times and then given up: a lock another process keeps must not
// stall start-up, and a termination request ends the waiting at once.
class RegFileStore::FolderLock {
public:
    FolderLock(const std::string& folder, int attempts) {
        m_fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        if (m_fd < 0) return;
        for (int attempt = 0; attempt < attempts; ++attempt) {
            if (flock(m_fd, LOCK_EX | LOCK_NB) == 0) {
                m_held = true;
                return;
            }
            if (errno != EWOULDBLOCK && errno != EINTR) break;
            if (terminationRequested() || attempt + 1 == attempts) break;
            const timespec pause{0, kLockRetryMs * 1000000L};
            nanosleep(&pause, nullptr);  // a signal cuts the pause short; the loop then looks again
        }
    }
    ~FolderLock() {
        if (m_fd >= 0) ::close(m_fd);  // closing releases the lock
    }
    FolderLock(FolderLock&& other) noexcept : m_fd(other.m_fd), m_held(other.m_held) { other.m_fd = -1; }
    FolderLock(const FolderLock&) = delete;
    FolderLock& operator=(const FolderLock&) = delete;
    bool held() const { return m_held; }
    // Another process holds the lock (rather than the folder being missing).
    bool busy() const { return m_fd >= 0 && !m_held; }

private:
    int m_fd = -1;
    bool m_held = false;
};

// ---------------------------------------------------------------- snapshot

size_t RegFileStore::FoldedHash::operator()(std::string_view text) const {
    // FNV-1a over the folded bytes.
    uint64_t hash = 14695981039346656037ull;
    for (char c : text) hash = (hash ^ static_cast<uint8_t>(lowerAscii(c))) * 1099511628211ull;
    return static_cast<size_t>(hash);
}

bool RegFileStore::FoldedEqual::operator()(std::string_view a, std::string_view b) const {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (lowerAscii(a[i]) != lowerAscii(b[i])) return false;
    return true;
}

RegFileStore::Key* RegFileStore::Snapshot::findKey(std::string_view fullPath) {
    const auto at = m_keyAt.find(fullPath);
    return at == m_keyAt.end() ? nullptr : &m_keys[at->second];
}

RegFileStore::Value* RegFileStore::Snapshot::findValue(Key& key, std::string_view name) {
    const auto& values = m_valueAt[static_cast<size_t>(&key - m_keys.data())];
    const auto at = values.find(name);
    return at == values.end() ? nullptr : &key.values[at->second];
}

RegFileStore::Key& RegFileStore::Snapshot::addKey(std::string_view fullPath) {
    if (Key* existing = findKey(fullPath)) return *existing;
    m_keyAt.emplace(std::string(fullPath), m_keys.size());
    m_keys.push_back(Key{std::string(fullPath), {}});
    m_valueAt.emplace_back();
    return m_keys.back();
}

void RegFileStore::Snapshot::putValue(Key& key, Value value) {
    auto& values = m_valueAt[static_cast<size_t>(&key - m_keys.data())];
    const auto [at, added] = values.emplace(value.name, key.values.size());
    if (added) {
        key.values.push_back(std::move(value));
    } else {
        key.values[at->second] = std::move(value);  // the later line wins, as on import
    }
}

// ---------------------------------------------------------------- store

RegFileStore::RegFileStore(std::string filePath) : m_filePath(std::move(filePath)) {}

std::string RegFileStore::defaultPath() {
    std::string config;
    const char* xdg = std::getenv("XDG_CONFIG_HOME");
    if (xdg != nullptr && xdg[0] == '/') {
        config = xdg;
    } else {
        const char* home = std::getenv("HOME");
        if (home == nullptr || home[0] == '\0') {
            const passwd* entry = getpwuid(getuid());
            home = entry != nullptr ? entry->pw_dir : nullptr;
        }
        config = std::string(home != nullptr ? home : ".") + "/.config";
    }
    return config + "/reefsaver/settings.reg";
}

namespace {

// One pass over the text; each key and value is found through the snapshot's
// index, so the time grows with the file's length only.
std::optional<RegFileStore::Snapshot> parseSnapshot(const std::string& text, std::string& error) {
    using Key = RegFileStore::Key;
    using Value = RegFileStore::Value;
    using ValueType = RegFileStore::ValueType;
    RegFileStore::Snapshot keys;
    // An index, not a pointer: the key list grows while lines are read.
    size_t current = SIZE_MAX;
    bool sawHeader = false;
    size_t lineNumber = 0;
    size_t start = 0;
    // A UTF-8 byte-order mark is allowed before the first line.
    if (text.compare(0, 3, "\xEF\xBB\xBF") == 0) start = 3;
    auto fail = [&](const char* why) {
        error = "line " + std::to_string(lineNumber) + ": " + why;
        return std::nullopt;
    };
    const std::string_view all = text;
    auto nextLine = [&](std::string_view& line) {
        if (start >= all.size()) return false;
        size_t end = all.find('\n', start);
        if (end == std::string_view::npos) end = all.size();
        line = all.substr(start, end - start);
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        start = end + 1;
        ++lineNumber;
        return true;
    };
    std::string_view raw;
    while (nextLine(raw)) {
        const std::string_view line = trimBlanks(raw);
        if (line.empty() || line[0] == ';') continue;
        if (!sawHeader) {
            if (line != RegFileStore::kFirstLine && line != kOldFirstLine) return fail("not a registry export");
            sawHeader = true;
            continue;
        }
        if (line[0] == '[') {
            if (line.size() < 3 || line.back() != ']' || line[1] == '-') return fail("bad key line");
            const Key& key = keys.addKey(line.substr(1, line.size() - 2));
            current = static_cast<size_t>(&key - keys.keys().data());
            continue;
        }
        if (line[0] != '"' && line[0] != '@') return fail("unexpected text");
        if (current == SIZE_MAX) return fail("value outside a key");
        Value value;
        size_t pos = 0;
        if (line[0] == '@') {
            pos = 1;
        } else if (!unquote(line, pos, value.name)) {
            return fail("bad value name");
        }
        pos = line.find_first_not_of(" \t", pos);
        if (pos == std::string::npos || line[pos] != '=') return fail("missing '='");
        const std::string_view data = trimBlanks(line.substr(pos + 1));
        if (!data.empty() && data[0] == '"') {
            size_t dataPos = 0;
            if (!unquote(data, dataPos, value.text) || dataPos != data.size()) return fail("bad string value");
            value.type = ValueType::String;
        } else if (data.compare(0, 6, "dword:") == 0) {
            const std::string_view digits = data.substr(6);
            if (digits.empty() || digits.size() > 8 || digits.find_first_not_of("0123456789abcdefABCDEF") != std::string_view::npos) {
                return fail("bad dword value");
            }
            value.type = ValueType::Dword;
            value.dword = 0;
            for (char c : digits) value.dword = value.dword * 16 + static_cast<uint32_t>(hexDigit(c));
        } else {
            // Other types ("hex:", "hex(2):"...) are kept verbatim, continuation lines included.
            const size_t colon = data.find(':');
            if (colon == std::string_view::npos || colon == 0 ||
                data.find_first_not_of("abcdefghijklmnopqrstuvwxyz0123456789()", 0) < colon) {
                return fail("unknown value type");
            }
            value.type = ValueType::Other;
            value.text = data;
            while (!value.text.empty() && value.text.back() == '\\') {
                std::string_view more;
                if (!nextLine(more)) return fail("unfinished continuation line");
                value.text += "\n  ";
                value.text += trimBlanks(more);
            }
        }
        keys.putValue(keys.keys()[current], std::move(value));
    }
    return keys;
}

}  // namespace

std::optional<std::vector<RegFileStore::Key>> RegFileStore::parse(const std::string& text, std::string& error) {
    std::optional<Snapshot> keys = parseSnapshot(text, error);
    if (!keys) return std::nullopt;
    return std::move(keys->keys());
}

std::string RegFileStore::format(const std::vector<Key>& keys) {
    std::string out = std::string(kFirstLine) + "\n";
    for (const Key& key : keys) {
        out += "\n[" + key.path + "]\n";
        for (const Value& value : key.values) {
            out += value.name.empty() ? std::string("@") : quote(value.name);
            out += "=";
            switch (value.type) {
                case ValueType::Dword: {
                    char digits[16];
                    std::snprintf(digits, sizeof digits, "dword:%08x", value.dword);
                    out += digits;
                    break;
                }
                case ValueType::String: out += quote(value.text); break;
                case ValueType::Other: out += value.text; break;
            }
            out += "\n";
        }
    }
    return out;
}

namespace {
// The time of day, for the name a damaged file is kept under.
std::string stampNow() {
    char stamp[32];
    const std::time_t now = std::time(nullptr);
    std::tm local {};
    localtime_r(&now, &local);
    std::strftime(stamp, sizeof stamp, "%Y%m%d-%H%M%S", &local);
    return stamp;
}
}  // namespace

RegFileStore::FolderLock RegFileStore::lockFolder(const std::string& folder) {
    // Once another process was found keeping the lock, later operations try
    // once instead of waiting again, so a stuck lock costs one wait in all.
    FolderLock lock(folder, m_lockStuck ? 1 : kLockAttempts);
    m_lockStuck = lock.busy();
    return lock;
}

void RegFileStore::complain(const std::string& line) {
    if (line == m_lastComplaint) return;
    m_lastComplaint = line;
    reportf(Channel::Error, texts::kSettingsFileProblem, line.c_str());
}

std::string RegFileStore::resolvedPath() const {
    std::string path = m_filePath;
    // Bounded like the kernel's own link following, so a loop of links ends.
    for (int depth = 0; depth < 40; ++depth) {
        struct stat info {};
        if (lstat(path.c_str(), &info) != 0 || !S_ISLNK(info.st_mode)) return path;
        std::string target(static_cast<size_t>(info.st_size > 0 ? info.st_size : PATH_MAX) + 1, '\0');
        const ssize_t length = readlink(path.c_str(), target.data(), target.size());
        if (length <= 0 || static_cast<size_t>(length) >= target.size()) return path;
        target.resize(static_cast<size_t>(length));
        path = target[0] == '/' ? target : folderOf(path) + "/" + target;
    }
    return path;
}

RegFileStore::LoadResult RegFileStore::load(Snapshot& snapshot, bool setAside) {
    snapshot = Snapshot{};
    const std::string path = resolvedPath();
    FileReadFailure why = FileReadFailure::NoFailure;
    const std::optional<std::vector<uint8_t>> bytes = readFileBytes(path, kMaxFileBytes, &why);
    if (why == FileReadFailure::Missing) return LoadResult::Ok;
    std::string error;
    if (bytes) {
        std::optional<Snapshot> parsed =
            parseSnapshot(std::string(reinterpret_cast<const char*>(bytes->data()), bytes->size()), error);
        if (parsed) {
            snapshot = std::move(*parsed);
            return LoadResult::Ok;
        }
    } else if (why == FileReadFailure::TooLarge) {
        error = "larger than " + std::to_string(kMaxFileBytes) + " bytes";
    } else {
        complain("cannot read settings file " + m_filePath + ": " + describeFileReadFailure(why) +
                 "; settings are not saved");
        return LoadResult::Unreadable;
    }
    if (!setAside || ownerMayNotWrite(path)) {
        complain("settings file " + m_filePath + " is damaged (" + error + "); using defaults");
        return LoadResult::Damaged;
    }
    // Keep the damaged file for the user to inspect; never delete it.
    const std::string stamp = stampNow();
    std::string aside = path + ".corrupt-" + stamp;
    for (int n = 1; access(aside.c_str(), F_OK) == 0; ++n) aside = path + ".corrupt-" + stamp + "-" + std::to_string(n);
    if (std::rename(path.c_str(), aside.c_str()) == 0) {
        complain("settings file " + m_filePath + " is damaged (" + error + "); kept as " + aside + ", using defaults");
    } else {
        complain("settings file " + m_filePath + " is damaged (" + error + ") and could not be renamed: " +
                 std::strerror(errno) + "; using defaults");
    }
    return LoadResult::Damaged;
}

bool RegFileStore::FileStamp::operator==(const FileStamp& other) const {
    return device == other.device && inode == other.inode && size == other.size &&
           modified.tv_sec == other.modified.tv_sec && modified.tv_nsec == other.modified.tv_nsec &&
           changed.tv_sec == other.changed.tv_sec && changed.tv_nsec == other.changed.tv_nsec;
}

std::optional<RegFileStore::FileStamp> RegFileStore::stampOf(const std::string& path) {
    struct stat info {};
    if (stat(path.c_str(), &info) != 0) return std::nullopt;
    return FileStamp{info.st_dev, info.st_ino, info.st_size, info.st_mtim, info.st_ctim};
}

// NOTE: a settings file may hold a hundred thousand set entries, and start-up
// opens three keys of it: the parse is kept for as long as the file stays the
// version it was made from, so each open costs one stat instead of a parse.
RegFileStore::LoadResult RegFileStore::loadCurrent(bool setAside) {
    const std::string path = resolvedPath();
    // Taken before the read: a file replaced meanwhile then differs from it, and
    // is parsed again at the next open.
    const std::optional<FileStamp> stamp = stampOf(path);
    if (m_snapshot && stamp && m_snapshotStamp == stamp) return LoadResult::Ok;
    m_snapshot.emplace();
    m_snapshotStamp.reset();
    const LoadResult result = load(*m_snapshot, setAside);
    // A damaged file is looked at again each time, so that a writer holding the
    // lock sets it aside before anything is written in its place.
    if (result == LoadResult::Ok) m_snapshotStamp = stamp;
    return result;
}

void RegFileStore::refresh() {
    FolderLock lock = lockFolder(folderOf(m_filePath));
    // Without the lock the file is still whole (writers rename), but a damaged
    // one is left where it is for the writer that holds the lock.
    m_writable = loadCurrent(lock.held()) != LoadResult::Unreadable;
}

RegFileStore::Snapshot& RegFileStore::readable() {
    if (!m_snapshot) refresh();
    return *m_snapshot;
}

bool RegFileStore::save(const std::vector<Key>& keys) {
    // Through a symbolic link the link's target is replaced, and the link stays.
    const std::string path = resolvedPath();
    const std::string folder = folderOf(path);
    const std::string text = format(keys);
    std::string temp = path + ".tmp-XXXXXX";
    const int fd = mkstemp(temp.data());
    if (fd < 0) {
        complain("cannot write settings file " + m_filePath + ": " + std::strerror(errno));
        return false;
    }
    // The new file keeps the old one's permissions (mkstemp makes it 0600).
    struct stat old {};
    if (stat(path.c_str(), &old) == 0) fchmod(fd, old.st_mode & 07777);
    const bool written = writeAll(fd, text) && fsync(fd) == 0;
    const int savedErrno = errno;
    const bool closed = ::close(fd) == 0;
    if (!written || !closed || std::rename(temp.c_str(), path.c_str()) != 0) {
        const int why = written ? errno : savedErrno;
        ::unlink(temp.c_str());
        complain("cannot write settings file " + m_filePath + ": " + std::strerror(why));
        return false;
    }
    // The rename itself must reach the disk for the new file to survive a crash.
    const int dirFd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dirFd >= 0) {
        fsync(dirFd);
        ::close(dirFd);
    }
    return true;
}

namespace {
enum class Outcome { Unchanged, Changed };
}

template <typename Change>
bool RegFileStore::update(Change change) {
    if (ownerMayNotWrite(resolvedPath())) {
        complain("settings file " + m_filePath + " is read-only; it is left as it is and settings are not saved");
        m_snapshot.reset();  // reads go on from the file as it stands
        m_snapshotStamp.reset();
        return false;
    }
    const std::string folder = folderOf(m_filePath);
    if (!makeFolders(folder)) {
        complain("cannot create settings folder " + folder + ": " + std::strerror(errno));
        return false;
    }
    FolderLock lock = lockFolder(folder);
    if (!lock.held()) {
        complain("settings folder " + folder + " is locked by another process; settings are not saved");
        return false;
    }
    // Always the file as it is now, so that another process's values are kept.
    m_writable = loadCurrent(true) != LoadResult::Unreadable;
    // A file that exists but cannot be read must not be overwritten.
    if (!m_writable) return false;
    if (change(*m_snapshot) == Outcome::Unchanged) return true;
    if (!save(m_snapshot->keys())) {
        m_snapshot.reset();  // the file was left as it was: read it again when asked
        m_snapshotStamp.reset();
        return false;
    }
    // Still under the lock: the file now is the one just saved.
    m_snapshotStamp = stampOf(resolvedPath());
    return true;
}

bool RegFileStore::createKey(const std::string& keyPath) {
    const auto full = fullKeyName(keyPath);
    if (!full) return false;
    if (m_batch) {
        m_batch->push_back(PendingWrite{*full, std::nullopt});
        return true;
    }
    const bool created = update([&](Snapshot& keys) {
        if (keys.findKey(*full) != nullptr) return Outcome::Unchanged;
        keys.addKey(*full);
        return Outcome::Changed;
    });
    if (created) return true;
    // The store cannot be written (locked by another process, unreadable or
    // read-only): the key still opens for reading when it is there.
    refresh();
    return m_snapshot->findKey(*full) != nullptr;
}

bool RegFileStore::setDword(const std::string& keyPath, const std::string& name, uint32_t value) {
    return storeValue(keyPath, Value{name, ValueType::Dword, value, {}});
}

bool RegFileStore::setString(const std::string& keyPath, const std::string& name, const std::string& value) {
    return storeValue(keyPath, Value{name, ValueType::String, 0, value});
}

// Adds or replaces one value; a value that already reads the same leaves the file untouched.
bool RegFileStore::storeValue(const std::string& keyPath, const Value& wanted) {
    const auto full = fullKeyName(keyPath);
    if (!full) return false;
    if (m_batch) {
        m_batch->push_back(PendingWrite{*full, wanted});
        return true;
    }
    return update([&](Snapshot& keys) {
        return putChanged(keys, *full, wanted) ? Outcome::Changed : Outcome::Unchanged;
    });
}

bool RegFileStore::putChanged(Snapshot& keys, const std::string& fullKey, const Value& wanted) {
    Key& key = keys.addKey(fullKey);
    Value* existing = keys.findValue(key, wanted.name);
    if (existing == nullptr) {
        keys.putValue(key, wanted);
        return true;
    }
    if (existing->type == wanted.type && existing->dword == wanted.dword && existing->text == wanted.text)
        return false;
    // The name keeps the spelling it was first stored with.
    existing->type = wanted.type;
    existing->dword = wanted.dword;
    existing->text = wanted.text;
    return true;
}

void RegFileStore::beginBatch() { m_batch.emplace(); }

// One read-modify-write under the folder lock for the whole batch.
bool RegFileStore::commitBatch() {
    if (!m_batch) return true;
    std::vector<PendingWrite> writes = std::move(*m_batch);
    m_batch.reset();
    if (writes.empty()) return true;
    return update([&](Snapshot& keys) {
        bool changed = false;
        for (const PendingWrite& write : writes) {
            if (write.value) {
                changed = putChanged(keys, write.fullKey, *write.value) || changed;
            } else if (keys.findKey(write.fullKey) == nullptr) {
                keys.addKey(write.fullKey);
                changed = true;
            }
        }
        return changed ? Outcome::Changed : Outcome::Unchanged;
    });
}

std::optional<uint32_t> RegFileStore::getDword(const std::string& keyPath, const std::string& name) {
    const Value* value = readValue(keyPath, name, ValueType::Dword);
    if (!value) return std::nullopt;
    return value->dword;
}

std::optional<std::string> RegFileStore::getString(const std::string& keyPath, const std::string& name) {
    const Value* value = readValue(keyPath, name, ValueType::String);
    if (!value) return std::nullopt;
    return value->text;
}

const std::optional<std::string>& RegFileStore::fullKey(const std::string& keyPath) {
    if (!m_lastFullKey || keyPath != m_lastKeyPath) {
        m_lastKeyPath = keyPath;
        m_lastFullKey = fullKeyName(keyPath);
    }
    return m_lastFullKey;
}

const RegFileStore::Value* RegFileStore::readValue(const std::string& keyPath, const std::string& name,
                                                   ValueType type) {
    const std::optional<std::string>& full = fullKey(keyPath);
    if (!full) return nullptr;
    Snapshot& keys = readable();
    Key* key = keys.findKey(*full);
    if (key == nullptr) return nullptr;
    const Value* value = keys.findValue(*key, name);
    if (value == nullptr || value->type != type) return nullptr;
    return value;
}

std::vector<std::string> RegFileStore::valueNames(const std::string& keyPath) {
    std::vector<std::string> names;
    const auto full = fullKeyName(keyPath);
    if (!full) return names;
    if (const Key* key = readable().findKey(*full)) {
        names.reserve(key->values.size());
        for (const Value& value : key->values) names.push_back(value.name);
    }
    return names;
}

}  // namespace reef
