// A fresh folder below /tmp (on Windows, below the user's temporary folder) for
// one test, removed (permissions restored first) when the test ends, and the
// writing of a test's files.
#pragma once

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <system_error>
#include <vector>

#ifdef _WIN32
#include <process.h>
#else
#include <unistd.h>
#endif

namespace reef::test {

// This process's id, to keep the files of suites running side by side apart.
inline long currentProcessId() {
#ifdef _WIN32
    return static_cast<long>(_getpid());
#else
    return static_cast<long>(getpid());
#endif
}

// Writes bytes as the whole file at path, making the folders above it.
inline void writeFile(const std::filesystem::path& path, const std::vector<uint8_t>& bytes) {
    if (path.has_parent_path()) std::filesystem::create_directories(path.parent_path());
    std::ofstream(path, std::ios::binary | std::ios::trunc)
        .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

class TempFolder {
public:
    TempFolder() {
#ifdef _WIN32
        // No mkdtemp: a name from the process id and a counter, taken only if
        // the folder did not exist yet. Slashes throughout, as the tests join with "/".
        static int made = 0;
        std::error_code error;
        const std::filesystem::path base = std::filesystem::temp_directory_path(error);
        for (int attempt = 0; attempt < 100 && m_path.empty(); ++attempt) {
            const std::filesystem::path candidate =
                base / ("reeftest-" + std::to_string(currentProcessId()) + "-" + std::to_string(made++));
            if (std::filesystem::create_directory(candidate, error)) m_path = candidate.generic_string();
        }
#else
        char pattern[] = "/tmp/reeftest-XXXXXX";
        const char* made = mkdtemp(pattern);
        m_path = made ? made : "";
#endif
    }
    ~TempFolder() {
        std::error_code ignored;
        std::filesystem::permissions(m_path, std::filesystem::perms::owner_all, ignored);
        std::filesystem::remove_all(m_path, ignored);
    }
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    const std::string& path() const { return m_path; }
    std::string file(const std::string& name) const { return m_path + "/" + name; }
    // Names in the folder (or a sub-folder), sorted.
    std::vector<std::string> names(const std::string& sub = "") const {
        std::vector<std::string> out;
        for (const auto& entry : std::filesystem::directory_iterator(sub.empty() ? m_path : file(sub)))
            out.push_back(entry.path().filename().string());
        std::sort(out.begin(), out.end());
        return out;
    }

private:
    std::string m_path;
};

}  // namespace reef::test
