// QModel: the MD3 loader (plain or archive-wrapped) and the animation of
// whatever it accepted.
#include <cmath>
#include <cstddef>
#include <cstdint>

#include "engine/QModel.h"
#include "fuzz/FuzzCheck.h"

using namespace reef;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    QModel model;
    // Computed normals (lit) and the plain path (unlit) both get inputs.
    const bool lighting = size % 2 == 0;
    if (!model.loadMD3FromMemory(data, size, lighting, "fuzz.tqm")) {
        REEF_FUZZ_REQUIRE(!model.loaded() && model.gridPositions().empty() && model.packedNormals().empty());
        return 0;
    }
    // What loaded must be drawable: every index names a vertex of every frame, and
    // a lit model has a normal for each of them.
    const size_t frameVertices = static_cast<size_t>(model.numFrames()) * static_cast<size_t>(model.vertexCount());
    REEF_FUZZ_REQUIRE(model.gridPositions().size() == frameVertices * 3);
    REEF_FUZZ_REQUIRE(model.packedNormals().size() == (lighting ? frameVertices * 3 : 0));
    REEF_FUZZ_REQUIRE(std::isfinite(model.boundsRadius()));
    // One texture-coordinate pair per vertex, shared by every frame.
    REEF_FUZZ_REQUIRE(model.texCoords().size() == static_cast<size_t>(model.vertexCount()) * 2);
    REEF_FUZZ_REQUIRE(model.indices().size() == static_cast<size_t>(model.triangleCount()) * 3);
    for (uint16_t index : model.indices()) REEF_FUZZ_REQUIRE(index < model.vertexCount());

    model.addSequence(0, 1 << 20, "swim");
    model.setSequence("swim");
    model.setFramesPerSecond(1000.0f);
    for (int step = 0; step < 3; ++step) {
        model.advance();
        if (model.numFrames() > 0) {
            REEF_FUZZ_REQUIRE(model.currentFrameIndex() >= 0 && model.currentFrameIndex() < model.numFrames());
            REEF_FUZZ_REQUIRE(model.nextFrameIndex() >= 0 && model.nextFrameIndex() < model.numFrames());
        }
    }
    return 0;
}
