#include "platform/PosixDirectoryLister.h"

#include <dirent.h>

#include "engine/FilePath.h"
#include "platform/SystemDirectoryLister.h"

#include <algorithm>
#include <cstring>

namespace reef {

std::vector<std::string> PosixDirectoryLister::list(const std::string& folder) const {
    std::vector<std::string> names;
    const std::string native = folder.empty() ? std::string(1, '.') : nativePath(folder);
    DIR* dir = opendir(native.c_str());
    if (!dir) return names;
    while (const dirent* entry = readdir(dir)) {
        if (std::strcmp(entry->d_name, ".") == 0 || std::strcmp(entry->d_name, "..") == 0) continue;
        names.emplace_back(entry->d_name);
    }
    closedir(dir);
    std::sort(names.begin(), names.end());
    return names;
}

const DirectoryLister& systemDirectoryLister() {
    static const PosixDirectoryLister lister;
    return lister;
}

}  // namespace reef
