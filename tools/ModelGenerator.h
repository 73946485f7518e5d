// Builds every scenery model (".tqm"): eight corals of different kinds, the gull,
// the island with its palm trunks and leaves, and the two reef fish. Sizes are
// chosen for the scale and position each object is placed with; animations loop
// seamlessly from their last frame back to the first.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "tools/GeneratedFiles.h"
#include "tools/Mesh.h"

namespace reef::tools {

struct ModelSpec {
    std::string path;     // below the data folder
    AnimatedMesh model;
    bool normalsBlock = false;
    bool archived = false;   // wrapped in a TQArchive
    bool scrambled = false;  // archive payload scrambled
    // Normals written to the block; empty with normalsBlock: smooth normals of each frame.
    std::vector<std::vector<P3>> normals;
};

class ModelGenerator {
public:
    bool generate(GeneratedFiles& folder) const;
    // Every model with its settings (used by generate, the tests and the contact sheet).
    static std::vector<ModelSpec> buildAll();
};

// Frames built by calling build(frame) for each frame; every call must give the same
// topology (vertex count, texture coordinates and triangles).
AnimatedMesh buildFrames(int frameCount, const std::function<Mesh(int frame)>& build);

}  // namespace reef::tools
