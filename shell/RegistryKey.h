// The shell's one open registry key and the value operations on it. Every
// operation works on that key and answers false, 0 or the fallback when none
// is open; reads of a missing value, or of one with another type or size,
// give the fallback. Names and texts are narrow (UTF-8).
#pragma once

#include "platform/RegistryStore.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace reef {

class RegistryKey {
public:
    // String values longer than this many bytes read as absent.
    static constexpr size_t kMaxStringBytes = 1024;
    // Value names longer than this many UTF-16 characters cannot be enumerated.
    static constexpr size_t kMaxValueNameChars = 256;

    explicit RegistryKey(RegistryStore& store);

    // Opens the key (a backslash-separated path under the user's hive),
    // creating it when missing. Any key open before is closed first.
    bool OpenKey(const std::string& path);
    // Closes and forgets the key; false when none was open.
    bool CloseKey();
    bool SetString(const std::string& name, const std::string& text);
    bool SetDword(const std::string& name, uint32_t value);
    // Copies the value to out, or the fallback when it cannot be read.
    void GetString(const std::string& name, std::string& out, const std::string& fallback);
    // The value, or the fallback; 0 when no key is open.
    int GetDword(const std::string& name, int fallback);
    // Value not 0, or the fallback; false when no key is open.
    bool GetBool(const std::string& name, bool fallback);
    // Number of values of the open key; 0 when none is open.
    int CountValues();
    // The name of the value at index; false past the end or for a name too long.
    bool EnumValue(int index, std::string& out);

    // Writes between these two reach the settings file in one replacement.
    void BeginBatch() { m_store.beginBatch(); }
    bool CommitBatch() { return m_store.commitBatch(); }

    bool isOpen() const { return m_openPath.has_value(); }

private:
    const std::vector<std::string>& valueNames();

    RegistryStore& m_store;
    std::optional<std::string> m_openPath;
    std::optional<std::vector<std::string>> m_names;  // of the open key, once asked for
};

}  // namespace reef
