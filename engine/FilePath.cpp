#include "engine/FilePath.h"

#include <cstdio>

namespace reef {

std::string nativePath(const std::string& path) {
    std::string result = path;
    for (char& c : result) {
        if (c == '\\') c = '/';
    }
    return result;
}

std::optional<std::vector<uint8_t>> readFileBytes(const std::string& path) {
    std::FILE* file = std::fopen(nativePath(path).c_str(), "rb");
    if (!file) return std::nullopt;
    std::vector<uint8_t> bytes;
    uint8_t chunk[65536];
    bool ok = true;
    for (;;) {
        const size_t got = std::fread(chunk, 1, sizeof chunk, file);
        bytes.insert(bytes.end(), chunk, chunk + got);
        if (got < sizeof chunk) {
            ok = !std::ferror(file);
            break;
        }
    }
    std::fclose(file);
    if (!ok) return std::nullopt;
    return bytes;
}

}  // namespace reef
