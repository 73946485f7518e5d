// DirectoryLister over POSIX opendir/readdir: every entry kind is listed
// (files too, as the set scanners expect), in byte order of the names.
#pragma once

#include "scene/DirectoryLister.h"

namespace reef {

class PosixDirectoryLister : public DirectoryLister {
public:
    std::vector<std::string> list(const std::string& folder) const override;
};

}  // namespace reef
