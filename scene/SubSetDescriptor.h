// One extra part of a creature set (section "saver2", "saver3", ... of its
// info.ini), for example a second animal that belongs with the first. It owns
// its texture and model; objects built from it only point at them.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "engine/QModel.h"
#include "engine/Texture.h"

namespace reef {

struct SubSetDescriptor {
    std::u16string texturePath;  // set folder + file name (at most 255 characters)
    std::u16string modelPath;    // set folder + file name (at most 255 characters)
    std::vector<std::string> values;  // val0, val1, ... as UTF-8
    Texture texture;
    // The set's own texture when both name the same file: that one is drawn and
    // this part's texture stays unloaded, so the image is held once.
    Texture* sharedTexture = nullptr;
    QModel model;
    float scale = 0.0f;
    float trackSpeed = 0.0f;     // world units per millisecond
    float rollFactor = 0.0f;
    float animationSpeed = 0.0f;  // frames per second of the model
    int32_t animationStart = 0;
    int32_t animationEnd = 0;
    bool variableSpeed = false;
    float maxSpeedChange = 0.0f;

    Texture& drawTexture() { return sharedTexture ? *sharedTexture : texture; }
};

}  // namespace reef
