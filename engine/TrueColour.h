// Turns a decoded palette or 16-bit image into the blue-green-red rows the
// texture upload takes, so such textures draw in their colours instead of
// leaving the texture without an image.
#pragma once

#include <optional>
#include <string>

#include "engine/EngineImports.h"

namespace reef {

// True when the image's bytes can go to OpenGL as they are: 3-byte
// blue-green-red, or 4-byte blue-green-red-x in the decoder's usual layout
// (also assumed when a 4-byte image names no masks).
bool uploadableAsIs(const DecodedImage& image);

// The image as tightly packed 3-byte blue-green-red rows (4-byte with alpha
// when the image has an alpha mask). Nothing for an inconsistent image (rows
// shorter than the pitch promises, no palette, masks that name no channel).
// Palette indices past the palette give black.
std::optional<DecodedImage> toTrueColour(const DecodedImage& image);

// True when the image holds the rows it promises (height rows of pitch bytes,
// each at least width pixels long).
bool imageConsistent(const DecodedImage& image);

// Decodes a BMP through the installed EngineImports and returns it as rows the
// texture upload takes as they are (palette and 16-bit images converted).
// Nothing when there are no imports, the file cannot be decoded or the decoder's
// rows are shorter than it promised.
std::optional<DecodedImage> decodeTrueColour(const std::string& path);

}  // namespace reef
