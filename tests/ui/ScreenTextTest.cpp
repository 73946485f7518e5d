#include "ui/ScreenText.h"

#include <gtest/gtest.h>

#include <GL/gl.h>

#include <cmath>
#include <string>
#include <vector>

#include "testsupport/FeedbackPolygons.h"
#include "testsupport/GlTestContext.h"
#include "ui/FontFormat.h"
#include "writers/ByteWriter.h"

namespace reef {
namespace {

struct GlyphSpec {
    uint32_t code;
    int32_t width, height;
    float leftU, rightU, bottomV, topV;
};

// A ".tqf" file, field by field.
std::vector<uint8_t> fontBytes(int32_t texWidth, int32_t texHeight, const std::vector<uint16_t>& skipped,
                               const std::vector<GlyphSpec>& glyphs, bool writePixels = true) {
    ByteWriter w;
    w.u32(0x12345678);                                  // 0: first uninterpreted value
    w.u32(0x9ABCDEF0);                                  // 4: second uninterpreted value
    w.bytes.resize(tqf::kWidthOffset, 0xEE);            // 8..539: header block padding (ignored)
    w.i32(texWidth);                                    // 540: texture width W
    w.i32(texHeight);                                   // 544: texture height H
    w.i32(static_cast<int32_t>(skipped.size()));        // 548: count N of skipped values
    for (uint16_t v : skipped) w.u16(v);                // 552: N 16-bit values
    w.i32(static_cast<int32_t>(glyphs.size()));         // 552 + 2N: glyph count G
    for (const GlyphSpec& g : glyphs) {                 // 556 + 2N: 28-byte records
        w.u32(g.code);                                  //   +0 code (low 16 bits)
        w.i32(g.width);                                 //   +4 width
        w.i32(g.height);                                //   +8 height
        w.f32(g.leftU);                                 //   +12 left u
        w.f32(g.rightU);                                //   +16 right u
        w.f32(g.bottomV);                               //   +20 bottom v
        w.f32(g.topV);                                  //   +24 top v
    }
    if (writePixels) {                                  // W * H (luminance, alpha) pairs
        for (int32_t i = 0; i < texWidth * texHeight; ++i) {
            w.u8(static_cast<uint8_t>(i));
            w.u8(0xFF);
        }
    }
    return w.take();
}

// A small Latin font: A, B, C, E (D missing) and a tall g, on a 5 x 3 texture.
std::vector<GlyphSpec> latinGlyphs() {
    return {
        {'C', 7, 12, 0.50f, 0.60f, 0.0f, 0.5f},
        {'A', 8, 12, 0.00f, 0.10f, 0.0f, 0.5f},
        {'g', 6, 15, 0.70f, 0.80f, 0.5f, 1.0f},
        {'B', 9, 11, 0.20f, 0.30f, 0.0f, 0.5f},
        {0x10000 + 'E', 5, 10, 0.90f, 1.00f, 0.0f, 0.5f},  // upper bits of the code field ignored
        {'A', 99, 99, 0.0f, 0.0f, 0.0f, 0.0f},             // duplicate in one file: the first stays
    };
}

std::vector<uint8_t> latinFont() { return fontBytes(5, 3, {1, 2, 3}, latinGlyphs()); }

class ScreenTextGL : public ::testing::Test {
protected:
    void SetUp() override {
        if (!m_gl.valid()) GTEST_SKIP() << m_gl.error();
    }
    test::GlTestContext m_gl;
};

TEST_F(ScreenTextGL, LoadsSortedUniqueGlyphsRangesAndTexture) {
    ScreenText text;
    const std::vector<uint8_t> bytes = latinFont();
    ASSERT_TRUE(text.loadFontFromMemory(bytes.data(), bytes.size()));
    ASSERT_EQ(text.fontTextures().size(), 1u);
    const uint32_t texture = text.fontTextures()[0];
    EXPECT_NE(texture, 0u);

    const std::u16string codes = u"ABCEg";
    ASSERT_EQ(text.glyphs().size(), codes.size());
    for (size_t i = 0; i < codes.size(); ++i) {
        EXPECT_EQ(text.glyphs()[i].code, codes[i]);
        EXPECT_EQ(text.glyphs()[i].texture, texture);
    }
    EXPECT_EQ(text.glyphs()[0].width, 8);  // the first A of the file
    EXPECT_EQ(text.glyphs()[1].height, 11);
    EXPECT_FLOAT_EQ(text.glyphs()[2].leftU, 0.5f);
    EXPECT_FLOAT_EQ(text.glyphs()[4].topV, 1.0f);

    // A-C, E, g.
    ASSERT_EQ(text.ranges().size(), 3u);
    EXPECT_EQ(text.ranges()[0].first, u'A');
    EXPECT_EQ(text.ranges()[0].last, u'C');
    EXPECT_EQ(text.ranges()[1].first, u'E');
    EXPECT_EQ(text.ranges()[1].last, u'E');
    EXPECT_EQ(text.ranges()[2].first, u'g');

    for (char16_t c : codes) {
        const ScreenText::Glyph* glyph = text.findGlyph(c);
        ASSERT_NE(glyph, nullptr) << static_cast<int>(c);
        EXPECT_EQ(glyph->code, c);
    }
    for (char16_t c : {u'D', u'@', u'F', u'f', u'h', u'\n', char16_t{0}, char16_t{0xFFFF}})
        EXPECT_EQ(text.findGlyph(c), nullptr) << static_cast<int>(c);
    EXPECT_EQ(text.defaultLineHeight(), 15);

    // The texture: 5 x 3 luminance-alpha, clamped, linear.
    glBindTexture(GL_TEXTURE_2D, texture);
    GLint value = 0;
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_WIDTH, &value);
    EXPECT_EQ(value, 5);
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_HEIGHT, &value);
    EXPECT_EQ(value, 3);
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_INTERNAL_FORMAT, &value);
    EXPECT_EQ(value, GL_LUMINANCE_ALPHA);
    glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, &value);
    EXPECT_EQ(value, GL_CLAMP);
    glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, &value);
    EXPECT_EQ(value, GL_LINEAR);
    // Odd-width rows arrive unpadded: the last texel holds luminance 14.
    std::vector<uint8_t> pixels(5 * 3 * 2);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glGetTexImage(GL_TEXTURE_2D, 0, GL_LUMINANCE_ALPHA, GL_UNSIGNED_BYTE, pixels.data());
    EXPECT_EQ(pixels[2 * 5], 5);
    EXPECT_EQ(pixels[2 * 14], 14);
    EXPECT_EQ(pixels[2 * 14 + 1], 0xFF);
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

