// The per-set on/off list of the saver settings: one entry per creature-set id
// in the order the sets were first met. Ids are compared exactly (case-
// sensitive, unit by unit) and are kept to kMaxSetIdLength UTF-16 units.
#pragma once

#include "engine/WideText.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace reef {

struct SetEntryFlag {
    std::u16string id;
    uint8_t enabled = 0;
};

class SetSelection {
public:
    static constexpr size_t kMaxSetIdLength = 127;  // UTF-16 units

    // Appends (id, enabled) unless an entry with that id exists; then nothing changes.
    void addSet(std::u16string_view id, uint8_t enabled) {
        const std::u16string key = truncateWide(id, kMaxSetIdLength);
        if (find(key) != nullptr) return;
        m_entries.push_back(SetEntryFlag{key, enabled});
    }

    // The flag of the first entry with that id; 0 when the id is unknown.
    uint8_t isSetEnabled(std::u16string_view id) const {
        const SetEntryFlag* entry = find(truncateWide(id, kMaxSetIdLength));
        return entry != nullptr ? entry->enabled : 0;
    }

    // Changes the flag of the first entry with that id; nothing when the id is unknown.
    void setSetEnabled(std::u16string_view id, uint8_t enabled) {
        SetEntryFlag* entry = find(truncateWide(id, kMaxSetIdLength));
        if (entry != nullptr) entry->enabled = enabled;
    }

    bool contains(std::u16string_view id) const { return find(truncateWide(id, kMaxSetIdLength)) != nullptr; }

    const std::vector<SetEntryFlag>& entries() const { return m_entries; }
    size_t size() const { return m_entries.size(); }
    bool empty() const { return m_entries.empty(); }
    void clear() { m_entries.clear(); }

private:
    const SetEntryFlag* find(std::u16string_view id) const {
        for (const SetEntryFlag& entry : m_entries) {
            if (entry.id == id) return &entry;
        }
        return nullptr;
    }
    SetEntryFlag* find(std::u16string_view id) {
        for (SetEntryFlag& entry : m_entries) {
            if (entry.id == id) return &entry;
        }
        return nullptr;
    }

    std::vector<SetEntryFlag> m_entries;
};

}  // namespace reef
