// A data folder of creature sets on disk for one test, removed when the test
// ends: sets/<where>/<name>/info.ini below a fresh temporary folder (or below a
// data folder inside it, as in an install), <where> being one of the three set
// folders.
#pragma once

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "testsupport/TempFolder.h"

namespace reef::test {

class SetTree {
public:
    // dataFolder: the data folder's name inside the install folder; empty, the
    // install folder is the data folder.
    explicit SetTree(const std::string& dataFolder = "") : m_install(m_folder.path()), m_dataName(dataFolder) {
        makeSetFolders();
    }

    // Moves the install folder down until its path is at least length characters
    // long (each folder name within the file system's 255 bytes).
    void deepen(size_t length) {
        while (m_install.string().size() < length) m_install /= std::string(200, 'd');
        makeSetFolders();
    }

    // sets/<where>/<name>/ holding descriptor as its info.ini, byte for byte;
    // name is UTF-8 (or any bytes, on Linux).
    void addSet(const std::string& where, const std::string& name, const std::string& descriptor) {
        addFolder(where, name);
        std::ofstream(data() / "sets" / where / utf8Path(name) / "info.ini", std::ios::binary) << descriptor;
    }
    // Another file of the set: sets/<where>/<name>/<file>.
    void addFile(const std::string& where, const std::string& name, const std::string& file,
                 const std::vector<uint8_t>& bytes) {
        writeFile(data() / "sets" / where / utf8Path(name) / file, bytes);
    }
    // sets/<where>/<name>/ without a descriptor.
    void addFolder(const std::string& where, const std::string& name) {
        std::filesystem::create_directories(data() / "sets" / where / utf8Path(name));
    }
    // A set as the dialog lists it: id, category and the icon "icon.bmp" (a file
    // there unless withIcon is false); common adds lines to the [common] section.
    void add(const std::string& where, const std::string& name, const std::string& id, const std::string& category,
             bool withIcon = true, const std::string& common = "") {
        addSet(where, name,
               "[common]\nid=" + id + "\n" + common + "[settings]\ncategory=" + category + "\nicon=icon.bmp\n");
        if (withIcon) std::ofstream(data() / "sets" / where / utf8Path(name) / "icon.bmp") << "BM";
    }

    const std::filesystem::path& install() const { return m_install; }
    std::filesystem::path data() const { return m_dataName.empty() ? m_install : m_install / m_dataName; }
    // The data folder as the application forms it: ending in a separator.
    std::string path() const { return data().string() + "/"; }
    // One set folder as the dialog is given it: ending in a backslash.
    std::string setFolder(const std::string& where) const { return path() + "sets\\" + where + "\\"; }

private:
    // A UTF-8 name as a path: on Windows a narrow path would be read in the ANSI code page.
    static std::filesystem::path utf8Path(const std::string& name) {
#ifdef _WIN32
        return std::filesystem::path(std::u8string(name.begin(), name.end()));
#else
        return std::filesystem::path(name);
#endif
    }

    void makeSetFolders() {
        for (const char* where : {"additional", "default_fish", "default_diverse"})
            std::filesystem::create_directories(data() / "sets" / where);
    }

    TempFolder m_folder;
    std::filesystem::path m_install;
    std::string m_dataName;
};

}  // namespace reef::test
