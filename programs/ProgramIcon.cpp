#include "programs/ProgramIcon.h"

#include <optional>

#include "engine/EngineImports.h"

namespace reef {

ProgramIcon loadProgramIcon(EngineImports& imports, const std::string& dataFolder) {
    ProgramIcon icon;
    const std::optional<DecodedImage> image = imports.decodeBMP(dataFolder + "icon.bmp");
    if (!image || (image->bytesPerPixel != 3 && image->bytesPerPixel != 4)) return icon;
    icon.width = image->width;
    icon.height = image->height;
    icon.argb.reserve(static_cast<size_t>(image->width) * image->height);
    for (int y = 0; y < image->height; ++y) {
        const uint8_t* row = image->pixels.data() + static_cast<size_t>(y) * image->pitch;
        for (int x = 0; x < image->width; ++x) {
            const uint8_t* p = row + x * image->bytesPerPixel;
            const uint32_t alpha = image->bytesPerPixel == 4 ? p[3] : 0xFF;
            icon.argb.push_back((alpha << 24) | (uint32_t(p[2]) << 16) | (uint32_t(p[1]) << 8) | p[0]);
        }
    }
    return icon;
}

}  // namespace reef
