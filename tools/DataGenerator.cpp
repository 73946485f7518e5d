#include "tools/DataGenerator.h"

#include <cstdio>

#include "tools/CreatureSetGenerator.h"
#include "tools/FontBaker.h"
#include "tools/ModelGenerator.h"
#include "tools/SoundGenerator.h"
#include "tools/TextGenerator.h"
#include "tools/TextureGenerator.h"

namespace reef::tools {

bool DataGenerator::generate(GeneratedFiles& folder) const {
    bool ok = true;
    if (!TextGenerator().generate(folder)) {
        std::fprintf(stderr, "reef_datagen: a text could not be encoded\n");
        ok = false;
    }
    if (!TextureGenerator().generate(folder)) {
        std::fprintf(stderr, "reef_datagen: a texture could not be added\n");
        ok = false;
    }
    if (!ModelGenerator().generate(folder)) {
        std::fprintf(stderr, "reef_datagen: a model could not be added\n");
        ok = false;
    }
    if (!CreatureSetGenerator().generate(folder)) {
        std::fprintf(stderr, "reef_datagen: a creature set could not be added\n");
        ok = false;
    }
    if (!SoundGenerator().generate(folder)) {
        std::fprintf(stderr, "reef_datagen: a sound could not be added\n");
        ok = false;
    }
    const auto font = bakeFont(m_fontPath, kFontPixelSize);
    if (!font) {
        std::fprintf(stderr, "reef_datagen: cannot rasterise the font %s\n", m_fontPath.c_str());
        ok = false;
    } else {
        ok = folder.add("font.tqf", font->bytes) && ok;
    }
    return ok;
}

}  // namespace reef::tools
