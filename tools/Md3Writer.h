// The generator's animated meshes as ".tqm" models (written by writers/Md3Writer.h):
// one surface, no tags, and optionally the per-vertex normals block after the end offset.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "tools/Mesh.h"

namespace reef::tools {

struct Md3Options {
    std::string name;
    // Per-frame normals in the model file's frame (x right, y forward, z up), as
    // the surface should be lit; empty: no normals block (the loader derives them).
    std::vector<std::vector<P3>> normals;
};

// Model coordinates are world units; the file stores them as 1/64 units, clamped to 16 bits.
std::vector<uint8_t> encodeMd3(const AnimatedMesh& model, const Md3Options& options);

// The normals block stores each vector negated and in the loader's axis order
// (x, z, -y); this is the stored triple for a model-frame normal.
P3 storedNormal(P3 modelNormal);

}  // namespace reef::tools
