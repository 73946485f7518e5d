// One OpenGL 2D texture loaded from a ".tqt" file (a Windows BMP), with a
// texture-coordinate offset and scale and the single/multitexture binding rules.
#pragma once

#include <cstdint>
#include <string>

namespace reef {

class AlphaMask;

class Texture {
public:
    // Load flags.
    static constexpr uint8_t kMipmap = 1;
    static constexpr uint8_t kLinearMin = 2;
    static constexpr uint8_t kNearestMin = 4;
    static constexpr uint8_t kNearest = 8;
    static constexpr uint8_t kClampS = 16;
    static constexpr uint8_t kSceneDefault = 34;  // what the scene passes for almost every texture
    // A picture whose every texel has the same colour goes up as its alpha channel
    // alone (a quarter of the memory); the colour becomes the texture's tint, which
    // whoever draws with it multiplies into the vertex colour (SceneObject does).
    // A picture whose colour varies goes up as usual.
    static constexpr uint8_t kAlphaOnly = 64;

    Texture() = default;
    ~Texture();
    Texture(const Texture&) = delete;
    Texture& operator=(const Texture&) = delete;

    // Decodes a BMP through the installed EngineImports and uploads it; flags as above.
    // Reports texts::kTextureFailed when the file cannot be decoded.
    // When keepAlpha is given, it receives the picture's alpha channel as well.
    bool loadBMP(const std::string& path, uint8_t flags, AlphaMask* keepAlpha = nullptr);
    void release();

    void setOffset(float u, float v) { m_offsetU = u; m_offsetV = v; }
    void setScale(float s) { m_scaleU = m_scaleV = s; }
    void setScaleU(float s) { m_scaleU = s; }
    float offsetU() const { return m_offsetU; }
    float offsetV() const { return m_offsetV; }
    float scaleU() const { return m_scaleU; }
    float scaleV() const { return m_scaleV; }

    void apply(bool multi, int unit) const;
    void emitTexCoord(float s, float t, bool multi, int unit) const;
    // The vertex-array form of emitTexCoord: this unit reads (s, t) pairs from the
    // array, and its texture matrix applies the scale and offset. Returns whether
    // the matrix was changed (clearTexCoordArray then restores it).
    bool applyTexCoordArray(const float* st, int strideBytes, bool multi, int unit) const;
    static void clearTexCoordArray(bool multi, int unit, bool restoreMatrix);
    static void unbindUnit(int unit);
    // Makes unit the active one (its texture environment and matrix); nothing
    // without multitexturing or for a unit beyond the count.
    static void selectUnit(int unit);
    // The one-time lookup of the multitexture entry points (needs a current context).
    static bool initMultiTexture();
    static bool multiTextureAvailable();
    // GL_MAX_TEXTURE_UNITS_ARB as read by the lookup; 0 before it.
    static int textureUnitCount();
    // Whether at least two units can be used and their texture environments can
    // combine (GL_COMBINE) with sources from any unit (crossbar): asked once, after
    // initMultiTexture succeeded, in the current context.
    static bool crossbarCombineAvailable();
    // Forgets the lookup so that the next initMultiTexture asks again (a new
    // context, or a test that installs other imports).
    static void resetMultiTexture();

    uint32_t name() const { return m_name; }
    bool loaded() const { return m_loaded; }
    // Whether only the alpha channel went up (see kAlphaOnly), and the colour every
    // texel had then; white otherwise.
    bool alphaOnly() const { return m_alphaOnly; }
    const float* tint() const { return m_tint; }
    // Whether every texel's alpha is 1: a picture without alpha, or one whose alpha
    // is 255 throughout. Blending with such a texture alone changes nothing.
    bool opaque() const { return m_opaque; }

private:
    // loadBMP without its answer to running out of memory.
    bool loadBMPOrThrow(const std::string& path, uint8_t flags, AlphaMask* keepAlpha);
    uint32_t m_name = 0;
    float m_offsetU = 0.0f, m_offsetV = 0.0f;
    float m_scaleU = 1.0f, m_scaleV = 1.0f;
    bool m_loaded = false;
    bool m_alphaOnly = false;
    bool m_opaque = false;
    float m_tint[3] = {1.0f, 1.0f, 1.0f};
};

}  // namespace reef
