// The water and the light pattern over it drawn in one pass against the same two
// objects drawn one after the other (the fallback), in a real GLX context.
#include <GL/gl.h>
#include <GL/glext.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <vector>

#include "engine/AlphaMask.h"
#include "engine/EngineImports.h"
#include "engine/Texture.h"
#include "platform/SdlEngineImports.h"
#include "scene/LitWater.h"
#include "scene/MaskedGrid.h"
#include "scene/WaterGrid.h"
#include "testsupport/GlTestContext.h"
#include "testsupport/TempFolder.h"
#include "writers/BmpWriter.h"

namespace reef {
namespace {

constexpr int kSize = 96;

// B, G, R, A rows, top first: every texel different, alpha neither 0 nor 255.
std::vector<uint8_t> waterTexels() {
    std::vector<uint8_t> p;
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 8; ++x)
            p.insert(p.end(), {static_cast<uint8_t>(200 - 20 * y), static_cast<uint8_t>(120 + 15 * x),
                               static_cast<uint8_t>(30 * x), static_cast<uint8_t>(50 + 20 * ((x + y) % 8))});
    return p;
}

// One colour, alpha in a checked pattern with soft steps (a frame of the highlight).
std::vector<uint8_t> frameTexels() {
    std::vector<uint8_t> p;
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 8; ++x)
            p.insert(p.end(), {150, 230, 255, static_cast<uint8_t>(((x / 2 + y / 2) % 2) ? 230 : 30 * (x % 3))});
    return p;
}

// The fade: clear at the rim, opaque in the middle, in even steps.
std::vector<uint8_t> maskTexels() {
    std::vector<uint8_t> p;
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 16; ++x) {
            const int rim = std::min(std::min(x, 15 - x), std::min(y, 15 - y));
            p.insert(p.end(), {0, 0, 0, static_cast<uint8_t>(std::min(255, rim * 36))});
        }
    return p;
}

std::vector<uint8_t> readFrame() {
    std::vector<uint8_t> rgba(static_cast<size_t>(kSize) * kSize * 4);
    glReadBuffer(GL_BACK);
    glReadPixels(0, 0, kSize, kSize, GL_RGBA, GL_UNSIGNED_BYTE, rgba.data());
    return rgba;
}

// Pixels whose colour differs by more than tolerance in some channel.
int pixelsApart(const std::vector<uint8_t>& a, const std::vector<uint8_t>& b, int tolerance) {
    int apart = 0;
    for (size_t i = 0; i < a.size(); i += 4) {
        for (size_t c = 0; c < 3; ++c) {
            if (std::abs(int(a[i + c]) - int(b[i + c])) > tolerance) {
                ++apart;
                break;
            }
        }
    }
    return apart;
}

class LitWaterGl : public ::testing::Test {
protected:
    test::GlTestContext gl;
    SdlEngineImports sdl;
    EngineImports* previous = engineImports();
    test::TempFolder folder;
    Texture water, frame;
    AlphaMask mask;
    WaterGrid waterGrid;
    MaskedGrid light;
    LitWater litWater;

    void SetUp() override {
        if (!gl.valid()) GTEST_SKIP() << gl.error();
        setEngineImports(&sdl);
        Texture::resetMultiTexture();
        const std::string dir = folder.path();
        test::writeFile(dir + "/water.bmp", writeBmp(8, 8, 4, waterTexels()));
        test::writeFile(dir + "/frame.bmp", writeBmp(8, 8, 4, frameTexels()));
        test::writeFile(dir + "/mask.bmp", writeBmp(16, 16, 4, maskTexels()));
        ASSERT_TRUE(water.loadBMP(dir + "/water.bmp", Texture::kSceneDefault));
        ASSERT_TRUE(frame.loadBMP(dir + "/frame.bmp", Texture::kNearest | Texture::kAlphaOnly));
        ASSERT_TRUE(mask.load(dir + "/mask.bmp"));

        // Both lie flat, the pattern a little above the wavy water, seen from above
        // and in front as the reef's eye sees them.
        waterGrid.addTexture(&water);
        waterGrid.setBlend(true);
        waterGrid.setPosition(0.0f, -2.0f, 7.0f);
        waterGrid.setAngleX(-90.0f);
        ASSERT_TRUE(waterGrid.build(12.0f, 12.0f, 12, 12));
        water.setScaleU(1.3f);
        water.setOffset(0.2f, 0.0f);
        light.addTexture(&frame);
        light.setBlend(true);
        light.setSize(8.0f, 8.0f);
        ASSERT_TRUE(light.build(mask, 8, 8));
        light.setPosition(0.0f, -1.7f, 6.0f);
        light.setAngleX(-90.0f);
        light.setTextureScale(0, 2.0f);
        litWater.attach(&waterGrid, &light);
        for (int i = 0; i < 3; ++i) waterGrid.animate();
    }
    void TearDown() override {
        setEngineImports(previous);
        Texture::resetMultiTexture();
    }

