#include "app/DataFolder.h"

#include "engine/WideText.h"
#include "scene/DirectoryLister.h"
#include "ui/DatReader.h"
#include "ui/LocaleLanguage.h"

namespace reef {

std::string DataFolder::fromProgramPath(const std::string& programPath) {
    const size_t slash = programPath.rfind('/');
    // The program's folder keeps its closing '/', so the data folder follows it
    // directly (no "//" in the paths people read in messages).
    // NOTE: an unknown program path must not turn into the file-system root:
    // "/Marevo2/" alone would be absolute here, so the folder is made
    // explicitly relative to the current directory.
    const std::string folder = slash == std::string::npos ? std::string("./") : programPath.substr(0, slash + 1);
    return folder + kFolderName + "/";
}

DataFolder::InstallTexts DataFolder::readInstallTexts(const std::string& dataFolder, DatReader& directory,
                                                      DatReader& language, const std::string& section) {
    for (DatReader* reader : {&directory, &language}) {
        reader->setSection(section);
        reader->setFallbackSection(LocaleLanguage::kFallback);
    }
    directory.open(dataFolder + kDirectoryFile);
    language.open(dataFolder + kLanguageFile);
    InstallTexts texts;
    texts.registryKeyPath = wideToNarrow(directory.lookup("win32reg"), kMaxRegistryKeyPath);
    texts.longProgramName = wideToNarrow(directory.lookup("appname_long"), kMaxLongProgramName);
    return texts;
}

bool DataFolder::isPresent(const std::string& dataFolder, const DirectoryLister& lister) {
    return !lister.list(dataFolder).empty();
}

std::string DataFolder::missingText(const std::string& dataFolder) {
    return "the reef's data folder is missing, empty or unreadable (looked for " + dataFolder +
           " beside the program).";
}

}  // namespace reef
