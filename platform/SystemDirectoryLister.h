// The folder lister of the platform the program is built for: each platform
// layer defines it beside its own lister (POSIX opendir, Win32 FindFirstFileExW).
#pragma once

#include "scene/DirectoryLister.h"

namespace reef {

const DirectoryLister& systemDirectoryLister();

}  // namespace reef