    std::vector<uint8_t> draw(bool singlePassAllowed) {
        litWater.setSinglePassAllowed(singlePassAllowed);
        glViewport(0, 0, kSize, kSize);
        glMatrixMode(GL_PROJECTION);
        glLoadIdentity();
        glFrustum(-0.1, 0.1, -0.1, 0.1, 0.2, 100.0);
        glMatrixMode(GL_MODELVIEW);
        glLoadIdentity();
        glRotatef(25.0f, 1.0f, 0.0f, 0.0f);
        glClearColor(0.1f, 0.3f, 0.5f, 1.0f);
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        glEnable(GL_DEPTH_TEST);
        glDepthFunc(GL_LEQUAL);
        litWater.render();
        return readFrame();
    }
};

TEST_F(LitWaterGl, OnePassDrawsWhatTheTwoPassesDraw) {
    const std::vector<uint8_t> twoPasses = draw(false);
    ASSERT_FALSE(litWater.singlePass());
    const std::vector<uint8_t> onePass = draw(true);
    if (!litWater.singlePass()) GTEST_SKIP() << "no combine modes with crossbar sources here";

    // The pattern shows: the water alone looks different in many pixels.
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    waterGrid.render();
    const std::vector<uint8_t> waterOnly = readFrame();
    EXPECT_GT(pixelsApart(twoPasses, waterOnly, 8), kSize * kSize / 20);

    // The same picture: apart from rounding, the fade is blended between the water's
    // vertices instead of the pattern's own, a few levels at most where it is steep.
    EXPECT_LE(pixelsApart(onePass, twoPasses, 3), kSize * kSize / 20);
    EXPECT_LE(pixelsApart(onePass, twoPasses, 6), kSize * kSize / 100);
    EXPECT_EQ(pixelsApart(onePass, twoPasses, 12), 0);

    // Nothing of the pass stays behind for the next object.
    GLint mode = 0;
    glGetTexEnviv(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, &mode);
    EXPECT_EQ(mode, GL_MODULATE);
    GLint source = 0, destination = 0;
    glGetIntegerv(GL_BLEND_SRC, &source);
    glGetIntegerv(GL_BLEND_DST, &destination);
    EXPECT_EQ(source, GL_SRC_ALPHA);
    EXPECT_EQ(destination, GL_ONE_MINUS_SRC_ALPHA);
    EXPECT_FALSE(glIsEnabled(GL_COLOR_ARRAY));
    EXPECT_FALSE(glIsEnabled(GL_BLEND));
    Texture::selectUnit(1);
    EXPECT_FALSE(glIsEnabled(GL_TEXTURE_2D));
    EXPECT_FALSE(glIsEnabled(GL_TEXTURE_GEN_S));
    EXPECT_FALSE(glIsEnabled(GL_TEXTURE_GEN_Q));
    glGetTexEnviv(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, &mode);
    EXPECT_EQ(mode, GL_MODULATE);
    GLfloat matrix[16];
    glGetFloatv(GL_TEXTURE_MATRIX, matrix);
    for (int k = 0; k < 16; ++k) EXPECT_FLOAT_EQ(matrix[k], k % 5 == 0 ? 1.0f : 0.0f) << k;
    Texture::selectUnit(0);
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

// A water that the one pass cannot reproduce (tinted) is drawn in two passes.
TEST_F(LitWaterGl, TintedWaterFallsBackToTwoPasses) {
    draw(true);
    if (!litWater.singlePass()) GTEST_SKIP() << "no combine modes with crossbar sources here";
    waterGrid.setColour({0.5f, 1.0f, 1.0f});
    EXPECT_FALSE(litWater.singlePass());
    waterGrid.setColour({1.0f, 1.0f, 1.0f});
    litWater.detach();
    EXPECT_FALSE(litWater.singlePass());
}

}  // namespace
}  // namespace reef
