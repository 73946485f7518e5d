// Paints every scenery texture of the data folder (".tqt" BMPs, power-of-two
// sizes; 32-bit with alpha where the object is blended and needs it), the
// animated caustics and highlight sequences (tileable, looping from the last
// frame back to the first), the height map and the dialog pictures.
#pragma once

#include <string>
#include <vector>

#include "tools/GeneratedFiles.h"
#include "tools/Image.h"

namespace reef::tools {

class TextureGenerator {
public:
    bool generate(GeneratedFiles& folder) const;

    // Frames of the animated sequences (exposed for the tests of seamless looping).
    static constexpr int kSequenceFrames = 32;
    static Image causticFrame(int frame, int size, uint32_t seed);
    static Image highlightFrame(int frame, int size);

    // The background palms' billboard, framed and ready: palms on a low distant islet.
    // The palms as drawn, in pixels of a drawing twice the billboard's size: the foot
    // at x on the bottom edge, the crown lean pixels to the side and height above.
    struct DistantPalm {
        float x, lean, height;
    };
    static constexpr int kDistantPalmsDrawingSize = 512;
    static constexpr DistantPalm kDistantPalms[] = {
        {150.0f, -60.0f, 230.0f}, {250.0f, 35.0f, 280.0f}, {330.0f, 90.0f, 200.0f}, {410.0f, 50.0f, 150.0f}};
    static Image distantPalms();
};

}  // namespace reef::tools
