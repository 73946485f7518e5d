// Turns the generated program icon into the icon file the Windows programs
// carry as a resource:
//   reef_ico <icon.bmp> <output .ico>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <vector>

#include "tools/BmpReader.h"
#include "tools/IcoWriter.h"

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: reef_ico <icon.bmp> <output .ico>\n");
        return 2;
    }
    std::ifstream in(argv[1], std::ios::binary);
    const std::vector<uint8_t> file((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    const auto picture = reef::tools::bmp::decode(file);
    if (!picture) {
        std::fprintf(stderr, "reef_ico: %s is missing or not a 24- or 32-bit uncompressed BMP\n", argv[1]);
        return 1;
    }
    const auto icon = reef::tools::ico::encode(*picture);
    if (!icon) {
        std::fprintf(stderr, "reef_ico: %s is %d x %d; an icon's sides are 1 to %d pixels\n", argv[1],
                     picture->width(), picture->height(), reef::tools::ico::kMaxSide);
        return 1;
    }
    std::ofstream out(argv[2], std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(icon->data()), static_cast<std::streamsize>(icon->size()));
    out.close();
    if (!out) {
        std::fprintf(stderr, "reef_ico: %s could not be written\n", argv[2]);
        std::remove(argv[2]);
        return 1;
    }
    return 0;
}
