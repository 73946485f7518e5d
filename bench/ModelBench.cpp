// Model costs: loading a 231-frame, 2,000-triangle model from memory, and
// drawing it interpolated in a real GLX context (skipped without a DISPLAY).
#include <GL/gl.h>
#include <benchmark/benchmark.h>

#include "core/Clock.h"
#include "engine/ModelObject.h"
#include "engine/QModel.h"
#include "testsupport/GlTestContext.h"
#include "testsupport/GridModel.h"

namespace {

constexpr int kFrames = 231;
constexpr int kQuads = 1000;  // 2,000 triangles

const std::vector<uint8_t>& modelBytes(bool withNormals) {
    static const std::vector<uint8_t> plain = reef::writeMd3(reef::test::gridModel(kFrames, kQuads, 16));
    static const std::vector<uint8_t> normals = [] {
        reef::Md3Model m = reef::test::gridModel(kFrames, kQuads, 16);
        m.withNormals = true;
        m.normals.assign(kFrames, std::vector<std::array<float, 3>>(m.surfaces[0].texCoords.size(), {0, 1, 0}));
        return reef::writeMd3(m);
    }();
    return withNormals ? normals : plain;
}

// Arg 0: lighting off; 1: lighting with normals computed at load; 2: lighting
// with the normals block read from the file.
void BM_LoadModel(benchmark::State& state) {
    const bool lighting = state.range(0) > 0;
    const std::vector<uint8_t>& bytes = modelBytes(state.range(0) == 2);
    for (auto _ : state) {
        reef::QModel model;
        const bool ok = model.loadMD3FromMemory(bytes.data(), bytes.size(), lighting, "bench.tqm");
        benchmark::DoNotOptimize(ok);
        if (!ok || model.triangleCount() != 2 * kQuads) {
            state.SkipWithError("the benchmark model did not load");
            break;
        }
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(bytes.size()));
}
BENCHMARK(BM_LoadModel)->Arg(0)->Arg(1)->Arg(2)->Unit(benchmark::kMillisecond);

// 1,000 interpolated frames per iteration, 16 ms of animation apart.
void BM_DrawInterpolated(benchmark::State& state) {
    reef::test::GlTestContext gl;
    if (!gl.valid()) {
        state.SkipWithError(("draw benchmark skipped: " + gl.error()).c_str());
        return;
    }
    reef::ManualClock clock(0);
    reef::QModel model;
    const std::vector<uint8_t>& bytes = modelBytes(false);
    if (!model.loadMD3FromMemory(bytes.data(), bytes.size(), true, "bench.tqm")) {
        state.SkipWithError("the benchmark model did not load");
        return;
    }
    model.addSequence(0, kFrames - 1, "swim");
    model.setFramesPerSecond(15.0f);
    reef::ModelObject object;
    object.setModel(&model);
    object.setScale(0.001f);
    glViewport(0, 0, 64, 64);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    for (auto _ : state) {
        for (int frame = 0; frame < 1000; ++frame) {
            clock.advance(16);
            object.render();
        }
        glFinish();
    }
    state.counters["frames"] = benchmark::Counter(static_cast<double>(state.iterations()) * 1000.0,
                                                  benchmark::Counter::kIsRate);
}
BENCHMARK(BM_DrawInterpolated)->Unit(benchmark::kMillisecond)->Iterations(3);

}  // namespace

BENCHMARK_MAIN();
