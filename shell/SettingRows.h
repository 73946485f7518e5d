// A settings record declared once: one row per stored value (its registry
// name, type, default and field, and for a number the range a person is offered
// and the range the program can safely use) drives the record's defaults, its
// reading and its writing, in the row order.
#pragma once

#include <cstddef>
#include <cstdint>
#include <limits>
#include <span>

#include "shell/SettingsStore.h"

namespace reef {

enum class SettingType {
    Number,  // GetDword / SetDword
    Flag,    // GetBool / SetDword with 0 or 1
};

// A closed range of values, in the setting's own unit.
struct SettingRange {
    int32_t lowest;
    int32_t highest;
    // A trackbar position stands for this many units (the school's count moves in fives).
    int32_t step = 1;

    constexpr int32_t limit(int32_t value) const {
        return value < lowest ? lowest : (value > highest ? highest : value);
    }
    constexpr bool contains(int32_t value) const { return value >= lowest && value <= highest; }
};

// Every value a 32-bit field can hold: no range offered, nothing to bring inside.
inline constexpr SettingRange kAnyValue{std::numeric_limits<int32_t>::min(), std::numeric_limits<int32_t>::max()};

template <typename Record>
struct SettingRow {
    const char* name;
    SettingType type;
    int32_t defaultValue;  // 0 or 1 for a flag
    int32_t Record::*number;  // set for a number
    bool Record::*flag;       // set for a flag
    // What the configuration dialog and the command line offer a person.
    SettingRange offered = kAnyValue;
    // What the program works with when the stored value (a file edited by hand
    // or damaged) lies outside: the value is brought inside this range.
    SettingRange safe = kAnyValue;

    static constexpr SettingRow numberRow(const char* name, int32_t defaultValue, int32_t Record::*field,
                                          SettingRange offered = kAnyValue, SettingRange safe = kAnyValue) {
        return {name, SettingType::Number, defaultValue, field, nullptr, offered, safe};
    }
    static constexpr SettingRow flagRow(const char* name, bool defaultValue, bool Record::*field) {
        return {name, SettingType::Flag, defaultValue ? 1 : 0, nullptr, field};
    }
};

template <typename Record>
void applyDefaults(Record& record, std::span<const SettingRow<Record>> rows) {
    for (const SettingRow<Record>& row : rows) {
        if (row.type == SettingType::Number) {
            record.*row.number = row.defaultValue;
        } else {
            record.*row.flag = row.defaultValue != 0;
        }
    }
}

// Reads every row from the open key; a missing value keeps the field as it is.
template <typename Record>
void readRows(SettingsStore& store, Record& record, std::span<const SettingRow<Record>> rows) {
    for (const SettingRow<Record>& row : rows) {
        if (row.type == SettingType::Number) {
            record.*row.number = store.GetDword(row.name, record.*row.number);
        } else {
            record.*row.flag = store.GetBool(row.name, record.*row.flag);
        }
    }
}

// Writes every row to the open key, flags as 0 or 1.
template <typename Record>
void writeRows(SettingsStore& store, const Record& record, std::span<const SettingRow<Record>> rows) {
    for (const SettingRow<Record>& row : rows) {
        const uint32_t value = row.type == SettingType::Number ? static_cast<uint32_t>(record.*row.number)
                                                               : (record.*row.flag ? 1u : 0u);
        store.SetDword(row.name, value);
    }
}

// True when every row's field holds the same value in both records.
template <typename Record>
bool sameRows(const Record& a, const Record& b, std::span<const SettingRow<Record>> rows) {
    for (const SettingRow<Record>& row : rows) {
        const bool same = row.type == SettingType::Number ? a.*row.number == b.*row.number : a.*row.flag == b.*row.flag;
        if (!same) return false;
    }
    return true;
}

}  // namespace reef
