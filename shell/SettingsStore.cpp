#include "shell/SettingsStore.h"

#include "shell/RegistryKey.h"

namespace reef {

bool SettingsStore::OpenKey(const std::string& path) { return m_registryKey && m_registryKey->OpenKey(path); }

bool SettingsStore::CloseKey() { return m_registryKey && m_registryKey->CloseKey(); }

bool SettingsStore::SetString(const std::string& name, const std::string& text) {
    return m_registryKey && m_registryKey->SetString(name, text);
}

bool SettingsStore::SetDword(const std::string& name, uint32_t value) {
    return m_registryKey && m_registryKey->SetDword(name, value);
}

void SettingsStore::GetString(const std::string& name, std::string& out, const std::string& fallback) {
    if (m_registryKey) {
        m_registryKey->GetString(name, out, fallback);
    } else {
        out = fallback;
    }
}

int SettingsStore::GetDword(const std::string& name, int fallback) {
    return m_registryKey ? m_registryKey->GetDword(name, fallback) : fallback;
}

bool SettingsStore::GetBool(const std::string& name, bool fallback) {
    return m_registryKey ? m_registryKey->GetBool(name, fallback) : fallback;
}

int SettingsStore::CountValues() { return m_registryKey ? m_registryKey->CountValues() : 0; }

void SettingsStore::BeginWriteBatch() {
    if (m_registryKey) m_registryKey->BeginBatch();
}

bool SettingsStore::CommitWriteBatch() { return m_registryKey == nullptr || m_registryKey->CommitBatch(); }

bool SettingsStore::EnumValue(int index, std::string& out) {
    return m_registryKey && m_registryKey->EnumValue(index, out);
}

}  // namespace reef
