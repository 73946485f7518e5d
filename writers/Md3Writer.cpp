#include "writers/Md3Writer.h"

#include "engine/Md3Format.h"
#include "writers/ByteWriter.h"

namespace reef {
namespace {

constexpr const char* kFrameName = "frame";

void writeFloats(ByteWriter& w, const std::array<float, 3>& v) {
    for (float f : v) w.f32(f);
}

void writeFrameRecords(ByteWriter& w, const Md3Model& model, size_t frameCount) {
    if (model.frames.empty()) {
        w.zeros(frameCount * md3::kFrameRecordSize);
        return;
    }
    for (const Md3Frame& frame : model.frames) {
        writeFloats(w, frame.mins);
        writeFloats(w, frame.maxs);
        writeFloats(w, frame.origin);
        w.f32(frame.radius);
        w.text(kFrameName, md3::kFrameNameSize);
    }
}

void writeSurface(ByteWriter& w, const Md3Surface& s) {
    const auto frames = static_cast<int32_t>(s.positions.size());
    const auto verts = static_cast<int32_t>(s.texCoords.size());
    const auto tris = static_cast<int32_t>(s.triangles.size());
    const size_t trianglesAt = md3::kSurfaceHeaderSize;
    const size_t shadersAt = trianglesAt + static_cast<size_t>(tris) * md3::kTriangleSize;
    const size_t texAt = shadersAt + s.shaders.size() * md3::kShaderSize;
    const size_t vertAt = texAt + static_cast<size_t>(verts) * md3::kTexCoordSize;
    const size_t endAt = vertAt + static_cast<size_t>(frames) * static_cast<size_t>(verts) * md3::kVertexSize;
    w.append(md3::kIdent, sizeof md3::kIdent);
    w.text(s.name, md3::kNameSize);
    w.i32(0);  // flags
    w.i32(frames);
    w.i32(static_cast<int32_t>(s.shaders.size()));
    w.i32(verts);
    w.i32(tris);
    w.i32(static_cast<int32_t>(trianglesAt));
    w.i32(static_cast<int32_t>(shadersAt));
    w.i32(static_cast<int32_t>(texAt));
    w.i32(static_cast<int32_t>(vertAt));
    w.i32(static_cast<int32_t>(endAt));
    for (const auto& t : s.triangles)
        for (int32_t i : t) w.i32(i);
    for (const std::string& shader : s.shaders) {
        w.text(shader, md3::kNameSize);
        w.i32(0);  // shader index
    }
    for (const auto& st : s.texCoords) {
        w.f32(st[0]);
        w.f32(st[1]);
    }
    for (size_t f = 0; f < s.positions.size(); ++f) {
        for (size_t v = 0; v < s.positions[f].size(); ++v) {
            for (int16_t c : s.positions[f][v]) w.i16(c);
            w.u16(f < s.packedNormals.size() ? s.packedNormals[f][v] : 0);
        }
    }
}

}  // namespace

std::vector<uint8_t> writeMd3(const Md3Model& model, Md3Offsets* where) {
    const size_t frames = model.surfaces.empty() ? 0 : model.surfaces[0].positions.size();
    const size_t tagsAt = md3::kHeaderSize + frames * md3::kFrameRecordSize;
    const size_t surfacesAt = tagsAt + frames * static_cast<size_t>(model.tags) * md3::kTagSize;
    ByteWriter w;
    w.append(md3::kIdent, sizeof md3::kIdent);
    w.i32(md3::kVersion);
    w.text(model.name, md3::kNameSize);
    w.i32(0);  // flags
    w.i32(static_cast<int32_t>(frames));
    w.i32(model.tags);
    w.i32(static_cast<int32_t>(model.surfaces.size()));
    w.i32(0);  // skins
    w.i32(static_cast<int32_t>(md3::kHeaderSize));
    w.i32(static_cast<int32_t>(tagsAt));
    w.i32(static_cast<int32_t>(surfacesAt));
    w.i32(0);  // end offset, known once the surfaces are written
    writeFrameRecords(w, model, frames);
    w.zeros(surfacesAt - tagsAt);
    if (where) where->surface = w.size();
    for (const Md3Surface& s : model.surfaces) writeSurface(w, s);
    w.patchU32(md3::kHeaderEndOffset, static_cast<uint32_t>(w.size()));
    if (where) where->end = w.size();
    if (model.withNormals) {
        w.u16(static_cast<uint16_t>(model.normals.size()));
        w.u16(static_cast<uint16_t>(model.normals.empty() ? 0 : model.normals[0].size()));
        for (const auto& frame : model.normals)
            for (const auto& n : frame) writeFloats(w, n);
    }
    return w.take();
}

}  // namespace reef
