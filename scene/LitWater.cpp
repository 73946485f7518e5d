#include "scene/LitWater.h"

#include <GL/gl.h>
#include <GL/glext.h>

#include <array>

#include "core/Math.h"
#include "engine/Texture.h"
#include "scene/MaskedGrid.h"
#include "scene/WaterGrid.h"

namespace reef {

namespace {

// Column-major affine matrices (last row 0 0 0 1), as SceneObject::objectMatrix gives.
Vec3 transform(const Mat4& a, const Vec3& p) {
    const float* m = a.m;
    return {m[0] * p.x + m[4] * p.y + m[8] * p.z + m[12], m[1] * p.x + m[5] * p.y + m[9] * p.z + m[13],
            m[2] * p.x + m[6] * p.y + m[10] * p.z + m[14]};
}

Mat4 affineInverse(const Mat4& a) {
    const float* m = a.m;
    // The 3 x 3 part by its adjugate; the placements here never scale to zero.
    const float c00 = m[5] * m[10] - m[9] * m[6], c01 = m[8] * m[6] - m[4] * m[10], c02 = m[4] * m[9] - m[8] * m[5];
    const float det = m[0] * c00 + m[1] * c01 + m[2] * c02;
    const float f = det != 0.0f ? 1.0f / det : 0.0f;
    Mat4 r;
    r.m[0] = c00 * f;
    r.m[4] = c01 * f;
    r.m[8] = c02 * f;
    r.m[1] = (m[9] * m[2] - m[1] * m[10]) * f;
    r.m[5] = (m[0] * m[10] - m[8] * m[2]) * f;
    r.m[9] = (m[8] * m[1] - m[0] * m[9]) * f;
    r.m[2] = (m[1] * m[6] - m[5] * m[2]) * f;
    r.m[6] = (m[4] * m[2] - m[0] * m[6]) * f;
    r.m[10] = (m[0] * m[5] - m[4] * m[1]) * f;
    const Vec3 t = transform(r, Vec3{m[12], m[13], m[14]});
    r.m[12] = -t.x;
    r.m[13] = -t.y;
    r.m[14] = -t.z;
    return r;
}

constexpr GLenum kRgbSources[3] = {GL_SOURCE0_RGB_ARB, GL_SOURCE1_RGB_ARB, GL_SOURCE2_RGB_ARB};
constexpr GLenum kRgbOperands[3] = {GL_OPERAND0_RGB_ARB, GL_OPERAND1_RGB_ARB, GL_OPERAND2_RGB_ARB};
constexpr GLenum kAlphaSources[3] = {GL_SOURCE0_ALPHA_ARB, GL_SOURCE1_ALPHA_ARB, GL_SOURCE2_ALPHA_ARB};
constexpr GLenum kAlphaOperands[3] = {GL_OPERAND0_ALPHA_ARB, GL_OPERAND1_ALPHA_ARB, GL_OPERAND2_ALPHA_ARB};

// One combine function of the active unit (GL_COMBINE_RGB_ARB or GL_COMBINE_ALPHA_ARB)
// with up to three sources and their operands (GL_NONE ends the list).
void setCombine(GLenum function, GLenum combine, std::array<GLenum, 3> sources, std::array<GLenum, 3> operands) {
    const bool rgb = function == GL_COMBINE_RGB_ARB;
    const GLenum* sourceNames = rgb ? kRgbSources : kAlphaSources;
    const GLenum* operandNames = rgb ? kRgbOperands : kAlphaOperands;
    glTexEnvi(GL_TEXTURE_ENV, function, static_cast<GLint>(combine));
    for (size_t i = 0; i < 3 && sources[i] != GL_NONE; ++i) {
        glTexEnvi(GL_TEXTURE_ENV, sourceNames[i], static_cast<GLint>(sources[i]));
        glTexEnvi(GL_TEXTURE_ENV, operandNames[i], static_cast<GLint>(operands[i]));
    }
}

constexpr float kNoColour[4] = {0.0f, 0.0f, 0.0f, 0.0f};
constexpr float kOpaque[4] = {0.0f, 0.0f, 0.0f, 1.0f};

}  // namespace

void LitWater::attach(WaterGrid* water, MaskedGrid* light) {
    m_water = water;
    m_light = light;
    const size_t count = water ? water->vertices().size() : 0;
    m_colours.assign(count * 4, 0.0f);
}

void LitWater::detach() {
    m_water = nullptr;
    m_light = nullptr;
    std::vector<float>().swap(m_colours);
}

bool LitWater::singlePass() const {
    if (!m_singlePassAllowed || !m_water || !m_light || m_water->vertices().empty()) return false;
    if (m_colours.size() != m_water->vertices().size() * 4) return false;
    if (m_water->textureCount() != 1 || m_light->textureCount() != 1 || m_light->drawnCells() == 0) return false;
    const Texture* water = m_water->texture(0);
    const Texture* frame = m_light->texture(0);
    if (!water || !frame || water->alphaOnly() || !frame->alphaOnly()) return false;
    if (!m_water->blend() || !m_light->blend() || m_water->drawColour() != std::array<float, 4>{1, 1, 1, 1})
        return false;
    // Asked last: the lookup needs the context, which the checks above do not.
    return Texture::initMultiTexture() && Texture::crossbarCombineAvailable();
}

void LitWater::render() {
    if (singlePass()) {
        renderSinglePass();
        return;
    }
    if (m_water) m_water->render();
    if (m_light) m_light->render();
}

// NOTE: called with the water's placement on the matrix. The pattern lies in its own
// x-y plane; a point P of the water shows the pattern's point where the line from the
// eye E to P crosses that plane, when the plane lies between them (beyond the water
// the pattern would fail the depth test). In the pattern's frame that point is
// (Ez Px - Ex Pz, Ez Py - Ey Pz) / (Ez - Pz): linear in P over a linear q, so the
// texture coordinates are generated from the water's object coordinates with q and
// are exact at every pixel. The fade is the pattern's vertex alpha at each water
// vertex's point.
void LitWater::projectPattern() {
    float modelView[16];
    glGetFloatv(GL_MODELVIEW_MATRIX, modelView);
    Mat4 waterToEye;
    for (int i = 0; i < 16; ++i) waterToEye.m[i] = modelView[i];
    const Vec3 eyeInWater = transform(affineInverse(waterToEye), Vec3{});
    const Mat4 waterToLight = multiply(affineInverse(m_light->objectMatrix()), m_water->objectMatrix());
    const Vec3 eye = transform(waterToLight, eyeInWater);
    const float width = m_light->width(), height = m_light->height();

    // Row r of waterToLight: the pattern-frame coordinate r of a water point.
    const auto row = [&waterToLight](int r) {
        return std::array<float, 4>{waterToLight.m[r], waterToLight.m[4 + r], waterToLight.m[8 + r],
                                    waterToLight.m[12 + r]};
    };
    const std::array<float, 4> x = row(0), y = row(1), z = row(2);
    for (size_t i = 0; i < 4; ++i) {
        const float q = (i == 3 ? eye.z : 0.0f) - z[i];
        const float numX = eye.z * x[i] - eye.x * z[i];
        const float numY = eye.z * y[i] - eye.y * z[i];
        m_planeS[i] = numX / width + 0.5f * q;
        m_planeT[i] = 0.5f * q - numY / height;
        m_planeQ[i] = q;
    }

    const std::array<float, 4> colour = m_light->drawColour();
    float* rgba = m_colours.data();
    for (const WaterGrid::Vertex& v : m_water->vertices()) {
        const Vec3 p = transform(waterToLight, Vec3{v.x, v.y, v.z});
        const float towardWater = eye.z - p.z;
        const float t = towardWater != 0.0f ? eye.z / towardWater : -1.0f;
        float alpha = 0.0f;
        if (t > 0.0f && t <= 1.0f) {
            const float s = (eye.x + t * (p.x - eye.x)) / width + 0.5f;
            const float u = 0.5f - (eye.y + t * (p.y - eye.y)) / height;
            alpha = colour[3] * m_light->maskAt(s, u);
        }
        *rgba++ = colour[0];
        *rgba++ = colour[1];
        *rgba++ = colour[2];
        *rgba++ = alpha;
    }
}

// Unit 1's coordinates from the planes of projectPattern, then the frame's own scale
// and offset on its texture matrix (the translation is multiplied by q, so it stays an
// offset after the division). Off again with on false.
void LitWater::generatePatternCoordinates(const Texture& frame, bool on) {
    Texture::selectUnit(1);
    const GLenum coordinates[3] = {GL_S, GL_T, GL_Q};
    const GLenum enables[3] = {GL_TEXTURE_GEN_S, GL_TEXTURE_GEN_T, GL_TEXTURE_GEN_Q};
    const float* planes[3] = {m_planeS.data(), m_planeT.data(), m_planeQ.data()};
    for (int i = 0; i < 3; ++i) {
        if (on) {
            glTexGeni(coordinates[i], GL_TEXTURE_GEN_MODE, GL_OBJECT_LINEAR);
            glTexGenfv(coordinates[i], GL_OBJECT_PLANE, planes[i]);
            glEnable(enables[i]);
        } else {
            glDisable(enables[i]);
        }
    }
    glMatrixMode(GL_TEXTURE);
    glLoadIdentity();
    if (on) {
        glTranslatef(frame.offsetU(), frame.offsetV(), 0.0f);
        glScalef(frame.scaleU(), frame.scaleV(), 1.0f);
    }
    glMatrixMode(GL_MODELVIEW);
    Texture::selectUnit(0);
}

// Unit 0: colour = water colour x water alpha, alpha = frame alpha x vertex alpha
// (the pattern's coverage a2). Unit 1: colour = pattern colour x a2 + previous x
// (1 - a2), alpha = a2 + water alpha x (1 - a2). With the blend (1, 1 - alpha) that
// is the pattern blended over the water blended over the frame buffer.
void LitWater::renderSinglePass() {
    Texture* frame = m_light->texture(0);
    const float frameScale = m_light->textureScale(0);
    if (frameScale != 1.0f) frame->setScale(frameScale);  // as the pattern's own draw does

    m_water->beginDraw();
    projectPattern();
    frame->apply(true, 1);
    glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_COMBINE_ARB);
    setCombine(GL_COMBINE_RGB_ARB, GL_INTERPOLATE_ARB, {GL_PRIMARY_COLOR_ARB, GL_PREVIOUS_ARB, GL_PREVIOUS_ARB},
               {GL_SRC_COLOR, GL_SRC_COLOR, GL_SRC_ALPHA});
    setCombine(GL_COMBINE_ALPHA_ARB, GL_INTERPOLATE_ARB, {GL_CONSTANT_ARB, GL_TEXTURE0_ARB, GL_PREVIOUS_ARB},
               {GL_SRC_ALPHA, GL_SRC_ALPHA, GL_SRC_ALPHA});
    glTexEnvfv(GL_TEXTURE_ENV, GL_TEXTURE_ENV_COLOR, kOpaque);
    Texture::selectUnit(0);
    glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_COMBINE_ARB);
    setCombine(GL_COMBINE_RGB_ARB, GL_MODULATE, {GL_TEXTURE, GL_TEXTURE, GL_NONE}, {GL_SRC_COLOR, GL_SRC_ALPHA, 0});
    setCombine(GL_COMBINE_ALPHA_ARB, GL_MODULATE, {GL_TEXTURE1_ARB, GL_PRIMARY_COLOR_ARB, GL_NONE},
               {GL_SRC_ALPHA, GL_SRC_ALPHA, 0});
    // The pattern's coverage is blended in even where the water alone is opaque.
    glBlendFunc(GL_ONE, GL_ONE_MINUS_SRC_ALPHA);
    glEnable(GL_BLEND);

    const std::vector<WaterGrid::Vertex>& vertices = m_water->vertices();
    const std::vector<uint32_t>& quads = m_water->quadIndices();
    glEnableClientState(GL_VERTEX_ARRAY);
    glEnableClientState(GL_COLOR_ARRAY);
    glVertexPointer(3, GL_FLOAT, sizeof(WaterGrid::Vertex), &vertices[0].x);
    glColorPointer(4, GL_FLOAT, 0, m_colours.data());
    m_water->enableTexCoordArrays(&vertices[0].u, sizeof(WaterGrid::Vertex));
    generatePatternCoordinates(*frame, true);
    glDrawElements(GL_QUADS, static_cast<GLsizei>(quads.size()), GL_UNSIGNED_INT, quads.data());
    generatePatternCoordinates(*frame, false);
    m_water->disableTexCoordArrays();
    glDisableClientState(GL_COLOR_ARRAY);
    glDisableClientState(GL_VERTEX_ARRAY);

    glDisable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE);
    Texture::selectUnit(1);
    glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE);
    glTexEnvfv(GL_TEXTURE_ENV, GL_TEXTURE_ENV_COLOR, kNoColour);
    Texture::unbindUnit(1);
    m_water->endDraw();
}

}  // namespace reef
