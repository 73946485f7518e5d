// One creature set as read from its info.ini: what it is (type, category, id),
// where its texture and model are, and how it moves. The catalog owns the
// descriptors; each descriptor owns its texture, its model and its sub-sets.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "engine/QModel.h"
#include "engine/Texture.h"
#include "scene/SubSetDescriptor.h"

namespace reef {

struct SetDescriptor {
    // Field limits in characters; longer texts are cut to them.
    static constexpr size_t kMaxNameLength = 63;   // id, type, category
    static constexpr size_t kMaxPathLength = 255;  // file names of texturePath, modelPath
    // The data's sets have at most one sub-set and five values; every sub-set is
    // one more object built and drawn each frame. A set past these limits is
    // damage or malice (tens of thousands of sections) and is refused whole.
    static constexpr size_t kMaxSubSets = 64;
    static constexpr size_t kMaxValues = 64;  // val0, val1, ... in one section

    std::u16string id;
    std::u16string texturePath;  // set folder + file name
    std::u16string modelPath;    // set folder + file name
    std::u16string type;         // "boid", "manta", "turtle", "statictimed", "hunter", "bigfish", "singlefish"
    std::u16string category;     // "fish", "animal", "boid", "diverse"
    Texture texture;
    QModel model;  // its frames per second is the set's animation speed
    float scale = 0.0f;
    float trackSpeed = 0.0f;      // world units per millisecond
    float rollFactor = 0.0f;
    float animationSpeed = 0.0f;  // frames per second
    int32_t animationStart = 0;   // the "swim" or "wabbel" frame range
    int32_t animationEnd = 0;
    bool variableSpeed = false;
    float maxSpeedChange = 0.0f;
    bool lighting = false;        // the model (and the sub-sets' models) load with normals
    std::vector<std::string> values;  // val0, val1, ... as UTF-8
    std::vector<std::unique_ptr<SubSetDescriptor>> subSets;  // in section order
};

}  // namespace reef
