#include "engine/QModel.h"

#include <GL/gl.h>

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <new>
#include <unordered_map>

#include "core/Clock.h"
#include "core/Diagnostics.h"
#include "core/DiagnosticTexts.h"
#include "core/Math.h"
#include "engine/ByteReader.h"
#include "engine/FilePath.h"
#include "engine/Md3Format.h"
#include "engine/ModelObject.h"
#include "engine/TQArchive.h"

namespace reef {

namespace {

// Where the pieces of the first surface lie, all checked against the bytes.
struct SurfaceLayout {
    uint64_t start = 0;
    int32_t frames = 0;
    int32_t vertices = 0;
    int32_t triangles = 0;
    uint64_t trianglesAt = 0;
    uint64_t texCoordsAt = 0;
    uint64_t verticesAt = 0;
    bool hasExtension = false;
    uint64_t extensionAt = 0;
    uint16_t extFrames = 0;
    uint16_t extVertices = 0;
};

void reportBad(const std::string& name, const char* what) {
    reportf(Channel::Output, texts::kModelRefused, name.c_str(), what);
}

// True when a complete normals block for the model's surface starts at `at`.
bool normalsBlockValid(const ByteReader& in, uint64_t at, const SurfaceLayout& surface) {
    if (!in.contains(at, md3::kExtHeaderSize)) return false;
    const uint16_t frames = in.u16At(static_cast<size_t>(at + md3::kExtFrameCountOffset));
    const uint16_t vertices = in.u16At(static_cast<size_t>(at + md3::kExtVertexCountOffset));
    if (frames == 0 || vertices == 0) return false;
    if (frames > surface.frames || vertices > surface.vertices) return false;
    const uint64_t normals = static_cast<uint64_t>(frames) * vertices * md3::kExtNormalSize;
    return in.contains(at + md3::kExtHeaderSize, normals);
}

// Reads and checks the header, the first surface header and the extension block.
bool locateSurface(const ByteReader& in, const std::string& name, SurfaceLayout& out) {
    if (in.size() < md3::kHeaderSize) {
        reportBad(name, "file shorter than the model header");
        return false;
    }
    const int32_t frameCount = in.i32At(md3::kHeaderFrameCountOffset);
    const int32_t tagCount = in.i32At(md3::kHeaderTagCountOffset);
    const int32_t endOffset = in.i32At(md3::kHeaderEndOffset);
    if (frameCount < 0 || frameCount > md3::kMaxFrames) {
        reportBad(name, "frame count out of range");
        return false;
    }
    if (tagCount < 0 || tagCount > md3::kMaxTags) {
        reportBad(name, "tag count out of range");
        return false;
    }
    // Tag-only files (a weapon's hand position, for one) hold nothing to draw.
    if (in.i32At(md3::kHeaderSurfaceCountOffset) == 0) {
        reportBad(name, "model has no surface");
        return false;
    }
    // Both counts are bounded, so this sum cannot overflow 64 bits.
    out.start = md3::kHeaderSize +
                static_cast<uint64_t>(frameCount) *
                    (md3::kFrameRecordSize + static_cast<uint64_t>(tagCount) * md3::kTagSize);
    if (!in.contains(out.start, md3::kSurfaceHeaderSize)) {
        reportBad(name, "surface header beyond the end of the file");
        return false;
    }
    const size_t s = static_cast<size_t>(out.start);
    out.frames = in.i32At(s + md3::kSurfaceFrameCountOffset);
    out.vertices = in.i32At(s + md3::kSurfaceVertexCountOffset);
    out.triangles = in.i32At(s + md3::kSurfaceTriangleCountOffset);
    const int32_t trianglesOffset = in.i32At(s + md3::kSurfaceTrianglesOffset);
    const int32_t texCoordsOffset = in.i32At(s + md3::kSurfaceTexCoordsOffset);
    const int32_t verticesOffset = in.i32At(s + md3::kSurfaceVerticesOffset);
    if (out.frames < 0 || out.frames > md3::kMaxFrames) {
        reportBad(name, "surface frame count out of range");
        return false;
    }
    if (out.vertices < 0 || out.vertices > md3::kMaxVerticesPerSurface) {
        reportBad(name, "vertex count out of range");
        return false;
    }
    if (out.triangles < 0 || out.triangles > md3::kMaxTrianglesPerSurface) {
        reportBad(name, "triangle count out of range");
        return false;
    }
    if (static_cast<int64_t>(out.frames) * out.vertices > md3::kMaxFrameVertices) {
        reportBad(name, "too many frame vertices");
        return false;
    }
    if (trianglesOffset < 0 || texCoordsOffset < 0 || verticesOffset < 0) {
        reportBad(name, "negative surface offset");
        return false;
    }
    out.trianglesAt = out.start + static_cast<uint64_t>(trianglesOffset);
    out.texCoordsAt = out.start + static_cast<uint64_t>(texCoordsOffset);
    out.verticesAt = out.start + static_cast<uint64_t>(verticesOffset);
    const uint64_t frameVertices = static_cast<uint64_t>(out.frames) * static_cast<uint64_t>(out.vertices);
    if (!in.contains(out.trianglesAt, static_cast<uint64_t>(out.triangles) * md3::kTriangleSize)) {
        reportBad(name, "triangles beyond the end of the file");
        return false;
    }
    if (!in.contains(out.texCoordsAt, static_cast<uint64_t>(out.vertices) * md3::kTexCoordSize)) {
        reportBad(name, "texture coordinates beyond the end of the file");
        return false;
    }
    if (!in.contains(out.verticesAt, frameVertices * md3::kVertexSize)) {
        reportBad(name, "vertices beyond the end of the file");
        return false;
    }

    // Bytes after the end offset are a normals block only when its header is
    // complete, names at least one normal within the model's counts and the
    // normals fit in the file. Anything else is a tail the model does not use
    // (real files sometimes end with a stray byte or padding): it is ignored and
    // the normals are computed as if the file ended at the end offset.
    if (endOffset >= 0 && static_cast<uint64_t>(endOffset) < in.size()) {
        const uint64_t at = static_cast<uint64_t>(endOffset);
        if (at < md3::kHeaderSize) {
            reportBad(name, "normals block overlaps the header");
            return false;
        }
        if (normalsBlockValid(in, at, out)) {
            out.hasExtension = true;
            out.extensionAt = at;
            out.extFrames = in.u16At(static_cast<size_t>(at + md3::kExtFrameCountOffset));
            out.extVertices = in.u16At(static_cast<size_t>(at + md3::kExtVertexCountOffset));
        }
    }
    return true;
}

// The whole frame number of a position; -1 (no frame) for a position no frame can have.
int frameOf(float pos) {
    if (!std::isfinite(pos) || pos < -1.0e6f || pos > 1.0e6f) return -1;
    return static_cast<int>(std::trunc(pos));
}

// The file's grid and axes drawn in world units and axes: file (x, y, z) is the
// world point (x, z, -y) / 64. A rotation times a uniform scale, so the lit models'
// GL_NORMALIZE turns the stored normals (in the file's axes) into unit world normals.
constexpr float kGridStep = md3::kVertexScale;
constexpr GLfloat kGridToWorld[16] = {kGridStep, 0.0f, 0.0f, 0.0f, 0.0f, 0.0f, -kGridStep, 0.0f,
                                      0.0f, kGridStep, 0.0f, 0.0f, 0.0f, 0.0f, 0.0f, 1.0f};

// The world position of a vertex stored on the file's grid.
Vec3 gridToWorld(const int16_t* p) {
    return {p[0] * md3::kVertexScale, p[2] * md3::kVertexScale, -p[1] * md3::kVertexScale};
}

// Frees a vector's memory, which clear() would keep.
template <typename T>
void release(std::vector<T>& v) {
    std::vector<T>().swap(v);
}

// The GL type of QModel::PackedNormal.
constexpr GLenum kNormalType = sizeof(QModel::PackedNormal) == 1 ? GL_BYTE : GL_SHORT;

// Key of a stored vertex position: equal keys exactly when the positions are equal.
uint64_t positionKey(int16_t x, int16_t y, int16_t z) {
    return (static_cast<uint64_t>(static_cast<uint16_t>(x)) << 32) |
           (static_cast<uint64_t>(static_cast<uint16_t>(y)) << 16) | static_cast<uint16_t>(z);
}

// The geometry of a model that is not loaded, shared by every such model.
const std::shared_ptr<const ModelGeometry>& emptyGeometry() {
    static const std::shared_ptr<const ModelGeometry> empty = std::make_shared<const ModelGeometry>();
    return empty;
}

// Found on the grid, where the coordinates are whole numbers, then put into world units.
void computeBounds(ModelGeometry& g) {
    const int16_t* p = g.positions.data();
    const size_t n = g.positions.size();
    int16_t low[3] = {0, 0, 0};
    int16_t high[3] = {0, 0, 0};
    if (n > 0) {
        for (size_t k = 0; k < 3; ++k) low[k] = high[k] = p[k];
    }
    for (size_t at = 3; at < n; at += 3) {
        for (size_t k = 0; k < 3; ++k) {
            low[k] = std::min(low[k], p[at + k]);
            high[k] = std::max(high[k], p[at + k]);
        }
    }
    // Twice the centre is a whole number, so the distances are found exactly in integers.
    int32_t twiceCentre[3];
    for (int k = 0; k < 3; ++k) twiceCentre[k] = int32_t{low[k]} + int32_t{high[k]};
    int64_t farthest = 0;  // (2 x distance) squared
    for (size_t at = 0; at < n; at += 3) {
        const int64_t dx = 2 * int32_t{p[at]} - twiceCentre[0];
        const int64_t dy = 2 * int32_t{p[at + 1]} - twiceCentre[1];
        const int64_t dz = 2 * int32_t{p[at + 2]} - twiceCentre[2];
        farthest = std::max(farthest, dx * dx + dy * dy + dz * dz);
    }
    float centre[3];
    for (int k = 0; k < 3; ++k) centre[k] = static_cast<float>(twiceCentre[k]) * 0.5f;
    const float radiusSquared = static_cast<float>(static_cast<double>(farthest) * 0.25);
    // The grid's turn keeps distances; its scale is exact (a power of two).
    g.boundsCentre[0] = centre[0] * md3::kVertexScale;
    g.boundsCentre[1] = centre[2] * md3::kVertexScale;
    g.boundsCentre[2] = -centre[1] * md3::kVertexScale;
    g.boundsRadius = std::sqrt(radiusSquared) * md3::kVertexScale;
}

// Keeps the direction of a world-axes normal, in the file's axes and packed; a
// normal without a direction (zero, infinite or not a number) stays zero.
void storeNormal(ModelGeometry& g, size_t vertexAt, const double world[3]) {
    const double length = std::sqrt(world[0] * world[0] + world[1] * world[1] + world[2] * world[2]);
    if (!std::isfinite(length) || length == 0.0) return;
    // World (x, y, z) is file (x, -z, y).
    const double file[3] = {world[0], -world[2], world[1]};
    const double scale = QModel::kNormalRange / length;
    QModel::PackedNormal* out = &g.normals[vertexAt * 3];
    for (int k = 0; k < 3; ++k) {
        // Rounded half away from zero; no component's magnitude exceeds the range.
        const double v = file[k] * scale;
        out[k] = static_cast<QModel::PackedNormal>(v < 0.0 ? v - 0.5 : v + 0.5);
    }
}

void loadNormals(ModelGeometry& g, const ByteReader& in, uint64_t at, int frames, int vertices) {
    const size_t vertexCount = static_cast<size_t>(g.vertexCount);
    for (int f = 0; f < frames; ++f) {
        for (int v = 0; v < vertices; ++v) {
            const size_t o = static_cast<size_t>(at) + (static_cast<size_t>(f) * vertices + v) * md3::kExtNormalSize;
            // The block holds the normals negated.
            const double n[3] = {-static_cast<double>(in.f32At(o)), -static_cast<double>(in.f32At(o + 4)),
                                 -static_cast<double>(in.f32At(o + 8))};
            storeNormal(g, static_cast<size_t>(f) * vertexCount + static_cast<size_t>(v), n);
        }
    }
}

void computeNormals(ModelGeometry& g, const ByteReader& in, uint64_t verticesAt) {
    const size_t vertexCount = static_cast<size_t>(g.vertexCount);
    const size_t triangleCount = static_cast<size_t>(g.triangleCount);
    std::vector<int> group(vertexCount);
    std::vector<Vec3> groupSum;
    std::vector<int> groupCount;
    std::vector<int> lastTriangle;
    std::unordered_map<uint64_t, int> groupOf;
    groupOf.reserve(vertexCount * 2);

    for (size_t f = 0; f < static_cast<size_t>(g.numFrames); ++f) {
        const int16_t* positions = g.positions.data() + f * vertexCount * 3;
        // Vertices at exactly the same position share one group (compared on the
        // stored integers, which map one to one onto the positions).
        groupOf.clear();
        const size_t base = static_cast<size_t>(verticesAt) + f * vertexCount * md3::kVertexSize;
        for (size_t v = 0; v < vertexCount; ++v) {
            const size_t at = base + v * md3::kVertexSize;
            const uint64_t key = positionKey(in.i16At(at), in.i16At(at + 2), in.i16At(at + 4));
            const auto [it, inserted] = groupOf.try_emplace(key, static_cast<int>(groupOf.size()));
            group[v] = it->second;
        }
        const size_t groups = groupOf.size();
        groupSum.assign(groups, Vec3{});
        groupCount.assign(groups, 0);
        lastTriangle.assign(groups, -1);

        // A triangle adds its face normal once to every group one of its corners is in:
        // the triangles that use a vertex by index or touch its position.
        for (size_t t = 0; t < triangleCount; ++t) {
            const uint16_t* idx = &g.indices[t * 3];
            const auto pos = [&](int c) { return gridToWorld(&positions[size_t{idx[c]} * 3]); };
            const Vec3 p0 = pos(0), p1 = pos(1), p2 = pos(2);
            const Vec3 face = cross(sub(p0, p2), sub(p2, p1));
            for (int c = 0; c < 3; ++c) {
                const int gr = group[idx[c]];
                if (lastTriangle[static_cast<size_t>(gr)] == static_cast<int>(t)) continue;
                lastTriangle[static_cast<size_t>(gr)] = static_cast<int>(t);
                groupSum[static_cast<size_t>(gr)] = add(groupSum[static_cast<size_t>(gr)], face);
                groupCount[static_cast<size_t>(gr)] += 1;
            }
        }
        for (size_t v = 0; v < vertexCount; ++v) {
            const size_t gr = static_cast<size_t>(group[v]);
            // A vertex no triangle touches keeps the zero normal.
            if (groupCount[gr] == 0) continue;
            // The negated sum: only its direction is kept.
            const Vec3& sum = groupSum[gr];
            const double world[3] = {-sum.x, -sum.y, sum.z};
            storeNormal(g, f * vertexCount + v, world);
        }
    }
}

}  // namespace

QModel::QModel() : m_lastTick(getTicks()), m_geometry(emptyGeometry()) {}

QModel::~QModel() = default;

bool QModel::loadMD3(const std::string& path, bool lighting) {
    std::optional<std::vector<uint8_t>> bytes;
    try {
        bytes = readFileBytes(path, kMaxFileBytes);
    } catch (const std::bad_alloc&) {
        bytes.reset();
    }
    if (!bytes) {
        reportf(Channel::Output, texts::kModelOpenFailed, path.c_str());
        clearGeometry();
        return false;
    }
    return loadMD3FromMemory(bytes->data(), bytes->size(), lighting, path);
}

// NOTE: a model's frames take what its counts ask for (up to tens of
// megabytes); when memory runs out the model is reported and left unloaded
// like any that fails to load, instead of ending the program.
bool QModel::loadMD3FromMemory(const uint8_t* data, size_t size, bool lighting, const std::string& name) {
    try {
        return loadMD3OrThrow(data, size, lighting, name);
    } catch (const std::bad_alloc&) {
        clearGeometry();
        reportBad(name, "out of memory");
        return false;
    }
}

bool QModel::loadMD3OrThrow(const uint8_t* data, size_t size, bool lighting, const std::string& name) {
    clearGeometry();
    TQArchive archive;
    if (TQArchive::isArchive(data, size)) {
        if (!archive.open(data, size)) {
            reportBad(name, "archive cannot be opened");
            return false;
        }
        if (archive.payload().empty()) {
            reportBad(name, "empty archive payload");
            return false;
        }
        data = archive.payload().data();
        size = archive.payload().size();
    }
    const ByteReader in(data, size);
    SurfaceLayout layout;
    if (!locateSurface(in, name, layout)) return false;

    const size_t vertexCount = static_cast<size_t>(layout.vertices);
    const size_t triangleCount = static_cast<size_t>(layout.triangles);
    const size_t frameCount = static_cast<size_t>(layout.frames);

    // Indices first: one that names no vertex would be read out of bounds when drawn.
    std::vector<uint16_t> indices(triangleCount * 3);
    for (size_t i = 0; i < indices.size(); ++i) {
        const int32_t index = in.i32At(static_cast<size_t>(layout.trianglesAt) + i * 4);
        if (index < 0 || static_cast<size_t>(index) >= vertexCount) {
            reportBad(name, "triangle index out of range");
            return false;
        }
        indices[i] = static_cast<uint16_t>(index);
    }

    std::vector<float> texCoords(vertexCount * 2);
    for (size_t i = 0; i < texCoords.size(); ++i) {
        texCoords[i] = in.f32At(static_cast<size_t>(layout.texCoordsAt) + i * 4);
    }

    auto geometry = std::make_shared<ModelGeometry>();
    ModelGeometry& g = *geometry;
    // Positions stay on the file's grid and in its axes; the draw scales and turns them.
    const size_t frameVertices = frameCount * vertexCount;
    g.positions.resize(frameVertices * 3);
    int16_t* out = g.positions.data();
    const uint8_t* from = data + layout.verticesAt;
    for (size_t v = 0; v < frameVertices; ++v, out += 3, from += md3::kVertexSize) {
        if constexpr (std::endian::native == std::endian::little) {
            std::memcpy(out, from, 3 * sizeof(int16_t));  // the file's own byte order
        } else {
            for (size_t k = 0; k < 3; ++k) out[k] = static_cast<int16_t>(from[2 * k] | (from[2 * k + 1] << 8));
        }
    }
    g.indices = std::move(indices);
    g.texCoords = std::move(texCoords);
    g.numFrames = layout.frames;
    g.vertexCount = layout.vertices;
    g.triangleCount = layout.triangles;
    g.lighting = lighting;

    if (lighting) {
        // Vertices the normals block or the triangles leave out keep a zero normal.
        g.normals.assign(g.positions.size(), 0);
        if (layout.hasExtension) {
            loadNormals(g, in, layout.extensionAt + md3::kExtHeaderSize, layout.extFrames, layout.extVertices);
        } else if (g.numFrames <= 0) {
            report(Channel::Output, texts::kModelWithoutFrames);
        } else {
            computeNormals(g, in, layout.verticesAt);
        }
    }
    computeBounds(g);
    m_blended.assign(vertexCount * 3, 0.0f);
    m_floatFrame = -1;
    m_geometry = std::move(geometry);
    m_loaded = true;
    return true;
}

void QModel::shareGeometry(const QModel& loaded) {
    if (&loaded == this) return;
    clearGeometry();
    if (!loaded.m_loaded) return;
    m_blended.assign(static_cast<size_t>(loaded.m_geometry->vertexCount) * 3, 0.0f);
    m_floatFrame = -1;
    m_geometry = loaded.m_geometry;
    m_loaded = true;
}

void QModel::scaleTextureCoordinates(float s) {
    if (!m_loaded || s == 1.0f) return;
    auto scaled = std::make_shared<ModelGeometry>(*m_geometry);
    for (float& coordinate : scaled->texCoords) coordinate *= s;
    m_geometry = std::move(scaled);
}

void QModel::clearGeometry() {
    m_loaded = false;
    m_reportedMissingFrame = false;
    m_geometry = emptyGeometry();
    release(m_blended);
    m_floatFrame = -1;
    m_currentFrame = 0;
    m_nextFrame = 0;
    m_fraction = 0.0f;
}

void QModel::addSequence(int first, int last, const std::string& name) {
    for (const Sequence& s : m_sequences) {
        if (s.name == name) return;
    }
    const int top = m_geometry->numFrames > 0 ? m_geometry->numFrames - 1 : 0;
    first = first < 0 ? 0 : (first > top ? top : first);
    last = last < 0 ? 0 : (last > top ? top : last);
    // A reversed range would never wrap; it plays as its first frame alone.
    if (last < first) last = first;
    Sequence s;
    s.pos = static_cast<float>(first);
    s.first = first;
    s.last = last;
    s.name = name;
    m_sequences.push_back(std::move(s));
}

void QModel::setSequence(const std::string& name) {
    for (size_t i = 0; i < m_sequences.size(); ++i) {
        if (m_sequences[i].name == name) {
            m_current = i;
            m_sequences[i].pos = static_cast<float>(m_sequences[i].first);
            return;
        }
    }
}

void QModel::setFramesPerSecond(float fps) {
    m_framesPerSecond = fps;
    m_msPerFrame = 1000.0f / fps;
}

void QModel::playLoops(int n) {
    m_loopLimit = n;
    m_loopCount = 0;
    m_animating = true;
    m_lastTick = getTicks();
}

void QModel::startAnimating() {
    m_loopLimit = -1;
    m_animating = true;
    m_lastTick = getTicks();
}

const QModel::Sequence* QModel::currentSequence() const {
    return m_current < m_sequences.size() ? &m_sequences[m_current] : nullptr;
}

int QModel::frameNumber() const {
    const Sequence* s = currentSequence();
    return s ? frameOf(s->pos) : 0;
}

void QModel::setFrameNumber(int n) {
    if (m_current < m_sequences.size()) m_sequences[m_current].pos = static_cast<float>(n);
}

int QModel::firstFrame() const {
    const Sequence* s = currentSequence();
    return s ? s->first : 0;
}

int QModel::lastFrame() const {
    const Sequence* s = currentSequence();
    return s ? s->last : 0;
}

void QModel::update() {
    glPushMatrix();
    // Normals feed lighting alone: an unlit draw sends neither them nor the
    // normalisation, so it has the same vertex state as a model loaded without them.
    m_litDraw = m_geometry->lighting && glIsEnabled(GL_LIGHTING);
    if (m_litDraw) glEnable(GL_NORMALIZE);
    advance();
}

void QModel::advance() {
    if (m_current >= m_sequences.size()) return;
    const uint32_t now = getTicks();
    const uint32_t dt = now - m_lastTick;
    m_lastTick = now;
    Sequence& s = m_sequences[m_current];

    int a = 0;
    int b = 0;
    if (m_animating) {
        s.pos += static_cast<float>(dt) / m_msPerFrame;
        m_fraction = s.pos - std::trunc(s.pos);
        const float end = static_cast<float>(s.last + 1);
        const float span = static_cast<float>(s.last + 1 - s.first);
        if (std::isfinite(s.pos) && s.pos >= end && span > 0.0f) {
            // Many spans at once (a long pause) in one step, then the exact remainder.
            const float spans = std::floor((s.pos - end) / span);
            if (spans > 0.0f) s.pos -= spans * span;
            while (s.pos >= end) s.pos -= span;
            m_loopCount += 1;
        }
        if (m_loopLimit >= 0 && m_loopCount >= m_loopLimit) {
            m_animating = false;
            m_loopLimit = -1;
            s.pos = static_cast<float>(s.first);
            m_fraction = 0.0f;
        }
        a = frameOf(s.pos);
        b = a + 1;
        if (b > s.last) b = s.first;
    } else {
        a = b = frameOf(s.pos);
    }
    m_currentFrame = a;
    m_nextFrame = b;
}

void QModel::draw(ModelObject* object) {
    m_drawObject = object;
    if (m_sequences.empty()) {
        drawFrame(0);
    } else {
        drawInterpolated();
    }
}

// A model that cannot be drawn fails again on every frame; saying so once is enough.
void QModel::reportMissingFrame() {
    if (m_reportedMissingFrame) return;
    m_reportedMissingFrame = true;
    report(Channel::Output, texts::kFrameBeyondModel);
}

void QModel::drawFrame(int frame) {
    const ModelGeometry& g = *m_geometry;
    if (frame < 0 || frame >= g.numFrames) {
        reportMissingFrame();
        return;
    }
    m_currentFrame = frame;
    if (g.vertexCount == 0) return;
    drawArrays(frameAsFloats(frame), normalsOf(frame));
}

// Positions go to GL as floats even where no blend is needed: one vertex format for
// every model draw, so the software driver builds one vertex fetch for all of them.
// A frame drawn again (a still model) is not converted again.
const float* QModel::frameAsFloats(int frame) {
    if (m_floatFrame != frame) {
        const size_t frameSize = static_cast<size_t>(m_geometry->vertexCount) * 3;
        const int16_t* grid = &m_geometry->positions[static_cast<size_t>(frame) * frameSize];
        std::copy(grid, grid + frameSize, m_blended.begin());
        m_floatFrame = frame;
    }
    return m_blended.data();
}

void QModel::drawInterpolated() {
    const ModelGeometry& g = *m_geometry;
    const int frames = g.numFrames;
    if (m_currentFrame < 0 || m_currentFrame >= frames || m_nextFrame < 0 || m_nextFrame >= frames) {
        reportMissingFrame();
        return;
    }
    if (g.vertexCount == 0) return;
    const size_t frameSize = static_cast<size_t>(g.vertexCount) * 3;
    const int16_t* current = &g.positions[static_cast<size_t>(m_currentFrame) * frameSize];
    const int16_t* next = &g.positions[static_cast<size_t>(m_nextFrame) * frameSize];
    const bool interpolate = m_drawObject && (m_drawObject->flags() & SceneObject::kInterpolateFrames);
    if (!interpolate) {
        drawArrays(frameAsFloats(m_currentFrame), normalsOf(m_currentFrame));
        return;
    }
    // The normals stay those of the current frame; only the positions move between frames.
    const float t = m_fraction;
    m_floatFrame = -1;
    float* out = m_blended.data();
    for (size_t i = 0; i < frameSize; ++i) {
        const float p = current[i];
        out[i] = p + (static_cast<float>(next[i]) - p) * t;
    }
    drawArrays(out, normalsOf(m_currentFrame));
}

const QModel::PackedNormal* QModel::normalsOf(int frame) const {
    const ModelGeometry& g = *m_geometry;
    if (g.normals.empty() || !m_litDraw) return nullptr;
    return &g.normals[static_cast<size_t>(frame) * static_cast<size_t>(g.vertexCount) * 3];
}

// One glDrawElements over the shared triangles: positions on the file's grid (as
// floats), the packed normals (none for an unlit draw) and the object's texture units reading the shared texture coordinates.
void QModel::drawArrays(const float* positions, const PackedNormal* normals) {
    const ModelGeometry& g = *m_geometry;
    if (g.indices.empty()) return;
    glPushMatrix();
    glMultMatrixf(kGridToWorld);
    glEnableClientState(GL_VERTEX_ARRAY);
    glVertexPointer(3, GL_FLOAT, 0, positions);
    if (normals) {
        glEnableClientState(GL_NORMAL_ARRAY);
        glNormalPointer(kNormalType, 0, normals);
    }
    if (m_drawObject) m_drawObject->enableTexCoordArrays(g.texCoords.data(), 0);
    glDrawElements(GL_TRIANGLES, static_cast<GLsizei>(g.indices.size()), GL_UNSIGNED_SHORT, g.indices.data());
    if (m_drawObject) m_drawObject->disableTexCoordArrays();
    if (normals) glDisableClientState(GL_NORMAL_ARRAY);
    glDisableClientState(GL_VERTEX_ARRAY);
    glPopMatrix();
}

std::array<float, 3> QModel::position(int frame, int vertex) const {
    const ModelGeometry& g = *m_geometry;
    const size_t at = (static_cast<size_t>(frame) * static_cast<size_t>(g.vertexCount) + static_cast<size_t>(vertex)) * 3;
    const Vec3 p = gridToWorld(&g.positions[at]);
    return {p.x, p.y, p.z};
}

std::array<float, 3> QModel::normal(int frame, int vertex) const {
    const ModelGeometry& g = *m_geometry;
    if (g.normals.empty()) return {0.0f, 0.0f, 0.0f};
    const size_t at = (static_cast<size_t>(frame) * static_cast<size_t>(g.vertexCount) + static_cast<size_t>(vertex)) * 3;
    // File (x, y, z) is world (x, z, -y); scaled back to unit length as GL_NORMALIZE does.
    Vec3 n{static_cast<float>(g.normals[at]), static_cast<float>(g.normals[at + 2]),
           -static_cast<float>(g.normals[at + 1])};
    if (n.x == 0.0f && n.y == 0.0f && n.z == 0.0f) return {0.0f, 0.0f, 0.0f};
    normalize(n);
    return {n.x, n.y, n.z};
}

std::vector<std::array<float, 3>> QModel::framePositions(int frame) const {
    std::vector<std::array<float, 3>> out(static_cast<size_t>(vertexCount()));
    for (int v = 0; v < vertexCount(); ++v) out[static_cast<size_t>(v)] = position(frame, v);
    return out;
}

std::vector<std::array<float, 3>> QModel::frameNormals(int frame) const {
    std::vector<std::array<float, 3>> out(static_cast<size_t>(vertexCount()));
    for (int v = 0; v < vertexCount(); ++v) out[static_cast<size_t>(v)] = normal(frame, v);
    return out;
}

void QModel::finish() {
    if (m_litDraw) glDisable(GL_NORMALIZE);
    m_litDraw = false;
    glPopMatrix();
}

void QModel::free() {
    clearGeometry();
    m_sequences.clear();
    m_current = 0;
}

}  // namespace reef
