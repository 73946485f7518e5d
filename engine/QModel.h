// An animated triangle mesh loaded from a ".tqm" file (the MD3 layout, optionally
// inside a TQArchive), with named frame ranges ("swim", "wabbel", ...).
// Many ModelObjects share one QModel and so one animation clock; QModels loaded
// from one file can share the loaded geometry while each keeps its own clock.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "engine/ModelGeometry.h"

namespace reef {

class ModelObject;

class QModel {
public:
    struct Sequence {
        float pos = 0.0f;  // playing position, in frames
        int first = 0;     // inclusive
        int last = 0;      // inclusive
        std::string name;
    };

    using PackedNormal = ModelGeometry::PackedNormal;
    static constexpr float kNormalRange = 127.0f;

    // Model files larger than this are refused unread (the largest real model is
    // a few hundred kilobytes).
    static constexpr size_t kMaxFileBytes = size_t{64} << 20;

    QModel();
    ~QModel();
    QModel(const QModel&) = delete;
    QModel& operator=(const QModel&) = delete;

    // Loads a plain or archive-wrapped MD3 file. Reports texts::kModelOpenFailed when
    // the file cannot be read (missing, not a regular file, over kMaxFileBytes); an
    // inconsistent file reports texts::kModelRefused (the file and the fault) and
    // fails without reading out of bounds (the model stays unloaded with no
    // frames). Backslashes in the path are accepted.
    bool loadMD3(const std::string& path, bool lighting);
    // The same from bytes already in memory (the file's whole content).
    bool loadMD3FromMemory(const uint8_t* data, size_t size, bool lighting, const std::string& name);
    // Takes the geometry another model loaded (or its failure to load) instead
    // of loading the same file again; sequences, frame rate and animation stay
    // this model's own.
    void shareGeometry(const QModel& loaded);
    // Multiplies the texture coordinates by s (a texture repeated s times over the
    // model) in this model's own copy of the geometry. Drawn so, the model needs no
    // texture matrix, which would give it a vertex state of its own.
    void scaleTextureCoordinates(float s);
    // True when both draw the same loaded geometry.
    bool sharesGeometryWith(const QModel& other) const { return m_loaded && m_geometry == other.m_geometry; }

    void addSequence(int first, int last, const std::string& name);
    void setSequence(const std::string& name);
    void setFramesPerSecond(float fps);
    void playLoops(int n);
    int frameNumber() const;
    void setFrameNumber(int n);
    int firstFrame() const;
    int lastFrame() const;

    // Advances the current sequence by the time since the last call and pushes the matrix.
    void update();
    // The animation step of update alone, without any OpenGL call.
    void advance();
    // Draws the current frames of the current sequence (frame 0 without sequences).
    void draw(ModelObject* object);
    // Pops the matrix pushed by update.
    void finish();
    // Frees every frame and both index arrays and forgets the sequences.
    void free();

    bool loaded() const { return m_loaded; }
    bool animating() const { return m_animating; }
    void setAnimating(bool on) { m_animating = on; }
    // Starts playing without a loop limit from now on.
    void startAnimating();
    int loopCount() const { return m_loopCount; }
    int loopLimit() const { return m_loopLimit; }
    float framesPerSecond() const { return m_framesPerSecond; }
    float fraction() const { return m_fraction; }
    bool lighting() const { return m_geometry->lighting; }
    int numFrames() const { return m_geometry->numFrames; }
    int vertexCount() const { return m_geometry->vertexCount; }
    int triangleCount() const { return m_geometry->triangleCount; }
    const std::vector<Sequence>& sequences() const { return m_sequences; }
    const Sequence* currentSequence() const;
    // Every frame's positions as the file stores them: x, y, z per vertex on its
    // 1/64-unit grid and in its axes, frame after frame (vertexCount() x 3 each).
    const std::vector<int16_t>& gridPositions() const { return m_geometry->positions; }
    // The normals laid out like gridPositions(), in the file's axes; empty when the
    // model is loaded without lighting.
    const std::vector<PackedNormal>& packedNormals() const { return m_geometry->normals; }
    // One vertex of one frame (both in range) in world units and axes.
    std::array<float, 3> position(int frame, int vertex) const;
    // Its normal in world axes, of unit length; zero where the model has none.
    std::array<float, 3> normal(int frame, int vertex) const;
    // One frame's positions and normals as position() and normal() give them, copied
    // out for tools and tests (drawing never needs them).
    std::vector<std::array<float, 3>> framePositions(int frame) const;
    std::vector<std::array<float, 3>> frameNormals(int frame) const;
    const std::vector<uint16_t>& indices() const { return m_geometry->indices; }
    // s, t per vertex, the same in every frame.
    const std::vector<float>& texCoords() const { return m_geometry->texCoords; }
    // A sphere, in the model's own units, that holds every vertex of every frame.
    const float* boundsCentre() const { return m_geometry->boundsCentre; }
    float boundsRadius() const { return m_geometry->boundsRadius; }
    int currentFrameIndex() const { return m_currentFrame; }
    int nextFrameIndex() const { return m_nextFrame; }

private:
    // loadMD3FromMemory without its answer to running out of memory.
    bool loadMD3OrThrow(const uint8_t* data, size_t size, bool lighting, const std::string& name);
    void drawFrame(int frame);
    void reportMissingFrame();
    void drawInterpolated();
    void drawArrays(const float* positions, const PackedNormal* normals);
    // One frame's grid positions as floats in m_blended, converted when another frame
    // (or a blend) was there before.
    const float* frameAsFloats(int frame);
    const PackedNormal* normalsOf(int frame) const;
    void clearGeometry();

    bool m_loaded = false;
    bool m_animating = true;
    int m_loopCount = 0;
    std::vector<Sequence> m_sequences;
    float m_framesPerSecond = 15.0f;
    float m_msPerFrame = 1000.0f / 15.0f;
    int m_loopLimit = -1;
    uint32_t m_lastTick = 0;
    size_t m_current = 0;
    // Never null: an empty geometry until a load succeeds.
    std::shared_ptr<const ModelGeometry> m_geometry;
    // Positions between two frames on the file's grid, rewritten by each interpolated
    // draw; or one frame's own positions (m_floatFrame).
    std::vector<float> m_blended;
    int m_floatFrame = -1;  // the frame m_blended holds unblended; -1 for none
    int m_currentFrame = 0;
    int m_nextFrame = 0;
    float m_fraction = 0.0f;
    ModelObject* m_drawObject = nullptr;
    bool m_reportedMissingFrame = false;
    // Whether this draw is lit: normals loaded and GL lighting on (set by update).
    bool m_litDraw = false;
};

}  // namespace reef
