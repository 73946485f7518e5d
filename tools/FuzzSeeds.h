// The fuzz targets' seed corpora: one good file of each kind the saver reads,
// taken from a generated data folder (or made with the same writers), one
// folder per target.
#pragma once

#include <string>

#include "tools/GeneratedFiles.h"

namespace reef::tools {

// Writes <root>/<target>/seed-* for every fuzz target; false on a write failure
// or when the data folder lacks a kind of file.
bool writeFuzzSeeds(const GeneratedFiles& data, const std::string& root);

}  // namespace reef::tools
