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
// registry. Every operation reads the file afresh, so values written by
// another process are seen and kept; every change replaces the whole file
// atomically (temporary file in the same folder, fsync, rename) under an
// advisory lock on the folder. A file that cannot be parsed is renamed aside
// (settings.reg.corrupt-<time>), reported on standard error, and the store
// starts empty. Values of types this store does not write (hex:, hex(2):...)
// are kept as they stand and read as absent.
#pragma once

#include "platform/RegistryStore.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace reef {

class RegFileStore : public RegistryStore {
public:
    // The hive every key path lives under.
    static constexpr const char* kHive = "HKEY_CURRENT_USER";
    static constexpr const char* kFirstLine = "Windows Registry Editor Version 5.00";

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

private:
    class FolderLock;

    // The keys stored now (a malformed file is set aside and counts as empty);
    // nothing when the file exists but cannot be read. Caller holds the lock.
    std::optional<std::vector<Key>> load();
    // The same under the lock, with an unreadable file counting as empty.
    std::vector<Key> loadForReading();
    // Replaces the file with the keys; false (with a message) on any failure.
    bool save(const std::vector<Key>& keys);
    // Read-modify-write under the folder lock; change returns false when nothing changed.
    template <typename Change>
    bool update(Change change);
    bool storeValue(const std::string& keyPath, const Value& wanted);
    std::optional<Value> readValue(const std::string& keyPath, const std::string& name, ValueType type);

    std::string m_filePath;
};

}  // namespace reef
