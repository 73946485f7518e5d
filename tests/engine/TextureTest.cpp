// Texture loading through the real SDL decoder into a real GLX context, and the
// multitexture binding rules.
#include <GL/gl.h>
#include <GL/glext.h>
#include <gtest/gtest.h>

#include <new>

#include <algorithm>
#include <array>
#include <functional>

#include "engine/AlphaMask.h"
#include "engine/BmpCheck.h"
#include "engine/EngineImports.h"
#include "engine/SceneObject.h"
#include "engine/Texture.h"
#include "platform/SdlEngineImports.h"
#include "testsupport/DiagnosticCapture.h"
#include "testsupport/GlTestContext.h"
#include "testsupport/TempFolder.h"
#include "writers/BmpWriter.h"

namespace reef {
namespace {

// Installs the given imports for one test and forgets any multitexture lookup.
class ImportsScope {
public:
    explicit ImportsScope(EngineImports* imports) : m_previous(engineImports()) {
        setEngineImports(imports);
        Texture::resetMultiTexture();
    }
    ~ImportsScope() {
        setEngineImports(m_previous);
        Texture::resetMultiTexture();
    }

private:
    EngineImports* m_previous;
};

// Pixels (B, G, R) that differ in every channel and position.
std::vector<uint8_t> pattern(int width, int height, int bpp) {
    std::vector<uint8_t> p;
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            p.push_back(static_cast<uint8_t>(10 * x + 1));
            p.push_back(static_cast<uint8_t>(20 * y + 2));
            p.push_back(static_cast<uint8_t>(x + 7 * y + 100));
            if (bpp == 4) p.push_back(static_cast<uint8_t>(200 + x));
        }
    }
    return p;
}

GLint levelParameter(int level, GLenum which) {
    GLint value = 0;
    glGetTexLevelParameteriv(GL_TEXTURE_2D, level, which, &value);
    return value;
}

GLint textureParameter(GLenum which) {
    GLint value = 0;
    glGetTexParameteriv(GL_TEXTURE_2D, which, &value);
    return value;
}

class TextureGl : public ::testing::Test {
protected:
    test::GlTestContext gl;
    SdlEngineImports sdl;
    ImportsScope scope{&sdl};
    test::TempFolder folder;
    std::string dir = folder.path();

    void SetUp() override {
        if (!gl.valid()) GTEST_SKIP() << gl.error();
    }
    std::string bmp(const std::string& name, int width, int height, int bpp) {
        const std::string path = dir + "/" + name;
        test::writeFile(path, writeBmp(width, height, bpp, pattern(width, height, bpp)));
        return path;
    }
};

TEST_F(TextureGl, UploadsBgrRowsAsDecodedWithoutRescaling) {
    // Widths 3 and 5 have padded rows of 12 and 16 bytes.
    for (int width : {3, 5, 4}) {
        SCOPED_TRACE(width);
        Texture texture;
        ASSERT_TRUE(texture.loadBMP(bmp("rgb.tqt", width, 5, 3), Texture::kSceneDefault));
        EXPECT_TRUE(texture.loaded());
        glBindTexture(GL_TEXTURE_2D, texture.name());
        EXPECT_EQ(levelParameter(0, GL_TEXTURE_WIDTH), width);
        EXPECT_EQ(levelParameter(0, GL_TEXTURE_HEIGHT), 5);
        EXPECT_EQ(levelParameter(0, GL_TEXTURE_INTERNAL_FORMAT), GL_RGBA);

        std::vector<uint8_t> back(static_cast<size_t>(width) * 5 * 3);
        glPixelStorei(GL_PACK_ALIGNMENT, 1);
        glGetTexImage(GL_TEXTURE_2D, 0, GL_BGR, GL_UNSIGNED_BYTE, back.data());
        EXPECT_EQ(back, pattern(width, 5, 3));  // top row first, as decoded
    }
}

