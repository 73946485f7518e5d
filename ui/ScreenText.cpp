#include "ui/ScreenText.h"

#include <GL/gl.h>

#include <algorithm>
#include <cstdio>

#include "engine/ByteReader.h"
#include "engine/FilePath.h"
#include "ui/FontFormat.h"

namespace reef {
namespace {

// Largest texture, every glyph and a generous skipped table (bytes).
constexpr size_t kMaxFontFileSize = size_t{256} << 20;

// Everything a font file holds, checked against its bytes before anything is used.
struct ParsedFont {
    int width = 0;   // texture pixels
    int height = 0;
    std::vector<ScreenText::Glyph> glyphs;  // file order, texture not yet known
    const uint8_t* pixels = nullptr;        // width * height * 2 bytes inside the input
};

bool parseFont(const uint8_t* data, size_t size, ParsedFont& out) {
    const ByteReader in(data, size);
    int32_t width = 0, height = 0, skipCount = 0, glyphCount = 0;
    if (!in.readI32(tqf::kWidthOffset, width) || !in.readI32(tqf::kHeightOffset, height) ||
        !in.readI32(tqf::kSkipCountOffset, skipCount))
        return false;
    if (width < 0 || height < 0 || width > tqf::kMaxTextureSide || height > tqf::kMaxTextureSide ||
        skipCount < 0)
        return false;
    const uint64_t countOffset = tqf::glyphCountOffset(static_cast<uint64_t>(skipCount));
    if (!in.readI32(countOffset, glyphCount)) return false;
    if (glyphCount < 0 || glyphCount > tqf::kMaxGlyphCount) return false;

    const uint64_t recordsOffset = tqf::glyphRecordsOffset(static_cast<uint64_t>(skipCount));
    const uint64_t recordsSize = tqf::kGlyphRecordSize * static_cast<uint64_t>(glyphCount);
    const uint64_t pixelsOffset = recordsOffset + recordsSize;
    const uint64_t pixelsSize =
        tqf::pixelBytes(static_cast<uint64_t>(width), static_cast<uint64_t>(height));
    if (!in.contains(recordsOffset, recordsSize) || !in.contains(pixelsOffset, pixelsSize)) return false;

    out.width = width;
    out.height = height;
    out.glyphs.clear();
    out.glyphs.reserve(static_cast<size_t>(glyphCount));
    for (int32_t i = 0; i < glyphCount; ++i) {
        const size_t at = static_cast<size_t>(recordsOffset) + tqf::kGlyphRecordSize * static_cast<size_t>(i);
        ScreenText::Glyph glyph;
        glyph.code = static_cast<char16_t>(in.u32At(at + tqf::kGlyphCodeOffset) & 0xFFFFu);
        glyph.width = in.i32At(at + tqf::kGlyphWidthOffset);
        glyph.height = in.i32At(at + tqf::kGlyphHeightOffset);
        // A glyph larger than any texture cannot be real; negative sizes would run the pen backwards.
        if (glyph.width < 0 || glyph.height < 0 || glyph.width > tqf::kMaxTextureSide ||
            glyph.height > tqf::kMaxTextureSide)
            return false;
        glyph.leftU = in.f32At(at + tqf::kGlyphLeftUOffset);
        glyph.rightU = in.f32At(at + tqf::kGlyphRightUOffset);
        glyph.bottomV = in.f32At(at + tqf::kGlyphBottomVOffset);
        glyph.topV = in.f32At(at + tqf::kGlyphTopVOffset);
        out.glyphs.push_back(glyph);
    }
    out.pixels = data + pixelsOffset;
    return true;
}

}  // namespace

ScreenText::ScreenText() = default;

ScreenText::~ScreenText() {
    if (!m_fontTextures.empty())
        glDeleteTextures(static_cast<GLsizei>(m_fontTextures.size()), m_fontTextures.data());
}

bool ScreenText::loadFont(const std::string& path) {
    const std::optional<std::vector<uint8_t>> bytes = readLoaderFile(path, kMaxFontFileSize, "ScreenText");
    return bytes && loadFontFromMemory(bytes->data(), bytes->size());
}

std::optional<std::vector<ScreenText::Glyph>> ScreenText::readFontGlyphs(const uint8_t* data, size_t size) {
    ParsedFont font;
    if (!parseFont(data, size, font)) return std::nullopt;
    return std::move(font.glyphs);
}

bool ScreenText::loadFontFromMemory(const uint8_t* data, size_t size) {
    // NOTE: the whole file is validated first, so a truncated or hostile font adds
    // no glyphs and creates no texture: it is all or nothing.
    ParsedFont font;
    if (!parseFont(data, size, font)) return false;

    GLuint name = 0;
    glGenTextures(1, &name);
    glBindTexture(GL_TEXTURE_2D, name);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE);
    m_fontTextures.push_back(name);

    for (Glyph glyph : font.glyphs) {
        glyph.texture = name;
        auto at = std::lower_bound(m_glyphs.begin(), m_glyphs.end(), glyph.code,
                                   [](const Glyph& g, char16_t code) { return g.code < code; });
        if (at != m_glyphs.end() && at->code == glyph.code) continue;  // the first font's glyph stays
        m_glyphs.insert(at, glyph);
        m_defaultLineHeight = std::max(m_defaultLineHeight, glyph.height);
    }

