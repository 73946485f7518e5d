// Where the saver's data lives and the two install texts read at start-up.
// The data folder is the program's own folder followed by "Marevo2/"; every
// data file is found by appending a relative name to it.
#pragma once

#include <cstddef>
#include <string>

namespace reef {

class DatReader;
class DirectoryLister;

class DataFolder {
public:
    static constexpr const char* kFolderName = "Marevo2";
    static constexpr const char* kDirectoryFile = "Directory.dat";
    static constexpr const char* kLanguageFile = "Language.dat";
    // Limits of the two texts taken from the directory file, in bytes of UTF-8.
    static constexpr size_t kMaxRegistryKeyPath = 256;
    static constexpr size_t kMaxLongProgramName = 128;

    // The install texts named by "Directory.dat".
    struct InstallTexts {
        std::string registryKeyPath;  // "win32reg"
        std::string longProgramName;  // "appname_long"
    };

    // The data folder for a program path: everything up to and including its
    // last '/', then "Marevo2/". Without a usable path the folder is
    // "./Marevo2/", relative to the current directory.
    static std::string fromProgramPath(const std::string& programPath);

    // Binds both readers to the language section (falling back to German in a
    // file without it), opens "Directory.dat" and "Language.dat" in the data
    // folder and takes the registry key path and the long program name from
    // the directory file (empty when missing).
    static InstallTexts readInstallTexts(const std::string& dataFolder, DatReader& directory, DatReader& language,
                                         const std::string& section);
    // True when the data folder lists at least one entry; false when it is
    // missing, a file, empty or unreadable: without it the saver draws nothing
    // but the clear colour.
    static bool isPresent(const std::string& dataFolder, const DirectoryLister& lister);
    // The one line that says so, naming the folder where it was looked for.
    static std::string missingText(const std::string& dataFolder);
};

}  // namespace reef
