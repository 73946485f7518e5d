#include "platform/windows/Win32RegistryStore.h"

#include <windows.h>

#include <algorithm>
#include <cwctype>
#include <map>

#include "platform/windows/Win32Text.h"

namespace reef {

namespace {

using RawValue = Win32RegistryStore::RawValue;

constexpr REGSAM kAccess = KEY_READ | KEY_WRITE;
// No setting comes near this; a larger value is read as absent rather than
// costing whatever its size says.
constexpr DWORD kMaxValueBytes = 1u << 20;

// The path with empty components (doubled, leading or trailing backslashes) left out.
std::wstring tidyPath(const std::string& keyPath) {
    std::wstring tidy;
    size_t start = 0;
    while (start <= keyPath.size()) {
        size_t end = keyPath.find('\\', start);
        if (end == std::string::npos) end = keyPath.size();
        if (end > start) {
            if (!tidy.empty()) tidy += L'\\';
            tidy += wideFromUtf8(std::string_view(keyPath).substr(start, end - start));
        }
        start = end + 1;
    }
    return tidy;
}

// Closes the key when it goes out of scope.
class OpenKey {
public:
    OpenKey() = default;
    ~OpenKey() {
        if (m_key != nullptr) RegCloseKey(m_key);
    }
    OpenKey(OpenKey&& other) noexcept : m_key(other.m_key) { other.m_key = nullptr; }
    OpenKey(const OpenKey&) = delete;
    OpenKey& operator=(const OpenKey&) = delete;

