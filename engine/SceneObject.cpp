#include "engine/SceneObject.h"

#include <GL/gl.h>

#include "engine/Texture.h"

namespace reef {

namespace {
Vec3 negateZ(const Vec3& v) { return {v.x, v.y, -v.z}; }
}  // namespace

SceneObject::SceneObject() = default;

SceneObject::~SceneObject() = default;

// The rotation of Euler placement: Rz * Ry * Rx, leaving out the angles that are 0.
Mat4 SceneObject::eulerRotation() const {
    Mat4 m;
    if (m_angleX != 0.0f) m = multiply(m_rx, m);
    if (m_angleY != 0.0f) m = multiply(m_ry, m);
    if (m_angleZ != 0.0f) m = multiply(m_rz, m);
    return m;
}

Mat4 SceneObject::objectMatrix() const {
    Mat4 m;
    if (m_flags & kEulerPlacement) {
        m = eulerRotation();
        m.m[12] = m_position.x;
        m.m[13] = m_position.y;
        m.m[14] = m_position.z;
    } else {
        m = placement(m_position, m_target, m_up);
    }
    const float scales[3] = {m_scaleX, m_scaleY, m_scaleZ};
    for (int column = 0; column < 3; ++column)
        for (int row = 0; row < 4; ++row) m.m[4 * column + row] *= scales[column];
    return m;
}

void SceneObject::beginDraw() {
    // Placement: the caller has pushed the matrix.
    if (m_flags & kEulerPlacement) {
        glTranslatef(m_position.x, m_position.y, m_position.z);
        const Mat4 m = eulerRotation();
        glMultMatrixf(m.m);
    } else {
        const Mat4 m = placement(m_position, m_target, m_up);
        glMultMatrixf(m.m);
    }
    if (m_scaleX != 1.0f || m_scaleY != 1.0f || m_scaleZ != 1.0f) glScalef(m_scaleX, m_scaleY, m_scaleZ);

    if (m_textured && !m_textures.empty()) {
        const size_t count = m_multi ? m_textures.size() : 1;
        for (size_t i = 0; i < count; ++i) {
            Texture* texture = m_textures[i];
            if (!texture) continue;
            // NOTE: the scale is written into the shared texture and stays there.
            if (m_textureScales[i] != 1.0f) texture->setScale(m_textureScales[i]);
            texture->apply(m_multi, static_cast<int>(i));
        }
    } else {
        glDisable(GL_TEXTURE_2D);
    }
    // Blending an alpha of 1 keeps the source as it is: such draws share the
    // driver's shaders for opaque drawing and skip reading the frame buffer.
    m_blending = m_blend && !drawsOpaque();
    if (m_blending) {
        glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
        glEnable(GL_BLEND);
    }
    if (!(m_flags & kDepthTest)) glDisable(GL_DEPTH_TEST);
    if (m_flags & kSphereMap) {
        glEnable(GL_TEXTURE_GEN_S);
        glEnable(GL_TEXTURE_GEN_T);
    }
    const std::array<float, 4> colour = drawColour();
    glColor4f(colour[0], colour[1], colour[2], colour[3]);
}

std::array<float, 4> SceneObject::drawColour() const {
    std::array<float, 4> colour = {m_colour[0], m_colour[1], m_colour[2], m_colour[3]};
    if (!m_textured || m_textures.empty()) return colour;
    const size_t count = m_multi ? m_textures.size() : 1;
    for (size_t i = 0; i < count; ++i) {
        const Texture* texture = m_textures[i];
        if (!texture || !texture->alphaOnly()) continue;
        for (size_t c = 0; c < 3; ++c) colour[c] *= texture->tint()[c];
    }
    return colour;
}

bool SceneObject::drawsOpaque() const {
    if (m_colour[3] < 1.0f || hasVertexAlpha()) return false;
    if (!m_textured || m_textures.empty()) return true;
    const size_t count = m_multi ? m_textures.size() : 1;
    for (size_t i = 0; i < count; ++i) {
        const Texture* texture = m_textures[i];
        if (!texture || !texture->opaque()) return false;
    }
    return true;
}

void SceneObject::draw() {}

void SceneObject::endDraw() {
    if (m_blending) glDisable(GL_BLEND);
    m_blending = false;
    if (m_flags & kSphereMap) {
        glDisable(GL_TEXTURE_GEN_S);
        glDisable(GL_TEXTURE_GEN_T);
    }
    if (m_multi) {
        for (size_t i = 0; i < m_textures.size(); ++i) Texture::unbindUnit(static_cast<int>(i));
        glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE);
    }
    if (!(m_flags & kDepthTest)) glEnable(GL_DEPTH_TEST);
}

void SceneObject::reset() {
    m_textures.clear();
    m_textureScales.clear();
    // Nothing is left to bind or to spread over units.
    m_textured = false;
    m_multi = false;
}

void SceneObject::render() {
    beginDraw();
    draw();
    endDraw();
}

