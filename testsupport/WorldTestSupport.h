// Helpers shared by the world tests: models with real frame counts built in
// memory, and a stand-in for the draw pass that advances a model's animation.
#pragma once

#include <cstdint>
#include <cstring>
#include <vector>

#include "engine/Md3Format.h"
#include "engine/QModel.h"

namespace reef::test {

inline void put32(std::vector<uint8_t>& b, size_t at, int32_t v) { std::memcpy(&b[at], &v, 4); }

// A one-vertex, no-triangle MD3 with `frames` frames: enough for sequences.
inline std::vector<uint8_t> modelBytes(int frames) {
    const size_t surface = md3::kHeaderSize;
    const size_t texAt = md3::kSurfaceHeaderSize;
    const size_t vertAt = texAt + md3::kTexCoordSize;
    const size_t size = surface + vertAt + static_cast<size_t>(frames) * md3::kVertexSize;
    std::vector<uint8_t> b(size, 0);
    std::memcpy(&b[0], md3::kIdent, 4);
    put32(b, md3::kHeaderVersionOffset, md3::kVersion);
    put32(b, md3::kHeaderFrameCountOffset, 0);
    put32(b, md3::kHeaderTagCountOffset, 0);
    put32(b, md3::kHeaderSurfaceCountOffset, 1);
    put32(b, md3::kHeaderSurfacesOffset, static_cast<int32_t>(surface));
    put32(b, md3::kHeaderEndOffset, static_cast<int32_t>(size));
    std::memcpy(&b[surface], md3::kIdent, 4);
    put32(b, surface + md3::kSurfaceFrameCountOffset, frames);
    put32(b, surface + md3::kSurfaceVertexCountOffset, 1);
    put32(b, surface + md3::kSurfaceTriangleCountOffset, 0);
    put32(b, surface + md3::kSurfaceTrianglesOffset, static_cast<int32_t>(texAt));
    put32(b, surface + md3::kSurfaceShadersOffset, static_cast<int32_t>(texAt));
    put32(b, surface + md3::kSurfaceTexCoordsOffset, static_cast<int32_t>(texAt));
    put32(b, surface + md3::kSurfaceVerticesOffset, static_cast<int32_t>(vertAt));
    put32(b, surface + md3::kSurfaceEndOffset, static_cast<int32_t>(size - surface));
    return b;
}

inline bool loadFrames(QModel& model, int frames) {
    const std::vector<uint8_t> bytes = modelBytes(frames);
    return model.loadMD3FromMemory(bytes.data(), bytes.size(), false, "test.tqm");
}

// What drawing does to the animation: advance by the time since the last draw.
inline void drawTick(QModel& model) {
    model.update();
    model.finish();
}

}  // namespace reef::test
