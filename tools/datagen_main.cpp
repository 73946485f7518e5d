// reef_datagen OUTPUT_FOLDER [STAMP_FILE]
// Writes the reef's data folder; with a stamp file, touches it after success so
// the build knows the folder is complete.
// reef_datagen --fuzz-seeds OUTPUT_FOLDER
// Writes the fuzz targets' seed corpora instead, one good file of each kind.
#include <cstdio>
#include <fstream>

#include <cstring>

#include "tools/DataGenerator.h"
#include "tools/FuzzSeeds.h"

int main(int argc, char** argv) {
    if (argc == 3 && std::strcmp(argv[1], "--fuzz-seeds") == 0) {
        reef::tools::GeneratedFiles folder;
        if (!reef::tools::DataGenerator().generate(folder)) return 1;
        return reef::tools::writeFuzzSeeds(folder, argv[2]) ? 0 : 1;
    }
    if (argc < 2 || argc > 3) {
        std::fprintf(stderr, "usage: %s OUTPUT_FOLDER [STAMP_FILE]\n", argv[0]);
        return 2;
    }
    reef::tools::GeneratedFiles folder;
    if (!reef::tools::DataGenerator().generate(folder)) return 1;
    if (!folder.writeTo(argv[1])) return 1;
    std::printf("reef_datagen: %zu files, %.1f MB in %s\n", folder.files().size(),
                static_cast<double>(folder.totalBytes()) / (1024.0 * 1024.0), argv[1]);
    if (argc == 3) {
        std::ofstream stamp(argv[2], std::ios::trunc);
        stamp << folder.files().size() << " files\n";
        if (!stamp) {
            std::fprintf(stderr, "reef_datagen: cannot write %s\n", argv[2]);
            return 1;
        }
    }
    return 0;
}
