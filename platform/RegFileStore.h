// The registry stand-in on Linux: one text file in the Windows ".reg" export
// format, by default $XDG_CONFIG_HOME/reefsaver/settings.reg.
//
//   Windows Registry Editor Version 5.00
//
//   [HKEY_CURRENT_USER\Software\Reef]
//   "BoidCount"=dword:0000000a
//   "Title"="text with \\ and \" escaped"
//
// Key paths and value names compare without regard to ASCII case, as in the
// registry. The file is parsed when a key is opened (createKey) and reads are
// served from that parse until the next open or write, so values written by
// another process are seen at the next open. Every change re-reads the file
// under an advisory lock on the folder (so another process's values are kept)
// and replaces it atomically (temporary file beside the real one, fsync,
// rename); a symbolic link stays a link and its target is replaced. A file
// that cannot be parsed, or is larger than kMaxFileBytes, is renamed aside
// (settings.reg.corrupt-<time>), reported on standard error, and the store
// starts empty. A file that cannot be read (a FIFO, a folder, no permission)
// reads as empty and is never written; a file its owner may not write is read
// but never replaced nor set aside, damaged or not. The lock is waited for only briefly:
// without it reads go on from the file as it stands and writes are refused.
// Values of types this store does not write (hex:, hex(2):...) are kept as
// they stand and read as absent.
#pragma once

#include "platform/RegistryStore.h"

#include <cstddef>
#include <cstdint>
#include <ctime>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include <sys/types.h>

namespace reef {

class RegFileStore : public RegistryStore {
public:
    // The hive every key path lives under.
    static constexpr const char* kHive = "HKEY_CURRENT_USER";
    static constexpr const char* kFirstLine = "Windows Registry Editor Version 5.00";
    // No real settings file comes near this; a larger one is damage or malice.
    static constexpr size_t kMaxFileBytes = size_t{4} << 20;
    // How long a folder lock held by another process is waited for, at most
    // (a writer holds it for a few milliseconds; one that keeps it is stuck).
    static constexpr int kLockAttempts = 40;
    static constexpr int kLockRetryMs = 25;

    // A store on the given file; its folder is created on the first write.
    explicit RegFileStore(std::string filePath);

    // $XDG_CONFIG_HOME/reefsaver/settings.reg, or ~/.config/reefsaver/settings.reg
    // when the variable is unset or not absolute.
    static std::string defaultPath();

    bool createKey(const std::string& keyPath) override;
    bool setDword(const std::string& keyPath, const std::string& name, uint32_t value) override;
    bool setString(const std::string& keyPath, const std::string& name, const std::string& value) override;
    std::optional<uint32_t> getDword(const std::string& keyPath, const std::string& name) override;
    std::optional<std::string> getString(const std::string& keyPath, const std::string& name) override;
    std::vector<std::string> valueNames(const std::string& keyPath) override;
    void beginBatch() override;
    bool commitBatch() override;

    const std::string& filePath() const { return m_filePath; }

    enum class ValueType { Dword, String, Other };
    struct Value {
        std::string name;
        ValueType type = ValueType::String;
        uint32_t dword = 0;
        std::string text;  // the string, or for Other the raw data after "="
    };
    struct Key {
        std::string path;  // full name, "HKEY_CURRENT_USER\..."
        std::vector<Value> values;
    };

    // Parses the text of a ".reg" file; nothing when it is malformed, with the
    // reason (line number and cause) in error.
    static std::optional<std::vector<Key>> parse(const std::string& text, std::string& error);
    // The file text for the keys, in the order given.
    static std::string format(const std::vector<Key>& keys);

    // Names compared without regard to ASCII case, looked up without a copy.
    struct FoldedHash {
        using is_transparent = void;
        size_t operator()(std::string_view text) const;
    };
    struct FoldedEqual {
        using is_transparent = void;
        bool operator()(std::string_view a, std::string_view b) const;
    };
    using FoldedIndex = std::unordered_map<std::string, size_t, FoldedHash, FoldedEqual>;

    // Parsed keys with a case-folded index, so that a lookup costs one hash probe.
    class Snapshot {
    public:
        Key* findKey(std::string_view fullPath);
        Value* findValue(Key& key, std::string_view name);
        Key& addKey(std::string_view fullPath);
        // Adds the value, or replaces the one with the same name.
        void putValue(Key& key, Value value);
        std::vector<Key>& keys() { return m_keys; }

    private:
        std::vector<Key> m_keys;
        FoldedIndex m_keyAt;                   // path -> index
        std::vector<FoldedIndex> m_valueAt;    // per key: name -> index
    };

private:
    class FolderLock;
    // Damaged: the file was unusable (set aside when allowed) and reads as empty.
    enum class LoadResult { Ok, Damaged, Unreadable };

    // What tells one version of the file from another: every writer replaces
    // the file (a new inode), and an editor writing in place changes its times.
    struct FileStamp {
        dev_t device = 0;
        ino_t inode = 0;
        off_t size = 0;
        timespec modified {};
        timespec changed {};
        bool operator==(const FileStamp& other) const;
    };
    static std::optional<FileStamp> stampOf(const std::string& path);

    // Parses the file into snapshot (a missing file gives none, a damaged or
    // oversized one is set aside when setAside and gives none: Damaged).
    // Unreadable when the file exists but cannot be read.
    LoadResult load(Snapshot& snapshot, bool setAside);
    // Makes m_snapshot the file as it is now: the one kept when the file is
    // still the version it was parsed from (or saved as), parsed afresh otherwise.
    LoadResult loadCurrent(bool setAside);
    // The snapshot reads are served from: parsed now unless one is kept.
    Snapshot& readable();
    // Brings the snapshot up to the file for reading, under the lock when it can be had.
    void refresh();
    // Replaces the file with the keys; false (with a message) on any failure.
    bool save(const std::vector<Key>& keys);
    // Read-modify-write under the folder lock; change returns false when nothing changed.
    template <typename Change>
    bool update(Change change);
    bool storeValue(const std::string& keyPath, const Value& wanted);
    // Adds or replaces the value in the keys; Unchanged when it already reads the same.
    static bool putChanged(Snapshot& keys, const std::string& fullKey, const Value& wanted);
    // The stored value of that type, or nullptr; valid until the next open or write.
    const Value* readValue(const std::string& keyPath, const std::string& name, ValueType type);
    // fullKeyName of the key path, kept for the last one asked (values are read
    // one after another from the same key).
    const std::optional<std::string>& fullKey(const std::string& keyPath);
    // The file the links lead to: written in place of the link itself.
    std::string resolvedPath() const;
    // Takes the folder lock, waiting briefly unless it was found stuck before.
    FolderLock lockFolder(const std::string& folder);
    // Prints the line unless it was the last one printed, so a store that keeps
    // failing the same way says so once.
    void complain(const std::string& line);

    std::string m_filePath;
    std::optional<Snapshot> m_snapshot;
    std::optional<FileStamp> m_snapshotStamp;  // the file version m_snapshot holds
    bool m_writable = true;     // false while the file cannot be read
    bool m_lockStuck = false;   // the last lock attempt found another process holding it
    std::string m_lastComplaint;
    std::string m_lastKeyPath;
    std::optional<std::string> m_lastFullKey;
    // Keys to create (no value) and values to store, while a batch is open.
    struct PendingWrite {
        std::string fullKey;
        std::optional<Value> value;
    };
    std::optional<std::vector<PendingWrite>> m_batch;
};

}  // namespace reef
