#include "scene/Quad.h"

#include <GL/gl.h>

namespace reef {

void Quad::setSize(float width, float height) {
    m_width = width;
    m_height = height;
    m_halfWidth = width * 0.5f;
    m_halfHeight = height * 0.5f;
}

void Quad::setRepeat(float u, float v) {
    m_repeatU = u;
    m_repeatV = v;
}

std::array<Quad::Corner, 4> Quad::corners() const {
    return {{
        {m_repeatU, 0.0f, m_halfWidth, m_halfHeight, 0.0f},
        {0.0f, 0.0f, -m_halfWidth, m_halfHeight, 0.0f},
        {0.0f, m_repeatV, -m_halfWidth, -m_halfHeight, 0.0f},
        {m_repeatU, m_repeatV, m_halfWidth, -m_halfHeight, 0.0f},
    }};
}

void Quad::beginDraw() {
    glPushMatrix();
    SceneObject::beginDraw();
}

void Quad::draw() {
    const std::array<Corner, 4> quad = corners();
    glBegin(GL_QUADS);
    for (const Corner& c : quad) {
        emitTexCoord(c.u, c.v);
        glVertex3f(c.x, c.y, c.z);
    }
    glEnd();
}

void Quad::endDraw() {
    glPopMatrix();
    SceneObject::endDraw();
}

}  // namespace reef
