#include "engine/Texture.h"

#include <GL/gl.h>
#include <GL/glext.h>
#include <GL/glu.h>

#include <algorithm>
#include <array>
#include <cstdio>
#include <new>
#include <optional>
#include <vector>

#include "core/Diagnostics.h"
#include "core/DiagnosticTexts.h"
#include "engine/AlphaMask.h"
#include "engine/EngineImports.h"
#include "engine/TrueColour.h"

namespace reef {

namespace {

// Process-wide multitexture state: looked up once, on the render thread, in the
// one GL context (see engineImports() for why the engine keeps it global).
struct MultiTexture {
    bool tried = false;
    bool available = false;
    PFNGLACTIVETEXTUREARBPROC activeTexture = nullptr;
    PFNGLMULTITEXCOORD2FARBPROC multiTexCoord2f = nullptr;
    PFNGLCLIENTACTIVETEXTUREARBPROC clientActiveTexture = nullptr;
    int unitCount = 0;
    int crossbarCombine = -1;  // unknown until asked; then 0 or 1
};
MultiTexture g_multi;

// GL_TEXTURE0_ARB + unit for units 0 to 31; any other number selects unit 0.
GLenum unitEnum(int unit) {
    return GL_TEXTURE0_ARB + static_cast<GLenum>((unit >= 0 && unit < 32) ? unit : 0);
}

bool unitUsable(int unit) { return unit >= 0 && unit < g_multi.unitCount; }

// The colour (blue, green, red bytes) every texel of a 4-byte image has, or
// nothing when the colour varies.
std::optional<std::array<uint8_t, 3>> sharedColour(const DecodedImage& image) {
    if (image.bytesPerPixel != 4) return std::nullopt;
    const std::array<uint8_t, 3> first = {image.pixels[0], image.pixels[1], image.pixels[2]};
    for (int y = 0; y < image.height; ++y) {
        const uint8_t* p = image.pixels.data() + static_cast<size_t>(y) * static_cast<size_t>(image.pitch);
        for (int x = 0; x < image.width; ++x, p += 4)
            if (p[0] != first[0] || p[1] != first[1] || p[2] != first[2]) return std::nullopt;
    }
    return first;
}

// The alpha bytes of a 4-byte image, one byte a texel, rows closed up.
DecodedImage alphaChannel(const DecodedImage& image) {
    DecodedImage out;
    out.width = image.width;
    out.height = image.height;
    out.bytesPerPixel = 1;
    out.pitch = image.width;
    out.pixels.resize(static_cast<size_t>(image.width) * static_cast<size_t>(image.height));
    uint8_t* dst = out.pixels.data();
    for (int y = 0; y < image.height; ++y) {
        const uint8_t* p = image.pixels.data() + static_cast<size_t>(y) * static_cast<size_t>(image.pitch);
        for (int x = 0; x < image.width; ++x, p += 4) *dst++ = p[3];
    }
    return out;
}

// Whether every pixel of a 32-bit image has alpha 255.
bool alphaIsFull(const DecodedImage& image) {
    for (int y = 0; y < image.height; ++y) {
        const uint8_t* p = image.pixels.data() + static_cast<size_t>(y) * static_cast<size_t>(image.pitch);
        for (int x = 0; x < image.width; ++x, p += 4)
            if (p[3] != 255) return false;
    }
    return true;
}

void upload(const DecodedImage& image, uint8_t flags, GLint internalFormat, GLenum sourceFormat) {
    const int bpp = image.bytesPerPixel;
    const int rowBytes = image.width * bpp;
    const uint8_t* pixels = image.pixels.data();
    std::vector<uint8_t> packed;

    // Rows go up as decoded, top row first; the pixel store describes their padding.
    glPushClientAttrib(GL_CLIENT_PIXEL_STORE_BIT);
    glPixelStorei(GL_UNPACK_SKIP_ROWS, 0);
    glPixelStorei(GL_UNPACK_SKIP_PIXELS, 0);
    if (image.pitch == rowBytes) {
        glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
        glPixelStorei(GL_UNPACK_ROW_LENGTH, 0);
    } else if (image.pitch == ((rowBytes + 3) & ~3)) {
        glPixelStorei(GL_UNPACK_ALIGNMENT, 4);
        glPixelStorei(GL_UNPACK_ROW_LENGTH, 0);
    } else if (image.pitch % bpp == 0) {
        glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
        glPixelStorei(GL_UNPACK_ROW_LENGTH, image.pitch / bpp);
    } else {
        // A pitch OpenGL cannot describe: close the rows up first.
        packed.resize(static_cast<size_t>(rowBytes) * static_cast<size_t>(image.height));
        for (int row = 0; row < image.height; ++row) {
            const uint8_t* src = pixels + static_cast<size_t>(row) * static_cast<size_t>(image.pitch);
            std::copy(src, src + rowBytes, packed.begin() + static_cast<ptrdiff_t>(row) * rowBytes);
        }
        pixels = packed.data();
        glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
        glPixelStorei(GL_UNPACK_ROW_LENGTH, 0);
    }
    if (flags & Texture::kMipmap) {
        gluBuild2DMipmaps(GL_TEXTURE_2D, internalFormat, image.width, image.height, sourceFormat,
                          GL_UNSIGNED_BYTE, pixels);
    } else {
        glTexImage2D(GL_TEXTURE_2D, 0, internalFormat, image.width, image.height, 0, sourceFormat,
                     GL_UNSIGNED_BYTE, pixels);
    }
    glPopClientAttrib();
}

}  // namespace

Texture::~Texture() { release(); }

// NOTE: decoding allocates what the image needs (tens of megabytes for a large
// one); when memory runs out the texture is reported and left out like any
// that fails to load, instead of ending the program.
bool Texture::loadBMP(const std::string& path, uint8_t flags, AlphaMask* keepAlpha) {
    try {
        return loadBMPOrThrow(path, flags, keepAlpha);
    } catch (const std::bad_alloc&) {
        release();
        if (keepAlpha) keepAlpha->clear();
        reportf(Channel::Output, texts::kTextureFailed, path.c_str());
        return false;
    }
}

bool Texture::loadBMPOrThrow(const std::string& path, uint8_t flags, AlphaMask* keepAlpha) {
    release();
    if (keepAlpha) keepAlpha->clear();
    // Palette and 16-bit images are converted to blue-green-red rows first.
    const std::optional<DecodedImage> image = decodeTrueColour(path);
    if (!image) {
        reportf(Channel::Output, texts::kTextureFailed, path.c_str());
        return false;
    }
    if (keepAlpha) keepAlpha->assign(*image);

    GLuint name = 0;
    glGenTextures(1, &name);
    m_name = name;
    glBindTexture(GL_TEXTURE_2D, m_name);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, (flags & kClampS) ? GL_CLAMP : GL_REPEAT);

