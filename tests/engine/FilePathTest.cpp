// The one file reader every loader goes through: regular files only, never a
// wait on a FIFO (on Windows, a named pipe), a size limit that refuses rather
// than cuts.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#ifdef _WIN32
#include <windows.h>
#else
#include <sys/stat.h>
#include <unistd.h>
#endif

#include "engine/FilePath.h"
#include "engine/QModel.h"
#include "platform/SdlEngineImports.h"
#include "scene/ProfileReader.h"
#include "testsupport/DiagnosticCapture.h"
#include "testsupport/TempFolder.h"
#include "ui/DatReader.h"
#include "ui/ScreenText.h"

namespace reef {
namespace {

namespace fs = std::filesystem;

class HostileFiles : public ::testing::Test {
protected:
    std::string write(const std::string& name, const std::string& content) {
        const std::string path = m_folder + "/" + name;
        std::ofstream(path, std::ios::binary) << content;
        return path;
    }
#ifdef _WIN32
    // A named pipe with no one writing: the server end stays open until the test ends.
    std::string fifo(const std::string& name) {
        const std::string path = "\\\\.\\pipe\\reef-" + std::to_string(test::currentProcessId()) + "-" + name;
        const std::wstring wide(path.begin(), path.end());
        const HANDLE pipe = CreateNamedPipeW(wide.c_str(), PIPE_ACCESS_OUTBOUND, PIPE_TYPE_BYTE | PIPE_WAIT, 1, 4096,
                                             4096, 0, nullptr);
        EXPECT_NE(pipe, INVALID_HANDLE_VALUE);
        m_pipes.push_back(pipe);
        return path;
    }
    // An endless device: the null device, which a read never fills.
    std::string endlessDevice(const std::string&) { return "NUL"; }
    void TearDown() override {
        for (HANDLE pipe : m_pipes) CloseHandle(pipe);
    }
    std::vector<HANDLE> m_pipes;
#else
    std::string fifo(const std::string& name) {
        const std::string path = m_folder + "/" + name;
        EXPECT_EQ(mkfifo(path.c_str(), 0600), 0);
        return path;
    }
    // An endless device under a data file's name.
    std::string endlessDevice(const std::string& name) {
        const std::string path = m_folder + "/" + name;
        fs::create_symlink("/dev/zero", path);
        return path;
    }
#endif

    test::TempFolder m_temp;
    const std::string m_folder = m_temp.path();
};

std::optional<std::vector<uint8_t>> read(const std::string& path, size_t limit, FileReadFailure& why) {
    return readFileBytes(path, limit, &why);
}

TEST_F(HostileFiles, ReadsRegularFilesWithinTheLimitAndRefusesEverythingElse) {
    FileReadFailure why{};
    const std::string path = write("data.bin", "hello");
    auto bytes = read(path, 5, why);
    ASSERT_TRUE(bytes);
    EXPECT_EQ(std::string(bytes->begin(), bytes->end()), "hello");
    EXPECT_EQ(why, FileReadFailure::NoFailure);

    // The data lists' separators are accepted.
    fs::create_directory(m_folder + "/sets");
    write("sets/info.ini", "[a]");
    EXPECT_TRUE(read(m_folder + "\\sets\\info.ini", 100, why));

    EXPECT_FALSE(read(path, 4, why));
    EXPECT_EQ(why, FileReadFailure::TooLarge);
    EXPECT_FALSE(read(m_folder + "/absent", 100, why));
    EXPECT_EQ(why, FileReadFailure::Missing);
    EXPECT_FALSE(read(m_folder, 100, why));
    EXPECT_EQ(why, FileReadFailure::NotRegularFile);
    EXPECT_FALSE(read(endlessDevice("zero.tqm"), 1 << 20, why));
    EXPECT_EQ(why, FileReadFailure::NotRegularFile);
    EXPECT_TRUE(read(write("empty", ""), 0, why));
}

TEST_F(HostileFiles, AFifoIsRefusedAtOnceNeverWaitedOn) {
    const std::string path = fifo("model.tqm");
    const auto start = std::chrono::steady_clock::now();
    FileReadFailure why{};
    EXPECT_FALSE(read(path, 1 << 20, why));
    EXPECT_EQ(why, FileReadFailure::NotRegularFile);
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(1));
}

TEST_F(HostileFiles, EveryLoaderRefusesWithItsOwnFailureLine) {
    const std::string pipe = fifo("pipe");
    const std::string zero = endlessDevice("zero");

    QModel model;
    test::captureOutput();
    EXPECT_FALSE(model.loadMD3(pipe, false));
    EXPECT_FALSE(model.loadMD3(zero, false));
    const std::string modelLines = test::capturedOutput();
    EXPECT_NE(modelLines.find("QModel::loadMD3 fopen " + pipe + " failed\n"), std::string::npos) << modelLines;
    EXPECT_NE(modelLines.find("QModel::loadMD3 fopen " + zero + " failed\n"), std::string::npos) << modelLines;
    EXPECT_FALSE(model.loaded());

    test::captureErrors();
    DatReader dat;
    EXPECT_FALSE(dat.open(zero));
    ProfileReader profile;
    EXPECT_FALSE(profile.open(pipe));
    ScreenText font;
    EXPECT_FALSE(font.loadFont(pipe));
    SdlEngineImports decoder;  // textures and the height map decode through it
    EXPECT_FALSE(decoder.decodeBMP(pipe));
    EXPECT_FALSE(decoder.decodeBMP(zero));
    const std::string lines = test::capturedErrors();
    // The lines name the path as opened.
    EXPECT_NE(lines.find("DatReader: " + nativePath(zero) + " not read: not a regular file"), std::string::npos)
        << lines;
    EXPECT_NE(lines.find("ProfileReader: " + nativePath(pipe) + " not read: not a regular file"), std::string::npos)
        << lines;
    EXPECT_NE(lines.find("ScreenText: " + nativePath(pipe) + " not read: not a regular file"), std::string::npos)
        << lines;
}

TEST_F(HostileFiles, AnOversizedDescriptorIsRefusedNotCut) {
    // A valid section at the start, then padding past the limit: cutting would
    // keep the section, refusing keeps nothing.
    std::string text = "[saver]\ntype=boid\n";
    text += std::string(ProfileReader::kMaxFileBytes, ';');
    ProfileReader profile;
    test::captureErrors();
    EXPECT_FALSE(profile.open(write("info.ini", text)));
    EXPECT_NE(test::capturedErrors().find("too large"), std::string::npos);
    EXPECT_FALSE(profile.sectionExists(u"saver"));
}

}  // namespace
}  // namespace reef
