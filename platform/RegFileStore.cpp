#include "platform/RegFileStore.h"

#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>

#include <fcntl.h>
#include <pwd.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace reef {

namespace {

constexpr const char* kOldFirstLine = "REGEDIT4";

char lowerAscii(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

bool equalsNoCase(const std::string& a, const std::string& b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i) {
        if (lowerAscii(a[i]) != lowerAscii(b[i])) return false;
    }
    return true;
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

RegFileStore::Key* findKey(std::vector<RegFileStore::Key>& keys, const std::string& full) {
    for (auto& key : keys) {
        if (equalsNoCase(key.path, full)) return &key;
    }
    return nullptr;
}

RegFileStore::Value* findValue(RegFileStore::Key& key, const std::string& name) {
    for (auto& value : key.values) {
        if (equalsNoCase(value.name, name)) return &value;
    }
    return nullptr;
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
bool unquote(const std::string& line, size_t& pos, std::string& out) {
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

std::string trimBlanks(const std::string& text) {
    const size_t first = text.find_first_not_of(" \t\r");
    if (first == std::string::npos) return {};
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

enum class ReadResult { Ok, Missing, Failed };

ReadResult readFile(const std::string& path, std::string& out, int& why) {
    out.clear();
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        why = errno;
        return why == ENOENT ? ReadResult::Missing : ReadResult::Failed;
    }
    char buffer[8192];
    for (;;) {
        const ssize_t got = ::read(fd, buffer, sizeof buffer);
        if (got < 0) {
            if (errno == EINTR) continue;
            why = errno;
            ::close(fd);
            return ReadResult::Failed;
        }
        if (got == 0) break;
        out.append(buffer, static_cast<size_t>(got));
    }
    ::close(fd);
    return ReadResult::Ok;
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
// that two processes' read-modify-write cycles do not interleave.
class RegFileStore::FolderLock {
public:
    explicit FolderLock(const std::string& folder) {
        m_fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        if (m_fd >= 0) {
            while (flock(m_fd, LOCK_EX) != 0 && errno == EINTR) {
            }
        }
    }
    ~FolderLock() {
        if (m_fd >= 0) ::close(m_fd);  // closing releases the lock
    }
    FolderLock(const FolderLock&) = delete;
    FolderLock& operator=(const FolderLock&) = delete;

private:
    int m_fd = -1;
};

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

std::optional<std::vector<RegFileStore::Key>> RegFileStore::parse(const std::string& text, std::string& error) {
    std::vector<Key> keys;
    // An index, not a pointer: keys grows while lines are read.
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
    auto nextLine = [&](std::string& line) {
        if (start >= text.size()) return false;
        size_t end = text.find('\n', start);
        if (end == std::string::npos) end = text.size();
        line = text.substr(start, end - start);
        if (!line.empty() && line.back() == '\r') line.pop_back();
        start = end + 1;
        ++lineNumber;
        return true;
    };
    std::string raw;
    while (nextLine(raw)) {
        const std::string line = trimBlanks(raw);
        if (line.empty() || line[0] == ';') continue;
        if (!sawHeader) {
            if (line != kFirstLine && line != kOldFirstLine) return fail("not a registry export");
            sawHeader = true;
            continue;
        }
        if (line[0] == '[') {
            if (line.size() < 3 || line.back() != ']' || line[1] == '-') return fail("bad key line");
            const std::string path = line.substr(1, line.size() - 2);
            current = keys.size();
            for (size_t i = 0; i < keys.size(); ++i) {
                if (equalsNoCase(keys[i].path, path)) current = i;
            }
            if (current == keys.size()) keys.push_back(Key{path, {}});
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
        const std::string data = trimBlanks(line.substr(pos + 1));
        if (!data.empty() && data[0] == '"') {
            size_t dataPos = 0;
            if (!unquote(data, dataPos, value.text) || dataPos != data.size()) return fail("bad string value");
            value.type = ValueType::String;
        } else if (data.compare(0, 6, "dword:") == 0) {
            const std::string digits = data.substr(6);
            if (digits.empty() || digits.size() > 8 || digits.find_first_not_of("0123456789abcdefABCDEF") != std::string::npos) {
                return fail("bad dword value");
            }
            value.type = ValueType::Dword;
            value.dword = static_cast<uint32_t>(std::strtoul(digits.c_str(), nullptr, 16));
        } else {
            // Other types ("hex:", "hex(2):"...) are kept verbatim, continuation lines included.
            const size_t colon = data.find(':');
            if (colon == std::string::npos || colon == 0 ||
                data.find_first_not_of("abcdefghijklmnopqrstuvwxyz0123456789()", 0) < colon) {
                return fail("unknown value type");
            }
            value.type = ValueType::Other;
            value.text = data;
            while (!value.text.empty() && value.text.back() == '\\') {
                std::string more;
                if (!nextLine(more)) return fail("unfinished continuation line");
                value.text += "\n  " + trimBlanks(more);
            }
        }
        if (Value* existing = findValue(keys[current], value.name)) {
            *existing = value;  // the later line wins, as on import
        } else {
            keys[current].values.push_back(std::move(value));
        }
    }
    return keys;
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

std::optional<std::vector<RegFileStore::Key>> RegFileStore::load() {
    std::string text;
    int why = 0;
    const ReadResult result = readFile(m_filePath, text, why);
    if (result == ReadResult::Missing) return std::vector<Key>{};
    if (result == ReadResult::Failed) {
        std::fprintf(stderr, "ReefSaver: cannot read settings file %s: %s\n", m_filePath.c_str(), std::strerror(why));
        return std::nullopt;
    }
    std::string error;
    auto keys = parse(text, error);
    if (keys) return std::move(*keys);

    // Keep the damaged file for the user to inspect; never delete it.
    char stamp[32];
    const std::time_t now = std::time(nullptr);
    std::tm local {};
    localtime_r(&now, &local);
    std::strftime(stamp, sizeof stamp, "%Y%m%d-%H%M%S", &local);
    std::string aside = m_filePath + ".corrupt-" + stamp;
    for (int n = 1; access(aside.c_str(), F_OK) == 0; ++n) {
        aside = m_filePath + ".corrupt-" + stamp + "-" + std::to_string(n);
    }
    if (std::rename(m_filePath.c_str(), aside.c_str()) == 0) {
        std::fprintf(stderr, "ReefSaver: settings file %s is damaged (%s); kept as %s, using defaults\n",
                     m_filePath.c_str(), error.c_str(), aside.c_str());
    } else {
        std::fprintf(stderr, "ReefSaver: settings file %s is damaged (%s) and could not be renamed: %s; using defaults\n",
                     m_filePath.c_str(), error.c_str(), std::strerror(errno));
    }
    return std::vector<Key>{};
}

std::vector<RegFileStore::Key> RegFileStore::loadForReading() {
    FolderLock lock(folderOf(m_filePath));
    auto keys = load();
    return keys ? std::move(*keys) : std::vector<Key>{};
}

bool RegFileStore::save(const std::vector<Key>& keys) {
    const std::string folder = folderOf(m_filePath);
    const std::string text = format(keys);
    std::string temp = m_filePath + ".tmp-XXXXXX";
    const int fd = mkstemp(temp.data());
    if (fd < 0) {
        std::fprintf(stderr, "ReefSaver: cannot write settings file %s: %s\n", m_filePath.c_str(), std::strerror(errno));
        return false;
    }
    const bool written = writeAll(fd, text) && fsync(fd) == 0;
    const int savedErrno = errno;
    const bool closed = ::close(fd) == 0;
    if (!written || !closed || std::rename(temp.c_str(), m_filePath.c_str()) != 0) {
        const int why = written ? errno : savedErrno;
        ::unlink(temp.c_str());
        std::fprintf(stderr, "ReefSaver: cannot write settings file %s: %s\n", m_filePath.c_str(), std::strerror(why));
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
enum class Outcome { Unchanged, Changed, Invalid };
}

template <typename Change>
bool RegFileStore::update(Change change) {
    const std::string folder = folderOf(m_filePath);
    if (!makeFolders(folder)) {
        std::fprintf(stderr, "ReefSaver: cannot create settings folder %s: %s\n", folder.c_str(), std::strerror(errno));
        return false;
    }
    FolderLock lock(folder);
    // A file that exists but cannot be read must not be overwritten.
    auto loaded = load();
    if (!loaded) return false;
    std::vector<Key>& keys = *loaded;
    switch (change(keys)) {
        case Outcome::Invalid: return false;
        case Outcome::Unchanged: return true;
        case Outcome::Changed: break;
    }
    return save(keys);
}

bool RegFileStore::createKey(const std::string& keyPath) {
    const auto full = fullKeyName(keyPath);
    if (!full) return false;
    return update([&](std::vector<Key>& keys) {
        if (findKey(keys, *full) != nullptr) return Outcome::Unchanged;
        keys.push_back(Key{*full, {}});
        return Outcome::Changed;
    });
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
    return update([&](std::vector<Key>& keys) {
        Key* key = findKey(keys, *full);
        if (key == nullptr) {
            keys.push_back(Key{*full, {}});
            key = &keys.back();
        }
        Value* existing = findValue(*key, wanted.name);
        if (existing == nullptr) {
            key->values.push_back(wanted);
            return Outcome::Changed;
        }
        if (existing->type == wanted.type && existing->dword == wanted.dword && existing->text == wanted.text)
            return Outcome::Unchanged;
        existing->type = wanted.type;
        existing->dword = wanted.dword;
        existing->text = wanted.text;
        return Outcome::Changed;
    });
}

std::optional<uint32_t> RegFileStore::getDword(const std::string& keyPath, const std::string& name) {
    const std::optional<Value> value = readValue(keyPath, name, ValueType::Dword);
    if (!value) return std::nullopt;
    return value->dword;
}

std::optional<std::string> RegFileStore::getString(const std::string& keyPath, const std::string& name) {
    const std::optional<Value> value = readValue(keyPath, name, ValueType::String);
    if (!value) return std::nullopt;
    return value->text;
}

// The stored value when it exists with the wanted type.
std::optional<RegFileStore::Value> RegFileStore::readValue(const std::string& keyPath, const std::string& name,
                                                           ValueType type) {
    const auto full = fullKeyName(keyPath);
    if (!full) return std::nullopt;
    std::vector<Key> keys = loadForReading();
    Key* key = findKey(keys, *full);
    if (key == nullptr) return std::nullopt;
    const Value* value = findValue(*key, name);
    if (value == nullptr || value->type != type) return std::nullopt;
    return *value;
}

std::vector<std::string> RegFileStore::valueNames(const std::string& keyPath) {
    std::vector<std::string> names;
    const auto full = fullKeyName(keyPath);
    if (!full) return names;
    std::vector<Key> keys = loadForReading();
    if (Key* key = findKey(keys, *full)) {
        for (const Value& value : key->values) names.push_back(value.name);
    }
    return names;
}

}  // namespace reef
