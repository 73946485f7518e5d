#include "engine/BmpCheck.h"

#include "engine/BmpFormat.h"
#include "engine/ByteReader.h"

namespace reef {

namespace {

bool refuse(const char** why, const char* reason) {
    if (why) *why = reason;
    return false;
}

struct Header {
    uint32_t infoSize = 0;
    int64_t width = 0;
    int64_t height = 0;
    uint32_t bits = 0;
    uint32_t compression = bmp::kCompressionNone;
    uint32_t coloursUsed = 0;
};

bool readHeader(const ByteReader& in, Header& h, const char** why) {
    if (!in.contains(0, bmp::kFileHeaderSize + 4) || in.data()[0] != 'B' || in.data()[1] != 'M')
        return refuse(why, "not a BMP file");
    h.infoSize = in.u32At(bmp::kInfoSizeOffset);
    if (h.infoSize == bmp::kOs2InfoSize) {
        if (!in.contains(bmp::kInfoSizeOffset, h.infoSize)) return refuse(why, "header beyond the end of the file");
        h.width = in.u16At(bmp::kOs2WidthOffset);
        h.height = in.u16At(bmp::kOs2HeightOffset);
        h.bits = in.u16At(bmp::kOs2BitsOffset);
        return true;
    }
    if (h.infoSize < bmp::kInfoSize) return refuse(why, "unknown header size");
    if (!in.contains(bmp::kInfoSizeOffset, h.infoSize)) return refuse(why, "header beyond the end of the file");
    h.width = in.i32At(bmp::kWidthOffset);
    h.height = in.i32At(bmp::kHeightOffset);
    h.bits = in.u16At(bmp::kBitsOffset);
    h.compression = in.u32At(bmp::kCompressionOffset);
    h.coloursUsed = in.u32At(bmp::kColoursUsedOffset);
    return true;
}

}  // namespace

bool checkBmp(const uint8_t* data, size_t size, const char** why, BmpSize* imageSize) {
    if (size > bmp::kMaxFileBytes) return refuse(why, "file too large");
    const ByteReader in(data, size);
    Header h;
    if (!readHeader(in, h, why)) return false;
    if (h.bits != 1 && h.bits != 4 && h.bits != 8 && h.bits != 16 && h.bits != 24 && h.bits != 32)
        return refuse(why, "unsupported bits per pixel");
    if (h.compression != bmp::kCompressionNone && h.compression != bmp::kCompressionBitFields)
        return refuse(why, "compressed");
    if (h.compression == bmp::kCompressionBitFields && h.bits != 16 && h.bits != 32)
        return refuse(why, "bit fields on a depth without masks");
    const int64_t rows = h.height < 0 ? -h.height : h.height;
    if (h.width <= 0 || rows == 0) return refuse(why, "empty image");
    if (h.width > bmp::kMaxDimension || rows > bmp::kMaxDimension) return refuse(why, "image too large");
    if (h.bits <= 8 && h.coloursUsed > (1u << h.bits)) return refuse(why, "more colours than the depth allows");

    const uint64_t pixelsAt = in.u32At(bmp::kPixelOffsetOffset);
    const uint64_t rowBytes = ((static_cast<uint64_t>(h.width) * h.bits + 31) / 32) * 4;
    if (pixelsAt < bmp::kFileHeaderSize + h.infoSize) return refuse(why, "pixels overlap the header");
    if (!in.contains(pixelsAt, rowBytes * static_cast<uint64_t>(rows)))
        return refuse(why, "pixels beyond the end of the file");
    if (imageSize) *imageSize = BmpSize{static_cast<int32_t>(h.width), static_cast<int32_t>(rows)};
    return true;
}

}  // namespace reef