TEST_F(ScreenTextGL, SecondFontKeepsFirstFontsGlyphsAndAddsNewCodes) {
    ScreenText text;
    const std::vector<uint8_t> first = latinFont();
    const std::vector<uint8_t> second = fontBytes(2, 2, {}, {
        {'B', 40, 40, 0.0f, 1.0f, 0.0f, 1.0f},    // already present: ignored
        {'D', 20, 13, 0.1f, 0.2f, 0.3f, 0.4f},    // fills the gap between C and E
        {0x65E5, 24, 24, 0.0f, 0.5f, 0.0f, 0.5f}, // a kanji
    });
    ASSERT_TRUE(text.loadFontFromMemory(first.data(), first.size()));
    ASSERT_TRUE(text.loadFontFromMemory(second.data(), second.size()));
    ASSERT_EQ(text.fontTextures().size(), 2u);
    const uint32_t t1 = text.fontTextures()[0];
    const uint32_t t2 = text.fontTextures()[1];
    EXPECT_NE(t1, t2);

    ASSERT_EQ(text.glyphs().size(), 7u);
    EXPECT_EQ(text.findGlyph(u'B')->width, 9);
    EXPECT_EQ(text.findGlyph(u'B')->texture, t1);
    EXPECT_EQ(text.findGlyph(u'D')->width, 20);
    EXPECT_EQ(text.findGlyph(u'D')->texture, t2);
    EXPECT_EQ(text.findGlyph(u'\u65E5')->texture, t2);
    EXPECT_EQ(text.findGlyph(u'E')->texture, t1);

    // A-E is now one run.
    ASSERT_EQ(text.ranges().size(), 3u);
    EXPECT_EQ(text.ranges()[0].first, u'A');
    EXPECT_EQ(text.ranges()[0].last, u'E');
    EXPECT_EQ(text.ranges()[2].first, u'\u65E5');
    EXPECT_EQ(text.defaultLineHeight(), 24);
}

