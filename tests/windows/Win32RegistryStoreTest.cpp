// The registry store against the real registry of the test prefix, in a key
// of its own under HKEY_CURRENT_USER that each test removes again.
#include "platform/windows/Win32RegistryStore.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <string>
#include <vector>

namespace reef {
namespace {

class Win32RegistryStoreTest : public ::testing::Test {
protected:
    void SetUp() override {
        m_root = "Software\\ReefSaverTests\\Registry" + std::to_string(GetCurrentProcessId());
        RegDeleteTreeW(HKEY_CURRENT_USER, wide(m_root).c_str());
    }
    void TearDown() override {
        RegDeleteTreeW(HKEY_CURRENT_USER, wide(m_root).c_str());
        RegDeleteKeyW(HKEY_CURRENT_USER, L"Software\\ReefSaverTests");  // only when empty
    }

    static std::wstring wide(const std::string& ascii) { return std::wstring(ascii.begin(), ascii.end()); }

    // The value as the registry holds it, read without the store.
    bool rawValue(const std::string& key, const wchar_t* name, DWORD& type, std::vector<uint8_t>& bytes) {
        HKEY handle = nullptr;
        if (RegOpenKeyExW(HKEY_CURRENT_USER, wide(key).c_str(), 0, KEY_READ, &handle) != ERROR_SUCCESS) return false;
        DWORD size = 4096;
        bytes.assign(size, 0);
        const LONG status = RegQueryValueExW(handle, name, nullptr, &type, bytes.data(), &size);
        RegCloseKey(handle);
        bytes.resize(size);
        return status == ERROR_SUCCESS;
    }
    bool keyExists(const std::string& key) {
        HKEY handle = nullptr;
        if (RegOpenKeyExW(HKEY_CURRENT_USER, wide(key).c_str(), 0, KEY_READ, &handle) != ERROR_SUCCESS) return false;
        RegCloseKey(handle);
        return true;
    }
    void setRaw(const std::string& key, const wchar_t* name, DWORD type, const void* data, DWORD size) {
        HKEY handle = nullptr;
        ASSERT_EQ(RegCreateKeyExW(HKEY_CURRENT_USER, wide(key).c_str(), 0, nullptr, 0, KEY_WRITE, nullptr, &handle,
                                  nullptr),
                  ERROR_SUCCESS);
        RegSetValueExW(handle, name, 0, type, static_cast<const BYTE*>(data), size);
        RegCloseKey(handle);
    }

