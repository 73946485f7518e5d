// The per-set on/off list of the saver settings: one entry per creature-set id
// in the order the sets were first met. Ids are compared exactly (case-
// sensitive, unit by unit) and are kept to kMaxSetIdLength UTF-16 units.
// NOTE: ids are found through a hash index beside the ordered list: a settings
// file may hold a hundred thousand entries, and a search along the list for
// each one read made start-up grow with their square.
#pragma once

#include "engine/WideText.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>
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
        std::u16string key = truncateWide(id, kMaxSetIdLength);
        const auto [at, added] = m_indexOf.try_emplace(key, m_entries.size());
        if (!added) return;
        m_entries.push_back(SetEntryFlag{std::move(key), enabled});
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
    void clear() {
        m_entries.clear();
        m_indexOf.clear();
    }

private:
    const SetEntryFlag* find(const std::u16string& id) const {
        const auto at = m_indexOf.find(id);
        return at != m_indexOf.end() ? &m_entries[at->second] : nullptr;
    }
    SetEntryFlag* find(const std::u16string& id) {
        const auto at = m_indexOf.find(id);
        return at != m_indexOf.end() ? &m_entries[at->second] : nullptr;
    }

    std::vector<SetEntryFlag> m_entries;
    std::unordered_map<std::u16string, size_t> m_indexOf;  // id -> its place in m_entries
};

}  // namespace reef
