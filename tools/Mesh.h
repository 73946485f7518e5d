// Triangle meshes for the model generator, in the model file's frame: x to the
// right, y forward (away from the viewer for scenery), z up; units are world
// units before the object's scale. Builders append parametric patches, tubes
// and ellipsoids with counter-clockwise (outward) winding.
#pragma once

#include <cmath>
#include <cstdint>
#include <functional>
#include <vector>

namespace reef::tools {

struct P3 {
    float x = 0.0f, y = 0.0f, z = 0.0f;
};

inline P3 operator+(P3 a, P3 b) { return {a.x + b.x, a.y + b.y, a.z + b.z}; }
inline P3 operator-(P3 a, P3 b) { return {a.x - b.x, a.y - b.y, a.z - b.z}; }
inline P3 operator*(P3 a, float s) { return {a.x * s, a.y * s, a.z * s}; }
inline float dot(P3 a, P3 b) { return a.x * b.x + a.y * b.y + a.z * b.z; }
inline P3 cross(P3 a, P3 b) { return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x}; }
inline float len(P3 a) { return std::sqrt(dot(a, a)); }
inline P3 unit(P3 a) {
    const float l = len(a);
    return l > 1e-12f ? a * (1.0f / l) : P3{0.0f, 0.0f, 1.0f};
}

class Mesh {
public:
    std::vector<P3> positions;
    std::vector<float> uvs;  // s, t per vertex
    std::vector<uint32_t> triangles;

    uint32_t addVertex(P3 p, float s, float t);
    void addTriangle(uint32_t a, uint32_t b, uint32_t c);
    size_t vertexCount() const { return positions.size(); }
    size_t triangleCount() const { return triangles.size() / 3; }

    // A patch over (u, v) in [0,1]^2 with nu x nv cells; f gives the position, the
    // texture coordinate runs over [s0,s1] x [t0,t1]. The patch faces the side of
    // d/du x d/dv (or the opposite side with flip).
    void addPatch(const std::function<P3(float u, float v)>& f, int nu, int nv, float s0, float s1, float t0,
                  float t1, bool flip = false);
    // A tube along a polyline with a radius per point and `sides` facets, capped at
    // the end with a rounded tip of `tipRings` rings (1 gives a plain cone, the
    // cheapest cap for thin or distant parts); texture s around, t along [t0, t1].
    void addTube(const std::vector<P3>& path, const std::vector<float>& radii, int sides, float s0, float s1,
                 float t0, float t1, int tipRings = 3);
    // An ellipsoid centred at c with semi-axes r.
    void addEllipsoid(P3 c, P3 r, int slices, int stacks, float s0, float s1, float t0, float t1);
    void append(const Mesh& other);
};

// Smooth per-vertex normals: area-weighted face normals summed over every vertex
// that shares a position on the file's 1/64 grid, so seams do not show as creases.
std::vector<P3> smoothNormals(const std::vector<P3>& positions, const std::vector<uint32_t>& triangles);

// A mesh with its animation: frames[k][i] is vertex i's position in frame k.
struct AnimatedMesh {
    Mesh mesh;
    std::vector<std::vector<P3>> frames;
};

// Frames made by moving every vertex of the mesh with a function of (rest position, frame).
AnimatedMesh animate(const Mesh& mesh, int frameCount, const std::function<P3(P3 rest, size_t index, int frame)>& f);

}  // namespace reef::tools
