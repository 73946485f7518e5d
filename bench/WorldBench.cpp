// Per-frame cost of the world controllers, and heap allocations per steady-state
// frame (counted by replacing the global allocation functions in this program).
#include <benchmark/benchmark.h>

#include <atomic>
#include <cmath>
#include <cstdlib>
#include <new>

#include "core/Clock.h"
#include "core/Random.h"
#include "testsupport/ReefPopulation.h"

namespace {
std::atomic<long long> g_allocations{0};
}  // namespace

// NOTE: the replaced operators pair malloc with free themselves; GCC cannot see
// that through the inlined replacements and warns about a mismatch.
#pragma GCC diagnostic ignored "-Wmismatched-new-delete"

void* operator new(std::size_t size) {
    g_allocations.fetch_add(1, std::memory_order_relaxed);
    if (void* p = std::malloc(size ? size : 1)) return p;
    throw std::bad_alloc();
}
void* operator new[](std::size_t size) { return operator new(size); }
void operator delete(void* p) noexcept { std::free(p); }
void operator delete[](void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }
void operator delete[](void* p, std::size_t) noexcept { std::free(p); }

namespace reef {
namespace {

// Frame times that vary like a real frame loop: 10 to 39 ms.
uint32_t nextFrameTime() { return static_cast<uint32_t>(10 + rand() % 30); }

// The reef's real population (the scene's Creatures, built from the generated
// creature sets in memory: school and leader, hunter, ten single fish, big
// fish, turtle, manta, props, gull) and the automatic camera, with a school of
// state.range(0).
void BM_WorldFrame(benchmark::State& state) {
    ManualClock clock(1000);
    seedRandom(99);
    test::ReefPopulation world;
    Creatures::Counts counts = test::ReefPopulation::defaultCounts();
    counts.boidCount = static_cast<int>(state.range(0));
    world.build(counts);
    // Warm up past the first rests, refills and runs, so the loop sees the steady state.
    for (int i = 0; i < 5000; ++i) {
        const uint32_t dt = nextFrameTime();
        clock.advance(dt);
        world.frame(static_cast<int>(dt));
    }
    const long long allocationsBefore = g_allocations.load();
    long long frames = 0;
    for (auto _ : state) {
        const uint32_t dt = nextFrameTime();
        clock.advance(dt);
        world.frame(static_cast<int>(dt));
        ++frames;
    }
    const long long allocations = g_allocations.load() - allocationsBefore;
    state.counters["allocs_per_frame"] =
        benchmark::Counter(frames ? static_cast<double>(allocations) / static_cast<double>(frames) : 0.0);
    state.SetItemsProcessed(frames);
}
BENCHMARK(BM_WorldFrame)->Arg(50)->Arg(500);

// The school alone: 500 members following a moving goal.
void BM_SwarmFrame(benchmark::State& state) {
    ManualClock clock(1000);
    seedRandom(7);
    QModel model;
    const int count = static_cast<int>(state.range(0));
    std::vector<ModelObject> fish(static_cast<size_t>(count));
    Swarm swarm;
    swarm.reserve(static_cast<size_t>(count));
    for (ModelObject& f : fish) {
        f.setModel(&model);
        swarm.addMember(&f);
    }
    swarm.setGoal(0, -3.5f, 10);
    swarm.scatter();
    float phase = 0;
    const long long allocationsBefore = g_allocations.load();
    long long frames = 0;
    for (auto _ : state) {
        clock.advance(nextFrameTime());
        phase += 0.01f;
        swarm.setGoal(5 * std::cos(phase), -3.5f, 10 + 5 * std::sin(phase));
        swarm.update();
        ++frames;
    }
    state.counters["allocs_per_frame"] =
        benchmark::Counter(static_cast<double>(g_allocations.load() - allocationsBefore) / static_cast<double>(frames));
    state.SetItemsProcessed(frames * count);
}
BENCHMARK(BM_SwarmFrame)->Arg(500);

}  // namespace
}  // namespace reef

BENCHMARK_MAIN();