    // Rows are byte pairs: keep GL from expecting 4-byte row alignment for odd widths.
    GLint alignment = 4;
    glGetIntegerv(GL_UNPACK_ALIGNMENT, &alignment);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_LUMINANCE_ALPHA, font.width, font.height, 0, GL_LUMINANCE_ALPHA,
                 GL_UNSIGNED_BYTE, font.pixels);
    glPixelStorei(GL_UNPACK_ALIGNMENT, alignment);

    rebuildRanges();
    return true;
}

void ScreenText::rebuildRanges() {
    m_ranges.clear();
    for (size_t i = 0; i < m_glyphs.size(); ++i) {
        const char16_t code = m_glyphs[i].code;
        if (!m_ranges.empty() && m_ranges.back().last + 1 == code) {
            m_ranges.back().last = code;
        } else {
            m_ranges.push_back({code, code, i});
        }
    }
}

const ScreenText::Glyph* ScreenText::findGlyph(char16_t code) const {
    for (const Range& range : m_ranges) {
        if (code >= range.first && code <= range.last) return &m_glyphs[range.firstGlyph + (code - range.first)];
    }
    return nullptr;
}

void ScreenText::setText(std::u16string_view text) {
    // Reuse the existing line strings so a text set every frame does not allocate.
    size_t count = 0;
    size_t start = 0;
    while (start < text.size()) {
        const size_t feed = text.find(u'\n', start);
        const size_t end = feed == std::u16string_view::npos ? text.size() : feed;
        if (count < m_lines.size()) {
            m_lines[count].assign(text.substr(start, end - start));
        } else {
            m_lines.emplace_back(text.substr(start, end - start));
        }
        ++count;
        start = end + 1;
    }
    m_lines.resize(count);
}

void ScreenText::setLine(std::u16string_view text) {
    if (m_lines.empty()) {
        m_lines.emplace_back(text);
    } else {
        m_lines.resize(1);
        m_lines[0].assign(text);
    }
}

void ScreenText::clearText() { m_lines.clear(); }

void ScreenText::setScreenSize(int width, int height) {
    m_screenWidth = width;
    m_screenHeight = height;
}

void ScreenText::layout() {
    m_quads.clear();
    const float startX = m_position.x;
    float y = m_position.y;
    // NOTE: each line advances by the height of the last glyph drawn so far; until
    // a glyph has been drawn (an empty first line, or one whose characters the font
    // lacks) it advances by the tallest glyph of the loaded fonts, so a text that
    // starts with blank lines still keeps its line spacing.
    float lineAdvance = static_cast<float>(m_defaultLineHeight);
    for (const std::u16string& line : m_lines) {
        float x = startX;
        for (char16_t c : line) {
            const Glyph* glyph = findGlyph(c);
            if (!glyph) continue;  // not in the font: skipped, the pen stays
            const float w = static_cast<float>(glyph->width);
            const float h = static_cast<float>(glyph->height);
            m_quads.push_back({glyph->texture, x, y, x + w, y + h, glyph->leftU, glyph->rightU, glyph->bottomV,
                               glyph->topV});
            x += w;
            lineAdvance = h;
        }
        y += lineAdvance;
    }
}

void ScreenText::beginDraw() {
    glEnable(GL_TEXTURE_2D);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glEnable(GL_BLEND);
    // Pixel coordinates with y growing downward.
    glMatrixMode(GL_PROJECTION);
    glPushMatrix();
    glLoadIdentity();
    glOrtho(0.0, m_screenWidth, m_screenHeight, 0.0, 0.0, 1.0);
    glMatrixMode(GL_MODELVIEW);
    glPushMatrix();
    glLoadIdentity();
    glScalef(m_scaleX, m_scaleY, m_scaleZ);
    glDisable(GL_DEPTH_TEST);
    glColor4fv(m_colour);
}

void ScreenText::draw() {
    layout();
    // Consecutive glyphs of one font share one glBegin/glEnd; a texture change
    // needs a new one because binding is not allowed inside.
    uint32_t bound = 0;
    bool open = false;
    for (const Quad& q : m_quads) {
        if (!open || q.texture != bound) {
            if (open) glEnd();
            glBindTexture(GL_TEXTURE_2D, q.texture);
            bound = q.texture;
            glBegin(GL_QUADS);
            open = true;
        }
        glTexCoord2f(q.rightU, q.bottomV);
        glVertex3f(q.right, q.bottom, 0.0f);
        glTexCoord2f(q.leftU, q.bottomV);
        glVertex3f(q.left, q.bottom, 0.0f);
        glTexCoord2f(q.leftU, q.topV);
        glVertex3f(q.left, q.top, 0.0f);
        glTexCoord2f(q.rightU, q.topV);
        glVertex3f(q.right, q.top, 0.0f);
    }
    if (open) glEnd();
}

void ScreenText::endDraw() {
    glEnable(GL_DEPTH_TEST);
    glPopMatrix();  // modelview
    glMatrixMode(GL_PROJECTION);
    glPopMatrix();
    glMatrixMode(GL_MODELVIEW);
    glDisable(GL_BLEND);
}

}  // namespace reef
