// Lists the entries of one folder, the way the set scanners search it with "*.*".
// The catalog only sees this interface, so tests can hand it a fixed listing.
#pragma once

#include <string>
#include <vector>

namespace reef {

class DirectoryLister {
public:
    virtual ~DirectoryLister() = default;
    // Entry names (UTF-8) of the folder, sorted, without "." and "..";
    // nothing for a missing or unreadable folder. Backslashes in the path are
    // taken as folder separators.
    virtual std::vector<std::string> list(const std::string& folder) const = 0;
};

}  // namespace reef
