// Produces the whole data folder (textures, models, height map, sounds, font,
// texts, pictures) in memory; deterministic, so two runs give identical bytes.
#pragma once

#include <string>

#include "tools/GeneratedFiles.h"

namespace reef::tools {

inline constexpr const char* kDefaultFontPath = "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf";
inline constexpr int kFontPixelSize = 15;  // gives lines of about 18 pixels

class DataGenerator {
public:
    explicit DataGenerator(std::string fontPath = kDefaultFontPath) : m_fontPath(std::move(fontPath)) {}
    // Fills folder; false (with a message on standard error) when a part failed.
    bool generate(GeneratedFiles& folder) const;

private:
    std::string m_fontPath;
};

}  // namespace reef::tools
