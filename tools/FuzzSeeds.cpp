#include "tools/FuzzSeeds.h"

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <map>
#include <vector>

#include "engine/TQArchiveFormat.h"
#include "tools/BmpWriter.h"
#include "tools/Image.h"
#include "tools/WavWriter.h"
#include "writers/ArchiveWriter.h"
#include "writers/BmpWriter.h"

namespace reef::tools {

namespace {

using Bytes = std::vector<uint8_t>;

bool endsWith(const std::string& text, const std::string& tail) {
    return text.size() >= tail.size() && text.compare(text.size() - tail.size(), tail.size(), tail) == 0;
}

// The smallest file of the data folder whose name ends so; small seeds keep
// the fuzzer fast.
const Bytes* smallest(const GeneratedFiles& data, const std::string& tail) {
    const Bytes* best = nullptr;
    for (const auto& [path, bytes] : data.files()) {
        if (endsWith(path, tail) && (!best || bytes.size() < best->size())) best = &bytes;
    }
    return best;
}

Bytes text(const std::string& s) { return Bytes(s.begin(), s.end()); }

// Command-line seeds: arguments separated by zero bytes; an odd first byte
// makes the last piece the daemon's window variable.
Bytes arguments(bool withEnvironment, std::initializer_list<std::string> pieces) {
    Bytes out{static_cast<uint8_t>(withEnvironment ? 1 : 0)};
    bool first = true;
    for (const std::string& piece : pieces) {
        if (!first) out.push_back(0);
        first = false;
        out.insert(out.end(), piece.begin(), piece.end());
    }
    return out;
}

bool write(const std::filesystem::path& path, const Bytes& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    return static_cast<bool>(out);
}

}  // namespace

bool writeFuzzSeeds(const GeneratedFiles& data, const std::string& root) {
    const Bytes* model = smallest(data, ".tqm");
    const Bytes* texture = smallest(data, ".tqt");
    const Bytes* heightMap = data.find("terrain_map.tqt");
    const Bytes* dat = smallest(data, ".dat");
    const Bytes* info = smallest(data, "info.ini");
    const Bytes* font = data.find("font.tqf");
    if (!model || !texture || !heightMap || !dat || !info || !font) {
        std::fprintf(stderr, "reef_datagen: the data folder lacks a kind of seed file\n");
        return false;
    }
    std::vector<float> tone;
    for (int i = 0; i < 64; ++i) tone.push_back(static_cast<float>(i % 16) / 16.0f - 0.5f);
    std::vector<uint8_t> ramp;
    for (int i = 0; i < 16 * 8; ++i) ramp.push_back(static_cast<uint8_t>(i * 2));

    const std::map<std::string, std::vector<Bytes>> seeds = {
        {"archive", {wrapInArchive(*model, tqarchive::kFlagScrambled), wrapInArchive(*dat, 0)}},
        {"model", {*model, wrapInArchive(*model, tqarchive::kFlagScrambled)}},
        {"texture", {*texture, bmp::encode32(Image(3, 2, Colour{0.1f, 0.2f, 0.3f, 1.0f})), writeBmp(6, 3, 1, Bytes(18, 9))}},
        {"heightmap", {*heightMap, writeBmp(16, 8, 1, ramp)}},
        {"dat", {*dat}},
        {"profile", {*info}},
        {"font", {*font}},
        {"settings",
         {text("Windows Registry Editor Version 5.00\r\n\r\n"
                "[HKEY_CURRENT_USER\\Software\\Reef]\r\n"
                "\"BoidCount\"=dword:0000000a\r\n"
                "\"Title\"=\"text with \\\\ and \\\" escaped\"\r\n"
                "\"Raw\"=hex:01,02\r\n\r\n"
                "[HKEY_CURRENT_USER\\Software\\Reef\\fish]\r\n"
                "\"clownfish\"=dword:00000001\r\n")}},
        {"cmdline",
         {arguments(false, {"/usr/lib/xscreensaver/reefsaver", "/s"}), arguments(false, {"reefsaver", "/p", "12345"}),
          arguments(false, {"reefsaver", "-root"}), arguments(false, {"reefsaver", "-window-id", "0x400007"}),
          arguments(true, {"reefsaver", "/c:77", "4194311"})}},
        {"wav", {wav::encodeMono16(tone)}},
    };
    for (const auto& [target, files] : seeds) {
        const std::filesystem::path folder = std::filesystem::path(root) / target;
        std::error_code error;
        std::filesystem::create_directories(folder, error);
        for (size_t i = 0; i < files.size(); ++i) {
            if (!write(folder / ("seed-" + std::to_string(i)), files[i])) {
                std::fprintf(stderr, "reef_datagen: cannot write the seeds in %s\n", folder.c_str());
                return false;
            }
        }
    }
    return true;
}

}  // namespace reef::tools
