// The program icon from the data folder ("icon.bmp"), as the window systems take it.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace reef {

class EngineImports;

struct ProgramIcon {
    int width = 0;
    int height = 0;
    std::vector<uint32_t> argb;  // rows top first; empty when there is no usable icon
};

ProgramIcon loadProgramIcon(EngineImports& imports, const std::string& dataFolder);

}  // namespace reef
