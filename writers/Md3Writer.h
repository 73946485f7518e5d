// Writes ".tqm" models field by field after engine/Md3Format.h: the generator's
// creatures and the tests' small and broken models alike.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace reef {

// One frame record; the loader reads none of it.
struct Md3Frame {
    std::array<float, 3> mins{};
    std::array<float, 3> maxs{};
    std::array<float, 3> origin{};
    float radius = 0.0f;
};

struct Md3Surface {
    std::string name = "surface";
    std::vector<std::string> shaders;  // each stored with index 0
    std::vector<std::array<int32_t, 3>> triangles;
    std::vector<std::array<float, 2>> texCoords;                // one per vertex
    std::vector<std::vector<std::array<int16_t, 3>>> positions;  // [frame][vertex], file x, y, z
    std::vector<std::vector<uint16_t>> packedNormals;            // [frame][vertex]; empty: all 0
};

struct Md3Model {
    std::string name = "test";
    std::vector<Md3Frame> frames;  // records; empty: zeros for every frame
    int32_t tags = 0;              // per frame, all zeros
    std::vector<Md3Surface> surfaces;  // all with the same frame count
    bool withNormals = false;
    std::vector<std::vector<std::array<float, 3>>> normals;  // [frame][vertex], as stored
};

// Where the first surface and the normals block start inside the result, for
// tests that break their fields.
struct Md3Offsets {
    size_t surface = 0;
    size_t end = 0;  // the header's end offset
};

std::vector<uint8_t> writeMd3(const Md3Model& model, Md3Offsets* where = nullptr);

}  // namespace reef
