// An animated triangle mesh loaded from a ".tqm" file (the MD3 layout, optionally
// inside a TQArchive), with named frame ranges ("swim", "wabbel", ...).
// Many ModelObjects share one QModel and so one animation clock.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace reef {

class ByteReader;
class ModelObject;

class QModel {
public:
    struct Sequence {
        float pos = 0.0f;  // playing position, in frames
        int first = 0;     // inclusive
        int last = 0;      // inclusive
        std::string name;
    };

    // A stored normal component: the unit normal scaled to the type's full range,
    // which OpenGL reads back as -1 .. 1.
    using PackedNormal = int8_t;
    static constexpr float kNormalRange = 127.0f;

    // Model files larger than this are refused unread (the largest real model is
    // a few hundred kilobytes).
    static constexpr size_t kMaxFileBytes = size_t{64} << 20;

    QModel();
    ~QModel();
    QModel(const QModel&) = delete;
    QModel& operator=(const QModel&) = delete;

    // Loads a plain or archive-wrapped MD3 file. Prints "QModel::loadMD3 fopen %s failed\n"
    // when the file cannot be read (missing, not a regular file, over kMaxFileBytes); an inconsistent file prints one line naming the
    // file and the fault and fails without reading out of bounds (the model stays
    // unloaded with no frames). Backslashes in the path are accepted.
    bool loadMD3(const std::string& path, bool lighting);
    // The same from bytes already in memory (the file's whole content).
    bool loadMD3FromMemory(const uint8_t* data, size_t size, bool lighting, const std::string& name);

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
    bool lighting() const { return m_lighting; }
    int numFrames() const { return m_numFrames; }
    int vertexCount() const { return m_vertexCount; }
    int triangleCount() const { return m_triangleCount; }
    const std::vector<Sequence>& sequences() const { return m_sequences; }
    const Sequence* currentSequence() const;
    // Every frame's positions as the file stores them: x, y, z per vertex on its
    // 1/64-unit grid and in its axes, frame after frame (vertexCount() x 3 each).
    const std::vector<int16_t>& gridPositions() const { return m_positions; }
    // The normals laid out like gridPositions(), in the file's axes; empty when the
    // model is loaded without lighting.
    const std::vector<PackedNormal>& packedNormals() const { return m_normals; }
    // One vertex of one frame (both in range) in world units and axes.
    std::array<float, 3> position(int frame, int vertex) const;
    // Its normal in world axes, of unit length; zero where the model has none.
    std::array<float, 3> normal(int frame, int vertex) const;
    // One frame's positions and normals as position() and normal() give them, copied
    // out for tools and tests (drawing never needs them).
    std::vector<std::array<float, 3>> framePositions(int frame) const;
    std::vector<std::array<float, 3>> frameNormals(int frame) const;
    const std::vector<uint16_t>& indices() const { return m_indices; }
    // s, t per vertex, the same in every frame.
    const std::vector<float>& texCoords() const { return m_texCoords; }
    // A sphere, in the model's own units, that holds every vertex of every frame.
    const float* boundsCentre() const { return m_boundsCentre; }
    float boundsRadius() const { return m_boundsRadius; }
    int currentFrameIndex() const { return m_currentFrame; }
    int nextFrameIndex() const { return m_nextFrame; }

private:
    // loadMD3FromMemory without its answer to running out of memory.
    bool loadMD3OrThrow(const uint8_t* data, size_t size, bool lighting, const std::string& name);
    void drawFrame(int frame);
    void reportMissingFrame();
    void drawInterpolated();
    void drawArrays(unsigned positionType, const void* positions, const PackedNormal* normals);
    const PackedNormal* normalsOf(int frame) const;
    void storeNormal(size_t vertexAt, const double world[3]);
    void computeBounds();
    void clearGeometry();
    void loadNormals(const ByteReader& in, uint64_t at, int frames, int vertices);
    void computeNormals(const ByteReader& in, uint64_t verticesAt);

    bool m_loaded = false;
    bool m_animating = true;
    int m_loopCount = 0;
    std::vector<Sequence> m_sequences;
    float m_framesPerSecond = 15.0f;
    float m_msPerFrame = 1000.0f / 15.0f;
    int m_loopLimit = -1;
    bool m_lighting = false;
    int m_numFrames = 0;
    int m_vertexCount = 0;
    int m_triangleCount = 0;
    uint32_t m_lastTick = 0;
    size_t m_current = 0;
    std::vector<int16_t> m_positions;
    std::vector<PackedNormal> m_normals;
    std::vector<uint16_t> m_indices;
    std::vector<float> m_texCoords;
    // Positions between two frames on the file's grid, rewritten by each interpolated draw.
    std::vector<float> m_blended;
    float m_boundsCentre[3] = {0.0f, 0.0f, 0.0f};
    float m_boundsRadius = 0.0f;
    int m_currentFrame = 0;
    int m_nextFrame = 0;
    float m_fraction = 0.0f;
    ModelObject* m_drawObject = nullptr;
    bool m_reportedMissingFrame = false;
};

}  // namespace reef
