// Where the tools suites find the generated data folder: REEF_DATA_DIR when set,
// else the folder this build generates (compiled in), always ending in '/'.
#pragma once

#include <cstdlib>
#include <string>

namespace reef::tools {

inline std::string dataDir() {
    const char* dir = std::getenv("REEF_DATA_DIR");
    if (dir && *dir) return std::string(dir) + "/";
#ifdef REEF_GENERATED_DATA_DIR
    return std::string(REEF_GENERATED_DATA_DIR) + "/";
#else
    return {};
#endif
}

}  // namespace reef::tools
