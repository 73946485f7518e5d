// The settings file: the ".reg" parser, and for every text it accepts, the
// property that writing the keys out and reading them back loses nothing.
#include <cstddef>
#include <cstdint>
#include <string>

#include "fuzz/FuzzCheck.h"
#include "platform/RegFileStore.h"

using namespace reef;

namespace {

bool sameKeys(const std::vector<RegFileStore::Key>& a, const std::vector<RegFileStore::Key>& b) {
    if (a.size() != b.size()) return false;
    for (size_t k = 0; k < a.size(); ++k) {
        if (a[k].path != b[k].path || a[k].values.size() != b[k].values.size()) return false;
        for (size_t v = 0; v < a[k].values.size(); ++v) {
            const RegFileStore::Value& x = a[k].values[v];
            const RegFileStore::Value& y = b[k].values[v];
            if (x.name != y.name || x.type != y.type || x.dword != y.dword || x.text != y.text) return false;
        }
    }
    return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    std::string error;
    const auto keys = RegFileStore::parse(text, error);
    if (!keys) return 0;
    const std::string written = RegFileStore::format(*keys);
    std::string again;
    const auto back = RegFileStore::parse(written, again);
    REEF_FUZZ_REQUIRE(back.has_value());
    REEF_FUZZ_REQUIRE(sameKeys(*keys, *back));
    return 0;
}
