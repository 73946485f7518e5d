// The command line Windows started the program with: whole, as the switch
// parser reads it, and split into arguments the way CommandLineToArgvW splits
// it, for the program's own options.
#pragma once

#include <string>
#include <vector>

namespace reef {

// GetCommandLineW, unchanged.
std::u16string processCommandLine();
// The arguments in UTF-8, the program path first.
std::vector<std::string> processArguments();

}  // namespace reef
