#include "platform/RegFileStore.h"
#include "testsupport/TempFolder.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include <sys/wait.h>
#include <unistd.h>

namespace reef {
namespace {

namespace fs = std::filesystem;

using test::TempFolder;

std::string readText(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream buffer;
    buffer << in.rdbuf();
    return buffer.str();
}

void writeText(const std::string& path, const std::string& text) {
    std::ofstream out(path, std::ios::binary);
    out << text;
}

TEST(RegFileStore, WritesTheRegExportFormatAndReadsItBack) {
    TempFolder folder;
    const std::string path = folder.file("reefsaver/settings.reg");  // folder made on first write
    RegFileStore store(path);
    EXPECT_FALSE(store.getDword("Software\\Reef", "BoidCount"));
    EXPECT_TRUE(store.valueNames("Software\\Reef").empty());
    EXPECT_FALSE(fs::exists(path));  // reading creates nothing

    ASSERT_TRUE(store.createKey("Software\\Reef"));
    ASSERT_TRUE(store.setDword("Software\\Reef", "BoidCount", 10));
    ASSERT_TRUE(store.setString("Software\\Reef", "Title", "C:\\reef \"blue\"\nline"));
    ASSERT_TRUE(store.setDword("Software\\Reef\\fish", "Clownfish", 0xFFFFFFFFu));
    EXPECT_EQ(readText(path),
              "Windows Registry Editor Version 5.00\n"
              "\n[HKEY_CURRENT_USER\\Software\\Reef]\n"
              "\"BoidCount\"=dword:0000000a\n"
              "\"Title\"=\"C:\\\\reef \\\"blue\\\"\\nline\"\n"
              "\n[HKEY_CURRENT_USER\\Software\\Reef\\fish]\n"
              "\"Clownfish\"=dword:ffffffff\n");

    RegFileStore again(path);
    EXPECT_EQ(again.getDword("Software\\Reef", "BoidCount"), 10u);
    EXPECT_EQ(again.getString("Software\\Reef", "Title"), "C:\\reef \"blue\"\nline");
    EXPECT_EQ(again.getDword("Software\\Reef\\fish", "Clownfish"), 0xFFFFFFFFu);
    // Key paths and value names ignore ASCII case and stray separators, as in the registry.
    EXPECT_EQ(again.getDword("software\\REEF\\", "boidcount"), 10u);
    ASSERT_TRUE(again.setDword("SOFTWARE\\reef", "BOIDCOUNT", 12));
    EXPECT_EQ(again.valueNames("Software\\Reef"), (std::vector<std::string>{"BoidCount", "Title"}));
    EXPECT_EQ(again.getDword("Software\\Reef", "BoidCount"), 12u);
}

TEST(RegFileStore, WrongTypeReadsAsAbsentAndForeignTypesAreKept) {
    TempFolder folder;
    const std::string path = folder.file("settings.reg");
    writeText(path,
              "\xEF\xBB\xBFWindows Registry Editor Version 5.00\r\n"
              "\r\n"
              "; written by hand\r\n"
              "[HKEY_CURRENT_USER\\Software\\Reef]\r\n"
              "\"Count\"=\"12\"\r\n"
              "\"Width\"=dword:320\r\n"
              "\"Blob\"=hex:01,02,\\\r\n"
              "  03,04\r\n"
              "@=\"default\"\r\n");
    RegFileStore store(path);
    EXPECT_FALSE(store.getDword("Software\\Reef", "Count"));
    EXPECT_EQ(store.getString("Software\\Reef", "Count"), "12");
    EXPECT_EQ(store.getDword("Software\\Reef", "Width"), 0x320u);
    EXPECT_FALSE(store.getDword("Software\\Reef", "Blob"));
    EXPECT_FALSE(store.getString("Software\\Reef", "Blob"));
    EXPECT_EQ(store.getString("Software\\Reef", ""), "default");

    ASSERT_TRUE(store.setDword("Software\\Reef", "Count", 3));  // the type changes with the write
    EXPECT_EQ(store.getDword("Software\\Reef", "Count"), 3u);
    EXPECT_EQ(store.valueNames("Software\\Reef"), (std::vector<std::string>{"Count", "Width", "Blob", ""}));
    const std::string text = readText(path);
    EXPECT_NE(text.find("\"Blob\"=hex:01,02,\\\n  03,04\n"), std::string::npos) << text;
    EXPECT_NE(text.find("@=\"default\"\n"), std::string::npos) << text;
}

TEST(RegFileStore, ParserAcceptsExportsAndRejectsDamage) {
    const std::vector<std::string> good = {
        "",
        "\n\n",
        "REGEDIT4\n[HKEY_CURRENT_USER\\A]\n\"x\"=dword:1\n",
        "Windows Registry Editor Version 5.00\n[HKEY_CURRENT_USER\\A]\n[HKEY_CURRENT_USER\\A]\n",
        "Windows Registry Editor Version 5.00\r\n  [HKEY_CURRENT_USER\\A]  \r\n\"x\" =\"y\"\r\n",
    };
    for (const std::string& text : good) {
        std::string error;
        EXPECT_TRUE(RegFileStore::parse(text, error)) << text << " -> " << error;
    }
    const std::vector<std::string> bad = {
        "garbage\n",
        "\x01\x02\x03\xff",
        "Windows Registry Editor Version 5.00\n\"x\"=dword:1\n",                        // value before a key
        "Windows Registry Editor Version 5.00\n[HKEY_CURRENT_USER\\A\n",                 // unclosed key
        "Windows Registry Editor Version 5.00\n[HKEY_CURRENT_USER\\A]\n\"x\"=dword:123456789\n",
        "Windows Registry Editor Version 5.00\n[HKEY_CURRENT_USER\\A]\n\"x\"=dword:\n",
        "Windows Registry Editor Version 5.00\n[HKEY_CURRENT_USER\\A]\n\"x\"=dword:zz\n",
        "Windows Registry Editor Version 5.00\n[HKEY_CURRENT_USER\\A]\n\"x\"=\"open\n",
        "Windows Registry Editor Version 5.00\n[HKEY_CURRENT_USER\\A]\n\"x\"=\"a\\q\"\n",  // unknown escape
        "Windows Registry Editor Version 5.00\n[HKEY_CURRENT_USER\\A]\n\"x\"=\"a\" tail\n",
        "Windows Registry Editor Version 5.00\n[HKEY_CURRENT_USER\\A]\n\"x\"dword:1\n",
        "Windows Registry Editor Version 5.00\n[HKEY_CURRENT_USER\\A]\n\"x\"=hex:01,\\\n",  // continuation at EOF
        "Windows Registry Editor Version 5.00\n[HKEY_CURRENT_USER\\A]\n\"x\"=-\n",
        "Windows Registry Editor Version 5.00\n[-HKEY_CURRENT_USER\\A]\n",
        "Windows Registry Editor Version 5.00\n[HKEY_CURRENT_USER\\A]\nstray\n",
    };
    for (const std::string& text : bad) {
        std::string error;
        EXPECT_FALSE(RegFileStore::parse(text, error)) << text;
        EXPECT_EQ(error.rfind("line ", 0), 0u) << error;
    }
}

TEST(RegFileStore, DamagedFileIsSetAsideNotDeletedAndDefaultsApply) {
    TempFolder folder;
    const std::string path = folder.file("settings.reg");
    const std::string damaged = "Windows Registry Editor Version 5.00\n[HKEY_CURRENT_USER\\A]\n\"x\"=dword:";
    writeText(path, damaged);
    RegFileStore store(path);
    EXPECT_FALSE(store.getDword("A", "x"));
    const auto names = folder.names();
    ASSERT_EQ(names.size(), 1u);
    EXPECT_EQ(names[0].rfind("settings.reg.corrupt-", 0), 0u) << names[0];
    EXPECT_EQ(readText(folder.file(names[0])), damaged);

    // A second damaged file in the same second gets its own name.
    writeText(path, "nonsense");
    ASSERT_TRUE(store.setDword("A", "x", 5));
    EXPECT_EQ(folder.names().size(), 3u);
    EXPECT_EQ(store.getDword("A", "x"), 5u);
}

TEST(RegFileStore, WritesAreAtomicAndLeaveNoTemporaryFiles) {
    TempFolder folder;
    const std::string path = folder.file("settings.reg");
    RegFileStore store(path);
    for (uint32_t i = 0; i < 20; ++i) {
        ASSERT_TRUE(store.setDword("A", "v" + std::to_string(i), i));
    }
    ASSERT_TRUE(store.setString("A", "v3", "now text"));
    EXPECT_EQ(folder.names(), std::vector<std::string>{"settings.reg"});
    EXPECT_EQ(fs::status(path).permissions() & fs::perms::all, fs::perms::owner_read | fs::perms::owner_write);

    // A folder that cannot be written fails cleanly and keeps the old file.
    if (geteuid() != 0) {
        const std::string before = readText(path);
        fs::permissions(folder.path(), fs::perms::owner_read | fs::perms::owner_exec);
        EXPECT_FALSE(store.setDword("A", "v0", 99));
        fs::permissions(folder.path(), fs::perms::owner_all);
        EXPECT_EQ(readText(path), before);
        EXPECT_EQ(folder.names(), std::vector<std::string>{"settings.reg"});
    }
}

TEST(RegFileStore, UnreadableFileIsNeverOverwritten) {
    TempFolder folder;
    // Something that opens but cannot be read as a file.
    fs::create_directories(folder.file("settings.reg/inside"));
    RegFileStore blocked(folder.file("settings.reg"));
    EXPECT_FALSE(blocked.getDword("A", "x"));
    EXPECT_FALSE(blocked.setDword("A", "x", 1));
    EXPECT_TRUE(fs::is_directory(folder.file("settings.reg/inside")));
    EXPECT_EQ(folder.names(), std::vector<std::string>{"settings.reg"});
    EXPECT_EQ(folder.names("settings.reg"), std::vector<std::string>{"inside"});
}

TEST(RegFileStore, FileWithoutReadPermissionIsNeverOverwritten) {
    if (geteuid() == 0) GTEST_SKIP() << "root reads every file";
    TempFolder folder;
    const std::string path = folder.file("settings.reg");
    const std::string original = "Windows Registry Editor Version 5.00\n[HKEY_CURRENT_USER\\A]\n\"keep\"=dword:1\n";
    writeText(path, original);
    fs::permissions(path, fs::perms::none);
    RegFileStore store(path);
    EXPECT_FALSE(store.getDword("A", "keep"));
    EXPECT_FALSE(store.setDword("A", "new", 2));
    fs::permissions(path, fs::perms::owner_read | fs::perms::owner_write);
    EXPECT_EQ(readText(path), original);
    EXPECT_EQ(folder.names(), std::vector<std::string>{"settings.reg"});
}

TEST(RegFileStore, OtherWritersValuesSurvive) {
    TempFolder folder;
    const std::string path = folder.file("settings.reg");
    RegFileStore ours(path);
    ASSERT_TRUE(ours.setDword("Software\\Reef", "BoidCount", 1));
    // Someone else adds a key of their own behind our back.
    writeText(path, readText(path) + "\n[HKEY_CURRENT_USER\\Software\\Other]\n\"Theirs\"=\"kept\"\n");
    ASSERT_TRUE(ours.setDword("Software\\Reef", "BoidCount", 2));
    EXPECT_EQ(ours.getString("Software\\Other", "Theirs"), "kept");

    // Several processes writing at once lose nothing.
    constexpr int kWriters = 4;
    constexpr int kValues = 15;
    std::vector<pid_t> children;
    for (int w = 0; w < kWriters; ++w) {
        const pid_t pid = fork();
        ASSERT_GE(pid, 0);
        if (pid == 0) {
            RegFileStore theirs(path);
            bool ok = true;
            for (int v = 0; v < kValues; ++v) {
                ok = theirs.setDword("Software\\W" + std::to_string(w), "v" + std::to_string(v), v) && ok;
            }
            _exit(ok ? 0 : 1);
        }
        children.push_back(pid);
    }
    for (pid_t pid : children) {
        int status = 0;
        ASSERT_EQ(waitpid(pid, &status, 0), pid);
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    }
    // Their values are seen once the key is opened again.
    for (int w = 0; w < kWriters; ++w) {
        const std::string key = "Software\\W" + std::to_string(w);
        ASSERT_TRUE(ours.createKey(key));
        EXPECT_EQ(ours.valueNames(key).size(), static_cast<size_t>(kValues));
    }
    EXPECT_EQ(ours.getDword("Software\\Reef", "BoidCount"), 2u);
    EXPECT_EQ(folder.names(), std::vector<std::string>{"settings.reg"});
}

TEST(RegFileStore, BatchesReachTheFileWholeSoTwoWritersNeverMix) {
    TempFolder folder;
    const std::string path = folder.file("settings.reg");
    RegFileStore first(path);
    RegFileStore second(path);
    ASSERT_TRUE(first.setDword("Software\\Reef", "FishCount", 10));

    // Two dialogs store their records with their writes interleaved.
    first.beginBatch();
    second.beginBatch();
    for (const char* name : {"FishCount", "BoidCount", "SkyType"}) {
        ASSERT_TRUE(first.setDword("Software\\Reef", name, 1));
        ASSERT_TRUE(second.setDword("Software\\Reef", name, 2));
    }
    ASSERT_TRUE(first.createKey("Software\\Reef\\fish"));
    ASSERT_TRUE(first.setDword("Software\\Reef\\fish", "clownfish", 0));
    // Nothing of an open batch is in the file yet.
    EXPECT_EQ(RegFileStore(path).getDword("Software\\Reef", "FishCount"), 10u);
    EXPECT_FALSE(RegFileStore(path).getDword("Software\\Reef", "SkyType"));

    ASSERT_TRUE(second.commitBatch());
    ASSERT_TRUE(first.commitBatch());
    // The later commit holds every value, not a mix of the two.
    RegFileStore reader(path);
    for (const char* name : {"FishCount", "BoidCount", "SkyType"}) {
        EXPECT_EQ(reader.getDword("Software\\Reef", name), 1u) << name;
    }
    EXPECT_EQ(reader.getDword("Software\\Reef\\fish", "clownfish"), 0u);
    EXPECT_EQ(folder.names(), std::vector<std::string>{"settings.reg"});
}

TEST(RegFileStore, DefaultPathFollowsXdgConfigHome) {
    const char* savedXdg = std::getenv("XDG_CONFIG_HOME");
    const char* savedHome = std::getenv("HOME");
    const std::string xdg = savedXdg ? savedXdg : "";
    const std::string home = savedHome ? savedHome : "";

    setenv("XDG_CONFIG_HOME", "/cfg", 1);
    EXPECT_EQ(RegFileStore::defaultPath(), "/cfg/reefsaver/settings.reg");
    setenv("XDG_CONFIG_HOME", "relative", 1);  // not absolute: ignored
    setenv("HOME", "/home/diver", 1);
    EXPECT_EQ(RegFileStore::defaultPath(), "/home/diver/.config/reefsaver/settings.reg");
    unsetenv("XDG_CONFIG_HOME");
    EXPECT_EQ(RegFileStore::defaultPath(), "/home/diver/.config/reefsaver/settings.reg");

    if (savedXdg) setenv("XDG_CONFIG_HOME", xdg.c_str(), 1);
    if (savedHome) setenv("HOME", home.c_str(), 1); else unsetenv("HOME");
}

}  // namespace
}  // namespace reef
