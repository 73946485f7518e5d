// The settings file as a hostile user or a stuck process leaves it: huge,
// a FIFO, a sparse giant, a folder lock that is never released, a link.
#include "platform/RegFileStore.h"
#include "platform/TerminationSignal.h"
#include "shell/RegistryKey.h"
#include "testsupport/DiagnosticCapture.h"
#include "testsupport/TempFolder.h"

#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace reef {
namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

class HostileSettings : public ::testing::Test {
protected:
    ~HostileSettings() override {
        if (m_holder > 0) {
            kill(m_holder, SIGKILL);
            waitpid(m_holder, nullptr, 0);
        }
    }

    void write(const std::string& path, const std::string& text) { std::ofstream(path, std::ios::binary) << text; }
    std::string read(const std::string& path) {
        std::stringstream buffer;
        buffer << std::ifstream(path, std::ios::binary).rdbuf();
        return buffer.str();
    }
    // Another process takes the folder lock and keeps it until killed.
    void holdFolderLock() {
        int ready[2];
        ASSERT_EQ(pipe(ready), 0);
        m_holder = fork();
        ASSERT_GE(m_holder, 0);
        if (m_holder == 0) {
            const int fd = ::open(m_folder.c_str(), O_RDONLY | O_DIRECTORY);
            flock(fd, LOCK_EX);
            (void)!::write(ready[1], "x", 1);
            for (;;) pause();
        }
        char byte = 0;
        ASSERT_EQ(::read(ready[0], &byte, 1), 1);
        ::close(ready[0]);
        ::close(ready[1]);
    }

    test::TempFolder m_temp;
    const std::string m_folder = m_temp.path();
    const std::string m_path = m_temp.file("settings.reg");
    pid_t m_holder = -1;
};

double secondsSince(Clock::time_point start) { return std::chrono::duration<double>(Clock::now() - start).count(); }

TEST_F(HostileSettings, ThousandsOfSetEntriesOpenAndEnumerateInLinearTime) {
    // Ten thousand sets: a parse per value, or a quadratic parse, takes minutes here.
    constexpr int kSets = 10000;
    std::string text = "Windows Registry Editor Version 5.00\n\n[HKEY_CURRENT_USER\\Software\\Reef\\fish]\n";
    for (int i = 0; i < kSets; ++i) text += "\"set" + std::to_string(i) + "\"=dword:0000000" + (i % 2 ? "1" : "0") + "\n";
    write(m_path, text);

    RegFileStore store(m_path);
    RegistryKey key(store);
    const auto start = Clock::now();
    ASSERT_TRUE(key.OpenKey("Software\\Reef\\fish"));
    ASSERT_EQ(key.CountValues(), kSets);
    int enabled = 0;
    for (int i = 0; i < kSets; ++i) {
        std::string name;
        ASSERT_TRUE(key.EnumValue(i, name));
        enabled += key.GetBool(name, false) ? 1 : 0;
    }
    EXPECT_EQ(enabled, kSets / 2);
    EXPECT_LT(secondsSince(start), 10.0);
}

TEST_F(HostileSettings, AnOversizedFileIsSetAsideUnreadLikeADamagedOne) {
    // A sparse file of 8 GiB: reading it whole would exhaust the memory.
    {
        const int fd = ::open(m_path.c_str(), O_CREAT | O_WRONLY, 0600);
        ASSERT_GE(fd, 0);
        ASSERT_EQ(ftruncate(fd, off_t{8} << 30), 0);
        ::close(fd);
    }
    RegFileStore store(m_path);
    test::captureErrors();
    EXPECT_FALSE(store.getDword("Software\\Reef", "BoidCount"));
    const std::string lines = test::capturedErrors();
    EXPECT_NE(lines.find("larger than"), std::string::npos) << lines;
    // Kept aside, and the store carries on empty and writable.
    bool keptAside = false;
    for (const auto& entry : fs::directory_iterator(m_folder))
        keptAside |= entry.path().filename().string().rfind("settings.reg.corrupt-", 0) == 0;
    EXPECT_TRUE(keptAside);
    EXPECT_TRUE(store.setDword("Software\\Reef", "BoidCount", 3));
    EXPECT_EQ(RegFileStore(m_path).getDword("Software\\Reef", "BoidCount"), 3u);
}

TEST_F(HostileSettings, AFifoIsNeitherWaitedOnNorReplacedAndSaysSoOnce) {
    ASSERT_EQ(mkfifo(m_path.c_str(), 0600), 0);
    RegFileStore store(m_path);
    RegistryKey key(store);
    const auto start = Clock::now();
    test::captureErrors();
    EXPECT_FALSE(key.OpenKey("Software\\Reef"));
    EXPECT_FALSE(store.getDword("Software\\Reef", "BoidCount"));
    EXPECT_FALSE(store.setDword("Software\\Reef", "BoidCount", 1));
    EXPECT_FALSE(store.setDword("Software\\Reef", "FishCount", 1));
    const std::string lines = test::capturedErrors();
    EXPECT_LT(secondsSince(start), 2.0);
    EXPECT_EQ(std::count(lines.begin(), lines.end(), '\n'), 1) << lines;
    EXPECT_NE(lines.find("not a regular file"), std::string::npos) << lines;
    struct stat info {};
    ASSERT_EQ(lstat(m_path.c_str(), &info), 0);
    EXPECT_TRUE(S_ISFIFO(info.st_mode));
}

