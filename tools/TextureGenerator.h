// Paints every scenery texture of the data folder (".tqt" BMPs, power-of-two
// sizes; 32-bit with alpha where the object is blended and needs it), the
// animated caustics and highlight sequences (tileable, looping from the last
// frame back to the first), the height map and the dialog pictures.
#pragma once

#include <string>
#include <vector>

#include "tools/DataFolder.h"
#include "tools/Image.h"

namespace reef::tools {

class TextureGenerator {
public:
    bool generate(DataFolder& folder) const;

    // Frames of the animated sequences (exposed for the tests of seamless looping).
    static constexpr int kSequenceFrames = 32;
    static Image causticFrame(int frame, int size, uint32_t seed);
    static Image highlightFrame(int frame, int size);
};

}  // namespace reef::tools
