// Lines of wide text drawn with ".tqf" bitmap fonts in screen pixels over the
// 3D image (help hint, help overlay, frame-rate line of the viewer).
//
// Coordinates: pixels from the top-left corner of a screenWidth x screenHeight
// area, y growing downward. setPosition(x, y, z) places the top-left corner of
// the first line (z is ignored).
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "engine/SceneObject.h"

namespace reef {

class ScreenText : public SceneObject {
public:
    // One glyph of a loaded font, with the GL texture of the font it came from.
    struct Glyph {
        char16_t code = 0;
        int width = 0;   // pixels
        int height = 0;  // pixels
        float leftU = 0.0f;
        float rightU = 0.0f;
        float bottomV = 0.0f;
        float topV = 0.0f;
        uint32_t texture = 0;  // GL texture name
    };

    // A run of consecutive codes; code c maps to glyphs()[firstGlyph + (c - first)].
    struct Range {
        char16_t first = 0;
        char16_t last = 0;
        size_t firstGlyph = 0;
    };

    // One glyph quad as draw() submits it: corners in pixels, texture coordinates.
    struct Quad {
        uint32_t texture = 0;
        float left = 0.0f, top = 0.0f, right = 0.0f, bottom = 0.0f;  // pixels
        float leftU = 0.0f, rightU = 0.0f, bottomV = 0.0f, topV = 0.0f;
    };

    ScreenText();
    ~ScreenText() override;
    ScreenText(const ScreenText&) = delete;
    ScreenText& operator=(const ScreenText&) = delete;

    // Reads a ".tqf" file and adds its glyphs (codes already present keep their
    // glyph). False when the file cannot be opened or is not a consistent font;
    // a bad font adds nothing. Needs a current GL context.
    bool loadFont(const std::string& path);
    // The same from the file's bytes.
    bool loadFontFromMemory(const uint8_t* data, size_t size);
    // The glyphs of a font file as loading would add them (their texture still
    // 0), without any GL call; nothing when the file is not a consistent font.
    static std::optional<std::vector<Glyph>> readFontGlyphs(const uint8_t* data, size_t size);

    // Replaces the lines by the text split at each line feed (a trailing line feed
    // ends the last line; a carriage return stays in its line).
    void setText(std::u16string_view text);
    // Replaces the lines by the text as one line.
    void setLine(std::u16string_view text);
    void clearText();
    // The size in pixels of the area the text is laid out in.
    void setScreenSize(int width, int height);

    void beginDraw() override;
    void draw() override;
    void endDraw() override;

    // The glyph for a character code, or nullptr when no loaded font has one.
    const Glyph* findGlyph(char16_t code) const;
    // Computes the quads draw() submits for the current lines and position.
    void layout();
    const std::vector<Quad>& quads() const { return m_quads; }

    const std::vector<std::u16string>& lines() const { return m_lines; }
    const std::vector<Range>& ranges() const { return m_ranges; }
    const std::vector<Glyph>& glyphs() const { return m_glyphs; }
    const std::vector<uint32_t>& fontTextures() const { return m_fontTextures; }
    int screenWidth() const { return m_screenWidth; }
    int screenHeight() const { return m_screenHeight; }
    // How far the first line advances while no glyph has been drawn yet (pixels).
    int defaultLineHeight() const { return m_defaultLineHeight; }

private:
    void rebuildRanges();

    std::vector<std::u16string> m_lines;
    std::vector<Range> m_ranges;
    std::vector<Glyph> m_glyphs;
    int m_screenWidth = 800;
    int m_screenHeight = 600;
    std::vector<uint32_t> m_fontTextures;  // one per loaded font, deleted with the object
    int m_defaultLineHeight = 0;
    std::vector<Quad> m_quads;  // reused every frame
};

}  // namespace reef
