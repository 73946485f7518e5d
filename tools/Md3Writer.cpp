#include "tools/Md3Writer.h"

#include <algorithm>
#include <cmath>

#include "engine/Md3Format.h"
#include "tools/ByteWriter.h"

namespace reef::tools {
namespace {

int16_t quantise(float v) {
    const float scaled = std::round(v * md3::kVertexUnitsPerWorldUnit);
    return static_cast<int16_t>(std::clamp(scaled, -32767.0f, 32767.0f));
}

// The classic latitude/longitude byte pair of MD3 vertices (not read by the loader,
// written so that other tools see sensible data).
uint16_t packNormal(P3 n) {
    const float lat = std::acos(std::clamp(n.z, -1.0f, 1.0f));
    const float lng = std::atan2(n.y, n.x);
    const auto a = static_cast<uint16_t>(static_cast<int>(std::lround(lng * 255.0f / 6.2831853f)) & 0xFF);
    const auto b = static_cast<uint16_t>(static_cast<int>(std::lround(lat * 255.0f / 6.2831853f)) & 0xFF);
    return static_cast<uint16_t>((b << 8) | a);
}

}  // namespace

P3 storedNormal(P3 n) { return {-n.x, -n.z, n.y}; }

std::vector<uint8_t> encodeMd3(const AnimatedMesh& model, const Md3Options& options) {
    const Mesh& mesh = model.mesh;
    const auto frameCount = static_cast<int32_t>(model.frames.size());
    const auto vertexCount = static_cast<int32_t>(mesh.vertexCount());
    const auto triangleCount = static_cast<int32_t>(mesh.triangleCount());

    ByteWriter w;
    // File header.
    w.bytes(md3::kIdent, 4);
    w.i32(md3::kVersion);
    w.fixedString(options.name, md3::kNameSize);
    w.i32(0);               // flags
    w.i32(frameCount);      // F
    w.i32(0);               // T: no tags
    w.i32(1);               // surfaces
    w.i32(0);               // skins
    w.i32(static_cast<int32_t>(md3::kHeaderSize));
    const size_t surfaceStart = md3::kHeaderSize + static_cast<size_t>(frameCount) * md3::kFrameRecordSize;
    w.i32(static_cast<int32_t>(surfaceStart));  // tags (none) end where the surface starts
    w.i32(static_cast<int32_t>(surfaceStart));
    const size_t endOffsetField = w.size();
    w.i32(0);  // end offset, patched below

    // Frame records: bounds, origin, radius, name.
    for (const auto& frame : model.frames) {
        P3 lo{1e9f, 1e9f, 1e9f}, hi{-1e9f, -1e9f, -1e9f};
        for (const P3& p : frame) {
            lo = {std::min(lo.x, p.x), std::min(lo.y, p.y), std::min(lo.z, p.z)};
            hi = {std::max(hi.x, p.x), std::max(hi.y, p.y), std::max(hi.z, p.z)};
        }
        if (frame.empty()) lo = hi = {};
        w.f32(lo.x), w.f32(lo.y), w.f32(lo.z);
        w.f32(hi.x), w.f32(hi.y), w.f32(hi.z);
        w.f32(0), w.f32(0), w.f32(0);
        w.f32(len(hi - lo) * 0.5f);
        w.fixedString("frame", 16);
    }

    // Surface: header, one shader, triangles, texture coordinates, vertices.
    const size_t trianglesOffset = md3::kSurfaceHeaderSize;
    const size_t shadersOffset = trianglesOffset + static_cast<size_t>(triangleCount) * md3::kTriangleSize;
    const size_t texCoordsOffset = shadersOffset + md3::kShaderSize;
    const size_t verticesOffset = texCoordsOffset + static_cast<size_t>(vertexCount) * md3::kTexCoordSize;
    const size_t surfaceEnd =
        verticesOffset + static_cast<size_t>(frameCount) * static_cast<size_t>(vertexCount) * md3::kVertexSize;
    w.bytes(md3::kIdent, 4);
    w.fixedString(options.name, md3::kNameSize);
    w.i32(0);
    w.i32(frameCount);
    w.i32(1);
    w.i32(vertexCount);
    w.i32(triangleCount);
    w.i32(static_cast<int32_t>(trianglesOffset));
    w.i32(static_cast<int32_t>(shadersOffset));
    w.i32(static_cast<int32_t>(texCoordsOffset));
    w.i32(static_cast<int32_t>(verticesOffset));
    w.i32(static_cast<int32_t>(surfaceEnd));
    for (uint32_t index : mesh.triangles) w.i32(static_cast<int32_t>(index));
    w.fixedString(options.name, md3::kNameSize);
    w.i32(0);
    for (float st : mesh.uvs) w.f32(st);
    for (size_t f = 0; f < model.frames.size(); ++f) {
        const auto& frame = model.frames[f];
        const std::vector<P3> normals = smoothNormals(frame, mesh.triangles);
        for (size_t i = 0; i < frame.size(); ++i) {
            w.i16(quantise(frame[i].x));
            w.i16(quantise(frame[i].y));
            w.i16(quantise(frame[i].z));
            w.u16(packNormal(normals[i]));
        }
    }
    w.patchU32(endOffsetField, static_cast<uint32_t>(w.size()));

    if (!options.normals.empty()) {
        w.u16(static_cast<uint16_t>(options.normals.size()));
        w.u16(static_cast<uint16_t>(vertexCount));
        for (const auto& frame : options.normals)
            for (size_t i = 0; i < static_cast<size_t>(vertexCount); ++i) {
                const P3 s = storedNormal(i < frame.size() ? frame[i] : P3{0, 0, 1});
                w.f32(s.x), w.f32(s.y), w.f32(s.z);
            }
    }
    return w.take();
}

}  // namespace reef::tools
