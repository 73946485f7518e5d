// The generated data folder in memory: relative paths (as the program names
// them, "/" separated) and their bytes, written out in one go.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <vector>

namespace reef::tools {

class GeneratedFiles {
public:
    // Adds or replaces a file. The path must be relative and must not climb out ("..").
    bool add(const std::string& relativePath, std::vector<uint8_t> bytes);
    const std::vector<uint8_t>* find(const std::string& relativePath) const;
    const std::map<std::string, std::vector<uint8_t>>& files() const { return m_files; }
    size_t totalBytes() const;

    // Writes every file below root, creating folders; a file is rewritten only when
    // its bytes differ, so unchanged assets keep their time stamps. Returns false
    // (with a message on standard error) on the first file that cannot be written.
    bool writeTo(const std::string& root) const;

private:
    std::map<std::string, std::vector<uint8_t>> m_files;
};

}  // namespace reef::tools