    GLint minFilter = GL_LINEAR;
    GLint magFilter = GL_LINEAR;
    if (flags & kNearest) {
        minFilter = magFilter = GL_NEAREST;
    } else if (flags & kNearestMin) {
        minFilter = GL_NEAREST;
    } else if (flags & kLinearMin) {
        minFilter = GL_LINEAR;
    } else if (flags & kMipmap) {
        minFilter = GL_LINEAR_MIPMAP_NEAREST;
    }
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, minFilter);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, magFilter);

    const std::optional<std::array<uint8_t, 3>> colour =
        (flags & kAlphaOnly) ? sharedColour(*image) : std::nullopt;
    if (colour) {
        upload(alphaChannel(*image), flags, GL_ALPHA8, GL_ALPHA);
        m_alphaOnly = true;
        // Bytes are blue, green, red.
        for (int c = 0; c < 3; ++c) m_tint[c] = static_cast<float>((*colour)[static_cast<size_t>(2 - c)]) / 255.0f;
    } else if (image->bytesPerPixel == 3) {
        // Stored with an alpha of 1 rather than as RGB: the driver keeps four bytes a
        // texel either way, and one format for every colour texture lets draws that
        // differ only in their texture share the driver's compiled shaders.
        upload(*image, flags, GL_RGBA, GL_BGR_EXT);
        m_opaque = true;
    } else if (image->bytesPerPixel == 4) {
        upload(*image, flags, GL_RGBA, GL_BGRA_EXT);
        m_opaque = alphaIsFull(*image);
    }
    m_loaded = true;
    return true;
}

void Texture::release() {
    if (!m_loaded) return;
    const GLuint name = m_name;
    glDeleteTextures(1, &name);
    m_name = 0;
    m_loaded = false;
    m_alphaOnly = false;
    m_opaque = false;
    m_tint[0] = m_tint[1] = m_tint[2] = 1.0f;
}

void Texture::apply(bool multi, int unit) const {
    if (g_multi.available && multi) {
        if (!unitUsable(unit)) return;
        g_multi.activeTexture(unitEnum(unit));
        glEnable(GL_TEXTURE_2D);
        glBindTexture(GL_TEXTURE_2D, m_name);
        glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE);
        return;
    }
    glEnable(GL_TEXTURE_2D);
    glBindTexture(GL_TEXTURE_2D, m_name);
}

