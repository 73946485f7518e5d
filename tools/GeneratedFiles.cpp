#include "tools/GeneratedFiles.h"

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>

namespace reef::tools {

bool GeneratedFiles::add(const std::string& relativePath, std::vector<uint8_t> bytes) {
    const std::filesystem::path p(relativePath);
    if (relativePath.empty() || p.is_absolute()) return false;
    for (const auto& part : p)
        if (part == "..") return false;
    m_files[relativePath] = std::move(bytes);
    return true;
}

const std::vector<uint8_t>* GeneratedFiles::find(const std::string& relativePath) const {
    const auto it = m_files.find(relativePath);
    return it == m_files.end() ? nullptr : &it->second;
}

size_t GeneratedFiles::totalBytes() const {
    size_t n = 0;
    for (const auto& [path, bytes] : m_files) n += bytes.size();
    return n;
}

bool GeneratedFiles::writeTo(const std::string& root) const {
    namespace fs = std::filesystem;
    for (const auto& [relative, bytes] : m_files) {
        const fs::path target = fs::path(root) / relative;
        std::error_code ec;
        fs::create_directories(target.parent_path(), ec);
        if (ec) {
            std::fprintf(stderr, "reef_datagen: cannot create %s: %s\n", target.parent_path().c_str(),
                         ec.message().c_str());
            return false;
        }
        {
            std::ifstream existing(target, std::ios::binary);
            if (existing) {
                const std::vector<uint8_t> old((std::istreambuf_iterator<char>(existing)),
                                               std::istreambuf_iterator<char>());
                if (old == bytes) continue;
            }
        }
        // Write beside the target and rename, so a reader never sees half a file.
        const fs::path temp = target.string() + ".tmp";
        {
            std::ofstream out(temp, std::ios::binary | std::ios::trunc);
            out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
            if (!out) {
                std::fprintf(stderr, "reef_datagen: cannot write %s\n", temp.c_str());
                return false;
            }
        }
        fs::rename(temp, target, ec);
        if (ec) {
            std::fprintf(stderr, "reef_datagen: cannot rename %s: %s\n", temp.c_str(), ec.message().c_str());
            return false;
        }
    }
    return true;
}

}  // namespace reef::tools