    // Opens the key for reading; false when it does not exist.
    bool open(const std::wstring& path) {
        return !path.empty() && RegOpenKeyExW(HKEY_CURRENT_USER, path.c_str(), 0, KEY_READ, &m_key) == ERROR_SUCCESS;
    }
    // Opens or creates it; created tells which.
    bool create(const std::wstring& path, bool* created = nullptr) {
        if (path.empty()) return false;
        DWORD disposition = 0;
        const LONG status = RegCreateKeyExW(HKEY_CURRENT_USER, path.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE,
                                            kAccess, nullptr, &m_key, &disposition);
        if (created) *created = status == ERROR_SUCCESS && disposition == REG_CREATED_NEW_KEY;
        return status == ERROR_SUCCESS;
    }
    HKEY get() const { return m_key; }

private:
    HKEY m_key = nullptr;
};

std::optional<RawValue> readRaw(HKEY key, const std::wstring& name) {
    RawValue value;
    DWORD size = 0;
    // The value may grow between asking its size and reading it: ask again then.
    for (int attempt = 0; attempt < 4; ++attempt) {
        if (RegQueryValueExW(key, name.c_str(), nullptr, &value.type, nullptr, &size) != ERROR_SUCCESS) return {};
        if (size > kMaxValueBytes) return {};
        value.bytes.resize(size);
        const LONG status = RegQueryValueExW(key, name.c_str(), nullptr, &value.type, value.bytes.data(), &size);
        if (status == ERROR_SUCCESS) {
            value.bytes.resize(size);
            return value;
        }
        if (status != ERROR_MORE_DATA) return {};
    }
    return {};
}

bool writeRaw(HKEY key, const std::wstring& name, const RawValue& value) {
    return RegSetValueExW(key, name.c_str(), 0, value.type, value.bytes.data(),
                          static_cast<DWORD>(value.bytes.size())) == ERROR_SUCCESS;
}

std::optional<RawValue> readValue(const std::string& keyPath, const std::string& name) {
    OpenKey key;
    if (!key.open(tidyPath(keyPath))) return {};
    return readRaw(key.get(), wideFromUtf8(name));
}

RawValue dwordValue(uint32_t number) {
    RawValue value{REG_DWORD, std::vector<uint8_t>(4)};
    for (int i = 0; i < 4; ++i) value.bytes[i] = static_cast<uint8_t>(number >> (8 * i));
    return value;
}

// REG_SZ: UTF-16 with its terminating zero, which the registry's byte count includes.
RawValue stringValue(const std::string& text) {
    const std::wstring wide = wideFromUtf8(text);
    RawValue value{REG_SZ, std::vector<uint8_t>((wide.size() + 1) * sizeof(wchar_t), 0)};
    std::copy_n(reinterpret_cast<const uint8_t*>(wide.data()), wide.size() * sizeof(wchar_t), value.bytes.begin());
    return value;
}

std::wstring folded(std::wstring text) {
    for (wchar_t& c : text) c = static_cast<wchar_t>(std::towlower(c));
    return text;
}

}  // namespace

bool Win32RegistryStore::createKey(const std::string& keyPath) {
    if (m_batch) {
        m_batch->push_back(PendingWrite{keyPath, std::nullopt, {}});
        return true;
    }
    OpenKey key;
    return key.create(tidyPath(keyPath));
}

bool Win32RegistryStore::setDword(const std::string& keyPath, const std::string& name, uint32_t value) {
    return write(keyPath, name, dwordValue(value));
}

bool Win32RegistryStore::setString(const std::string& keyPath, const std::string& name, const std::string& value) {
    return write(keyPath, name, stringValue(value));
}

bool Win32RegistryStore::write(const std::string& keyPath, const std::string& name, RawValue value) {
    if (m_batch) {
        m_batch->push_back(PendingWrite{keyPath, name, std::move(value)});
        return true;
    }
    OpenKey key;
    return key.create(tidyPath(keyPath)) && writeRaw(key.get(), wideFromUtf8(name), value);
}

std::optional<uint32_t> Win32RegistryStore::getDword(const std::string& keyPath, const std::string& name) {
    const std::optional<RawValue> value = readValue(keyPath, name);
    if (!value || value->type != REG_DWORD || value->bytes.size() != 4) return std::nullopt;
    uint32_t number = 0;
    for (int i = 3; i >= 0; --i) number = (number << 8) | value->bytes[i];
    return number;
}

std::optional<std::string> Win32RegistryStore::getString(const std::string& keyPath, const std::string& name) {
    const std::optional<RawValue> value = readValue(keyPath, name);
    if (!value || value->type != REG_SZ) return std::nullopt;
    // The terminating zero is usually stored but need not be; the text ends at the first zero.
    std::wstring wide(value->bytes.size() / sizeof(wchar_t), L'\0');
    std::copy_n(value->bytes.begin(), wide.size() * sizeof(wchar_t), reinterpret_cast<uint8_t*>(wide.data()));
    wide.resize(std::min(wide.size(), wide.find(L'\0')));
    return utf8FromWide(wide);
}

std::vector<std::string> Win32RegistryStore::valueNames(const std::string& keyPath) {
    std::vector<std::string> names;
    OpenKey key;
    if (!key.open(tidyPath(keyPath))) return names;
    DWORD count = 0, longest = 0;
    if (RegQueryInfoKeyW(key.get(), nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, &count, &longest, nullptr,
                         nullptr, nullptr) != ERROR_SUCCESS)
        return names;
    std::wstring name(longest + 1, L'\0');
    for (DWORD index = 0; index < count; ++index) {
        DWORD length = static_cast<DWORD>(name.size());
        const LONG status = RegEnumValueW(key.get(), index, name.data(), &length, nullptr, nullptr, nullptr, nullptr);
        if (status == ERROR_NO_MORE_ITEMS) break;  // values went while we listed
        if (status != ERROR_SUCCESS) continue;
        // A name with an unpaired surrogate could never be asked for again: left out.
        if (std::optional<std::string> text = utf8FromWide(std::wstring_view(name.data(), length)))
            names.push_back(std::move(*text));
    }
    return names;
}

void Win32RegistryStore::beginBatch() { m_batch.emplace(); }

bool Win32RegistryStore::commitBatch() {
    if (!m_batch) return true;
    std::vector<PendingWrite> writes = std::move(*m_batch);
    m_batch.reset();

    // Every key first, in the order asked, so that a key that cannot be made
    // fails the batch before any value has changed.
    std::map<std::wstring, OpenKey> keys;  // by folded path
    std::vector<std::wstring> created;     // paths, in creation order
    auto undoKeys = [&]() {
        keys.clear();
        // Deepest first: a key that still has sub-keys cannot be deleted.
        for (auto it = created.rbegin(); it != created.rend(); ++it) RegDeleteKeyW(HKEY_CURRENT_USER, it->c_str());
    };
    for (const PendingWrite& write : writes) {
        const std::wstring path = tidyPath(write.keyPath);
        const std::wstring id = folded(path);
        if (keys.count(id)) continue;
        // Each missing parent is created on its own, so that it can be removed again.
        size_t separator = 0;
        bool ok = true;
        while (ok && separator != std::wstring::npos) {
            separator = path.find(L'\\', separator + 1);
            const std::wstring prefix = path.substr(0, separator);
            if (keys.count(folded(prefix))) continue;
            OpenKey key;
            bool isNew = false;
            ok = key.create(prefix, &isNew);
            if (isNew) created.push_back(prefix);
            if (ok) keys.emplace(folded(prefix), std::move(key));
        }
        if (!ok) {
            undoKeys();
            return false;
        }
    }

    // Then the values, remembering what each held before.
    struct Undo {
        HKEY key;
        std::wstring name;
        std::optional<RawValue> before;
    };
    std::vector<Undo> undo;
    for (const PendingWrite& write : writes) {
        if (!write.name) continue;
        const HKEY key = keys.at(folded(tidyPath(write.keyPath))).get();
        const std::wstring name = wideFromUtf8(*write.name);
        undo.push_back(Undo{key, name, readRaw(key, name)});
        if (writeRaw(key, name, write.value)) continue;
        for (auto it = undo.rbegin(); it != undo.rend(); ++it) {
            if (it->before)
                writeRaw(it->key, it->name, *it->before);
            else
                RegDeleteValueW(it->key, it->name.c_str());
        }
        undoKeys();
        return false;
    }
    return true;
}

}  // namespace reef
