// The settings store on the real registry, under HKEY_CURRENT_USER. Key paths
// and value names are UTF-8 here and UTF-16 in the registry; names compare
// without regard to case, as the registry does. Stray separators in a key
// path ("Software\\Reef\\", "\\Software") are dropped as the .reg file store
// drops them.
//
// Every single write is atomic: the registry stores a value whole or not at
// all, and another process reading it sees the old or the new value. A batch
// spans several values, and the registry has no transaction that Wine or every
// Windows offers, so a batch is written at commit: first every key it needs is
// opened or created, then the values are written one after another. Should one
// write fail, the values written before it get their old contents back (or are
// deleted when they were new) and the keys the batch created are removed, so a
// failed commit leaves nothing of the batch. What the registry cannot give is
// isolation: a reader during those few microseconds of the commit may see some
// values new and others old.
#pragma once

#include "platform/RegistryStore.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace reef {

class Win32RegistryStore : public RegistryStore {
public:
    bool createKey(const std::string& keyPath) override;
    bool setDword(const std::string& keyPath, const std::string& name, uint32_t value) override;
    bool setString(const std::string& keyPath, const std::string& name, const std::string& value) override;
    std::optional<uint32_t> getDword(const std::string& keyPath, const std::string& name) override;
    std::optional<std::string> getString(const std::string& keyPath, const std::string& name) override;
    std::vector<std::string> valueNames(const std::string& keyPath) override;
    void beginBatch() override;
    bool commitBatch() override;

    // A value as the registry holds it: its type and raw bytes.
    struct RawValue {
        unsigned long type = 0;
        std::vector<uint8_t> bytes;
    };

private:
    struct PendingWrite {
        std::string keyPath;  // already tidied
        std::optional<std::string> name;  // nothing: only create the key
        RawValue value;
    };
    bool write(const std::string& keyPath, const std::string& name, RawValue value);

    std::optional<std::vector<PendingWrite>> m_batch;
};

}  // namespace reef
