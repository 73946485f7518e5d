// The alpha a linearly filtered, repeating texture shows, as the geometry built
// from it reads it.
#include <gtest/gtest.h>

#include "engine/AlphaMask.h"

namespace reef {
namespace {

// A blue-green-red-alpha image with the given alpha per texel (rows top first) and
// a pitch padded beyond the row, as decoders deliver them.
DecodedImage bgra(int width, int height, const std::vector<uint8_t>& alpha) {
    DecodedImage image;
    image.width = width;
    image.height = height;
    image.bytesPerPixel = 4;
    image.pitch = width * 4 + 8;
    image.pixels.assign(static_cast<size_t>(image.pitch) * static_cast<size_t>(height), 77);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            image.pixels[static_cast<size_t>(y * image.pitch + 4 * x + 3)] = alpha[static_cast<size_t>(y * width + x)];
    return image;
}

TEST(AlphaMask, SamplesLikeALinearRepeatingFilter) {
    // 4 x 2: the top row rises 0, 100, 200, 255; the bottom row is 0.
    AlphaMask mask;
    mask.assign(bgra(4, 2, {0, 100, 200, 255, 0, 0, 0, 0}));
    ASSERT_EQ(mask.width(), 4);
    ASSERT_EQ(mask.height(), 2);
    EXPECT_EQ(mask.texel(1, 0), 100);
    EXPECT_EQ(mask.texel(-1, 2), 255);  // wraps both ways
    // Texel centres give the texel itself.
    EXPECT_NEAR(mask.sample(1.5f / 4, 0.5f / 2), 100.0f / 255, 1e-5f);
    EXPECT_NEAR(mask.sample(3.5f / 4, 0.5f / 2), 1.0f, 1e-5f);
    // Halfway between two centres, their mean; at the left edge the right column
    // wraps in; at the top edge the bottom row does.
    EXPECT_NEAR(mask.sample(2.0f / 4, 0.5f / 2), 150.0f / 255, 1e-5f);
    EXPECT_NEAR(mask.sample(0.0f, 0.5f / 2), 127.5f / 255, 1e-5f);
    EXPECT_NEAR(mask.sample(3.5f / 4, 0.0f), 0.5f, 1e-5f);
    EXPECT_NEAR(mask.sample(3.5f / 4 + 1.0f, 0.5f / 2 - 3.0f), 1.0f, 1e-5f);
}

TEST(AlphaMask, VisibilityReachesOneTexelBeyondARangeAndWraps) {
    std::vector<uint8_t> alpha(16 * 16, 0);
    alpha[5 * 16 + 5] = 1;    // (5, 5)
    alpha[15 * 16 + 15] = 9;  // the last corner
    AlphaMask mask;
    mask.assign(bgra(16, 16, alpha));
    EXPECT_FALSE(mask.anyVisibleNear(0, 8, 4, 12));
    EXPECT_TRUE(mask.anyVisibleNear(6, 6, 8, 8));    // (5, 5) is next to it
    EXPECT_FALSE(mask.anyVisibleNear(7, 7, 9, 9));   // two texels away
    EXPECT_TRUE(mask.anyVisibleNear(0, 0, 2, 2));    // (15, 15) wraps to (-1, -1)
    EXPECT_TRUE(mask.anyVisibleNear(12, 12, 15, 15));
}

TEST(AlphaMask, OpaqueRowsAndPicturesWithoutAlpha) {
    AlphaMask mask;
    mask.assign(bgra(3, 3, {255, 255, 255, 255, 254, 255, 0, 0, 0}));
    EXPECT_TRUE(mask.rowOpaque(0));
    EXPECT_FALSE(mask.rowOpaque(1));
    EXPECT_FALSE(mask.rowOpaque(2));
    EXPECT_TRUE(mask.rowOpaque(3));  // row 0 again

    // Three bytes a texel: nothing is transparent.
    DecodedImage rgb;
    rgb.width = 2;
    rgb.height = 2;
    rgb.bytesPerPixel = 3;
    rgb.pitch = 8;
    rgb.pixels.assign(16, 5);
    mask.assign(rgb);
    EXPECT_TRUE(mask.rowOpaque(0) && mask.rowOpaque(1));
    EXPECT_FLOAT_EQ(mask.sample(0.3f, 0.9f), 1.0f);

    // Rows shorter than promised are refused; an empty mask shows nothing.
    rgb.pixels.resize(10);
    mask.assign(rgb);
    EXPECT_TRUE(mask.empty());
    EXPECT_EQ(mask.sample(0.5f, 0.5f), 0.0f);
    EXPECT_FALSE(mask.anyVisibleNear(0, 0, 1, 1));
    EXPECT_FALSE(mask.rowOpaque(0));
    EXPECT_FALSE(mask.load("/nonexistent/mask.tqt"));
}

}  // namespace
}  // namespace reef
