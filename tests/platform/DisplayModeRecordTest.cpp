#include <gtest/gtest.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "platform/DisplayModeRecord.h"
#include "testsupport/TempFolder.h"

namespace reef {
namespace {

namespace fs = std::filesystem;

// A private XDG_RUNTIME_DIR for each test, the previous one back afterwards.
class RuntimeFolder : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_FALSE(m_root.empty());
        const char* old = std::getenv("XDG_RUNTIME_DIR");
        m_hadOld = old != nullptr;
        if (old) m_old = old;
        setenv("XDG_RUNTIME_DIR", m_root.c_str(), 1);
    }
    void TearDown() override {
        if (m_hadOld)
            setenv("XDG_RUNTIME_DIR", m_old.c_str(), 1);
        else
            unsetenv("XDG_RUNTIME_DIR");
    }

    static DisplayModeRecord::Contents sample() {
        DisplayModeRecord::Contents c;
        c.saver = ProcessStamp::of(getpid());
        c.watchdog = {4242, 77};
        c.changedTo = 0x1c8;
        c.previous.crtc = 0x3f;
        c.previous.mode = 0x1c2;
        c.previous.x = 0;
        c.previous.y = -20;
        c.previous.rotation = RR_Rotate_90;
        c.previous.outputs = {0x41, 0x42};
        c.previous.screenWidth = 1920;
        c.previous.screenHeight = 1080;
        c.previous.screenMmWidth = 508;
        c.previous.screenMmHeight = 285;
        return c;
    }

    test::TempFolder m_folder;
    const std::string m_root = m_folder.path();
    std::string m_old;
    bool m_hadOld = false;
};

TEST_F(RuntimeFolder, WrittenRecordReadsBackPrivateAndPerDisplay) {
    DisplayModeRecord record(":3.0");
    EXPECT_FALSE(record.exists());
    EXPECT_FALSE(record.read().has_value());
    ASSERT_TRUE(record.write(sample()));
    EXPECT_EQ(fs::status(m_root + "/reefsaver").permissions() & fs::perms::all, fs::perms::owner_all);
    EXPECT_EQ(fs::status(record.path()).permissions() & fs::perms::all,
              fs::perms::owner_read | fs::perms::owner_write);

    // ":3" is the same display; ":4" is another.
    const std::optional<DisplayModeRecord::Contents> back = DisplayModeRecord(":3").read();
    ASSERT_TRUE(back.has_value());
    const DisplayModeRecord::Contents expected = sample();
    EXPECT_EQ(back->saver.pid, expected.saver.pid);
    EXPECT_EQ(back->saver.startTime, expected.saver.startTime);
    EXPECT_EQ(back->watchdog.pid, 4242);
    EXPECT_EQ(back->watchdog.startTime, 77u);
    EXPECT_EQ(back->changedTo, expected.changedTo);
    EXPECT_EQ(back->previous.crtc, expected.previous.crtc);
    EXPECT_EQ(back->previous.mode, expected.previous.mode);
    EXPECT_EQ(back->previous.y, -20);
    EXPECT_EQ(back->previous.rotation, RR_Rotate_90);
    EXPECT_EQ(back->previous.outputs, expected.previous.outputs);
    EXPECT_EQ(back->previous.screenWidth, 1920);
    EXPECT_EQ(back->previous.screenMmHeight, 285);
    EXPECT_FALSE(DisplayModeRecord(":4").exists());

    record.remove();
    EXPECT_FALSE(DisplayModeRecord(":3").exists());
}

// The file lies in a folder of the user's; whatever is found there that is not
// a whole record of ours is no record (and never a mode to switch to).
TEST_F(RuntimeFolder, AnythingButAWholeRecordIsRefused) {
    DisplayModeRecord record(":5");
    ASSERT_TRUE(record.write(sample()));
    const std::string path = record.path();
    std::string good;
    std::getline(std::ifstream(path), good, '\0');
    const auto replaced = [&](const std::string& from, const std::string& to) {
        std::string text = good;
        const size_t at = text.find(from);
        EXPECT_NE(at, std::string::npos) << from;
        return text.replace(at, from.size(), to);
    };
    const std::string refused[] = {
        "",
        replaced("ReefSaver display mode 1", "ReefSaver display mode 2"),
        replaced("watchdog 4242 77\n", ""),
        replaced("watchdog 4242", "watchdog -1"),
        replaced("changed 456", "changed 4294967296"),
        replaced("outputs 65 66", "outputs"),
        replaced("outputs 65 66", "outputs 65 x"),
        replaced("1920 1080", "0 1080"),
        good.substr(0, good.size() / 2),
        replaced("outputs 65 66", "outputs" + [] {
            std::string many;
            for (size_t i = 0; i <= DisplayModeRecord::kMaxOutputs; ++i) many += " 7";
            return many;
        }()),
        good + std::string(DisplayModeRecord::kMaxFileBytes, '#'),
    };
    for (const std::string& text : refused) {
        std::ofstream(path, std::ios::trunc) << text;
        EXPECT_FALSE(record.read().has_value()) << text;
    }
    std::ofstream(path, std::ios::trunc) << good;
    EXPECT_TRUE(record.read().has_value());

    // A link in the record's place is not followed.
    fs::remove(path);
    fs::create_symlink(m_root + "/elsewhere", path);
    std::ofstream(m_root + "/elsewhere") << good;
    EXPECT_FALSE(record.read().has_value());
}

TEST_F(RuntimeFolder, AFolderOthersCanUseIsNotOurs) {
    ASSERT_TRUE(DisplayModeRecord(":6").write(sample()));
    fs::permissions(m_root + "/reefsaver", fs::perms::all);
    EXPECT_EQ(DisplayModeRecord::runtimeFolder(false), "");
    EXPECT_FALSE(DisplayModeRecord(":6").read().has_value());
    fs::remove_all(m_root + "/reefsaver");
    fs::create_directory(m_root + "/real");
    fs::permissions(m_root + "/real", fs::perms::owner_all);
    fs::create_directory_symlink(m_root + "/real", m_root + "/reefsaver");
    EXPECT_EQ(DisplayModeRecord::runtimeFolder(true), "");
}

TEST(ProcessStamp, ARecordedProcessRunsUntilItEndsAndAReusedPidIsAnother) {
    const ProcessStamp self = ProcessStamp::of(getpid());
    EXPECT_NE(self.startTime, 0u);
    EXPECT_TRUE(self.running());
    EXPECT_FALSE((ProcessStamp{self.pid, self.startTime + 1}).running());
    EXPECT_FALSE(ProcessStamp{}.running());

    int ready[2];
    ASSERT_EQ(pipe(ready), 0);
    const pid_t child = fork();
    if (child == 0) {
        close(ready[1]);
        char byte = 0;
        [[maybe_unused]] const ssize_t got = read(ready[0], &byte, 1);  // until the stamp is taken
        _exit(0);
    }
    const ProcessStamp recorded = ProcessStamp::of(child);
    EXPECT_TRUE(recorded.running());
    close(ready[1]);
    // Dead but not reaped (its parent may have been killed with it): not running.
    siginfo_t info{};
    waitid(P_PID, child, &info, WEXITED | WNOWAIT);
    EXPECT_FALSE(recorded.running());
    waitpid(child, nullptr, 0);
    EXPECT_FALSE(recorded.running());
    close(ready[0]);
}

}  // namespace
}  // namespace reef
