// File names as the data lists write them ("sets\\default_fish\\model.tqm") and
// reading a whole file into memory for the bytes-first loaders.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace reef {

// The path with every backslash turned into a slash, ready to open.
std::string nativePath(const std::string& path);

// The whole content of a file (opened through nativePath); nothing when it
// cannot be opened or read.
std::optional<std::vector<uint8_t>> readFileBytes(const std::string& path);

}  // namespace reef
