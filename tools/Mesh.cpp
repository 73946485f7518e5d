#include "tools/Mesh.h"

#include <algorithm>
#include <cmath>
#include <map>
#include <tuple>

namespace reef::tools {

uint32_t Mesh::addVertex(P3 p, float s, float t) {
    positions.push_back(p);
    uvs.push_back(s);
    uvs.push_back(t);
    return static_cast<uint32_t>(positions.size() - 1);
}

void Mesh::addTriangle(uint32_t a, uint32_t b, uint32_t c) {
    triangles.push_back(a);
    triangles.push_back(b);
    triangles.push_back(c);
}

void Mesh::addPatch(const std::function<P3(float, float)>& f, int nu, int nv, float s0, float s1, float t0, float t1,
                    bool flip) {
    const uint32_t base = static_cast<uint32_t>(positions.size());
    for (int j = 0; j <= nv; ++j)
        for (int i = 0; i <= nu; ++i) {
            const float u = static_cast<float>(i) / nu, v = static_cast<float>(j) / nv;
            addVertex(f(u, v), s0 + (s1 - s0) * u, t0 + (t1 - t0) * v);
        }
    const auto at = [&](int i, int j) { return base + static_cast<uint32_t>(j * (nu + 1) + i); };
    for (int j = 0; j < nv; ++j)
        for (int i = 0; i < nu; ++i) {
            const uint32_t a = at(i, j), b = at(i + 1, j), c = at(i + 1, j + 1), d = at(i, j + 1);
            if (!flip) {
                addTriangle(a, b, c);
                addTriangle(a, c, d);
            } else {
                addTriangle(a, c, b);
                addTriangle(a, d, c);
            }
        }
}

void Mesh::addTube(const std::vector<P3>& path, const std::vector<float>& radii, int sides, float s0, float s1,
                   float t0, float t1, int tipRings) {
    if (path.size() < 2 || radii.size() != path.size()) return;
    // Parallel-transport frames so the rings do not twist along the path.
    std::vector<P3> tangents(path.size()), normals(path.size()), binormals(path.size());
    for (size_t k = 0; k < path.size(); ++k) {
        const P3 a = path[k == 0 ? 0 : k - 1], b = path[k + 1 < path.size() ? k + 1 : k];
        tangents[k] = unit(b - a);
    }
    P3 ref = std::fabs(tangents[0].z) < 0.9f ? P3{0, 0, 1} : P3{1, 0, 0};
    normals[0] = unit(cross(ref, tangents[0]));
    for (size_t k = 0; k < path.size(); ++k) {
        if (k > 0) {
            const P3 n = normals[k - 1] - tangents[k] * dot(normals[k - 1], tangents[k]);
            normals[k] = unit(n);
        }
        binormals[k] = cross(tangents[k], normals[k]);
    }
    const float tipLength = radii.back();
    const size_t rings = path.size();
    addPatch(
        [&](float u, float v) {
            const float fk = v * static_cast<float>(rings - 1);
            size_t k = static_cast<size_t>(fk);
            if (k >= rings - 1) k = rings - 2;
            const float w = fk - static_cast<float>(k);
            const P3 c = path[k] * (1 - w) + path[k + 1] * w;
            const float r = radii[k] * (1 - w) + radii[k + 1] * w;
            const P3 n = unit(normals[k] * (1 - w) + normals[k + 1] * w);
            const P3 bn = unit(binormals[k] * (1 - w) + binormals[k + 1] * w);
            const float a = u * 6.2831853f;
            return c + n * (r * std::cos(a)) + bn * (r * std::sin(a));
        },
        sides, static_cast<int>(rings - 1), s0, s1, t0, t1);
    // Rounded tip: two shrinking rings and a point.
    const P3 end = path.back(), tan = tangents.back(), n = normals.back(), bn = binormals.back();
    const float r = radii.back();
    addPatch(
        [&](float u, float v) {
            const float a = u * 6.2831853f;
            const float angle = v * 1.5707963f;
            const float rr = r * std::cos(angle);
            return end + tan * (tipLength * std::sin(angle)) + n * (rr * std::cos(a)) + bn * (rr * std::sin(a));
        },
        sides, std::max(tipRings, 1), s0, s1, t1, t1);
}

void Mesh::addEllipsoid(P3 c, P3 r, int slices, int stacks, float s0, float s1, float t0, float t1) {
    addPatch(
        [&](float u, float v) {
            const float a = u * 6.2831853f;
            const float b = (v - 0.5f) * 3.1415927f;
            return P3{c.x + r.x * std::cos(b) * std::cos(a), c.y + r.y * std::cos(b) * std::sin(a),
                      c.z + r.z * std::sin(b)};
        },
        slices, stacks, s0, s1, t0, t1);
}

void Mesh::append(const Mesh& other) {
    const uint32_t base = static_cast<uint32_t>(positions.size());
    positions.insert(positions.end(), other.positions.begin(), other.positions.end());
    uvs.insert(uvs.end(), other.uvs.begin(), other.uvs.end());
    for (uint32_t i : other.triangles) triangles.push_back(base + i);
}

std::vector<P3> smoothNormals(const std::vector<P3>& positions, const std::vector<uint32_t>& triangles) {
    // Weld on the model file's 1/64 grid, the positions the loader will see, so that
    // seams and ring closures (equal only up to rounding here) share one normal.
    std::map<std::tuple<long, long, long>, size_t> weld;
    std::vector<size_t> group(positions.size());
    for (size_t i = 0; i < positions.size(); ++i) {
        const auto key = std::make_tuple(std::lround(positions[i].x * 64.0f), std::lround(positions[i].y * 64.0f),
                                         std::lround(positions[i].z * 64.0f));
        group[i] = weld.emplace(key, weld.size()).first->second;
    }
    std::vector<P3> sums(weld.size());
    for (size_t t = 0; t + 2 < triangles.size(); t += 3) {
        const P3 a = positions[triangles[t]], b = positions[triangles[t + 1]], c = positions[triangles[t + 2]];
        const P3 n = cross(b - a, c - a);  // length = twice the area: area weighting
        for (int k = 0; k < 3; ++k) {
            P3& s = sums[group[triangles[t + k]]];
            s = s + n;
        }
    }
    std::vector<P3> normals(positions.size());
    for (size_t i = 0; i < positions.size(); ++i) normals[i] = unit(sums[group[i]]);
    return normals;
}

AnimatedMesh animate(const Mesh& mesh, int frameCount, const std::function<P3(P3, size_t, int)>& f) {
    AnimatedMesh out;
    out.mesh = mesh;
    out.frames.resize(static_cast<size_t>(frameCount));
    for (int k = 0; k < frameCount; ++k) {
        auto& frame = out.frames[static_cast<size_t>(k)];
        frame.resize(mesh.positions.size());
        for (size_t i = 0; i < mesh.positions.size(); ++i) frame[i] = f(mesh.positions[i], i, k);
    }
    return out;
}

}  // namespace reef::tools
