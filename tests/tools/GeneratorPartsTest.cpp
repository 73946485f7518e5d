// The generator's building blocks: meshes without holes and with outward normals,
// looping texture sequences, the baked font's cells, text encoding edge cases.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <tuple>
#include <map>
#include <set>
#include <utility>

#include "engine/Md3Format.h"
#include "engine/QModel.h"
#include "tools/DataGenerator.h"
#include "tools/DatWriter.h"
#include "tools/FontBaker.h"
#include "tools/Md3Writer.h"
#include "tools/Mesh.h"
#include "tools/ModelGenerator.h"
#include "tools/TextureGenerator.h"
#include "ui/FontFormat.h"

namespace reef::tools {
namespace {

// Edges of the mesh after welding equal positions, with how many triangles use each;
// triangles that collapse to a line or a point (at poles) are left out.
std::map<std::pair<size_t, size_t>, int> weldedEdges(const Mesh& m) {
    std::map<std::tuple<float, float, float>, size_t> ids;
    std::vector<size_t> id(m.positions.size());
    for (size_t i = 0; i < m.positions.size(); ++i) {
        // Round to the file's 1/64 grid, as the loader sees the positions.
        const P3 p = m.positions[i];
        const auto key = std::make_tuple(std::round(p.x * 64), std::round(p.y * 64), std::round(p.z * 64));
        id[i] = ids.emplace(key, ids.size()).first->second;
    }
    std::map<std::pair<size_t, size_t>, int> edges;
    for (size_t t = 0; t + 2 < m.triangles.size(); t += 3) {
        const size_t a = id[m.triangles[t]], b = id[m.triangles[t + 1]], c = id[m.triangles[t + 2]];
        if (a == b || b == c || a == c) continue;
        for (auto [u, v] : {std::pair{a, b}, std::pair{b, c}, std::pair{c, a}}) ++edges[{std::min(u, v), std::max(u, v)}];
    }
    return edges;
}

TEST(Mesh, ClosedShapesHaveNoHolesAndFaceOutward) {
    Mesh ellipsoid;
    ellipsoid.addEllipsoid({1, 2, 3}, {2, 3, 1.5f}, 12, 8, 0, 1, 0, 1);
    Mesh tube;
    tube.addTube({{0, 0, 0}, {0, 0, 2}, {1, 0, 4}}, {0.6f, 0.5f, 0.4f}, 8, 0, 1, 0, 1);
    for (const Mesh* m : {&ellipsoid, &tube}) {
        for (const auto& [edge, uses] : weldedEdges(*m)) {
            // The tube's open foot is the only border allowed (it stands in the floor).
            const bool footEdge = m == &tube && std::fabs(m->positions[0].z) < 1e-3f && uses == 1;
            if (!footEdge) {
                EXPECT_EQ(uses, 2) << "edge " << edge.first << "-" << edge.second;
            }
        }
    }
    // Outward: the ellipsoid's normals point away from its centre.
    const std::vector<P3> n = smoothNormals(ellipsoid.positions, ellipsoid.triangles);
    for (size_t i = 0; i < n.size(); ++i) EXPECT_GT(dot(n[i], ellipsoid.positions[i] - P3{1, 2, 3}), 0.0f) << i;
    // A seam (the ring closure) gets one normal on both sides.
    const std::vector<P3> tn = smoothNormals(tube.positions, tube.triangles);
    EXPECT_NEAR(tn[0].x, tn[8].x, 1e-5f);
    EXPECT_NEAR(tn[0].y, tn[8].y, 1e-5f);
}

TEST(Md3Writer, CoordinatesBeyondTheFileRangeAreClampedNotWrapped) {
    AnimatedMesh m;
    m.mesh.addVertex({600, -600, 0}, 0, 0);  // 600 units = 38400 file units, beyond 16 bits
    m.mesh.addVertex({0, 1, 0}, 0, 0);
    m.mesh.addVertex({1, 0, 0}, 0, 0);
    m.mesh.addTriangle(0, 1, 2);
    m.frames.push_back(m.mesh.positions);
    const std::vector<uint8_t> bytes = encodeMd3(m, {});
    QModel q;
    ASSERT_TRUE(q.loadMD3FromMemory(bytes.data(), bytes.size(), false, "big"));
    const std::array<float, 3> p = q.position(0, 0);
    EXPECT_NEAR(p[0], 32767.0f / 64.0f, 1e-3f);   // x stays positive
    EXPECT_NEAR(p[2], 32767.0f / 64.0f, 1e-3f);   // file y -600 becomes +z, clamped
}

TEST(TextureSequences, FrameThirtyTwoIsFrameZeroAgain) {
    // The sequences are built over one period, so the frame after the last is the first.
    const Image a = TextureGenerator::causticFrame(0, 32, 7001), b = TextureGenerator::causticFrame(32, 32, 7001);
    const Image h0 = TextureGenerator::highlightFrame(0, 32), h32 = TextureGenerator::highlightFrame(32, 32);
    for (int y = 0; y < 32; ++y)
        for (int x = 0; x < 32; ++x) {
            EXPECT_NEAR(a.at(x, y).r, b.at(x, y).r, 2e-3f);
            EXPECT_NEAR(h0.at(x, y).a, h32.at(x, y).a, 2e-3f);
        }
}

TEST(TextureSequences, HighlightFramesWrapWithoutAStepAndNoVeinsGatherOnTheirEdges) {
    // The light pattern repeats these frames with nearest filtering, and one tile edge
    // lies straight below the eye, where its texel columns are drawn along the whole
    // view axis. Summed over the 32 frames (one frame alone is too small a sample):
    // the step across the wrap is like any step between neighbours, and the texels
    // either side of the edge are no brighter than the picture, or they draw a line.
    constexpr int n = 128;
    double wrapStep[2] = {0, 0}, neighbourStep[2] = {0, 0}, edge[2] = {0, 0}, all = 0;
    for (int f = 0; f < TextureGenerator::kSequenceFrames; ++f) {
        const Image h = TextureGenerator::highlightFrame(f, n);
        // axis 0: columns (x), axis 1: rows (y).
        const auto alpha = [&](int axis, int along, int across) {
            return static_cast<double>(axis == 0 ? h.at(across, along).a : h.at(along, across).a);
        };
        for (int axis = 0; axis < 2; ++axis)
            for (int along = 0; along < n; ++along) {
                wrapStep[axis] += std::fabs(alpha(axis, along, n - 1) - alpha(axis, along, 0));
                for (int across = 0; across + 1 < n; ++across)
                    neighbourStep[axis] += std::fabs(alpha(axis, along, across) - alpha(axis, along, across + 1)) / (n - 1);
                for (int across : {n - 2, n - 1, 0, 1}) edge[axis] += alpha(axis, along, across) / 4;
            }
        for (int y = 0; y < n; ++y)
            for (int x = 0; x < n; ++x) all += h.at(x, y).a / n;
    }
    for (int axis = 0; axis < 2; ++axis) {
        const char* name = axis == 0 ? "columns" : "rows";
        EXPECT_LT(wrapStep[axis], neighbourStep[axis] * 1.25) << name;
        EXPECT_LT(edge[axis], all * 1.1) << name;
    }
}

TEST(TextureSequences, TheDistantPalmsStandOnOneIslet) {
    // Low in the billboard, just above its transparent frame, the picture is opaque
    // ground in one stretch from the first palm's foot to the last: the trunks do not
    // end in the air (or in the water).
    const Image palms = TextureGenerator::distantPalms();
    const float scale = static_cast<float>(palms.width()) / TextureGenerator::kDistantPalmsDrawingSize;
    const int ground = palms.height() - 6;  // 2 frame rows, then the foot's haze
    const auto& feet = TextureGenerator::kDistantPalms;
    const int first = static_cast<int>(feet[0].x * scale);
    const int last = static_cast<int>(feet[std::size(feet) - 1].x * scale);
    ASSERT_LT(first, last);
    for (int x = first - 4; x <= last + 4; ++x) {
        const Colour& c = palms.at(x, ground);
        ASSERT_GT(c.a, 0.9f) << "no ground at column " << x;
        // Sand, not a trunk: bright and warm.
        EXPECT_GT(c.r + c.g + c.b, 1.8f) << x;
        EXPECT_GT(c.r, c.b) << x;
    }
}

TEST(FontBaker, GlyphCellsHoldInkInsideTheTextureWithoutOverlapping) {
    const auto font = bakeFont(kDefaultFontPath, kFontPixelSize);
    ASSERT_TRUE(font.has_value());
    const std::vector<uint8_t>& b = font->bytes;
    const auto i32 = [&](size_t at) {
        return static_cast<int32_t>(b[at] | b[at + 1] << 8 | b[at + 2] << 16 | static_cast<uint32_t>(b[at + 3]) << 24);
    };
    const auto f32 = [&](size_t at) {
        const uint32_t bits = static_cast<uint32_t>(i32(at));
        float f;
        std::memcpy(&f, &bits, 4);
        return f;
    };
    const int w = i32(tqf::kWidthOffset), h = i32(tqf::kHeightOffset), glyphs = i32(tqf::glyphCountOffset(0));
    ASSERT_EQ(b.size(), tqf::pixelsOffset(0, glyphs) + tqf::pixelBytes(w, h));
    EXPECT_EQ(glyphs, 95 + 96);  // printable ASCII and the upper half of Latin-1
    std::set<std::pair<int, int>> used;
    for (int g = 0; g < glyphs; ++g) {
        const size_t rec = tqf::glyphRecordsOffset(0) + static_cast<size_t>(g) * tqf::kGlyphRecordSize;
        const uint32_t code = static_cast<uint32_t>(i32(rec));
        const int x0 = static_cast<int>(std::lround(f32(rec + tqf::kGlyphLeftUOffset) * w));
        const int x1 = static_cast<int>(std::lround(f32(rec + tqf::kGlyphRightUOffset) * w));
        const int y0 = static_cast<int>(std::lround(f32(rec + tqf::kGlyphTopVOffset) * h));
        const int y1 = static_cast<int>(std::lround(f32(rec + tqf::kGlyphBottomVOffset) * h));
        ASSERT_EQ(x1 - x0, i32(rec + tqf::kGlyphWidthOffset));
        ASSERT_EQ(y1 - y0, i32(rec + tqf::kGlyphHeightOffset));
        ASSERT_TRUE(x0 >= 0 && y0 >= 0 && x1 <= w && y1 <= h) << code;
        int ink = 0;
        for (int y = y0; y < y1; ++y)
            for (int x = x0; x < x1; ++x) {
                EXPECT_TRUE(used.insert({x, y}).second) << "cells overlap at " << x << "," << y;
                ink += b[tqf::pixelsOffset(0, glyphs) + (static_cast<size_t>(y) * w + x) * 2 + 1] > 128;
            }
        if (code == ' ' || code == 0xA0) {
            EXPECT_EQ(ink, 0) << code;
        }
        if (code == 'A' || code == 0xDF || code == 0xC4) {
            EXPECT_GT(ink, 10) << code;
        }
    }
}

TEST(DatWriter, Utf8DecodingHandlesSurrogatesAndBrokenBytes) {
    EXPECT_EQ(utf8ToUtf16("\xC3\xA4\xC3\x9F"), u"\u00e4\u00df");
    EXPECT_EQ(utf8ToUtf16("\xF0\x9F\x90\x9F"), u"\U0001F41F");   // a fish outside the basic plane
    EXPECT_EQ(utf8ToUtf16("a\xC3"), u"a\uFFFD");                  // cut-off sequence
    EXPECT_EQ(utf8ToUtf16("\xE2\x28\xA1"), u"\uFFFD(\uFFFD");    // bad continuation byte
}

TEST(ModelGenerator, EveryFrameKeepsTheTopologyAndIndicesStayInRange) {
    for (const ModelSpec& s : ModelGenerator::buildAll()) {
        SCOPED_TRACE(s.path);
        const size_t vertices = s.model.mesh.vertexCount();
        ASSERT_LE(vertices, static_cast<size_t>(md3::kMaxVerticesPerSurface));
        for (const auto& frame : s.model.frames) ASSERT_EQ(frame.size(), vertices);
        for (uint32_t i : s.model.mesh.triangles) ASSERT_LT(i, vertices);
        for (float st : s.model.mesh.uvs) ASSERT_TRUE(std::isfinite(st));
        if (s.normalsBlock) {
            ASSERT_EQ(s.normals.size(), s.model.frames.size());
            for (const auto& n : s.normals) ASSERT_EQ(n.size(), vertices);
        }
    }
}

// The corals share the frame budget with everything else: together, as the scene
// draws them (three sea fans of coral_b, two tables of coral_d, one of each other),
// they keep within the 25,910 triangles the single-tuft corals cost, and each
// texture column a model's colonies are painted from lies inside the picture.
TEST(ModelGenerator, CoralsKeepWithinTheirTriangleBudgetAndTheirTextureColumns) {
    size_t drawn = 0;
    int corals = 0;
    for (const ModelSpec& s : ModelGenerator::buildAll()) {
        if (s.path.find("coral_") == std::string::npos) continue;
        SCOPED_TRACE(s.path);
        ++corals;
        const size_t copies = s.path.find("coral_b") != std::string::npos ? 3 : s.path.find("coral_d") != std::string::npos ? 2 : 1;
        drawn += copies * s.model.mesh.triangleCount();
        // coral_d and coral_h repeat their pictures on purpose (wrapped tops, texture scale 3).
        if (s.path.find("coral_d") != std::string::npos || s.path.find("coral_h") != std::string::npos) continue;
        for (size_t i = 0; i < s.model.mesh.uvs.size(); i += 2) {
            ASSERT_GE(s.model.mesh.uvs[i], -1e-4f);
            ASSERT_LE(s.model.mesh.uvs[i], 1.0f + 1e-4f);
        }
    }
    EXPECT_EQ(corals, 8);
    EXPECT_LE(drawn, 25910u);
    EXPECT_GT(drawn, 0u);
}

}  // namespace
}  // namespace reef::tools
