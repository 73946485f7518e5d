// The settings store that stands in for the registry under HKEY_CURRENT_USER:
// keys are backslash-separated paths, values are named DWORDs or strings.
// Every write reaches the backing file before the call returns.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace reef {

class RegistryStore {
public:
    virtual ~RegistryStore() = default;
    // Creates the key when it is missing; false when the store cannot be used.
    virtual bool createKey(const std::string& keyPath) = 0;
    virtual bool setDword(const std::string& keyPath, const std::string& name, uint32_t value) = 0;
    virtual bool setString(const std::string& keyPath, const std::string& name, const std::string& value) = 0;
    // The value when it exists with that type; nothing otherwise.
    virtual std::optional<uint32_t> getDword(const std::string& keyPath, const std::string& name) = 0;
    virtual std::optional<std::string> getString(const std::string& keyPath, const std::string& name) = 0;
    // Value names of the key, in stored order.
    virtual std::vector<std::string> valueNames(const std::string& keyPath) = 0;
    // Writes made between beginBatch and commitBatch (keys created, values set)
    // reach the backing file together, so that no other process sees half of
    // them or mixes its own in between. A store without batches writes at once.
    virtual void beginBatch() {}
    // False when the batch could not be stored; nothing of it is then stored.
    virtual bool commitBatch() { return true; }
};

}  // namespace reef
