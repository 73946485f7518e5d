// The creature sets of the data folder: one folder per set below
// "sets/default_fish/", "sets/additional/" and "sets/default_diverse/", each with
// its "info.ini" descriptor, texture, model(s) and icon. School fish, single
// reef fish, a hunting shark, two big fish, a manta, the turtle and two timed
// props, each sized and paced for the place the scene gives it.
#pragma once

#include <string>
#include <vector>

#include "tools/GeneratedFiles.h"
#include "tools/Image.h"
#include "tools/Mesh.h"

namespace reef::tools {

struct CreatureModelFile {
    std::string name;  // inside the set folder
    AnimatedMesh model;
    bool normalsBlock = false;  // smooth normals written after the MD3 data
};

struct CreatureTextureFile {
    std::string name;
    Image image;
};

struct CreatureSet {
    std::string folder;  // below the data folder, "/" separated, no trailing slash
    std::string info;    // the descriptor's text
    bool utf16 = false;  // written as UTF-16LE with a byte-order mark
    std::vector<CreatureModelFile> models;
    std::vector<CreatureTextureFile> textures;
    Image icon;          // written as "icon.bmp"
};

class CreatureSetGenerator {
public:
    // The icon size of the set pages, in pixels.
    static constexpr int kIconWidth = 32;
    static constexpr int kIconHeight = 28;

    bool generate(GeneratedFiles& folder) const;
    // Every set with its files (used by generate and the tests).
    static std::vector<CreatureSet> buildAll();
    // Where the resting turtle, the moray and the giant clam sit (world x, y, z);
    // y is the drawn sea floor there.
    static P3 turtlePlace();
    static P3 morayPlace();
    static P3 clamPlace();
};

}  // namespace reef::tools
