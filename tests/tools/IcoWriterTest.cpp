// The icon file writer and the BMP reader that feeds it the generated program icon.
#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <iterator>

#include "engine/BmpFormat.h"
#include "tests/tools/GeneratedDataFolder.h"
#include "tools/BmpReader.h"
#include "tools/BmpWriter.h"
#include "tools/IcoWriter.h"
#include "writers/BmpWriter.h"

namespace reef::tools {
namespace {

uint16_t le16(const std::vector<uint8_t>& b, size_t at) { return static_cast<uint16_t>(b[at] | (b[at + 1] << 8)); }
uint32_t le32(const std::vector<uint8_t>& b, size_t at) { return le16(b, at) | (uint32_t(le16(b, at + 2)) << 16); }

constexpr size_t kImageOffset = ico::kDirectorySize + ico::kEntrySize;
constexpr size_t kPixelsOffset = kImageOffset + ico::kInfoHeaderSize;

TEST(IcoWriter, HeadersPixelsAndMaskOfAProgramSizedIcon) {
    Image img(32, 32, {0.0f, 0.5f, 1.0f, 1.0f});
    img.at(3, 0) = {1.0f, 0.0f, 0.0f, 1.0f};   // top row: stored last
    img.at(9, 31) = {0.0f, 0.0f, 0.0f, 0.0f};  // bottom row, transparent: stored first
    const auto icon = ico::encode(img);
    ASSERT_TRUE(icon.has_value());
    const std::vector<uint8_t>& b = *icon;
    const size_t colourBytes = 32 * 32 * 4, maskBytes = ico::maskRowBytes(32) * 32;
    ASSERT_EQ(b.size(), kPixelsOffset + colourBytes + maskBytes);

    EXPECT_EQ(le16(b, 0), 0);  // reserved
    EXPECT_EQ(le16(b, 2), ico::kTypeIcon);
    EXPECT_EQ(le16(b, 4), 1);  // one image
    EXPECT_EQ(b[6], 32);
    EXPECT_EQ(b[7], 32);
    EXPECT_EQ(b[8], 0);  // no palette
    EXPECT_EQ(le16(b, 10), 1);
    EXPECT_EQ(le16(b, 12), 32);
    EXPECT_EQ(le32(b, 14), b.size() - kImageOffset);
    EXPECT_EQ(le32(b, 18), kImageOffset);

    EXPECT_EQ(le32(b, kImageOffset), ico::kInfoHeaderSize);
    EXPECT_EQ(le32(b, kImageOffset + 4), 32u);
    EXPECT_EQ(le32(b, kImageOffset + 8), 64u);  // colour rows and mask rows
    EXPECT_EQ(le16(b, kImageOffset + 12), 1);
    EXPECT_EQ(le16(b, kImageOffset + 14), 32);
    EXPECT_EQ(le32(b, kImageOffset + 16), 0u);
    EXPECT_EQ(le32(b, kImageOffset + 20), colourBytes + maskBytes);

    // Bottom row first, blue green red alpha.
    const size_t transparent = kPixelsOffset + 9 * 4;
    EXPECT_EQ(std::vector<uint8_t>(b.begin() + transparent, b.begin() + transparent + 4),
              (std::vector<uint8_t>{0, 0, 0, 0}));
    EXPECT_EQ(std::vector<uint8_t>(b.begin() + kPixelsOffset, b.begin() + kPixelsOffset + 4),
              (std::vector<uint8_t>{255, 128, 0, 255}));
    const size_t red = kPixelsOffset + (31 * 32 + 3) * 4;
    EXPECT_EQ(std::vector<uint8_t>(b.begin() + red, b.begin() + red + 4), (std::vector<uint8_t>{0, 0, 255, 255}));

    // The mask: only the transparent pixel's bit, in the first (bottom) row.
    const size_t mask = kPixelsOffset + colourBytes;
    for (size_t i = 0; i < maskBytes; ++i) EXPECT_EQ(b[mask + i], i == 1 ? 0x40 : 0) << "mask byte " << i;
}

TEST(IcoWriter, SidesOutsideTheDirectorysRangeAreRefused) {
    EXPECT_FALSE(ico::encode(Image()).has_value());
    EXPECT_FALSE(ico::encode(Image(257, 16)).has_value());
    EXPECT_FALSE(ico::encode(Image(16, 300)).has_value());
    // The largest side is written as 0; mask rows of an odd width are padded to 4 bytes.
    const auto widest = ico::encode(Image(256, 3));
    ASSERT_TRUE(widest.has_value());
    EXPECT_EQ((*widest)[6], 0);
    EXPECT_EQ((*widest)[7], 3);
    EXPECT_EQ(ico::maskRowBytes(33), 8u);
    const auto odd = ico::encode(Image(33, 2));
    ASSERT_TRUE(odd.has_value());
    EXPECT_EQ(odd->size(), kPixelsOffset + 33 * 2 * 4 + 8 * 2);
}

TEST(BmpReader, ReadsBackWhatTheWriterWrote) {
    Image img(5, 3);
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 5; ++x) img.at(x, y) = {x / 4.0f, y / 2.0f, 0.25f, (x + y) / 6.0f};
    for (bool alpha : {false, true}) {
        const auto back = bmp::decode(alpha ? bmp::encode32(img) : bmp::encode24(img));
        ASSERT_TRUE(back.has_value());
        ASSERT_EQ(back->width(), 5);
        ASSERT_EQ(back->height(), 3);
        for (int y = 0; y < 3; ++y) {
            for (int x = 0; x < 5; ++x) {
                const Colour& c = back->at(x, y);
                EXPECT_EQ(toByte(c.r), toByte(img.at(x, y).r)) << x << "," << y;
                EXPECT_EQ(toByte(c.g), toByte(img.at(x, y).g)) << x << "," << y;
                EXPECT_EQ(toByte(c.a), alpha ? toByte(img.at(x, y).a) : 255) << x << "," << y;
            }
        }
    }
}

TEST(BmpReader, MalformedFilesAreRefused) {
    const std::vector<uint8_t> good = bmp::encode24(Image(4, 4));
    ASSERT_TRUE(bmp::decode(good).has_value());
    EXPECT_FALSE(bmp::decode({}).has_value());
    EXPECT_FALSE(bmp::decode(std::vector<uint8_t>(good.begin(), good.end() - 1)).has_value());  // short pixel data
    auto wrongMagic = good;
    wrongMagic[0] = 'X';
    EXPECT_FALSE(bmp::decode(wrongMagic).has_value());
    auto compressed = good;
    compressed[reef::bmp::kFileHeaderSize + 16] = 1;
    EXPECT_FALSE(bmp::decode(compressed).has_value());
    auto hugeWidth = good;
    hugeWidth[reef::bmp::kFileHeaderSize + 7] = 0x7F;
    EXPECT_FALSE(bmp::decode(hugeWidth).has_value());
    auto offsetPastEnd = good;
    offsetPastEnd[13] = 0x7F;
    EXPECT_FALSE(bmp::decode(offsetPastEnd).has_value());
    EXPECT_FALSE(bmp::decode(writeBmp(4, 4, 1, std::vector<uint8_t>(16))).has_value());  // palettised
}

TEST(IcoWriter, GeneratedProgramIconBecomesA32By32Icon) {
    std::ifstream in(dataDir() + "icon.bmp", std::ios::binary);
    const std::vector<uint8_t> file((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    const auto picture = bmp::decode(file);
    ASSERT_TRUE(picture.has_value());
    const auto icon = ico::encode(*picture);
    ASSERT_TRUE(icon.has_value());
    EXPECT_EQ((*icon)[6], 32);
    EXPECT_EQ((*icon)[7], 32);
    // Opaque: no pixel is masked out.
    const size_t mask = kPixelsOffset + 32 * 32 * 4;
    EXPECT_EQ(std::count(icon->begin() + mask, icon->end(), 0), static_cast<long>(icon->size() - mask));
}

}  // namespace
}  // namespace reef::tools
