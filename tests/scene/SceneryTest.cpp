#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <functional>
#include <optional>

#include "core/Clock.h"
#include "core/Math.h"
#include "engine/AlphaMask.h"
#include "scene/MaskedGrid.h"
#include "scene/Quad.h"
#include "scene/SkyDome.h"
#include "scene/WaterGrid.h"

namespace reef {
namespace {

TEST(Quad, CornerOrderAndTextureCoordinates) {
    Quad quad;
    auto c = quad.corners();
    EXPECT_FLOAT_EQ(c[0].x, 0.5f);
    EXPECT_FLOAT_EQ(c[2].y, -0.5f);

    quad.setSize(140.0f, 100.0f);
    quad.setRepeat(2.0f, 3.0f);
    c = quad.corners();
    struct Expected {
        float u, v, x, y;
    };
    const Expected expected[4] = {
        {2.0f, 0.0f, 70.0f, 50.0f},    // top right
        {0.0f, 0.0f, -70.0f, 50.0f},   // top left
        {0.0f, 3.0f, -70.0f, -50.0f},  // bottom left
        {2.0f, 3.0f, 70.0f, -50.0f},   // bottom right
    };
    for (int i = 0; i < 4; ++i) {
        EXPECT_FLOAT_EQ(c[i].u, expected[i].u) << i;
        EXPECT_FLOAT_EQ(c[i].v, expected[i].v) << i;
        EXPECT_FLOAT_EQ(c[i].x, expected[i].x) << i;
        EXPECT_FLOAT_EQ(c[i].y, expected[i].y) << i;
        EXPECT_FLOAT_EQ(c[i].z, 0.0f) << i;
    }
}

// A mask from an alpha function over texel coordinates (rows top first).
AlphaMask maskOf(int width, int height, const std::function<uint8_t(int, int)>& alpha) {
    DecodedImage image;
    image.width = width;
    image.height = height;
    image.bytesPerPixel = 4;
    image.pitch = width * 4;
    image.pixels.assign(static_cast<size_t>(width * height * 4), 200);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) image.pixels[static_cast<size_t>((y * width + x) * 4 + 3)] = alpha(x, y);
    AlphaMask mask;
    mask.assign(image);
    return mask;
}

// Whether the point (x, y) of the quad's plane lies inside one of its drawn pieces.
bool insidePieces(const Quad& quad, float x, float y) {
    const std::vector<Quad::Corner>& c = quad.pieceCorners();
    for (size_t i = 0; i + 3 < c.size(); i += 4) {
        // Top right, top left, bottom left, bottom right.
        if (x >= c[i + 1].x && x <= c[i].x && y <= c[i].y && y >= c[i + 2].y) return true;
    }
    return false;
}

// Trimming may only leave out what a linear filter shows as fully transparent.
TEST(Quad, TrimmedToTheVisibleTexelsKeepsEverythingVisible) {
    // Two blobs on a 64 x 64 picture and a single texel at the left edge, which a
    // repeating filter also shows at the right edge.
    const AlphaMask mask = maskOf(64, 64, [](int x, int y) -> uint8_t {
        if (x >= 10 && x < 20 && y >= 30 && y < 50) return 255;
        if ((x - 45) * (x - 45) + (y - 12) * (y - 12) < 30) return 120;
        return x == 0 && y == 40 ? 3 : 0;
    });
    Quad quad;
    quad.setSize(30.0f, 20.0f);
    quad.trimTo(mask, 8);
    const std::vector<Quad::Corner>& c = quad.pieceCorners();
    ASSERT_FALSE(c.empty());
    ASSERT_EQ(c.size() % 4, 0u);
    float area = 0.0f;
    for (size_t i = 0; i < c.size(); i += 4) {
        // Each piece keeps the whole quad's mapping from position to texture coordinate.
        for (size_t k = i; k < i + 4; ++k) {
            EXPECT_NEAR(c[k].x, -15.0f + c[k].u * 30.0f, 1e-4f);
            EXPECT_NEAR(c[k].y, 10.0f - c[k].v * 20.0f, 1e-4f);
        }
        area += (c[i].x - c[i + 1].x) * (c[i].y - c[i + 2].y);
    }
    EXPECT_LT(area, 0.5f * 30.0f * 20.0f);
    int visibleSamples = 0;
    for (int j = 0; j <= 200; ++j) {
        for (int i = 0; i <= 200; ++i) {
            const float s = i / 200.0f, t = j / 200.0f;
            if (mask.sample(s, t) <= 0.0f) continue;
            ++visibleSamples;
            ASSERT_TRUE(insidePieces(quad, -15.0f + s * 30.0f, 10.0f - t * 20.0f)) << s << " " << t;
        }
    }
    EXPECT_GT(visibleSamples, 100);

    // Nothing visible: nothing drawn. The whole quad again on request.
    quad.trimTo(maskOf(16, 16, [](int, int) -> uint8_t { return 0; }), 4);
    EXPECT_TRUE(quad.pieceCorners().empty());
    quad.showWhole();
    EXPECT_TRUE(quad.pieceCorners().empty());
}

TEST(Quad, OpaqueBandReadsOnlyFullyOpaqueRows) {
    // Rows 2 to 9 fully opaque, one row with a single texel short of it, then a fade.
    const AlphaMask fader = maskOf(4, 32, [](int x, int y) -> uint8_t {
        if (y == 1) return x == 2 ? 254 : 255;
        if (y < 10) return y == 0 ? 0 : 255;
        return static_cast<uint8_t>(std::max(0, 255 - 20 * (y - 9)));
    });
    const std::optional<Quad::Window> band = Quad::opaqueBandOf(fader);
    ASSERT_TRUE(band.has_value());
    EXPECT_FLOAT_EQ(band->u0, 0.0f);
    EXPECT_FLOAT_EQ(band->u1, 1.0f);
    EXPECT_FLOAT_EQ(band->v0, 3.0f / 32);
    EXPECT_FLOAT_EQ(band->v1, 9.0f / 32);
    for (float t = band->v0; t <= band->v1; t += 0.001f)
        for (float s = 0.0f; s <= 1.0f; s += 0.05f) ASSERT_FLOAT_EQ(fader.sample(s, t), 1.0f) << s << " " << t;
    EXPECT_FALSE(Quad::opaqueBandOf(maskOf(4, 4, [](int, int) -> uint8_t { return 254; })).has_value());

    // The band and the rows around it tile the quad: drawn as two quads, they
    // meet on the same edges.
    Quad wall, rest;
    for (Quad* q : {&wall, &rest}) q->setSize(8.0f, 32.0f);
    wall.showOnly({*band});
    rest.showOnly(Quad::rowsOutside(*band));
    ASSERT_EQ(wall.pieceCorners().size(), 4u);
    ASSERT_EQ(rest.pieceCorners().size(), 8u);
    EXPECT_FLOAT_EQ(wall.pieceCorners()[1].x, -4.0f);
    EXPECT_FLOAT_EQ(wall.pieceCorners()[0].x, 4.0f);
    EXPECT_EQ(rest.pieceCorners()[0].y, 16.0f);  // top of the quad
    EXPECT_EQ(rest.pieceCorners()[2].y, wall.pieceCorners()[0].y);  // down to the band
    EXPECT_EQ(rest.pieceCorners()[4].y, wall.pieceCorners()[2].y);  // from the band
    EXPECT_EQ(rest.pieceCorners()[6].y, -16.0f);  // to the bottom
    EXPECT_TRUE(Quad::rowsOutside({0.0f, 0.0f, 1.0f, 1.0f}).empty());
}

TEST(MaskedGrid, VertexAlphaFollowsTheMaskAndEmptyCellsAreLeftOut) {
    // A disc in the middle of a 32 x 32 picture.
    const AlphaMask mask = maskOf(32, 32, [](int x, int y) -> uint8_t {
        const float dx = x + 0.5f - 16.0f, dy = y + 0.5f - 16.0f;
        return dx * dx + dy * dy < 100.0f ? 200 : 0;
    });
    MaskedGrid grid;
    grid.setSize(50.0f, 40.0f);
    ASSERT_TRUE(grid.build(mask, 8, 8));
    EXPECT_EQ(grid.cellsX(), 8);
    // Corners and the centre sit where a Quad of the same size has them.
    EXPECT_FLOAT_EQ(grid.vertex(0, 0).x, -25.0f);
    EXPECT_FLOAT_EQ(grid.vertex(0, 0).y, 20.0f);
    EXPECT_FLOAT_EQ(grid.vertex(8, 8).x, 25.0f);
    EXPECT_FLOAT_EQ(grid.vertex(8, 8).v, 1.0f);
    EXPECT_FLOAT_EQ(grid.vertex(4, 4).x, 0.0f);
    int expectedCells = 0;
    for (int j = 0; j < 8; ++j) {
        for (int i = 0; i < 8; ++i) {
            bool visible = false;
            for (int k = 0; k < 4; ++k) {
                const MaskedGrid::Vertex& v = grid.vertex(i + k % 2, j + k / 2);
                EXPECT_FLOAT_EQ(v.a, mask.sample(v.u, v.v));
                visible = visible || v.a > 0.0f;
            }
            expectedCells += visible ? 1 : 0;
        }
    }
    EXPECT_EQ(grid.drawnCells(), expectedCells);
    EXPECT_GT(grid.drawnCells(), 0);
    EXPECT_LT(grid.drawnCells(), 64);
    // The mask's alpha rides on the vertices: the grid is blended even in an opaque colour.
    EXPECT_FALSE(grid.drawsOpaque());

    EXPECT_FALSE(grid.build(mask, 0, 4));
    EXPECT_EQ(grid.drawnCells(), 0);
    EXPECT_FALSE(grid.build(AlphaMask(), 4, 4));
    EXPECT_FALSE(grid.build(mask, 4, MaskedGrid::kMaxCells + 1));
}

TEST(SkyDome, DivisionsAreClampedAndCountsFollow) {
    struct Case {
        int requested;
        int built;
    };
    const Case cases[] = {{300, 256}, {0, 1}, {-4, 1}, {16, 16}, {256, 256}, {1, 1}};
    for (const Case& c : cases) {
        SkyDome dome;
        dome.setDivisions(c.requested);
        ASSERT_TRUE(dome.build());
        const size_t n = static_cast<size_t>(c.built);
        EXPECT_EQ(dome.builtDivisions(), c.built) << c.requested;
        EXPECT_EQ(dome.vertices().size(), (n + 1) * (n + 1)) << c.requested;
        EXPECT_EQ(dome.indices().size(), 6 * n * n) << c.requested;
        // Every index names a real vertex, also beyond 65535 at 256 divisions.
        const uint32_t highest = *std::max_element(dome.indices().begin(), dome.indices().end());
        EXPECT_EQ(highest, (n + 1) * (n + 1) - 1) << c.requested;
    }
}

TEST(SkyDome, ParaboloidGeometry) {
    SkyDome dome;
    dome.setRepeat(2.0f, 4.0f);
    ASSERT_TRUE(dome.build());  // radius 500, outer radius 900, 16 divisions
    EXPECT_FLOAT_EQ(dome.verticalOffset(), 500.0f);
    const float d = 2.0f * std::sqrt(900.0f * 900.0f - 500.0f * 500.0f);
    EXPECT_NEAR(d, 1496.66f, 0.01f);

    const auto& v = dome.vertices();
    // Row 0, column 0: the far corner, texture (0, repeatV).
    EXPECT_FLOAT_EQ(v[0].x, -d / 2);
    EXPECT_FLOAT_EQ(v[0].z, -d / 2);
    EXPECT_NEAR(v[0].y, -2.0f * (d / 2) * (d / 2) / 900.0f, 0.01f);
    EXPECT_FLOAT_EQ(v[0].u, 0.0f);
    EXPECT_FLOAT_EQ(v[0].v, 4.0f);
    // Row 0, column 16: x at the other side, u = repeatU.
    EXPECT_FLOAT_EQ(v[16].x, d / 2);
    EXPECT_FLOAT_EQ(v[16].u, 2.0f);
    // The middle (row 8, column 8) is the apex.
    const SkyDome::Vertex& apex = v[8 * 17 + 8];
    EXPECT_NEAR(apex.x, 0.0f, 1e-3f);
    EXPECT_NEAR(apex.z, 0.0f, 1e-3f);
    EXPECT_NEAR(apex.y, 0.0f, 1e-3f);
    EXPECT_FLOAT_EQ(apex.v, 2.0f);
    // Last row: v = 0.
    EXPECT_FLOAT_EQ(v.back().v, 0.0f);

    // The two triangles of cell (row 1, column 2).
    const uint32_t b = 1 * 17 + 2;
    const auto& idx = dome.indices();
    const size_t cell = (1 * 16 + 2) * 6;
    const uint32_t expected[6] = {b, b + 1, b + 17, b + 1, b + 18, b + 17};
    for (int k = 0; k < 6; ++k) EXPECT_EQ(idx[cell + k], expected[k]) << k;
}

TEST(SkyDome, RefusesAnImpossibleCapAndResetFrees) {
    SkyDome dome;
    dome.setRadius(900.0f);
    EXPECT_FALSE(dome.build());
    EXPECT_TRUE(dome.vertices().empty());
    EXPECT_TRUE(dome.indices().empty());

    dome.setRadius(500.0f);
    ASSERT_TRUE(dome.build());
    dome.reset();
    EXPECT_TRUE(dome.vertices().empty());
    EXPECT_TRUE(dome.indices().empty());
    EXPECT_EQ(dome.builtDivisions(), 0);
}

TEST(SkyDome, SpinsByElapsedTime) {
    ManualClock clock(5000);
    SkyDome dome;
    dome.setSpinSpeed(-0.75f);
    ASSERT_TRUE(dome.build());
    clock.advance(2000);
    dome.updateSpin();
    EXPECT_NEAR(dome.angleY(), -1.5f, 1e-4f);
    clock.advance(1000);
    dome.updateSpin();
    EXPECT_NEAR(dome.angleY(), -2.25f, 1e-4f);
    dome.updateSpin();  // no time passed, no turn
    EXPECT_NEAR(dome.angleY(), -2.25f, 1e-4f);
}

TEST(WaterGrid, LayoutOfSeventyBySeventyCells) {
    WaterGrid grid;
    ASSERT_TRUE(grid.build(76.0f, 64.0f, 70, 70));
    EXPECT_EQ(grid.vertsX(), 71);
    EXPECT_EQ(grid.vertsZ(), 71);
    EXPECT_EQ(grid.quadCount(), 4900);

    const WaterGrid::Vertex& first = grid.vertex(0, 0);
    EXPECT_FLOAT_EQ(first.x, -38.0f);
    EXPECT_FLOAT_EQ(first.y, -32.0f);
    EXPECT_FLOAT_EQ(first.z, 0.0f);
    EXPECT_FLOAT_EQ(first.u, 0.0f);
    EXPECT_FLOAT_EQ(first.v, 1.0f);
    const WaterGrid::Vertex& last = grid.vertex(70, 70);
    EXPECT_NEAR(last.x, 38.0f, 1e-4f);
    EXPECT_NEAR(last.y, 32.0f, 1e-4f);
    EXPECT_FLOAT_EQ(last.u, 1.0f);
    EXPECT_FLOAT_EQ(last.v, 0.0f);

    // Cell (3, 5) draws (3, 6), (3, 5), (4, 5), (4, 6).
    const int order[4][2] = {{3, 6}, {3, 5}, {4, 5}, {4, 6}};
    for (int k = 0; k < 4; ++k) {
        EXPECT_EQ(&grid.corner(3, 5, k), &grid.vertex(order[k][0], order[k][1])) << k;
    }
}

TEST(WaterGrid, RepeatScalesTextureCoordinates) {
    WaterGrid grid;
    grid.setRepeat(3.0f);
    ASSERT_TRUE(grid.build(10.0f, 20.0f, 4, 2));
    EXPECT_FLOAT_EQ(grid.vertex(2, 0).u, 1.5f);
    EXPECT_FLOAT_EQ(grid.vertex(2, 0).v, 3.0f);
    EXPECT_FLOAT_EQ(grid.vertex(4, 1).u, 3.0f);
    EXPECT_FLOAT_EQ(grid.vertex(4, 1).v, 1.5f);
    EXPECT_FLOAT_EQ(grid.vertex(1, 2).x, -2.5f);
    EXPECT_FLOAT_EQ(grid.vertex(1, 2).y, 10.0f);
}

TEST(WaterGrid, WaveFollowsBothPhasesAndStaysSmall) {
    ManualClock clock(1000);
    WaterGrid grid;
    ASSERT_TRUE(grid.build(76.0f, 64.0f, 70, 70));
    clock.advance(100);
    grid.animate();
    EXPECT_FLOAT_EQ(grid.phaseA(), 0.5f);
    EXPECT_FLOAT_EQ(grid.phaseB(), 0.5f);
    const float expected = 0.035f * std::sin(3 * 0.15f * kPi + 0.5f) + 0.035f * std::sin(2 * 0.18f * kPi + 0.5f);
    EXPECT_NEAR(grid.vertex(2, 3).z, expected, 1e-6f);
    const float x = grid.vertex(2, 3).x;

    // Frames of every length, a long pause included: the phases stay below one turn
    // and the surface within twice the amplitude; x and y never move.
    const uint32_t steps[] = {16, 33, 1, 0, 250, 1257, 3600000, 17, 40};
    for (uint32_t step : steps) {
        clock.advance(step);
        grid.animate();
        EXPECT_GE(grid.phaseA(), 0.0f);
        EXPECT_LT(grid.phaseA(), kTwoPi);
        EXPECT_LT(grid.phaseB(), kTwoPi);
        float lowest = 1.0f, highest = -1.0f;
        for (int i = 0; i < grid.vertsX(); ++i) {
            for (int j = 0; j < grid.vertsZ(); ++j) {
                lowest = std::min(lowest, grid.vertex(i, j).z);
                highest = std::max(highest, grid.vertex(i, j).z);
            }
        }
        EXPECT_GE(lowest, -0.07f);
        EXPECT_LE(highest, 0.07f);
        EXPECT_GT(highest - lowest, 0.01f);  // it does move
    }
    EXPECT_FLOAT_EQ(grid.vertex(2, 3).x, x);
}

TEST(WaterGrid, ACoarserGridKeepsTheWavesShape) {
    ManualClock clock(1000);
    WaterGrid fine;
    WaterGrid coarse;
    ASSERT_TRUE(fine.build(76.0f, 64.0f, 70, 70));
    ASSERT_TRUE(coarse.build(76.0f, 64.0f, 35, 35));
    clock.advance(333);
    fine.animate();
    coarse.animate();
    // Every coarse vertex lies on a fine one and rises and falls with it.
    for (int i = 0; i <= 35; ++i) {
        for (int j = 0; j <= 35; ++j) {
            ASSERT_NEAR(coarse.vertex(i, j).x, fine.vertex(2 * i, 2 * j).x, 1e-4f);
            ASSERT_NEAR(coarse.vertex(i, j).z, fine.vertex(2 * i, 2 * j).z, 1e-5f) << i << ", " << j;
        }
    }
}

TEST(WaterGrid, RefusesEmptyOrHugeGrids) {
    WaterGrid grid;
    const int bad[][2] = {{0, 70}, {70, 0}, {-1, 5}, {WaterGrid::kMaxCells + 1, 2}};
    for (const auto& cells : bad) {
        EXPECT_FALSE(grid.build(10.0f, 10.0f, cells[0], cells[1]));
        EXPECT_EQ(grid.quadCount(), 0);
        EXPECT_EQ(grid.vertsX(), 0);
        grid.animate();  // nothing to move, nothing to crash
    }
    ASSERT_TRUE(grid.build(10.0f, 10.0f, 2, 2));
    grid.reset();
    EXPECT_EQ(grid.quadCount(), 0);
    grid.animate();
}

}  // namespace
}  // namespace reef
