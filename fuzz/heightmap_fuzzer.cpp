// The height map: SDL's decoder behind the BMP check, the map loader and the
// mesh built from whatever it accepted.
#include <cstddef>
#include <cstdint>

#include "engine/HeightField.h"
#include "fuzz/FuzzCheck.h"
#include "platform/SdlEngineImports.h"

using namespace reef;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    HeightField field;
    if (!field.loadHeightMapFromImage(SdlEngineImports::decodeBMPBytes(data, size), "fuzz.tqt")) return 0;
    field.setResolution(20);
    field.setHeightScale(0.015f);
    field.buildMesh();
    REEF_FUZZ_REQUIRE(field.vertexCount() == 20 * 20 * 2);
    // Reads wrap around the map in both directions.
    (void)field.heightAt(-1, -1);
    (void)field.heightAt(1 << 20, 7);
    return 0;
}
