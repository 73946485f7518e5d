#include "app/SaverSettings.h"

#include "platform/RegFileStore.h"
#include "shell/RegistryKey.h"
#include "shell/ScreenSettings.h"
#include "shell/SettingsStore.h"
#include "testsupport/TempFolder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include <unistd.h>

namespace reef {
namespace {

namespace fs = std::filesystem;

const std::string kKey = "Software\\Reef\\Saver";

// The shell's side in miniature: the registry operations on one RegistryKey.
class KeyStore : public SettingsStore {
public:
    explicit KeyStore(RegistryStore& registry) : m_key(registry) { attachRegistryKey(&m_key); }
    bool BuildScene() override { return true; }
    bool InitGL() override { return true; }
    void FrameMove() override {}
    void Render() override {}
    bool ReleaseGLObjects() override { return true; }
    bool Cleanup() override { return true; }
    bool PostFrame() override { return true; }

    RegistryKey& key() { return m_key; }

private:
    RegistryKey m_key;
};

class SettingsFile : public ::testing::Test {
protected:
    std::string text() const {
        std::ifstream in(m_path, std::ios::binary);
        std::stringstream buffer;
        buffer << in.rdbuf();
        return buffer.str();
    }
    void write(const std::string& body) {
        fs::create_directories(fs::path(m_path).parent_path());
        std::ofstream(m_path, std::ios::binary) << "Windows Registry Editor Version 5.00\n" << body;
    }