TEST_F(TextureGl, UploadsBgraAsRgba) {
    Texture texture;
    ASSERT_TRUE(texture.loadBMP(bmp("rgba.tqt", 3, 2, 4), 0));
    glBindTexture(GL_TEXTURE_2D, texture.name());
    EXPECT_EQ(levelParameter(0, GL_TEXTURE_INTERNAL_FORMAT), GL_RGBA);
    EXPECT_EQ(levelParameter(0, GL_TEXTURE_WIDTH), 3);
    EXPECT_FALSE(texture.opaque());  // alphas 200 to 202
}

// A picture without alpha reads alpha 1 everywhere and counts as opaque; a 32-bit
// one does only while every alpha is 255; one gone up as alpha alone never does.
TEST_F(TextureGl, OpaqueOnlyWhereEveryAlphaIsFull) {
    Texture texture;
    ASSERT_TRUE(texture.loadBMP(bmp("rgb.tqt", 3, 2, 3), 0));
    EXPECT_TRUE(texture.opaque());
    glBindTexture(GL_TEXTURE_2D, texture.name());
    std::vector<uint8_t> alpha(6);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glGetTexImage(GL_TEXTURE_2D, 0, GL_ALPHA, GL_UNSIGNED_BYTE, alpha.data());
    EXPECT_EQ(alpha, std::vector<uint8_t>(6, 255));

    std::vector<uint8_t> pixels = pattern(3, 2, 4);
    for (size_t i = 3; i < pixels.size(); i += 4) pixels[i] = 255;
    const std::string path = dir + "/full.tqt";
    test::writeFile(path, writeBmp(3, 2, 4, pixels));
    ASSERT_TRUE(texture.loadBMP(path, 0));
    EXPECT_TRUE(texture.opaque());
    pixels[pixels.size() - 1] = 254;  // the last pixel alone
    test::writeFile(path, writeBmp(3, 2, 4, pixels));
    ASSERT_TRUE(texture.loadBMP(path, 0));
    EXPECT_FALSE(texture.opaque());

    for (size_t i = 3; i < pixels.size(); i += 4) pixels[i] = 255;
    for (size_t i = 0; i < pixels.size(); i += 4) pixels[i] = pixels[i + 1] = pixels[i + 2] = 9;
    test::writeFile(path, writeBmp(3, 2, 4, pixels));
    ASSERT_TRUE(texture.loadBMP(path, Texture::kAlphaOnly));
    ASSERT_TRUE(texture.alphaOnly());
    EXPECT_FALSE(texture.opaque());
    texture.release();
    EXPECT_FALSE(texture.opaque());
}

