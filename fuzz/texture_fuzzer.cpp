// Textures: the BMP check, SDL's decoder behind it, and the conversion of
// palette and 16-bit images into uploadable rows.
#include <cstddef>
#include <cstdint>
#include <optional>

#include "engine/EngineImports.h"
#include "engine/TrueColour.h"
#include "fuzz/FuzzCheck.h"
#include "platform/SdlEngineImports.h"

using namespace reef;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::optional<DecodedImage> image = SdlEngineImports::decodeBMPBytes(data, size);
    if (!image) return 0;
    REEF_FUZZ_REQUIRE(image->width > 0 && image->height > 0);
    REEF_FUZZ_REQUIRE(image->pixels.size() == static_cast<size_t>(image->pitch) * static_cast<size_t>(image->height));
    if (uploadableAsIs(*image)) return 0;
    const std::optional<DecodedImage> rows = toTrueColour(*image);
    if (!rows) return 0;
    REEF_FUZZ_REQUIRE(rows->width == image->width && rows->height == image->height);
    REEF_FUZZ_REQUIRE(uploadableAsIs(*rows));
    REEF_FUZZ_REQUIRE(rows->pixels.size() == static_cast<size_t>(rows->pitch) * static_cast<size_t>(rows->height));
    return 0;
}
