// "info.ini" through the profile reader: sections, keys, truncation and the
// boolean reading the set descriptors use.
#include <cstddef>
#include <cstdint>
#include <string>

#include "fuzz/FuzzCheck.h"
#include "scene/ProfileReader.h"

using namespace reef;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    ProfileReader reader;
    reader.openFromMemory(data, size);
    const char16_t* keys[] = {u"type", u"texture", u"model", u"id", u"val0", u"lighting"};
    // Every lookup walks the sections, so checking every key of every section costs
    // the square of their number: the first few sections are enough for the lookups.
    constexpr size_t kSectionsLookedInto = 8;
    size_t looked = 0;
    for (const std::u16string& section : reader.sectionNames()) {
        REEF_FUZZ_REQUIRE(reader.sectionExists(section));
        if (++looked > kSectionsLookedInto) continue;
        for (const char16_t* key : keys) {
            std::u16string whole;
            std::u16string cut;
            const size_t length = reader.getString(section, key, whole);
            const size_t cutLength = reader.getString(section, key, cut, 4);
            // The buffer capacity counts the terminator: at most 3 characters fit.
            REEF_FUZZ_REQUIRE(length == whole.size() && cutLength == cut.size() && cutLength <= 3);
            REEF_FUZZ_REQUIRE(whole.compare(0, cut.size(), cut) == 0);
            (void)reader.getBool(section, key, true);
        }
    }
    std::u16string none;
    REEF_FUZZ_REQUIRE(reader.getString(u"", u"", none, 0) == 0);
    return 0;
}
