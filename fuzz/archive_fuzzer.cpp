// TQArchive: header recognition, payload decoding and unwrap on any bytes.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <vector>

#include "engine/TQArchive.h"
#include "engine/TQArchiveFormat.h"
#include "fuzz/FuzzCheck.h"

using namespace reef;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const bool recognised = TQArchive::isArchive(data, size);
    TQArchive archive;
    const bool opened = archive.open(data, size);
    REEF_FUZZ_REQUIRE(opened == recognised);
    if (opened) {
        const std::vector<uint8_t>& payload = archive.payload();
        // A plain, unscrambled archive yields exactly the bytes after its header.
        namespace f = tqarchive;
        const uint32_t flags = archive.flags();
        if ((flags & (f::kFlagScrambled | f::kFlagPacked)) == 0) {
            REEF_FUZZ_REQUIRE(payload.size() == size - f::kPayloadOffset);
            REEF_FUZZ_REQUIRE(payload.empty() ||
                              std::memcmp(payload.data(), data + f::kPayloadOffset, payload.size()) == 0);
        }
        if (flags & f::kFlagPacked) REEF_FUZZ_REQUIRE(payload.empty());
    }
    std::vector<uint8_t> bytes(data, data + size);
    const bool unwrapped = TQArchive::unwrap(bytes);
    REEF_FUZZ_REQUIRE(unwrapped == (!recognised || opened));
    if (!recognised) REEF_FUZZ_REQUIRE(bytes.size() == size);
    return 0;
}
