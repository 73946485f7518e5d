// Builds ".tqm" model bytes in memory for the tests and the model benchmark,
// field by field after engine/Md3Format.h, and wraps bytes in a TQArchive.
#pragma once

#include <array>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "engine/Md3Format.h"
#include "engine/TQArchiveFormat.h"

namespace reef::test {

class ByteWriter {
public:
    std::vector<uint8_t> bytes;

    size_t size() const { return bytes.size(); }
    void u8(uint8_t v) { bytes.push_back(v); }
    void u16(uint16_t v) {
        u8(static_cast<uint8_t>(v));
        u8(static_cast<uint8_t>(v >> 8));
    }
    void i16(int16_t v) { u16(static_cast<uint16_t>(v)); }
    void u32(uint32_t v) {
        for (int i = 0; i < 4; ++i) u8(static_cast<uint8_t>(v >> (8 * i)));
    }
    void i32(int32_t v) { u32(static_cast<uint32_t>(v)); }
    void f32(float f) {
        uint32_t v;
        std::memcpy(&v, &f, sizeof v);
        u32(v);
    }
    void text(const char* s, size_t field) {
        const size_t n = std::strlen(s);
        for (size_t i = 0; i < field; ++i) u8(i < n ? static_cast<uint8_t>(s[i]) : 0);
    }
    void zeros(size_t n) { bytes.insert(bytes.end(), n, 0); }
    // Overwrites a 32-bit field written earlier.
    void patchI32(size_t at, int32_t v) {
        for (int i = 0; i < 4; ++i) bytes[at + static_cast<size_t>(i)] = static_cast<uint8_t>(static_cast<uint32_t>(v) >> (8 * i));
    }
};

struct Md3Surface {
    std::vector<std::array<int32_t, 3>> triangles;
    std::vector<std::array<float, 2>> texCoords;                // one per vertex
    std::vector<std::vector<std::array<int16_t, 3>>> positions;  // [frame][vertex], file x, y, z
};

struct Md3Model {
    int32_t tags = 0;
    std::vector<Md3Surface> surfaces;  // all with the same frame count
    bool withNormals = false;
    std::vector<std::vector<std::array<float, 3>>> normals;  // [frame][vertex], as stored
};

// Offsets of the first surface's fields inside the result, for tests that break them.
struct Md3Offsets {
    size_t surface = 0;
    size_t end = 0;  // where the normals block starts (the header's end offset)
};

inline std::vector<uint8_t> writeMd3(const Md3Model& model, Md3Offsets* where = nullptr) {
    namespace f = reef::md3;
    const int32_t frames =
        model.surfaces.empty() ? 0 : static_cast<int32_t>(model.surfaces[0].positions.size());
    ByteWriter w;
    // File header.
    w.bytes.insert(w.bytes.end(), f::kIdent, f::kIdent + 4);  // ident
    w.i32(f::kVersion);                                       // version
    w.text("test", f::kNameSize);                             // name
    w.i32(0);                                                 // flags
    w.i32(frames);                                            // frame count F
    w.i32(model.tags);                                        // tag count T
    w.i32(static_cast<int32_t>(model.surfaces.size()));       // surface count
    w.i32(0);                                                 // skin count
    w.i32(static_cast<int32_t>(f::kHeaderSize));              // frames offset
    const size_t tagsAt = f::kHeaderSize + static_cast<size_t>(frames) * f::kFrameRecordSize;
    w.i32(static_cast<int32_t>(tagsAt));                      // tags offset
    const size_t surfacesAt = tagsAt + static_cast<size_t>(frames) * static_cast<size_t>(model.tags) * f::kTagSize;
    w.i32(static_cast<int32_t>(surfacesAt));                  // surfaces offset
    const size_t endField = w.size();
    w.i32(0);                                                 // end offset, patched below
    // Frame records and tags: content not read by the loader.
    w.zeros(surfacesAt - f::kHeaderSize);
    if (where) where->surface = w.size();

    for (const Md3Surface& s : model.surfaces) {
        const int32_t verts = static_cast<int32_t>(s.texCoords.size());
        const int32_t tris = static_cast<int32_t>(s.triangles.size());
        const size_t trianglesAt = f::kSurfaceHeaderSize;
        const size_t texAt = trianglesAt + static_cast<size_t>(tris) * f::kTriangleSize;
        const size_t vertAt = texAt + static_cast<size_t>(verts) * f::kTexCoordSize;
        const size_t endAt = vertAt + s.positions.size() * static_cast<size_t>(verts) * f::kVertexSize;
        w.bytes.insert(w.bytes.end(), f::kIdent, f::kIdent + 4);    // ident
        w.text("surface", f::kNameSize);                            // name
        w.i32(0);                                                   // flags
        w.i32(static_cast<int32_t>(s.positions.size()));            // frame count
        w.i32(0);                                                   // shader count
        w.i32(verts);                                               // vertex count
        w.i32(tris);                                                // triangle count
        w.i32(static_cast<int32_t>(trianglesAt));                   // triangles offset
        w.i32(static_cast<int32_t>(texAt));                         // shaders offset (none)
        w.i32(static_cast<int32_t>(texAt));                         // texture-coordinate offset
        w.i32(static_cast<int32_t>(vertAt));                        // vertex offset
        w.i32(static_cast<int32_t>(endAt));                         // surface end
        for (const auto& t : s.triangles) {
            for (int32_t i : t) w.i32(i);
        }
        for (const auto& st : s.texCoords) {
            w.f32(st[0]);
            w.f32(st[1]);
        }
        for (const auto& frame : s.positions) {
            for (const auto& p : frame) {
                w.i16(p[0]);
                w.i16(p[1]);
                w.i16(p[2]);
                w.i16(0);  // packed normal, unused
            }
        }
    }
    w.patchI32(endField, static_cast<int32_t>(w.size()));
    if (where) where->end = w.size();
    if (model.withNormals) {
        const size_t n = model.normals.size();
        const size_t m = n ? model.normals[0].size() : 0;
        w.u16(static_cast<uint16_t>(n));  // frame count
        w.u16(static_cast<uint16_t>(m));  // vertex count
        for (const auto& frame : model.normals) {
            for (const auto& v : frame) {
                w.f32(v[0]);
                w.f32(v[1]);
                w.f32(v[2]);
            }
        }
    }
    return w.bytes;
}

// A TQArchive around payload; the payload is scrambled when flags has bit 0.
inline std::vector<uint8_t> wrapArchive(const std::vector<uint8_t>& payload, uint32_t flags,
                                        uint16_t field1 = 7, uint16_t field2 = 9) {
    namespace a = reef::tqarchive;
    ByteWriter w;
    w.text(a::kMagic, a::kMagicFieldSize);  // "TQArchive" and zeros up to offset 16
    w.u16(field1);                          // first 16-bit field
    w.u16(field2);                          // second 16-bit field
    w.u32(flags);                           // flags
    for (uint8_t b : payload) w.u8((flags & a::kFlagScrambled) ? static_cast<uint8_t>(b ^ a::kScrambleKey) : b);
    return w.bytes;
}

// A model of `frames` frames with a row of `quads` quads (2 triangles each) per
// frame, `spacing` stored units apart; each frame shifts every vertex by the
// frame number along x.
inline Md3Model gridModel(int frames, int quads, int spacing = 64) {
    Md3Model model;
    Md3Surface s;
    for (int q = 0; q <= quads; ++q) {
        s.texCoords.push_back({static_cast<float>(q) / static_cast<float>(quads > 0 ? quads : 1), 0.0f});
        s.texCoords.push_back({static_cast<float>(q) / static_cast<float>(quads > 0 ? quads : 1), 1.0f});
    }
    for (int q = 0; q < quads; ++q) {
        const int32_t a = 2 * q, b = 2 * q + 1, c = 2 * q + 2, d = 2 * q + 3;
        s.triangles.push_back({a, b, c});
        s.triangles.push_back({b, d, c});
    }
    for (int f = 0; f < frames; ++f) {
        std::vector<std::array<int16_t, 3>> frame;
        for (int q = 0; q <= quads; ++q) {
            frame.push_back({static_cast<int16_t>(q * spacing + f), 0, 0});
            frame.push_back({static_cast<int16_t>(q * spacing + f), static_cast<int16_t>(spacing), 0});
        }
        s.positions.push_back(frame);
    }
    model.surfaces.push_back(s);
    return model;
}

}  // namespace reef::test
