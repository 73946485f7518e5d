// A placed, scaled, coloured, textured drawable. Drawing is three steps
// (beginDraw, draw, endDraw) wrapped by render(); derived classes override them.
//
// NOTE: position, target and up are stored with z negated (the GL frame); the
// setters take and the getters return world coordinates.
#pragma once

#include <array>
#include <cstdint>
#include <vector>

#include "core/Math.h"

namespace reef {

class Texture;

class SceneObject {
public:
    // Flag bits.
    static constexpr uint32_t kInterpolateFrames = 1;  // draw model frames interpolated
    static constexpr uint32_t kEulerPlacement = 2;     // translate + rotate instead of look-at
    static constexpr uint32_t kDepthTest = 4;          // keep the depth test on while drawing
    static constexpr uint32_t kSphereMap = 32;         // sphere-map texture coordinates
    static constexpr uint32_t kDefaultFlags = 7;

    SceneObject();
    virtual ~SceneObject();
    SceneObject(const SceneObject&) = default;
    SceneObject& operator=(const SceneObject&) = default;

    virtual void beginDraw();
    virtual void draw();
    virtual void endDraw();
    // Empties both texture lists (the textures themselves are not touched).
    virtual void reset();

    // beginDraw, draw, endDraw.
    void render();

    // The placement beginDraw multiplies onto the matrix (translation and rotation
    // or look-at, then the scale): object coordinates to the caller's frame.
    Mat4 objectMatrix() const;

    // Placement, world coordinates (z is negated on the way in and out).
    void setPosition(float x, float y, float z);  // look-at placement moves the target along
    void setPosition(const Vec3& p) { setPosition(p.x, p.y, p.z); }
    void placeAt(float x, float y, float z);      // the target stays
    void placeAt(const Vec3& p) { placeAt(p.x, p.y, p.z); }
    void setTarget(float x, float y, float z);
    void setTarget(const Vec3& p) { setTarget(p.x, p.y, p.z); }
    void setUp(float x, float y, float z);
    Vec3 getPosition() const;
    Vec3 getTarget() const;
    Vec3 getUp() const;

    void setAngleX(float degrees);
    void setAngleY(float degrees);
    void setAngleZ(float degrees);
    void turnY(float degrees);
    float angleX() const { return m_angleX; }
    float angleY() const { return m_angleY; }
    float angleZ() const { return m_angleZ; }

    // Moves position and target along the viewing direction.
    void moveForward(float distance);
    // Turns the viewing direction about the up vector.
    void turn(float degrees);
    // Turns the up vector about the viewing direction.
    void roll(float degrees);

    void setScale(float s);
    void setScale3(float x, float y, float z);
    Vec3 getScale() const { return {m_scaleX, m_scaleY, m_scaleZ}; }
    void setColour(const Vec3& rgb);
    void setAlpha(float a) { m_colour[3] = a; }
    // The colour beginDraw sets: the object's colour times the tint of every texture
    // it binds that went up as alpha alone (Texture::kAlphaOnly), so such a texture
    // draws in the colour its picture had.
    std::array<float, 4> drawColour() const;
    // Blending as the object asks for it; beginDraw leaves it off when nothing the
    // object draws can be translucent (see drawsOpaque), where it would change nothing.
    void setBlend(bool on) { m_blend = on; }
    bool blend() const { return m_blend; }
    // Whether every fragment the object draws has alpha 1: its colour's alpha is 1,
    // each texture it binds is opaque and it gives no alpha of its own per vertex.
    bool drawsOpaque() const;
    void setFlags(uint32_t mask) { m_flags |= mask; }
    void clearFlags(uint32_t mask) { m_flags &= ~mask; }
    uint32_t flags() const { return m_flags; }

    void addTexture(Texture* texture);
    void setTextureScale(int unit, float s);
    // The scale beginDraw writes into the unit's texture (1 leaves the texture's own).
    float textureScale(int unit) const;
    void setTexture(int unit, Texture* texture);
    int textureCount() const { return static_cast<int>(m_textures.size()); }
    Texture* texture(int unit) const;
    bool textured() const { return m_textured; }
    bool multi() const { return m_multi; }

    // Sends one texture coordinate to every bound unit (or unit 0 without multitexturing).
    void emitTexCoord(float s, float t) const;
    // The vertex-array form of emitTexCoord: every unit emitTexCoord would feed reads
    // its coordinates from the (s, t) pairs at st, with its own scale and offset.
    // Each enable is paired with a disable after the draw call.
    void enableTexCoordArrays(const float* st, int strideBytes);
    void disableTexCoordArrays();

protected:
    // Whether the object's vertices carry an alpha of their own (a colour array).
    virtual bool hasVertexAlpha() const { return false; }

    Mat4 m_rx, m_ry, m_rz;
    float m_angleX = 0.0f, m_angleY = 0.0f, m_angleZ = 0.0f;
    float m_scaleX = 1.0f, m_scaleY = 1.0f, m_scaleZ = 1.0f;
    std::vector<Texture*> m_textures;
    std::vector<float> m_textureScales;
    bool m_textured = false;
    bool m_blend = false;
    bool m_multi = false;
    float m_colour[4] = {1.0f, 1.0f, 1.0f, 1.0f};
    Vec3 m_position{0.0f, 0.0f, 0.0f};  // stored, z negated
    Vec3 m_target{0.0f, 0.0f, -1.0f};   // stored, z negated
    Vec3 m_up{0.0f, 1.0f, 0.0f};
    uint32_t m_flags = kDefaultFlags;

private:
    Mat4 eulerRotation() const;
    // Units whose texture matrix enableTexCoordArrays changed (bit per unit).
    uint32_t m_texCoordMatrices = 0;
    // Whether beginDraw turned blending on (endDraw turns it off again).
    bool m_blending = false;
};

}  // namespace reef
