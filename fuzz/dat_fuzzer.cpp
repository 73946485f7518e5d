// The ".dat" text reader: section search, entries and lookups on any bytes.
#include <cstddef>
#include <cstdint>

#include "fuzz/FuzzCheck.h"
#include "ui/DatReader.h"

using namespace reef;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    DatReader reader;
    reader.setSection("GER");
    reader.open(data, size);
    const std::u16string& caption = reader.lookup("caption");
    (void)reader.lookup("win32reg");
    (void)reader.lookup("");
    // A lookup gives the first entry of that key, if any.
    for (const auto& [key, value] : reader.entries()) {
        REEF_FUZZ_REQUIRE(key.size() <= DatReader::kMaxKeyBytes);
        if (key == "caption") {
            REEF_FUZZ_REQUIRE(caption == value);
            break;
        }
    }
    return 0;
}
