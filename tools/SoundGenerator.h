// Synthesises the saver's sounds: a calm underwater loop ("sound/water.wav")
// whose end runs seamlessly into its start, and four different gull cries
// ("sound/seagull1.wav" .. "sound/seagull4.wav"); 22050 Hz, 16-bit mono PCM.
#pragma once

#include <vector>

#include "tools/GeneratedFiles.h"

namespace reef::tools {

class SoundGenerator {
public:
    bool generate(GeneratedFiles& folder) const;

    // The sample data before encoding, -1..1 (exposed for the tests of loop seams).
    static std::vector<float> waterLoop();
    // cry: 0..3.
    static std::vector<float> gullCry(int cry);
};

}  // namespace reef::tools
