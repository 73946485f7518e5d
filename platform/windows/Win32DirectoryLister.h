// DirectoryLister over FindFirstFileExW/FindNextFileW: every entry kind is
// listed (files too, as the set scanners expect), names turned from UTF-16 into
// UTF-8 and sorted in byte order, as the POSIX lister does.
#pragma once

#include "scene/DirectoryLister.h"

namespace reef {

class Win32DirectoryLister : public DirectoryLister {
public:
    std::vector<std::string> list(const std::string& folder) const override;
};

}  // namespace reef