    std::string m_root;
    Win32RegistryStore m_store;
};

TEST_F(Win32RegistryStoreTest, ValuesReachTheRegistryAsDwordsAndUtf16Strings) {
    EXPECT_FALSE(m_store.getDword(m_root, "BoidCount"));
    EXPECT_TRUE(m_store.valueNames(m_root).empty());
    EXPECT_FALSE(keyExists(m_root));  // reading creates nothing

    ASSERT_TRUE(m_store.createKey(m_root));
    EXPECT_TRUE(keyExists(m_root));
    ASSERT_TRUE(m_store.setDword(m_root, "BoidCount", 0xFFFFFFFEu));
    ASSERT_TRUE(m_store.setString(m_root, "Title", "Grüße \xF0\x9F\x90\xA0 C:\\reef"));
    ASSERT_TRUE(m_store.setDword(m_root + "\\fish", "Papageifisch-Ü", 1));  // key made on the way

    DWORD type = 0;
    std::vector<uint8_t> bytes;
    ASSERT_TRUE(rawValue(m_root, L"BoidCount", type, bytes));
    EXPECT_EQ(type, static_cast<DWORD>(REG_DWORD));
    EXPECT_EQ(bytes, (std::vector<uint8_t>{0xFE, 0xFF, 0xFF, 0xFF}));
    ASSERT_TRUE(rawValue(m_root, L"Title", type, bytes));
    EXPECT_EQ(type, static_cast<DWORD>(REG_SZ));
    const std::wstring expected = L"Gr\u00FC\u00DFe \U0001F420 C:\\reef";
    ASSERT_EQ(bytes.size(), (expected.size() + 1) * 2);  // UTF-16 with its terminator
    EXPECT_EQ(std::wstring(reinterpret_cast<const wchar_t*>(bytes.data())), expected);

    EXPECT_EQ(m_store.getDword(m_root, "BoidCount"), 0xFFFFFFFEu);
    EXPECT_EQ(m_store.getString(m_root, "Title"), "Grüße \xF0\x9F\x90\xA0 C:\\reef");
    EXPECT_EQ(m_store.valueNames(m_root + "\\fish"), (std::vector<std::string>{"Papageifisch-Ü"}));
    // Names ignore case and stray separators, as the .reg file store does.
    EXPECT_EQ(m_store.getDword("\\" + m_root + "\\\\FISH\\", "papageifisch-Ü"), 1u);
    ASSERT_TRUE(m_store.setDword(m_root, "BOIDCOUNT", 12));
    EXPECT_EQ(m_store.valueNames(m_root), (std::vector<std::string>{"BoidCount", "Title"}));
    EXPECT_EQ(m_store.getDword(m_root, "boidcount"), 12u);
}

TEST_F(Win32RegistryStoreTest, ValuesOfAnotherTypeOrSizeReadAsAbsent) {
    const uint16_t shortNumber = 7;
    const uint32_t number = 9;
    const wchar_t unterminated[] = {L'a', L'b'};
    setRaw(m_root, L"Short", REG_DWORD, &shortNumber, sizeof shortNumber);
    setRaw(m_root, L"Binary", REG_BINARY, &number, sizeof number);
    setRaw(m_root, L"Expand", REG_EXPAND_SZ, L"%TEMP%", 14);
    setRaw(m_root, L"Unterminated", REG_SZ, unterminated, sizeof unterminated);
    setRaw(m_root, L"Number", REG_DWORD, &number, sizeof number);

    EXPECT_FALSE(m_store.getDword(m_root, "Short"));
    EXPECT_FALSE(m_store.getDword(m_root, "Binary"));
    EXPECT_FALSE(m_store.getString(m_root, "Expand"));
    EXPECT_FALSE(m_store.getString(m_root, "Number"));
    EXPECT_FALSE(m_store.getDword(m_root, "Unterminated"));
    EXPECT_EQ(m_store.getString(m_root, "Unterminated"), "ab");
    EXPECT_EQ(m_store.getDword(m_root, "Number"), 9u);
    EXPECT_EQ(m_store.valueNames(m_root).size(), 5u);
}

TEST_F(Win32RegistryStoreTest, ABatchIsWrittenAtCommit) {
    ASSERT_TRUE(m_store.setDword(m_root, "FishCount", 10));
    m_store.beginBatch();
    ASSERT_TRUE(m_store.createKey(m_root + "\\fish"));
    ASSERT_TRUE(m_store.setDword(m_root, "FishCount", 20));
    ASSERT_TRUE(m_store.setString(m_root, "Name", "reef"));
    // Nothing is in the registry before the commit.
    EXPECT_EQ(m_store.getDword(m_root, "FishCount"), 10u);
    EXPECT_FALSE(m_store.getString(m_root, "Name"));
    EXPECT_FALSE(keyExists(m_root + "\\fish"));

    EXPECT_TRUE(m_store.commitBatch());
    EXPECT_EQ(m_store.getDword(m_root, "FishCount"), 20u);
    EXPECT_EQ(m_store.getString(m_root, "Name"), "reef");
    EXPECT_TRUE(keyExists(m_root + "\\fish"));
    // After the commit, writes go straight through again.
    ASSERT_TRUE(m_store.setDword(m_root, "FishCount", 30));
    EXPECT_EQ(m_store.getDword(m_root, "FishCount"), 30u);
    EXPECT_TRUE(m_store.commitBatch());  // no batch open: nothing to do
}

TEST_F(Win32RegistryStoreTest, AFailedBatchLeavesNothingOfItself) {
    ASSERT_TRUE(m_store.setDword(m_root, "FishCount", 10));
    // A key name component may have at most 255 characters: that key cannot be made.
    const std::string tooLong = m_root + "\\" + std::string(300, 'k');
    m_store.beginBatch();
    ASSERT_TRUE(m_store.setDword(m_root, "FishCount", 20));
    ASSERT_TRUE(m_store.setDword(m_root, "SkyType", 1));
    ASSERT_TRUE(m_store.setDword(m_root + "\\new\\deeper", "Clownfish", 1));
    ASSERT_TRUE(m_store.setDword(tooLong, "Anything", 1));
    EXPECT_FALSE(m_store.commitBatch());

    EXPECT_EQ(m_store.getDword(m_root, "FishCount"), 10u);
    EXPECT_FALSE(m_store.getDword(m_root, "SkyType"));
    EXPECT_FALSE(keyExists(m_root + "\\new"));
    // Outside a batch the same failure is a plain false.
    EXPECT_FALSE(m_store.createKey(tooLong));
    EXPECT_FALSE(m_store.createKey("\\\\"));
}

TEST_F(Win32RegistryStoreTest, AValueThatCannotBeWrittenUndoesTheBatchsValues) {
    ASSERT_TRUE(m_store.setDword(m_root, "FishCount", 10));
    // Value names may have at most 16,383 characters: that value cannot be stored.
    const std::string tooLong(20000, 'v');
    EXPECT_FALSE(m_store.setDword(m_root, tooLong, 1));
    m_store.beginBatch();
    ASSERT_TRUE(m_store.setDword(m_root, "FishCount", 20));
    ASSERT_TRUE(m_store.setDword(m_root, "FishCount", 25));
    ASSERT_TRUE(m_store.setString(m_root + "\\new", "Name", "reef"));
    ASSERT_TRUE(m_store.setDword(m_root, tooLong, 1));
    EXPECT_FALSE(m_store.commitBatch());

    EXPECT_EQ(m_store.getDword(m_root, "FishCount"), 10u);
    EXPECT_EQ(m_store.valueNames(m_root), (std::vector<std::string>{"FishCount"}));
    EXPECT_FALSE(keyExists(m_root + "\\new"));
}

}  // namespace
}  // namespace reef