    test::TempFolder m_temp;
    const std::string m_folder = m_temp.path();
    const std::string m_path = m_folder + "/reefsaver/settings.reg";
};

void expectDefaults(const SaverSettings& s) {
    EXPECT_EQ(s.BoidModel, 0);
    EXPECT_EQ(s.BoidCount, 10);
    EXPECT_TRUE(s.BirdGull);
    EXPECT_EQ(s.FishCount, 10);
    EXPECT_EQ(s.CameraPos, 0);
    EXPECT_EQ(s.CameraSpeed, 4);
    EXPECT_EQ(s.CameraFixTop, 30);
    EXPECT_EQ(s.CameraFixBottom, 30);
    EXPECT_EQ(s.SkyType, 0);
    EXPECT_TRUE(s.SoundOn);
    EXPECT_TRUE(s.fishSets.empty());
}

TEST_F(SettingsFile, FirstStartKeepsDefaultsAndCreatesTheKey) {
    RegFileStore registry(m_path);
    KeyStore store(registry);
    SaverSettings settings;
    settings.read(store, kKey);
    expectDefaults(settings);
    EXPECT_FALSE(store.key().isOpen());
    const std::string file = text();
    EXPECT_NE(file.find("[HKEY_CURRENT_USER\\Software\\Reef\\Saver]\n"), std::string::npos) << file;
    EXPECT_NE(file.find("[HKEY_CURRENT_USER\\Software\\Reef\\Saver\\fish]\n"), std::string::npos) << file;
}

TEST_F(SettingsFile, WrittenSettingsReadBackInANewProcessState) {
    {
        RegFileStore registry(m_path);
        KeyStore store(registry);
        SaverSettings settings;
        settings.BoidModel = 2;
        settings.BoidCount = 25;
        settings.BirdGull = false;
        settings.FishCount = 3;
        settings.CameraPos = 3;
        settings.CameraSpeed = 9;
        settings.CameraFixTop = 45;
        settings.CameraFixBottom = 5;
        settings.SkyType = 1;
        settings.SoundOn = false;
        settings.fishSets.addSet(u"Clownfish", 1);
        settings.fishSets.addSet(u"Doktorfisch \u00e4", 0);
        EXPECT_TRUE(settings.write(store, kKey));
        EXPECT_FALSE(store.key().isOpen());
        // The screen settings share the key and follow.
        ScreenSettings screen;
        screen.leaveResolution = false;
        screen.width = 800;
        screen.height = 600;
        screen.bitsPerPixel = 32;
        screen.shadeSecondary = false;
        screen.write(store, kKey);
        EXPECT_FALSE(store.key().isOpen());
    }
    // Values stand in the write order, fish count before the gull flag, then the screen's.
    EXPECT_NE(text().find("\"BoidModel\"=dword:00000002\n\"BoidCount\"=dword:00000019\n"
                          "\"FishCount\"=dword:00000003\n\"BirdGull\"=dword:00000000\n"
                          "\"CameraPos\"=dword:00000003\n\"CameraSpeed\"=dword:00000009\n"
                          "\"CameraFixTop\"=dword:0000002d\n\"CameraFixBottom\"=dword:00000005\n"
                          "\"SkyType\"=dword:00000001\n\"SoundOn\"=dword:00000000\n"
                          "\"Width\"=dword:00000320\n\"Height\"=dword:00000258\n\"Bpp\"=dword:00000020\n"
                          "\"LeaveRes\"=dword:00000000\n\"ShadeScecondary\"=dword:00000000\n"),
              std::string::npos)
        << text();

    RegFileStore registry(m_path);
    KeyStore store(registry);
    SaverSettings back;
    back.read(store, kKey);
    EXPECT_EQ(back.BoidModel, 2);
    EXPECT_EQ(back.BoidCount, 25);
    EXPECT_FALSE(back.BirdGull);
    EXPECT_EQ(back.FishCount, 3);
    EXPECT_EQ(back.CameraPos, 3);
    EXPECT_EQ(back.CameraSpeed, 9);
    EXPECT_EQ(back.CameraFixTop, 45);
    EXPECT_EQ(back.CameraFixBottom, 5);
    EXPECT_EQ(back.SkyType, 1);
    EXPECT_FALSE(back.SoundOn);
    ASSERT_EQ(back.fishSets.size(), 2u);
    EXPECT_EQ(back.fishSets.isSetEnabled(u"Clownfish"), 1);
    EXPECT_EQ(back.fishSets.isSetEnabled(u"Doktorfisch \u00e4"), 0);
    EXPECT_EQ(back.fishSets.entries()[1].id, u"Doktorfisch \u00e4");

    ScreenSettings screen;
    EXPECT_TRUE(screen.leaveResolution);  // the defaults, until read
    EXPECT_EQ(screen.width, -1);
    EXPECT_EQ(screen.bitsPerPixel, 16);
    screen.read(store, kKey);
    EXPECT_FALSE(screen.leaveResolution);
    EXPECT_EQ(screen.width, 800);
    EXPECT_EQ(screen.height, 600);
    EXPECT_EQ(screen.bitsPerPixel, 32);
    EXPECT_FALSE(screen.shadeSecondary);
    EXPECT_FALSE(screen.multiMonitor);
}

TEST_F(SettingsFile, StoredValuesOverrideOnlyWhatIsThereWithTheRightType) {
    write("[HKEY_CURRENT_USER\\Software\\Reef\\Saver]\n"
          "\"BoidCount\"=\"12\"\n"           // a string: keeps the default
          "\"FishCount\"=hex:01,00,00,00\n"  // raw bytes: keeps the default
          "\"SoundOn\"=dword:00000000\n"
          "\"SkyType\"=dword:ffffffff\n"
          "[HKEY_CURRENT_USER\\Software\\Reef\\Saver\\fish]\n"
          "\"Hai\"=dword:00000000\n"
          "\"Manta\"=dword:00000007\n"
          "\"Rochen\"=\"no\"\n");            // wrong type: read as enabled
    RegFileStore registry(m_path);
    KeyStore store(registry);
    SaverSettings settings;
    settings.CameraSpeed = 7;  // the record's current value is the fallback
    settings.read(store, kKey);
    EXPECT_EQ(settings.BoidCount, 10);
    EXPECT_EQ(settings.FishCount, 10);
    EXPECT_FALSE(settings.SoundOn);
    EXPECT_EQ(settings.SkyType, -1);
    EXPECT_EQ(settings.CameraSpeed, 7);
    ASSERT_EQ(settings.fishSets.size(), 3u);
    EXPECT_EQ(settings.fishSets.isSetEnabled(u"Hai"), 0);
    EXPECT_EQ(settings.fishSets.isSetEnabled(u"Manta"), 1);
    EXPECT_EQ(settings.fishSets.isSetEnabled(u"Rochen"), 1);
    EXPECT_EQ(settings.fishSets.isSetEnabled(u"Schildkroete"), 0);  // no value: not listed
}

TEST_F(SettingsFile, UnusableStoreLeavesDefaultsAndWritesNothing) {
    RegFileStore registry("/proc/reefsaver-cannot-exist/settings.reg");
    KeyStore store(registry);
    SaverSettings settings;
    settings.read(store, kKey);
    expectDefaults(settings);
    settings.fishSets.addSet(u"Hai", 1);
    // The write is refused as a whole, and says so.
    EXPECT_FALSE(settings.write(store, kKey));
    EXPECT_FALSE(store.key().isOpen());
}

TEST_F(SettingsFile, RegistryKeyAnswersZeroFalseOrFallbackWithoutAKey) {
    RegFileStore registry(m_path);
    RegistryKey key(registry);
    std::string out = "stale";
    EXPECT_FALSE(key.CloseKey());
    EXPECT_FALSE(key.SetDword("a", 1));
    EXPECT_FALSE(key.SetString("a", "x"));
    EXPECT_EQ(key.GetDword("a", 7), 0);
    EXPECT_FALSE(key.GetBool("a", true));
    key.GetString("a", out, "fallback");
    EXPECT_EQ(out, "fallback");
    EXPECT_EQ(key.CountValues(), 0);
    EXPECT_FALSE(key.EnumValue(0, out));

    ASSERT_TRUE(key.OpenKey(kKey));
    EXPECT_EQ(key.GetDword("a", 7), 7);
    EXPECT_TRUE(key.GetBool("a", true));
    EXPECT_TRUE(key.SetDword("a", 0xFFFFFFFEu));
    EXPECT_EQ(key.GetDword("a", 7), -2);
    EXPECT_TRUE(key.SetString("s", "text"));
    EXPECT_EQ(key.GetDword("s", 7), 7);  // wrong type
    EXPECT_TRUE(key.GetBool("s", true));
    key.GetString("a", out, "fallback");
    EXPECT_EQ(out, "fallback");
    key.GetString("s", out, "fallback");
    EXPECT_EQ(out, "text");
    EXPECT_EQ(key.CountValues(), 2);
    EXPECT_TRUE(key.EnumValue(1, out));
    EXPECT_EQ(out, "s");
    EXPECT_FALSE(key.EnumValue(2, out));
    EXPECT_FALSE(key.EnumValue(-1, out));
    EXPECT_TRUE(key.CloseKey());
    EXPECT_FALSE(key.CloseKey());

    // A failed open leaves no key open, not the one before it.
    ASSERT_TRUE(key.OpenKey(kKey));
    EXPECT_FALSE(key.OpenKey("bad\nkey"));
    EXPECT_FALSE(key.isOpen());
    EXPECT_EQ(key.GetDword("a", 7), 0);
}

TEST_F(SettingsFile, RegistryKeyLimitsStringsAndValueNames) {
    RegFileStore registry(m_path);
    RegistryKey key(registry);
    ASSERT_TRUE(key.OpenKey(kKey));
    const std::string fits(RegistryKey::kMaxStringBytes, 'x');
    const std::string tooLong(RegistryKey::kMaxStringBytes + 1, 'x');
    std::string out;
    ASSERT_TRUE(key.SetString("fits", fits));
    ASSERT_TRUE(key.SetString("long", tooLong));
    key.GetString("fits", out, "fallback");
    EXPECT_EQ(out, fits);
    key.GetString("long", out, "fallback");
    EXPECT_EQ(out, "fallback");

    // Names are counted in UTF-16 characters, not bytes.
    std::string umlauts;
    for (size_t i = 0; i < RegistryKey::kMaxValueNameChars; ++i) umlauts += "\xC3\xA4";
    ASSERT_TRUE(key.OpenKey(kKey + "\\names"));
    ASSERT_TRUE(key.SetDword(umlauts, 1));
    ASSERT_TRUE(key.SetDword(std::string(RegistryKey::kMaxValueNameChars + 1, 'n'), 1));
    EXPECT_TRUE(key.EnumValue(0, out));
    EXPECT_EQ(out, umlauts);
    EXPECT_FALSE(key.EnumValue(1, out));
}

// CPU time of this thread, in milliseconds: what a run costs, whatever else the machine does.
double threadCpuMs() {
    timespec now {};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) * 1000.0 + static_cast<double>(now.tv_nsec) / 1.0e6;
}

// CPU times, in milliseconds, of reading a settings file of set entries at
// start-up and of storing the record again and reading it back (OK in the dialog).
struct SetEntryCosts {
    double startUp = 0.0;
    double store = 0.0;
};

// Writes a settings file with that many set entries and goes through start-up
// and a dialog's OK with it, checking that every entry keeps its place.
SetEntryCosts readAndStoreSetEntries(const std::string& path, int entries) {
    std::string body = "Windows Registry Editor Version 5.00\n[HKEY_CURRENT_USER\\Software\\Reef\\Saver\\fish]\n";
    for (int i = 0; i < entries; ++i)
        body += "\"set" + std::to_string(i) + "\"=dword:0000000" + std::to_string(i % 2) + "\n";
    EXPECT_LT(body.size(), RegFileStore::kMaxFileBytes);
    fs::create_directories(fs::path(path).parent_path());
    std::ofstream(path, std::ios::binary) << body;

    SetEntryCosts costs;
    double started = threadCpuMs();
    RegFileStore registry(path);
    KeyStore store(registry);
    SaverSettings settings;
    settings.read(store, kKey);
    settings.fishSets.addSet(u"set7", 1);      // known: nothing changes
    settings.fishSets.addSet(u"newcomer", 1);  // a set met for the first time: after the stored ones
    costs.startUp = threadCpuMs() - started;

    started = threadCpuMs();
    EXPECT_TRUE(settings.write(store, kKey));
    SaverSettings back;
    back.read(store, kKey);
    EXPECT_TRUE(settings.sameValues(back));
    costs.store = threadCpuMs() - started;

    EXPECT_EQ(back.fishSets.size(), static_cast<size_t>(entries) + 1);
    EXPECT_EQ(back.fishSets.entries()[5].id, u"set5");
    EXPECT_EQ(back.fishSets.entries().back().id, u"newcomer");
    EXPECT_EQ(back.fishSets.isSetEnabled(u"set7"), 1);
    EXPECT_EQ(back.fishSets.isSetEnabled(u"set8"), 0);
    return costs;
}

// A settings file near its size limit, all set entries (130,000 took a minute to
// start with when each entry read was searched for along the list). The cost
// now grows with the number of entries, not with its square.
TEST_F(SettingsFile, ManySetEntriesStartInTimeProportionalToTheirNumber) {
    const SetEntryCosts small = readAndStoreSetEntries(m_path, 13000);
    const SetEntryCosts large = readAndStoreSetEntries(m_path, 130000);
    std::printf("CPU ms for 13,000 / 130,000 entries: start-up %.0f / %.0f, OK %.0f / %.0f\n", small.startUp,
                large.startUp, small.store, large.store);
    // Ten times the entries: about ten times the time (a hundred times for a square).
    EXPECT_LT(large.startUp, 30.0 * std::max(small.startUp, 1.0));
    EXPECT_LT(large.store, 30.0 * std::max(small.store, 1.0));
#if defined(__SANITIZE_ADDRESS__) || !defined(NDEBUG)
    // Unoptimised and sanitized code runs this some twenty to forty times slower.
    constexpr double kStartUpLimitMs = 20000.0;
#else
    constexpr double kStartUpLimitMs = 500.0;
#endif
    EXPECT_LT(large.startUp, kStartUpLimitMs);
}

TEST(SetSelection, FirstEntryWinsAndIdsCompareExactly) {
    SetSelection sets;
    sets.addSet(u"Clownfish", 0);
    sets.addSet(u"Clownfish", 1);  // known id: nothing changes
    sets.addSet(u"clownfish", 1);
    EXPECT_EQ(sets.size(), 2u);
    EXPECT_EQ(sets.isSetEnabled(u"Clownfish"), 0);
    EXPECT_EQ(sets.isSetEnabled(u"clownfish"), 1);
    EXPECT_EQ(sets.isSetEnabled(u"Hai"), 0);
    sets.setSetEnabled(u"Hai", 1);  // unknown id: nothing happens
    EXPECT_EQ(sets.size(), 2u);
    sets.setSetEnabled(u"Clownfish", 1);
    EXPECT_EQ(sets.isSetEnabled(u"Clownfish"), 1);
    EXPECT_EQ(sets.isSetEnabled(u"clownfish"), 1);

    // Ids are kept to 127 characters; longer ones address the same entry.
    const std::u16string longId(200, u'x');
    sets.addSet(longId, 1);
    EXPECT_EQ(sets.entries().back().id.size(), SetSelection::kMaxSetIdLength);
    EXPECT_EQ(sets.isSetEnabled(longId.substr(0, 127)), 1);
    sets.addSet(longId.substr(0, 127) + u"y", 0);
    EXPECT_EQ(sets.size(), 3u);
}

}  // namespace
}  // namespace reef
