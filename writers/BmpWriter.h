// Writes Windows BMP files (layout in engine/BmpFormat.h) with the 40-byte info
// header, rows stored bottom-up and padded to 4 bytes: what the data generator
// writes and what the tests feed the texture, height-map and picture loaders.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "engine/BmpFormat.h"
#include "writers/ByteWriter.h"

namespace reef {

struct BmpHeader {
    int32_t width = 0;
    int32_t height = 0;  // > 0: rows stored bottom-up
    uint16_t bitCount = 24;
    uint32_t compression = bmp::kCompressionNone;
    uint32_t paletteEntries = 0;  // written by the caller right after the headers
    uint32_t imageBytes = 0;      // the pixel data's size; 0: that of uncompressed rows
};

// Bytes in one stored row: whole pixels, padded to 4 bytes.
size_t bmpRowPitch(int32_t width, int bitCount);

// Both headers; the palette and then the pixel data are to follow.
void writeBmpHeaders(ByteWriter& w, const BmpHeader& header);

// An uncompressed picture of bytesPerPixel 1 (grey palette indices), 2, 3 (B, G, R)
// or 4 (B, G, R, A); pixels top row first, width * height * bytesPerPixel bytes.
std::vector<uint8_t> writeBmp(int width, int height, int bytesPerPixel, const std::vector<uint8_t>& pixels);

}  // namespace reef
