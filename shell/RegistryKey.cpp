#include "shell/RegistryKey.h"

#include "engine/WideText.h"

namespace reef {

RegistryKey::RegistryKey(RegistryStore& store) : m_store(store) {}

bool RegistryKey::OpenKey(const std::string& path) {
    m_openPath.reset();
    m_names.reset();
    if (!m_store.createKey(path)) return false;
    m_openPath = path;
    return true;
}

bool RegistryKey::CloseKey() {
    if (!m_openPath) return false;
    m_openPath.reset();
    m_names.reset();
    return true;
}

bool RegistryKey::SetString(const std::string& name, const std::string& text) {
    if (!m_openPath) return false;
    m_names.reset();
    return m_store.setString(*m_openPath, name, text);
}

bool RegistryKey::SetDword(const std::string& name, uint32_t value) {
    if (!m_openPath) return false;
    m_names.reset();
    return m_store.setDword(*m_openPath, name, value);
}

void RegistryKey::GetString(const std::string& name, std::string& out, const std::string& fallback) {
    std::optional<std::string> value;
    if (m_openPath) value = m_store.getString(*m_openPath, name);
    out = (value && value->size() <= kMaxStringBytes) ? *value : fallback;
}

int RegistryKey::GetDword(const std::string& name, int fallback) {
    if (!m_openPath) return 0;
    const std::optional<uint32_t> value = m_store.getDword(*m_openPath, name);
    return value ? static_cast<int>(*value) : fallback;
}

bool RegistryKey::GetBool(const std::string& name, bool fallback) {
    if (!m_openPath) return false;
    const std::optional<uint32_t> value = m_store.getDword(*m_openPath, name);
    return value ? *value != 0 : fallback;
}

int RegistryKey::CountValues() {
    if (!m_openPath) return 0;
    return static_cast<int>(valueNames().size());
}

bool RegistryKey::EnumValue(int index, std::string& out) {
    if (!m_openPath || index < 0) return false;
    const std::vector<std::string>& names = valueNames();
    if (static_cast<size_t>(index) >= names.size()) return false;
    const std::string& name = names[static_cast<size_t>(index)];
    if (fromUtf8(name).size() > kMaxValueNameChars) return false;
    out = name;
    return true;
}

// Counting and enumerating walk the same list: it is asked for once per open
// key (and again after a write), so enumerating n values costs n, not n * n.
const std::vector<std::string>& RegistryKey::valueNames() {
    if (!m_names) m_names = m_store.valueNames(*m_openPath);
    return *m_names;
}

}  // namespace reef