// A picture of one colour shaped by alpha goes up as its alpha alone; the colour
// becomes the tint an object drawing with it multiplies into its own. A picture
// whose colour varies goes up whole, asked or not.
TEST_F(TextureGl, OneColouredPictureGoesUpAsAlphaWithItsColourAsTint) {
    std::vector<uint8_t> pixels;
    for (uint8_t a : {0, 50, 100, 150, 200, 250}) pixels.insert(pixels.end(), {40, 160, 240, a});  // B, G, R, A
    const std::string path = dir + "/one.tqt";
    test::writeFile(path, writeBmp(3, 2, 4, pixels));
    Texture texture;
    AlphaMask mask;
    ASSERT_TRUE(texture.loadBMP(path, Texture::kSceneDefault | Texture::kAlphaOnly, &mask));
    EXPECT_TRUE(texture.alphaOnly());
    EXPECT_FLOAT_EQ(texture.tint()[0], 240.0f / 255);
    EXPECT_FLOAT_EQ(texture.tint()[1], 160.0f / 255);
    EXPECT_FLOAT_EQ(texture.tint()[2], 40.0f / 255);
    glBindTexture(GL_TEXTURE_2D, texture.name());
    EXPECT_EQ(levelParameter(0, GL_TEXTURE_ALPHA_SIZE), 8);
    EXPECT_EQ(levelParameter(0, GL_TEXTURE_RED_SIZE), 0);
    std::vector<uint8_t> back(6);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glGetTexImage(GL_TEXTURE_2D, 0, GL_ALPHA, GL_UNSIGNED_BYTE, back.data());
    EXPECT_EQ(back, (std::vector<uint8_t>{0, 50, 100, 150, 200, 250}));
    // The alpha kept beside it reads the same texels.
    ASSERT_EQ(mask.width(), 3);
    EXPECT_EQ(mask.texel(2, 1), 250);

    SceneObject object;
    object.setColour({0.5f, 1.0f, 1.0f});
    object.setAlpha(0.25f);
    object.addTexture(&texture);
    const std::array<float, 4> colour = object.drawColour();
    EXPECT_FLOAT_EQ(colour[0], 0.5f * 240 / 255);
    EXPECT_FLOAT_EQ(colour[1], 160.0f / 255);
    EXPECT_FLOAT_EQ(colour[2], 40.0f / 255);
    EXPECT_FLOAT_EQ(colour[3], 0.25f);

    // One texel of another colour: the whole picture goes up.
    pixels[4 * 4] = 41;
    test::writeFile(path, writeBmp(3, 2, 4, pixels));
    ASSERT_TRUE(texture.loadBMP(path, Texture::kAlphaOnly));
    EXPECT_FALSE(texture.alphaOnly());
    EXPECT_FLOAT_EQ(texture.tint()[1], 1.0f);
    glBindTexture(GL_TEXTURE_2D, texture.name());
    EXPECT_EQ(levelParameter(0, GL_TEXTURE_INTERNAL_FORMAT), GL_RGBA);
    EXPECT_FLOAT_EQ(object.drawColour()[0], 0.5f);
}

// Blending asked for is left off only where every fragment is sure to have alpha 1:
// it would change nothing there, and opaque draws share the driver's shaders.
TEST_F(TextureGl, BlendingIsSkippedWhereEverythingDrawnIsOpaque) {
    Texture opaque, translucent;
    ASSERT_TRUE(opaque.loadBMP(bmp("rgb.tqt", 2, 2, 3), 0));
    ASSERT_TRUE(translucent.loadBMP(bmp("rgba.tqt", 2, 2, 4), 0));
    const auto blendsWhileDrawing = [](SceneObject& object) {
        glDisable(GL_BLEND);
        object.beginDraw();
        const bool on = glIsEnabled(GL_BLEND) == GL_TRUE;
        object.endDraw();
        EXPECT_FALSE(glIsEnabled(GL_BLEND));
        return on;
    };
    SceneObject plain;
    plain.setBlend(true);
    EXPECT_FALSE(blendsWhileDrawing(plain));
    plain.setAlpha(0.99f);
    EXPECT_TRUE(blendsWhileDrawing(plain));

    SceneObject object;
    object.addTexture(&opaque);
    EXPECT_FALSE(blendsWhileDrawing(object));  // not asked for
    object.setBlend(true);
    EXPECT_FALSE(blendsWhileDrawing(object));
    object.setAlpha(0.5f);
    EXPECT_TRUE(blendsWhileDrawing(object));
    object.setAlpha(1.0f);
    object.setTexture(0, &translucent);
    EXPECT_TRUE(blendsWhileDrawing(object));
    // With multitexturing every unit counts; without it only the first one is bound.
    object.setTexture(0, &opaque);
    object.addTexture(&translucent);
    EXPECT_EQ(blendsWhileDrawing(object), object.multi());
    object.setTexture(1, nullptr);
    EXPECT_EQ(blendsWhileDrawing(object), object.multi());
}

