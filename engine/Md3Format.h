// The ".tqm" model layout: the public MD3 layout (little-endian), of which the
// loader reads only the fields listed here, plus an optional block of per-vertex
// normals after the MD3 end offset. Shared by the loader (engine/QModel.cpp) and
// the data generator (tools/), so both agree on every size and offset.
//
// File header (108 bytes):
//   off  size  field
//     0     4  ident "IDP3"                 (written, not checked by the loader)
//     4     4  version 15                   (written, not checked)
//     8    64  name                         (written, not checked)
//    72     4  flags
//    76     4  frame count F                (locates the first surface)
//    80     4  tag count T                  (locates the first surface)
//    84     4  surface count                (0: a tags-only file, refused)
//    88     4  skin count
//    92     4  frames offset
//    96     4  tags offset
//   100     4  surfaces offset              (not used: see below)
//   104     4  end offset E                 (an extension block starts at E when E < file size)
//
// Frame records: F x 56 bytes at 108. Tag records: F x T x 112 bytes after them.
// The first surface starts at 108 + F * (56 + T * 112), whatever the surfaces offset says.
//
// Surface header (108 bytes, offsets from the surface start):
//     0     4  ident "IDP3"
//     4    64  name
//    68     4  flags
//    72     4  frame count                  (becomes the model's frame count)
//    76     4  shader count
//    80     4  vertex count V
//    84     4  triangle count N
//    88     4  triangles offset             N x 12: three int32 vertex indices
//    92     4  shaders offset               shader count x 68 (not used)
//    96     4  texture-coordinate offset    V x 8: float s, float t
//   100     4  vertex offset                frames x V x 8: int16 x, y, z, packed normal
//   104     4  surface end offset
//
// Normals extension block (at E, to the end of the file):
//     0     2  frame count n                (uint16, at most the model's frame count)
//     2     2  vertex count m               (uint16, at most the surface's vertex count)
//     4  n*m*12  normals                    float x, y, z per vertex, frame-major
// Bytes after E that do not form such a block (shorter than its header, a count
// of 0 or above the model's, normals past the end of the file) are ignored.
#pragma once

#include <cstddef>
#include <cstdint>

namespace reef::md3 {

inline constexpr char kIdent[4] = {'I', 'D', 'P', '3'};
inline constexpr int32_t kVersion = 15;
inline constexpr size_t kNameSize = 64;

// File header.
inline constexpr size_t kHeaderSize = 108;
inline constexpr size_t kHeaderIdentOffset = 0;
inline constexpr size_t kHeaderVersionOffset = 4;
inline constexpr size_t kHeaderNameOffset = 8;
inline constexpr size_t kHeaderFlagsOffset = 72;
inline constexpr size_t kHeaderFrameCountOffset = 76;
inline constexpr size_t kHeaderTagCountOffset = 80;
inline constexpr size_t kHeaderSurfaceCountOffset = 84;
inline constexpr size_t kHeaderSkinCountOffset = 88;
inline constexpr size_t kHeaderFramesOffset = 92;
inline constexpr size_t kHeaderTagsOffset = 96;
inline constexpr size_t kHeaderSurfacesOffset = 100;
inline constexpr size_t kHeaderEndOffset = 104;

// Per-frame and per-tag records between the header and the first surface. A
// frame record holds float bounds (min x, y, z, max x, y, z), origin x, y, z and
// radius, then a name; the loader reads none of it.
inline constexpr size_t kFrameRecordSize = 56;
inline constexpr size_t kFrameNameSize = 16;
inline constexpr size_t kTagSize = 112;

// Surface header, offsets from the surface start.
inline constexpr size_t kSurfaceHeaderSize = 108;
inline constexpr size_t kSurfaceIdentOffset = 0;
inline constexpr size_t kSurfaceNameOffset = 4;
inline constexpr size_t kSurfaceFlagsOffset = 68;
inline constexpr size_t kSurfaceFrameCountOffset = 72;
inline constexpr size_t kSurfaceShaderCountOffset = 76;
inline constexpr size_t kSurfaceVertexCountOffset = 80;
inline constexpr size_t kSurfaceTriangleCountOffset = 84;
inline constexpr size_t kSurfaceTrianglesOffset = 88;
inline constexpr size_t kSurfaceShadersOffset = 92;
inline constexpr size_t kSurfaceTexCoordsOffset = 96;
inline constexpr size_t kSurfaceVerticesOffset = 100;
inline constexpr size_t kSurfaceEndOffset = 104;

// Record sizes inside a surface.
inline constexpr size_t kTriangleSize = 12;  // int32 i0, i1, i2
inline constexpr size_t kShaderSize = 68;
inline constexpr size_t kTexCoordSize = 8;   // float s, t
inline constexpr size_t kVertexSize = 8;     // int16 x, y, z, packed normal

// Stored vertex coordinates are 1/64 world unit: (x, y, z) in the file becomes
// the position (x / 64, z / 64, -y / 64).
inline constexpr float kVertexUnitsPerWorldUnit = 64.0f;
inline constexpr float kVertexScale = 1.0f / kVertexUnitsPerWorldUnit;  // 0.015625

// Normals extension block at the header's end offset.
inline constexpr size_t kExtFrameCountOffset = 0;   // uint16
inline constexpr size_t kExtVertexCountOffset = 2;  // uint16
inline constexpr size_t kExtHeaderSize = 4;
inline constexpr size_t kExtNormalSize = 12;        // float x, y, z

// Sanity limits: a file beyond them is rejected before anything is allocated.
inline constexpr int32_t kMaxFrames = 1024;               // per model
inline constexpr int32_t kMaxTags = 256;                  // per frame
inline constexpr int32_t kMaxVerticesPerSurface = 65535;  // indices are stored as 16 bits
inline constexpr int32_t kMaxTrianglesPerSurface = 131072;
inline constexpr int64_t kMaxFrameVertices = 8 * 1024 * 1024;  // frames x vertices, per model

}  // namespace reef::md3