TEST_F(HostileSettings, ALockHeldElsewhereLeavesTheStoreReadOnlyAfterAMoment) {
    write(m_path, "Windows Registry Editor Version 5.00\n[HKEY_CURRENT_USER\\Software\\Reef]\n\"BoidCount\"=dword:7\n");
    holdFolderLock();
    RegFileStore store(m_path);
    RegistryKey key(store);
    const auto start = Clock::now();
    test::captureErrors();
    ASSERT_TRUE(key.OpenKey("Software\\Reef"));  // the key is there: it opens for reading
    EXPECT_EQ(key.GetDword("BoidCount", 0), 7);
    EXPECT_FALSE(key.SetDword("BoidCount", 8));
    EXPECT_FALSE(key.OpenKey("Software\\Missing"));  // cannot be created now
    const std::string lines = test::capturedErrors();
    EXPECT_LT(secondsSince(start), 3.0);
    EXPECT_EQ(std::count(lines.begin(), lines.end(), '\n'), 1) << lines;
    EXPECT_NE(lines.find("locked by another process"), std::string::npos) << lines;

    // Once the other process lets go, writing works again.
    kill(m_holder, SIGKILL);
    waitpid(m_holder, nullptr, 0);
    m_holder = -1;
    ASSERT_TRUE(key.OpenKey("Software\\Reef"));
    EXPECT_TRUE(key.SetDword("BoidCount", 8));
    EXPECT_EQ(RegFileStore(m_path).getDword("Software\\Reef", "BoidCount"), 8u);
}

TEST_F(HostileSettings, ATerminationRequestEndsTheLockWaitAtOnce) {
    holdFolderLock();
    // The flag is process-wide: the request is made in a child of its own.
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        RegFileStore store(m_path);
        const auto waited = Clock::now();
        store.setDword("Software\\Reef", "BoidCount", 1);
        const double fullWait = secondsSince(waited);
        installTerminationHandler();
        raise(SIGTERM);
        // A store of its own, so that nothing remembers the first wait.
        RegFileStore fresh(m_path);
        const auto start = Clock::now();
        const bool stored = fresh.setDword("Software\\Reef", "BoidCount", 1);
        const double cutWait = secondsSince(start);
        // A full wait spans every retry; after the request there is a single try.
        _exit(!stored && terminationRequested() && cutWait * 4 < fullWait ? 0 : 1);
    }
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
}

TEST_F(HostileSettings, ALinkedFileIsWrittenThroughItsTarget) {
    fs::create_directory(m_folder + "/dotfiles");
    const std::string target = m_folder + "/dotfiles/reef.reg";
    write(target, "Windows Registry Editor Version 5.00\n[HKEY_CURRENT_USER\\Other]\n\"Keep\"=\"yes\"\n");
    fs::create_symlink("dotfiles/reef.reg", m_path);  // relative, as people make them

    RegFileStore store(m_path);
    ASSERT_TRUE(store.setDword("Software\\Reef", "BoidCount", 5));
    EXPECT_TRUE(fs::is_symlink(m_path));
    EXPECT_NE(read(target).find("\"BoidCount\"=dword:00000005"), std::string::npos);
    EXPECT_NE(read(target).find("\"Keep\"=\"yes\""), std::string::npos);
    // Nothing is left beside the link or the target.
    EXPECT_EQ(std::distance(fs::directory_iterator(m_folder), fs::directory_iterator{}), 2);
    EXPECT_EQ(std::distance(fs::directory_iterator(m_folder + "/dotfiles"), fs::directory_iterator{}), 1);
}

// A file its owner made read-only is left as it is, whatever is missing from it
// or however damaged it is: the folder being writable would let a rename
// replace it, but read-only means "leave it". Reads go on from it.
TEST_F(HostileSettings, AReadOnlyFileIsNeverReplacedNorSetAside) {
    const std::string text =
        "Windows Registry Editor Version 5.00\n[HKEY_CURRENT_USER\\Software\\Reef]\n\"BoidCount\"=dword:00000007\n";
    const std::string damaged = "not a registry file at all\n";
    for (const std::string& content : {text, damaged}) {
        fs::remove(m_path);
        write(m_path, content);
        ASSERT_EQ(chmod(m_path.c_str(), 0444), 0);
        struct stat before {};
        ASSERT_EQ(stat(m_path.c_str(), &before), 0);

        RegFileStore store(m_path);
        RegistryKey key(store);
        test::captureErrors();
        EXPECT_EQ(key.OpenKey("Software\\Reef"), content == text);   // there: opens for reading
        EXPECT_FALSE(key.OpenKey("Software\\Reef\\fish"));         // missing: not created
        EXPECT_FALSE(store.setDword("Software\\Reef", "BoidCount", 9));
        EXPECT_FALSE(store.setDword("Software\\Reef", "FishCount", 9));
        store.beginBatch();
        store.setDword("Software\\Reef", "FishCount", 9);
        EXPECT_FALSE(store.commitBatch());
        const std::string lines = test::capturedErrors();
        EXPECT_NE(lines.find("read-only"), std::string::npos) << lines;
        if (content == text) EXPECT_EQ(store.getDword("Software\\Reef", "BoidCount"), 7u);

        struct stat after {};
        ASSERT_EQ(stat(m_path.c_str(), &after), 0);
        EXPECT_EQ(after.st_ino, before.st_ino) << "the file was replaced";
        EXPECT_EQ(read(m_path), content);
        EXPECT_EQ(std::distance(fs::directory_iterator(m_folder), fs::directory_iterator{}), 1) << "left beside it";
    }
}

}  // namespace
}  // namespace reef
