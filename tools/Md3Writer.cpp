#include "tools/Md3Writer.h"

#include <algorithm>
#include <cmath>

#include "engine/Md3Format.h"
#include "writers/Md3Writer.h"

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

// Bounds, origin and radius of one frame.
Md3Frame frameRecord(const std::vector<P3>& frame) {
    P3 lo{1e9f, 1e9f, 1e9f}, hi{-1e9f, -1e9f, -1e9f};
    for (const P3& p : frame) {
        lo = {std::min(lo.x, p.x), std::min(lo.y, p.y), std::min(lo.z, p.z)};
        hi = {std::max(hi.x, p.x), std::max(hi.y, p.y), std::max(hi.z, p.z)};
    }
    if (frame.empty()) lo = hi = {};
    return {{lo.x, lo.y, lo.z}, {hi.x, hi.y, hi.z}, {}, len(hi - lo) * 0.5f};
}

Md3Surface surfaceOf(const AnimatedMesh& model, const std::string& name) {
    const Mesh& mesh = model.mesh;
    Md3Surface s;
    s.name = name;
    s.shaders = {name};
    for (size_t i = 0; i + 2 < mesh.triangles.size(); i += 3)
        s.triangles.push_back({static_cast<int32_t>(mesh.triangles[i]), static_cast<int32_t>(mesh.triangles[i + 1]),
                               static_cast<int32_t>(mesh.triangles[i + 2])});
    for (size_t i = 0; i + 1 < mesh.uvs.size(); i += 2) s.texCoords.push_back({mesh.uvs[i], mesh.uvs[i + 1]});
    for (const auto& frame : model.frames) {
        const std::vector<P3> normals = smoothNormals(frame, mesh.triangles);
        auto& positions = s.positions.emplace_back();
        auto& packed = s.packedNormals.emplace_back();
        for (size_t i = 0; i < frame.size(); ++i) {
            positions.push_back({quantise(frame[i].x), quantise(frame[i].y), quantise(frame[i].z)});
            packed.push_back(packNormal(normals[i]));
        }
    }
    return s;
}

}  // namespace

P3 storedNormal(P3 n) { return {-n.x, -n.z, n.y}; }

std::vector<uint8_t> encodeMd3(const AnimatedMesh& model, const Md3Options& options) {
    Md3Model file;
    file.name = options.name;
    for (const auto& frame : model.frames) file.frames.push_back(frameRecord(frame));
    file.surfaces.push_back(surfaceOf(model, options.name));
    file.withNormals = !options.normals.empty();
    const size_t vertexCount = model.mesh.vertexCount();
    for (const auto& frame : options.normals) {
        auto& stored = file.normals.emplace_back();
        for (size_t i = 0; i < vertexCount; ++i) {
            const P3 s = storedNormal(i < frame.size() ? frame[i] : P3{0, 0, 1});
            stored.push_back({s.x, s.y, s.z});
        }
    }
    return writeMd3(file);
}

}  // namespace reef::tools