TEST_F(ScreenTextGL, BrokenFontsLoadNothing) {
    const std::vector<uint8_t> good = latinFont();
    const size_t recordsAt = tqf::glyphRecordsOffset(3);
    const size_t countAt = tqf::glyphCountOffset(3);
    struct Case {
        const char* name;
        std::vector<uint8_t> bytes;
    };
    std::vector<Case> cases;
    auto patched = [&](size_t offset, int32_t value) {
        ByteWriter w{good};
        w.patchI32(offset, value);
        return w.take();
    };
    cases.push_back({"empty", {}});
    cases.push_back({"header only", std::vector<uint8_t>(good.begin(), good.begin() + tqf::kSkipTableOffset)});
    cases.push_back({"no glyph count", std::vector<uint8_t>(good.begin(), good.begin() + countAt + 3)});
    cases.push_back({"half a record", std::vector<uint8_t>(good.begin(), good.begin() + recordsAt + 14)});
    cases.push_back({"one pixel byte short", std::vector<uint8_t>(good.begin(), good.end() - 1)});
    cases.push_back({"no pixels", fontBytes(5, 3, {1, 2, 3}, latinGlyphs(), false)});
    cases.push_back({"negative width", patched(tqf::kWidthOffset, -5)});
    cases.push_back({"negative height", patched(tqf::kHeightOffset, -1)});
    cases.push_back({"huge texture", patched(tqf::kWidthOffset, 0x40000000)});
    cases.push_back({"width x height overflows 32 bits", [&] {
                         ByteWriter w{patched(tqf::kWidthOffset, 0x10000)};
                         w.patchI32(tqf::kHeightOffset, 0x10000);
                         return w.take();
                     }()});
    cases.push_back({"negative skip count", patched(tqf::kSkipCountOffset, -1)});
    cases.push_back({"skip count past the end", patched(tqf::kSkipCountOffset, 0x7FFFFFFF)});
    cases.push_back({"negative glyph count", patched(countAt, -1)});
    cases.push_back({"glyph count past the end", patched(countAt, 1000)});
    cases.push_back({"glyph count overflows 32 bits", patched(countAt, 0x7FFFFFFF)});
    cases.push_back({"negative glyph width", patched(recordsAt + tqf::kGlyphWidthOffset, -8)});
    cases.push_back({"giant glyph height", patched(recordsAt + tqf::kGlyphHeightOffset, 1 << 30)});

    for (const Case& c : cases) {
        ScreenText text;
        EXPECT_FALSE(text.loadFontFromMemory(c.bytes.data(), c.bytes.size())) << c.name;
        EXPECT_TRUE(text.glyphs().empty()) << c.name;
        EXPECT_TRUE(text.ranges().empty()) << c.name;
        EXPECT_TRUE(text.fontTextures().empty()) << c.name;
    }

    // Every truncation of a good font fails cleanly, and a failed load keeps what was loaded before.
    ScreenText text;
    ASSERT_TRUE(text.loadFontFromMemory(good.data(), good.size()));
    for (size_t length = 0; length < good.size(); ++length) {
        EXPECT_FALSE(text.loadFontFromMemory(good.data(), length)) << length;
    }
    EXPECT_FALSE(text.loadFontFromMemory(nullptr, 4096));
    EXPECT_EQ(text.glyphs().size(), 5u);
    EXPECT_EQ(text.fontTextures().size(), 1u);

    // Trailing bytes after the pixels are harmless; an empty font is a valid font.
    std::vector<uint8_t> longer = good;
    longer.resize(longer.size() + 7, 0xAB);
    ScreenText trailing;
    EXPECT_TRUE(trailing.loadFontFromMemory(longer.data(), longer.size()));
    EXPECT_EQ(trailing.glyphs().size(), 5u);
    const std::vector<uint8_t> empty = fontBytes(0, 0, {}, {});
    ScreenText none;
    EXPECT_TRUE(none.loadFontFromMemory(empty.data(), empty.size()));
    EXPECT_TRUE(none.glyphs().empty());
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

TEST(ScreenTextFile, UnreadablePathsFail) {
    ScreenText text;
    EXPECT_FALSE(text.loadFont("/nonexistent/reef/font.tqf"));
    EXPECT_FALSE(text.loadFont("/"));  // a folder opens but does not read
    EXPECT_TRUE(text.glyphs().empty());
}

TEST(ScreenTextLines, SetTextSplitsAtLineFeeds) {
    struct Case {
        std::u16string in;
        std::vector<std::u16string> lines;
    };
    const Case cases[] = {
        {u"A\n\nB", {u"A", u"", u"B"}},
        {u"A\r\nB\r\n", {u"A\r", u"B\r"}},
        {u"A\n", {u"A"}},
        {u"", {}},
        {u"\n", {u""}},
        {u"\n\nX\n", {u"", u"", u"X"}},
        {u"one line", {u"one line"}},
    };
    ScreenText text;
    for (const Case& c : cases) {
        text.setText(u"stale\nlines\nfirst\nx\ny");
        text.setText(c.in);
        EXPECT_EQ(text.lines(), c.lines);
    }
    text.setLine(u"a\nb");
    EXPECT_EQ(text.lines(), std::vector<std::u16string>{u"a\nb"});
    text.setLine(u"");
    EXPECT_EQ(text.lines(), std::vector<std::u16string>{u""});
    text.clearText();
    EXPECT_TRUE(text.lines().empty());
}

TEST_F(ScreenTextGL, LayoutAdvancesByLastGlyphAndSkipsMissingCharacters) {
    ScreenText text;
    const std::vector<uint8_t> bytes = latinFont();
    ASSERT_TRUE(text.loadFontFromMemory(bytes.data(), bytes.size()));
    const uint32_t t = text.fontTextures()[0];
    text.setPosition(20.0f, 40.0f, 0.0f);

    // A, an empty line advanced by A's height, then B.
    text.setText(u"A\n\nB");
    text.layout();
    ASSERT_EQ(text.quads().size(), 2u);
    const ScreenText::Quad& a = text.quads()[0];
    EXPECT_EQ(a.texture, t);
    EXPECT_FLOAT_EQ(a.left, 20.0f);
    EXPECT_FLOAT_EQ(a.top, 40.0f);
    EXPECT_FLOAT_EQ(a.right, 28.0f);
    EXPECT_FLOAT_EQ(a.bottom, 52.0f);
    EXPECT_FLOAT_EQ(a.leftU, 0.0f);
    EXPECT_FLOAT_EQ(a.rightU, 0.1f);
    EXPECT_FLOAT_EQ(a.bottomV, 0.0f);
    EXPECT_FLOAT_EQ(a.topV, 0.5f);
    const ScreenText::Quad& b = text.quads()[1];
    EXPECT_FLOAT_EQ(b.left, 20.0f);
    EXPECT_FLOAT_EQ(b.top, 40.0f + 12.0f + 12.0f);
    EXPECT_FLOAT_EQ(b.right, 29.0f);
    EXPECT_FLOAT_EQ(b.bottom, 64.0f + 11.0f);
    EXPECT_FLOAT_EQ(b.rightU, 0.3f);

    // D is not in the font: C follows B directly; the line below advances by the
    // last glyph drawn (C, 12), not by the tallest.
    text.setText(u"BDC\nDg");
    text.layout();
    ASSERT_EQ(text.quads().size(), 3u);
    EXPECT_FLOAT_EQ(text.quads()[0].left, 20.0f);
    EXPECT_FLOAT_EQ(text.quads()[1].left, 29.0f);
    EXPECT_FLOAT_EQ(text.quads()[1].right, 36.0f);
    EXPECT_FLOAT_EQ(text.quads()[1].leftU, 0.5f);
    EXPECT_FLOAT_EQ(text.quads()[2].left, 20.0f);
    EXPECT_FLOAT_EQ(text.quads()[2].top, 52.0f);

    // Before any glyph is drawn, lines advance by the tallest glyph (g, 15).
    text.setText(u"\nDD\nE");
    text.layout();
    ASSERT_EQ(text.quads().size(), 1u);
    EXPECT_FLOAT_EQ(text.quads()[0].top, 40.0f + 15.0f + 15.0f);

    // A frame-rate line replaced every frame reuses its storage once laid out.
    text.setLine(u"ABCE 59.94");
    text.layout();
    const ScreenText::Quad* quadStorage = text.quads().data();
    const char16_t* lineStorage = text.lines()[0].data();
    for (int frame = 0; frame < 3; ++frame) {
        text.setLine(frame % 2 ? u"EBCA 60.01" : u"CAB 1");
        text.layout();
        EXPECT_EQ(text.quads().data(), quadStorage);
        EXPECT_EQ(text.lines()[0].data(), lineStorage);
    }

    // Nothing loaded: nothing laid out.
    ScreenText bare;
    bare.setText(u"ABC");
    bare.layout();
    EXPECT_TRUE(bare.quads().empty());
}

// One vertex as GL feedback reports it: window x, y and texture s, t.
struct FeedbackVertex {
    float x, y, s, t;
};

// Renders through GL feedback and returns the distinct vertices of every polygon
// (the renderer may split each quad into triangles, so only the corners are compared).
std::vector<FeedbackVertex> feedbackVertices(ScreenText& text, int viewportW, int viewportH) {
    glViewport(0, 0, viewportW, viewportH);
    // Per vertex: x, y, z, r, g, b, a, s, t, r, q.
    constexpr size_t kVertexFloats = 11;
    test::FeedbackExtras extras;
    const auto polygons = test::feedbackPolygons(GL_3D_COLOR_TEXTURE, static_cast<int>(kVertexFloats),
                                                 [&] { text.render(); }, &extras);
    EXPECT_FALSE(extras.overflowed);
    EXPECT_TRUE(extras.otherTokens.empty()) << "feedback holds primitives other than polygons";
    auto same = [](const FeedbackVertex& a, const FeedbackVertex& b) {
        return std::abs(a.x - b.x) < 1e-3f && std::abs(a.y - b.y) < 1e-3f && std::abs(a.s - b.s) < 1e-5f &&
               std::abs(a.t - b.t) < 1e-5f;
    };
    std::vector<FeedbackVertex> vertices;
    for (const std::vector<float>& polygon : polygons) {
        for (size_t i = 0; i + kVertexFloats <= polygon.size(); i += kVertexFloats) {
            const FeedbackVertex vertex{polygon[i], polygon[i + 1], polygon[i + 7], polygon[i + 8]};
            EXPECT_FLOAT_EQ(polygon[i + 2], 0.0f);  // z 0 sits on the near plane
            EXPECT_FLOAT_EQ(polygon[i + 3], 1.0f);  // colour from the object
            EXPECT_FLOAT_EQ(polygon[i + 4], 0.5f);
            EXPECT_FLOAT_EQ(polygon[i + 5], 0.25f);
            bool known = false;
            for (const FeedbackVertex& seen : vertices) known = known || same(seen, vertex);
            if (!known) vertices.push_back(vertex);
        }
    }
    return vertices;
}

void expectVertices(const std::vector<FeedbackVertex>& actual, const std::vector<FeedbackVertex>& expected) {
    ASSERT_EQ(actual.size(), expected.size());
    for (const FeedbackVertex& e : expected) {
        bool found = false;
        for (const FeedbackVertex& a : actual) {
            found = found || (std::abs(a.x - e.x) < 1e-3f && std::abs(a.y - e.y) < 1e-3f &&
                              std::abs(a.s - e.s) < 1e-5f && std::abs(a.t - e.t) < 1e-5f);
        }
        EXPECT_TRUE(found) << "missing corner (" << e.x << ", " << e.y << ") uv (" << e.s << ", " << e.t << ")";
    }
}

TEST_F(ScreenTextGL, DrawsQuadsInScreenPixelsAndRestoresState) {
    ScreenText text;
    const std::vector<uint8_t> bytes = latinFont();
    ASSERT_TRUE(text.loadFontFromMemory(bytes.data(), bytes.size()));
    text.setScreenSize(200, 100);
    text.setPosition(10.0f, 20.0f, 0.0f);
    text.setColour({1.0f, 0.5f, 0.25f});
    text.setLine(u"AB");

    glEnable(GL_DEPTH_TEST);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glTranslatef(3.0f, 4.0f, 5.0f);  // the scene's camera must not affect the text
    GLfloat modelview[16], projection[16];
    glGetFloatv(GL_MODELVIEW_MATRIX, modelview);
    glGetFloatv(GL_PROJECTION_MATRIX, projection);

    // The viewport is 200 x 100 pixels, so pixel (x, y) lands at window (x, 100 - y).
    // A: 8 x 12 at (10, 20), u 0..0.1; B: 9 x 11 right after it, u 0.2..0.3; v bottom 0, top 0.5.
    expectVertices(feedbackVertices(text, 200, 100), {
                                                         {18, 68, 0.1f, 0.0f},  // A bottom right
                                                         {10, 68, 0.0f, 0.0f},  // A bottom left
                                                         {10, 80, 0.0f, 0.5f},  // A top left
                                                         {18, 80, 0.1f, 0.5f},  // A top right
                                                         {27, 69, 0.3f, 0.0f},  // B bottom right
                                                         {18, 69, 0.2f, 0.0f},  // B bottom left
                                                         {18, 80, 0.2f, 0.5f},  // B top left
                                                         {27, 80, 0.3f, 0.5f},  // B top right
                                                     });

    // The object's scale applies in pixel space: A now spans (20, 40) to (36, 64).
    text.setScale(2.0f);
    text.setLine(u"A");
    expectVertices(feedbackVertices(text, 200, 100), {
                                                         {36, 36, 0.1f, 0.0f},
                                                         {20, 36, 0.0f, 0.0f},
                                                         {20, 60, 0.0f, 0.5f},
                                                         {36, 60, 0.1f, 0.5f},
                                                     });

    // Both matrices and the depth test come back; blending is off again.
    GLfloat after[16];
    glGetFloatv(GL_MODELVIEW_MATRIX, after);
    for (int k = 0; k < 16; ++k) EXPECT_FLOAT_EQ(after[k], modelview[k]);
    glGetFloatv(GL_PROJECTION_MATRIX, after);
    for (int k = 0; k < 16; ++k) EXPECT_FLOAT_EQ(after[k], projection[k]);
    GLint mode = 0;
    glGetIntegerv(GL_MATRIX_MODE, &mode);
    EXPECT_EQ(mode, GL_MODELVIEW);
    EXPECT_TRUE(glIsEnabled(GL_DEPTH_TEST));
    EXPECT_FALSE(glIsEnabled(GL_BLEND));
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

}  // namespace
}  // namespace reef