TEST_F(TextureGl, FlagsChooseFiltersWrapAndMipmaps) {
    struct Case {
        uint8_t flags;
        GLint min, mag, wrapS;
        bool mipmaps;
    };
    const Case cases[] = {
        {0, GL_LINEAR, GL_LINEAR, GL_REPEAT, false},
        {1, GL_LINEAR_MIPMAP_NEAREST, GL_LINEAR, GL_REPEAT, true},
        {2, GL_LINEAR, GL_LINEAR, GL_REPEAT, false},
        {3, GL_LINEAR, GL_LINEAR, GL_REPEAT, true},  // linear filter, mipmaps still built
        {4, GL_NEAREST, GL_LINEAR, GL_REPEAT, false},
        {9, GL_NEAREST, GL_NEAREST, GL_REPEAT, true},
        {16, GL_LINEAR, GL_LINEAR, GL_CLAMP, false},
        {34, GL_LINEAR, GL_LINEAR, GL_REPEAT, false},
    };
    const std::string path = bmp("flags.tqt", 8, 4, 3);
    for (const Case& c : cases) {
        SCOPED_TRACE(static_cast<int>(c.flags));
        Texture texture;
        ASSERT_TRUE(texture.loadBMP(path, c.flags));
        glBindTexture(GL_TEXTURE_2D, texture.name());
        EXPECT_EQ(textureParameter(GL_TEXTURE_MIN_FILTER), c.min);
        EXPECT_EQ(textureParameter(GL_TEXTURE_MAG_FILTER), c.mag);
        EXPECT_EQ(textureParameter(GL_TEXTURE_WRAP_S), c.wrapS);
        EXPECT_EQ(textureParameter(GL_TEXTURE_WRAP_T), GL_REPEAT);
        EXPECT_EQ(levelParameter(1, GL_TEXTURE_WIDTH) > 0, c.mipmaps);
    }
}

