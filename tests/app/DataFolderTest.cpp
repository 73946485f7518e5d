#include "app/DataFolder.h"

#include "platform/PosixDirectoryLister.h"
#include "testsupport/TempFolder.h"
#include "ui/DatReader.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>

#include <unistd.h>

namespace reef {
namespace {

namespace fs = std::filesystem;

TEST(DataFolder, FollowsTheProgramFolder) {
    // One separator between the program's folder and the data folder.
    EXPECT_EQ(DataFolder::fromProgramPath("/x/saver"), "/x/Marevo2/");
    EXPECT_EQ(DataFolder::fromProgramPath("/usr/lib/xscreensaver/reefsaver_plain"),
              "/usr/lib/xscreensaver/Marevo2/");
    EXPECT_EQ(DataFolder::fromProgramPath("/reefsaver"), "/Marevo2/");
    // Without a usable path the folder stays relative to the current directory.
    EXPECT_EQ(DataFolder::fromProgramPath(""), "./Marevo2/");
    EXPECT_EQ(DataFolder::fromProgramPath("reefsaver"), "./Marevo2/");
}

void writeUtf16(const std::string& path, const std::u16string& text) {
    std::ofstream out(path, std::ios::binary);
    out.put(static_cast<char>(0xFF));
    out.put(static_cast<char>(0xFE));
    for (char16_t unit : text) {
        out.put(static_cast<char>(unit & 0xFF));
        out.put(static_cast<char>(unit >> 8));
    }
}

class InstallFolder : public ::testing::Test {
protected:
    InstallFolder() {
        m_data = DataFolder::fromProgramPath(m_root + "/reefsaver");
        fs::create_directories(m_data);
    }
    test::TempFolder m_folder;
    const std::string m_root = m_folder.path();
    std::string m_data;
};

// The readers follow the chosen language; a file written for the German
// program alone (Language.dat here) is read in German whatever the locale.
TEST_F(InstallFolder, ReadsTheChosenLanguageAndFallsBackToGerman) {
    writeUtf16(m_data + "Directory.dat",
               u"[ENG]\r\nwin32reg = {Software\\Reef\\Saver}\r\nappname_long = {Reef above water}\r\n"
               u"[GER]\r\nwin32reg = {Software\\Reef\\Saver}\r\nappname_long = {Riff \u00fcber Wasser}\r\n");
    writeUtf16(m_data + "Language.dat", u"[GER]\r\ncaption = {Einstellungen}\r\n");
    struct Case {
        const char* section;
        const char* programName;
    };
    for (const Case& c : {Case{"GER", "Riff \xC3\xBC" "ber Wasser"}, Case{"ENG", "Reef above water"}}) {
        SCOPED_TRACE(c.section);
        DatReader directory;
        DatReader language;
        const auto texts = DataFolder::readInstallTexts(m_data, directory, language, c.section);
        EXPECT_EQ(texts.registryKeyPath, "Software\\Reef\\Saver");
        EXPECT_EQ(texts.longProgramName, c.programName);
        EXPECT_EQ(language.lookup("caption"), u"Einstellungen");
        EXPECT_EQ(directory.lookup("caption"), u"");
    }
}

TEST_F(InstallFolder, LongTextsAreCutAndMissingFilesGiveEmptyTexts) {
    const std::u16string longName(300, u'\u00e9');  // two bytes each in UTF-8
    writeUtf16(m_data + "Directory.dat",
               u"[GER]win32reg={" + std::u16string(300, u'k') + u"}appname_long={" + longName + u"}");
    DatReader directory;
    DatReader language;
    const auto texts = DataFolder::readInstallTexts(m_data, directory, language, "GER");
    EXPECT_EQ(texts.registryKeyPath, std::string(DataFolder::kMaxRegistryKeyPath, 'k'));
    EXPECT_EQ(texts.longProgramName.size(), DataFolder::kMaxLongProgramName);
    EXPECT_EQ(language.lookup("caption"), u"");  // no Language.dat

    DatReader emptyDirectory;
    DatReader emptyLanguage;
    const auto none = DataFolder::readInstallTexts(m_root + "/missing/", emptyDirectory, emptyLanguage, "ENG");
    EXPECT_EQ(none.registryKeyPath, "");
    EXPECT_EQ(none.longProgramName, "");
}

// Missing, empty, a file or unreadable: not present; a folder with something
// in it is. The line that says so names where the folder was looked for.
TEST_F(InstallFolder, AnUnusableDataFolderIsNotPresent) {
    PosixDirectoryLister lister;
    EXPECT_FALSE(DataFolder::isPresent(m_data, lister));  // empty

    std::ofstream(m_data + "Directory.dat") << "x";
    EXPECT_TRUE(DataFolder::isPresent(m_data, lister));

    fs::permissions(m_data, fs::perms::none);
    if (access(m_data.c_str(), R_OK) != 0) {  // root reads it anyway
        EXPECT_FALSE(DataFolder::isPresent(m_data, lister));
    }
    fs::permissions(m_data, fs::perms::owner_all);

    fs::remove_all(m_data);
    EXPECT_FALSE(DataFolder::isPresent(m_data, lister));  // missing
    std::ofstream(m_root + "/Marevo2") << "a file";
    EXPECT_FALSE(DataFolder::isPresent(m_data, lister));

    const std::string text = DataFolder::missingText(m_data);
    EXPECT_NE(text.find("looked for " + m_data + " beside the program"), std::string::npos) << text;
    EXPECT_EQ(text.find('\n'), std::string::npos);
}

}  // namespace
}  // namespace reef
