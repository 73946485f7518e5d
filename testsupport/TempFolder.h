// A fresh folder below /tmp for one test, removed (permissions restored first)
// when the test ends.
#pragma once

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <system_error>
#include <vector>

namespace reef::test {

class TempFolder {
public:
    TempFolder() {
        char pattern[] = "/tmp/reeftest-XXXXXX";
        const char* made = mkdtemp(pattern);
        m_path = made ? made : "";
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