// Palette and 16-bit images draw in their own colours: they are converted to
// blue-green-red rows before the upload.
TEST_F(TextureGl, PaletteAndSixteenBitImagesAreConverted) {
    std::vector<uint8_t> palette = writeBmp(3, 2, 1, {0, 1, 2, 2, 1, 0});
    const size_t entries = 14 + 40;
    const uint8_t colours[3][3] = {{10, 20, 30}, {200, 100, 50}, {0, 255, 7}};  // B, G, R
    for (size_t i = 0; i < 3; ++i) std::copy(colours[i], colours[i] + 3, palette.begin() + entries + 4 * i);
    // 5-5-5 pixels: pure red, green, blue and a mid grey (16 of 31).
    const std::vector<uint8_t> sixteen = writeBmp(2, 2, 2, {0x00, 0x7c, 0xe0, 0x03, 0x1f, 0x00, 0x10, 0x42});
    struct Case {
        const char* name;
        std::vector<uint8_t> file;
        std::vector<uint8_t> expected;  // B, G, R per pixel, top row first
    };
    const Case cases[] = {
        {"palette.tqt", palette, {10, 20, 30, 200, 100, 50, 0, 255, 7, 0, 255, 7, 200, 100, 50, 10, 20, 30}},
        {"sixteen.tqt", sixteen, {0, 0, 255, 0, 255, 0, 255, 0, 0, 132, 132, 132}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string path = dir + "/" + c.name;
        test::writeFile(path, c.file);
        Texture texture;
        test::captureOutput();
        ASSERT_TRUE(texture.loadBMP(path, 0));
        EXPECT_EQ(test::capturedOutput(), "");
        glBindTexture(GL_TEXTURE_2D, texture.name());
        EXPECT_EQ(levelParameter(0, GL_TEXTURE_INTERNAL_FORMAT), GL_RGBA);
        std::vector<uint8_t> back(c.expected.size());
        glPixelStorei(GL_PACK_ALIGNMENT, 1);
        glGetTexImage(GL_TEXTURE_2D, 0, GL_BGR, GL_UNSIGNED_BYTE, back.data());
        EXPECT_EQ(back, c.expected);
    }
}

// Headers the decoder would trust to allocate or read too much are refused
// with the texture's failure line before they reach it.
TEST_F(TextureGl, HostileBmpHeadersGetTheFailureLine) {
    const std::vector<uint8_t> good = writeBmp(4, 4, 3, pattern(4, 4, 3));
    const auto patch32 = [](std::vector<uint8_t>& b, size_t at, uint32_t v) {
        for (int i = 0; i < 4; ++i) b[at + i] = static_cast<uint8_t>(v >> (8 * i));
    };
    struct Case {
        const char* what;
        std::function<void(std::vector<uint8_t>&)> edit;
        const char* why;
    };
    const Case cases[] = {
        {"huge width", [&](auto& b) { patch32(b, 18, 30000); }, "image too large"},
        {"huge height", [&](auto& b) { patch32(b, 22, 0x7fffffff); }, "image too large"},
        {"most negative height", [&](auto& b) { patch32(b, 22, 0x80000000u); }, "image too large"},
        {"zero width", [&](auto& b) { patch32(b, 18, 0); }, "empty image"},
        {"rows past the end", [&](auto& b) { patch32(b, 22, 5); }, "pixels beyond the end of the file"},
        {"pixel offset past the end", [&](auto& b) { patch32(b, 10, 0xfffffff0u); }, "pixels beyond the end of the file"},
        {"pixel offset in the header", [&](auto& b) { patch32(b, 10, 20); }, "pixels overlap the header"},
        {"RLE", [&](auto& b) { patch32(b, 30, 1); }, "compressed"},
        {"12 bits", [&](auto& b) { b[28] = 12; }, "unsupported bits per pixel"},
        {"info header past the end", [&](auto& b) { patch32(b, 14, 0x10000); }, "header beyond the end of the file"},
        {"tiny info header", [&](auto& b) { patch32(b, 14, 20); }, "unknown header size"},
        {"too many colours", [&](auto& b) { b[28] = 8; patch32(b, 18, 12); patch32(b, 46, 257); }, "more colours than the depth allows"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        std::vector<uint8_t> bytes = good;
        c.edit(bytes);
        const char* why = "accepted";
        EXPECT_FALSE(checkBmp(bytes.data(), bytes.size(), &why));
        EXPECT_STREQ(why, c.why);
        const std::string path = dir + "/hostile.tqt";
        test::writeFile(path, bytes);
        Texture texture;
        test::captureOutput();
        EXPECT_FALSE(texture.loadBMP(path, 0));
        EXPECT_EQ(test::capturedOutput(), "Texture::loadBMP SDL_LoadBMP " + path + " failed\n");
    }
    EXPECT_TRUE(checkBmp(good.data(), good.size()));
}

// BMP files written by another program: every variant the decoder reads gives
// the same picture (16-bit within its precision); RLE, which it does not read,
// gets the failure line.
TEST_F(TextureGl, RealBmpFilesFromAnotherProgram) {
    const std::string dir = std::string(REEF_REAL_FIXTURES) + "/assimp/";
    const auto readBack = [&](const std::string& name) {
        Texture texture;
        test::captureOutput();
        const bool loaded = texture.loadBMP(dir + name, 0);
        EXPECT_EQ(test::capturedOutput(), "") << name;
        std::vector<uint8_t> pixels;
        if (!loaded) return pixels;
        glBindTexture(GL_TEXTURE_2D, texture.name());
        EXPECT_EQ(levelParameter(0, GL_TEXTURE_WIDTH), 40) << name;
        EXPECT_EQ(levelParameter(0, GL_TEXTURE_HEIGHT), 30) << name;
        pixels.resize(40 * 30 * 3);
        glPixelStorei(GL_PACK_ALIGNMENT, 1);
        glGetTexImage(GL_TEXTURE_2D, 0, GL_BGR, GL_UNSIGNED_BYTE, pixels.data());
        return pixels;
    };
    const std::vector<uint8_t> truth = readBack("faerie_24.bmp");
    ASSERT_EQ(truth.size(), 40u * 30u * 3u);
    EXPECT_NE(std::count(truth.begin(), truth.end(), truth[0]), static_cast<ptrdiff_t>(truth.size()));
    for (const char* same : {"faerie_topdown24.bmp", "faerie_8.bmp", "faerie_os2.bmp"}) {
        EXPECT_EQ(readBack(same), truth) << same;
    }
    const std::vector<uint8_t> sixteen = readBack("faerie_565.bmp");
    ASSERT_EQ(sixteen.size(), truth.size());
    for (size_t i = 0; i < truth.size(); ++i) ASSERT_NEAR(sixteen[i], truth[i], 8) << i;
    EXPECT_EQ(readBack("faerie_4.bmp").size(), truth.size());
    EXPECT_EQ(readBack("faerie_1.bmp").size(), truth.size());

    Texture one;
    ASSERT_TRUE(one.loadBMP(dir + "white.bmp", 0));
    Texture rle;
    test::captureOutput();
    EXPECT_FALSE(rle.loadBMP(dir + "faerie_rle8.bmp", 0));
    EXPECT_EQ(test::capturedOutput(), "Texture::loadBMP SDL_LoadBMP " + dir + "faerie_rle8.bmp failed\n");
}

TEST_F(TextureGl, MissingOrGarbledFilePrintsAndStaysUnloaded) {
    const std::string garbled = dir + "/garbled.tqt";
    test::writeFile(garbled, {'B', 'M', 0xFF, 0xFF, 0xFF, 0x7F, 1, 2, 3});
    for (const std::string& path : {dir + "/missing.tqt", garbled}) {
        Texture texture;
        test::captureOutput();
        EXPECT_FALSE(texture.loadBMP(path, 0));
        EXPECT_EQ(test::capturedOutput(), "Texture::loadBMP SDL_LoadBMP " + path + " failed\n");
        EXPECT_FALSE(texture.loaded());
        EXPECT_EQ(texture.name(), 0u);
    }
}

TEST_F(TextureGl, BackslashPathsAndReleaseAndReload) {
    bmp("a.tqt", 2, 2, 3);
    Texture texture;
    ASSERT_TRUE(texture.loadBMP(dir + "\\a.tqt", 0));
    const GLuint first = texture.name();
    EXPECT_TRUE(glIsTexture(first));
    ASSERT_TRUE(texture.loadBMP(dir + "/a.tqt", 0));  // the old name goes first
    EXPECT_FALSE(glIsTexture(first) && first != texture.name());
    const GLuint second = texture.name();
    texture.release();
    EXPECT_FALSE(texture.loaded());
    EXPECT_FALSE(glIsTexture(second));
}

TEST_F(TextureGl, MultitextureUnitsAndTheirLimit) {
    ASSERT_TRUE(Texture::initMultiTexture());
    // Looked up as the engine does: Windows' opengl32 exports only OpenGL 1.1.
    const auto activeTexture = reinterpret_cast<PFNGLACTIVETEXTUREARBPROC>(sdl.glProcAddress("glActiveTextureARB"));
    ASSERT_NE(activeTexture, nullptr);
    const int units = Texture::textureUnitCount();
    ASSERT_GE(units, 2);
    Texture base, detail;
    ASSERT_TRUE(base.loadBMP(bmp("base.tqt", 2, 2, 3), 0));
    ASSERT_TRUE(detail.loadBMP(bmp("detail.tqt", 2, 2, 3), 0));
    detail.setScale(4.0f);

    SceneObject object;
    object.addTexture(&base);
    object.addTexture(&detail);
    EXPECT_TRUE(object.multi());
    object.beginDraw();
    activeTexture(GL_TEXTURE1);
    EXPECT_TRUE(glIsEnabled(GL_TEXTURE_2D));
    GLint bound = 0;
    glGetIntegerv(GL_TEXTURE_BINDING_2D, &bound);
    EXPECT_EQ(static_cast<GLuint>(bound), detail.name());
    activeTexture(GL_TEXTURE0);

    object.emitTexCoord(0.5f, 0.25f);
    GLfloat st[4];
    activeTexture(GL_TEXTURE1);
    glGetFloatv(GL_CURRENT_TEXTURE_COORDS, st);
    EXPECT_FLOAT_EQ(st[0], 2.0f);
    EXPECT_FLOAT_EQ(st[1], 1.0f);
    activeTexture(GL_TEXTURE0);

    object.endDraw();
    activeTexture(GL_TEXTURE1);
    EXPECT_FALSE(glIsEnabled(GL_TEXTURE_2D));
    activeTexture(GL_TEXTURE0);

    // A unit at or above the limit is skipped silently by all three operations.
    base.apply(true, units);
    base.emitTexCoord(1, 1, true, units);
    Texture::unbindUnit(units);
    GLint active = 0;
    glGetIntegerv(GL_ACTIVE_TEXTURE, &active);
    EXPECT_EQ(active, GL_TEXTURE0);
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

// Imports whose decoder hands back what a test says, and no extensions.
class FakeImports : public EngineImports {
public:
    std::optional<DecodedImage> image;
    int lookups = 0;
    std::optional<DecodedImage> decodeBMP(const std::string&) override { return image; }
    void* glProcAddress(const char*) override {
        ++lookups;
        return nullptr;
    }
};

TEST(TextureImports, InconsistentDecodedImagesAreRefused) {
    FakeImports fake;
    ImportsScope scope(&fake);
    DecodedImage bad;
    bad.width = 4;
    bad.height = 4;
    bad.bytesPerPixel = 3;
    bad.pitch = 8;  // shorter than a row
    bad.pixels.resize(64);
    fake.image = bad;
    Texture texture;
    test::captureOutput();
    EXPECT_FALSE(texture.loadBMP("x.tqt", 0));
    test::capturedOutput();
    bad.pitch = 12;
    bad.pixels.resize(40);  // fewer bytes than height rows
    fake.image = bad;
    test::captureOutput();
    EXPECT_FALSE(texture.loadBMP("x.tqt", 0));
    EXPECT_EQ(test::capturedOutput(), "Texture::loadBMP SDL_LoadBMP x.tqt failed\n");
    EXPECT_FALSE(texture.loaded());
}

// Running out of memory while an image is decoded (a saver under a memory
// limit) leaves that texture out with its failure line; it never aborts.
TEST(TextureImports, OutOfMemoryWhileDecodingLeavesTheTextureOut) {
    struct Exhausted : FakeImports {
        std::optional<DecodedImage> decodeBMP(const std::string&) override { throw std::bad_alloc(); }
    } exhausted;
    ImportsScope scope(&exhausted);
    AlphaMask alpha;
    Texture texture;
    test::captureOutput();
    test::captureErrors();
    EXPECT_FALSE(texture.loadBMP("big.tqt", 0, &alpha));
    // Reported like any texture that fails to load, in its one line.
    EXPECT_EQ(test::capturedOutput(), "Texture::loadBMP SDL_LoadBMP big.tqt failed\n");
    EXPECT_EQ(test::capturedErrors(), "");
    EXPECT_FALSE(texture.loaded());
}

TEST(TextureImports, MissingExtensionsAreLookedUpOnce) {
    FakeImports fake;
    ImportsScope scope(&fake);
    EXPECT_FALSE(Texture::initMultiTexture());
    const int lookups = fake.lookups;
    EXPECT_FALSE(Texture::initMultiTexture());
    EXPECT_EQ(fake.lookups, lookups);
    Texture a, b;
    SceneObject object;
    object.addTexture(&a);
    object.addTexture(&b);
    EXPECT_FALSE(object.multi());  // falls back to the first texture alone
}

}  // namespace
}  // namespace reef