void SceneObject::setPosition(float x, float y, float z) {
    const Vec3 stored{x, y, -z};
    if (!(m_flags & kEulerPlacement)) {
        // Look-at placement keeps the facing: the target moves along.
        m_target = add(m_target, sub(stored, m_position));
    }
    m_position = stored;
}

void SceneObject::placeAt(float x, float y, float z) { m_position = {x, y, -z}; }
void SceneObject::setTarget(float x, float y, float z) { m_target = {x, y, -z}; }
void SceneObject::setUp(float x, float y, float z) { m_up = {x, y, -z}; }
Vec3 SceneObject::getPosition() const { return negateZ(m_position); }
Vec3 SceneObject::getTarget() const { return negateZ(m_target); }
Vec3 SceneObject::getUp() const { return negateZ(m_up); }

void SceneObject::setAngleX(float degrees) {
    m_angleX = wrap(degrees, 360);
    m_rx = rotationX(m_angleX);
}

void SceneObject::setAngleY(float degrees) {
    m_angleY = wrap(degrees, 360);
    m_ry = rotationY(m_angleY);
}

void SceneObject::setAngleZ(float degrees) {
    m_angleZ = wrap(degrees, 360);
    m_rz = rotationZ(m_angleZ);
}

void SceneObject::turnY(float degrees) { setAngleY(m_angleY + degrees); }

void SceneObject::moveForward(float distance) {
    const Vec3 step = scale(normalized(sub(m_target, m_position)), distance);
    m_position = add(m_position, step);
    m_target = add(m_target, step);
}

void SceneObject::turn(float degrees) {
    Vec3 d = sub(m_target, m_position);
    Quat q = fromAxisAngle(m_up, degrees);
    normalize(q);
    d = transformPoint(d, toMatrix(q));
    m_target = add(m_position, d);
}

void SceneObject::roll(float degrees) {
    const Vec3 axis = normalized(sub(m_target, m_position));
    Quat q = fromAxisAngle(axis, degrees);
    normalize(q);
    m_up = transformPoint(m_up, toMatrix(q));
    normalize(m_up);
}

void SceneObject::setScale(float s) { m_scaleX = m_scaleY = m_scaleZ = s; }

void SceneObject::setScale3(float x, float y, float z) {
    m_scaleX = x;
    m_scaleY = y;
    m_scaleZ = z;
}

void SceneObject::setColour(const Vec3& rgb) {
    m_colour[0] = rgb.x;
    m_colour[1] = rgb.y;
    m_colour[2] = rgb.z;
}

void SceneObject::addTexture(Texture* texture) {
    m_textures.push_back(texture);
    m_textureScales.push_back(1.0f);
    m_textured = true;
    if (m_textures.size() > 1) m_multi = Texture::initMultiTexture();
}

void SceneObject::setTextureScale(int unit, float s) {
    if (unit >= 0 && unit < textureCount()) m_textureScales[static_cast<size_t>(unit)] = s;
}

float SceneObject::textureScale(int unit) const {
    return unit >= 0 && unit < textureCount() ? m_textureScales[static_cast<size_t>(unit)] : 1.0f;
}

void SceneObject::setTexture(int unit, Texture* texture) {
    if (unit < 0 || unit >= textureCount()) return;
    m_textures[static_cast<size_t>(unit)] = texture;
    m_textured = true;
    if (m_textures.size() > 1) m_multi = Texture::initMultiTexture();
}

Texture* SceneObject::texture(int unit) const {
    if (unit < 0 || unit >= textureCount()) return nullptr;
    return m_textures[static_cast<size_t>(unit)];
}

void SceneObject::emitTexCoord(float s, float t) const {
    if (!m_textured || m_textures.empty()) return;
    if (m_multi) {
        for (size_t i = 0; i < m_textures.size(); ++i) {
            if (m_textures[i]) m_textures[i]->emitTexCoord(s, t, true, static_cast<int>(i));
        }
    } else if (m_textures[0]) {
        m_textures[0]->emitTexCoord(s, t, false, 0);
    }
}

void SceneObject::enableTexCoordArrays(const float* st, int strideBytes) {
    m_texCoordMatrices = 0;
    if (!m_textured || m_textures.empty()) return;
    if (m_multi) {
        for (size_t i = 0; i < m_textures.size() && i < 32; ++i) {
            if (m_textures[i] && m_textures[i]->applyTexCoordArray(st, strideBytes, true, static_cast<int>(i)))
                m_texCoordMatrices |= 1u << i;
        }
    } else if (m_textures[0] && m_textures[0]->applyTexCoordArray(st, strideBytes, false, 0)) {
        m_texCoordMatrices = 1;
    }
}

void SceneObject::disableTexCoordArrays() {
    if (!m_textured || m_textures.empty()) return;
    if (m_multi) {
        for (size_t i = 0; i < m_textures.size() && i < 32; ++i) {
            if (m_textures[i])
                Texture::clearTexCoordArray(true, static_cast<int>(i), (m_texCoordMatrices >> i) & 1u);
        }
    } else if (m_textures[0]) {
        Texture::clearTexCoordArray(false, 0, m_texCoordMatrices & 1u);
    }
    m_texCoordMatrices = 0;
}

}  // namespace reef