void Texture::emitTexCoord(float s, float t, bool multi, int unit) const {
    const float u = s * m_scaleU + m_offsetU;
    const float v = t * m_scaleV + m_offsetV;
    if (g_multi.available && multi) {
        if (unitUsable(unit)) g_multi.multiTexCoord2f(unitEnum(unit), u, v);
        return;
    }
    glTexCoord2f(u, v);
}

bool Texture::applyTexCoordArray(const float* st, int strideBytes, bool multi, int unit) const {
    const bool units = g_multi.available && multi;
    if (units) {
        if (!unitUsable(unit)) return false;
        g_multi.activeTexture(unitEnum(unit));
        g_multi.clientActiveTexture(unitEnum(unit));
    }
    const bool transformed = m_scaleU != 1.0f || m_scaleV != 1.0f || m_offsetU != 0.0f || m_offsetV != 0.0f;
    if (transformed) {
        // u = s * scaleU + offsetU, v = t * scaleV + offsetV, as emitTexCoord computes them.
        glMatrixMode(GL_TEXTURE);
        glLoadIdentity();
        glTranslatef(m_offsetU, m_offsetV, 0.0f);
        glScalef(m_scaleU, m_scaleV, 1.0f);
        glMatrixMode(GL_MODELVIEW);
    }
    glEnableClientState(GL_TEXTURE_COORD_ARRAY);
    glTexCoordPointer(2, GL_FLOAT, strideBytes, st);
    if (units) {
        g_multi.activeTexture(GL_TEXTURE0_ARB);
        g_multi.clientActiveTexture(GL_TEXTURE0_ARB);
    }
    return transformed;
}

void Texture::clearTexCoordArray(bool multi, int unit, bool restoreMatrix) {
    const bool units = g_multi.available && multi;
    if (units) {
        if (!unitUsable(unit)) return;
        g_multi.activeTexture(unitEnum(unit));
        g_multi.clientActiveTexture(unitEnum(unit));
    }
    if (restoreMatrix) {
        glMatrixMode(GL_TEXTURE);
        glLoadIdentity();
        glMatrixMode(GL_MODELVIEW);
    }
    glDisableClientState(GL_TEXTURE_COORD_ARRAY);
    if (units) {
        g_multi.activeTexture(GL_TEXTURE0_ARB);
        g_multi.clientActiveTexture(GL_TEXTURE0_ARB);
    }
}

void Texture::unbindUnit(int unit) {
    if (!g_multi.available || !unitUsable(unit)) return;
    g_multi.activeTexture(unitEnum(unit));
    glDisable(GL_TEXTURE_2D);
    g_multi.activeTexture(GL_TEXTURE0_ARB);
}

void Texture::selectUnit(int unit) {
    if (!g_multi.available || !unitUsable(unit)) return;
    g_multi.activeTexture(unitEnum(unit));
}

bool Texture::initMultiTexture() {
    if (g_multi.available) return true;
    if (g_multi.tried) return false;
    g_multi.tried = true;
    EngineImports* imports = engineImports();
    if (!imports) return false;
    auto active = reinterpret_cast<PFNGLACTIVETEXTUREARBPROC>(imports->glProcAddress("glActiveTextureARB"));
    auto coord = reinterpret_cast<PFNGLMULTITEXCOORD2FARBPROC>(imports->glProcAddress("glMultiTexCoord2fARB"));
    auto clientActive =
        reinterpret_cast<PFNGLCLIENTACTIVETEXTUREARBPROC>(imports->glProcAddress("glClientActiveTextureARB"));
    if (!active || !coord || !clientActive) return false;
    GLint units = 0;
    glGetIntegerv(GL_MAX_TEXTURE_UNITS_ARB, &units);
    g_multi.activeTexture = active;
    g_multi.multiTexCoord2f = coord;
    g_multi.clientActiveTexture = clientActive;
    g_multi.unitCount = units;
    g_multi.available = true;
    return true;
}

bool Texture::multiTextureAvailable() { return g_multi.available; }

bool Texture::crossbarCombineAvailable() {
    if (!g_multi.available || g_multi.unitCount < 2) return false;
    if (g_multi.crossbarCombine < 0) {
        const char* text = reinterpret_cast<const char*>(glGetString(GL_EXTENSIONS));
        const std::string extensions = text ? std::string(" ") + text + " " : std::string();
        const auto has = [&extensions](const char* name) {
            return extensions.find(std::string(" ") + name + " ") != std::string::npos;
        };
        g_multi.crossbarCombine = has("GL_ARB_texture_env_combine") && has("GL_ARB_texture_env_crossbar") ? 1 : 0;
    }
    return g_multi.crossbarCombine == 1;
}

int Texture::textureUnitCount() { return g_multi.unitCount; }

void Texture::resetMultiTexture() { g_multi = MultiTexture{}; }

}  // namespace reef
