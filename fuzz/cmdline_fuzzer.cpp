// The command line: the program's arguments joined into the saver's command
// line (the daemon's -root, -window-id and XSCREENSAVER_WINDOW taken out) and
// the switch read from it.
//
// Input: arguments separated by zero bytes; when the first byte is odd the
// last piece is the XSCREENSAVER_WINDOW value instead of an argument.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "engine/WideText.h"
#include "fuzz/FuzzCheck.h"
#include "platform/ProgramArguments.h"
#include "testsupport/FakePlatform.h"
#include "testsupport/SceneFreeSaver.h"

using namespace reef;

namespace {

GLSaver& saver() {
    static FakeWindows windows;
    static FakeSystem system;
    // Only the switch reader is used; the scene operations are never called.
    static SceneFreeSaver instance(Variant::Plain, windows, system);
    return instance;
}

struct Parsed {
    RunMode mode;
    WindowHandle parent;
    bool hostMode;
};

Parsed parse(const std::vector<std::string>& pieces, const char* environment) {
    std::vector<const char*> argv;
    for (const std::string& piece : pieces) argv.push_back(piece.c_str());
    const ProgramArguments arguments = parseProgramArguments(static_cast<int>(argv.size()), argv.data(), environment);
    const RunMode mode = saver().ParseCommandLine(arguments.commandLine);
    return {mode, saver().parentWindow(), arguments.hostMode};
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0 || size > 4096) return 0;
    std::vector<std::string> pieces(1);
    for (size_t i = 1; i < size; ++i) {
        if (data[i] == 0) {
            pieces.emplace_back();
        } else {
            pieces.back().push_back(static_cast<char>(data[i]));
        }
    }
    std::string environment;
    const bool withEnvironment = (data[0] & 1) != 0 && pieces.size() > 1;
    if (withEnvironment) {
        environment = pieces.back();
        pieces.pop_back();
    }
    const char* env = withEnvironment ? environment.c_str() : nullptr;
    const Parsed parsed = parse(pieces, env);
    // The daemon's window always means the full-screen saver.
    if (parsed.hostMode) REEF_FUZZ_REQUIRE(parsed.mode == RunMode::Full);
    // Whatever the program path holds, only the arguments choose the mode.
    std::vector<std::string> plainPath = pieces;
    plainPath[0] = "reefsaver";
    const Parsed reference = parse(plainPath, env);
    REEF_FUZZ_REQUIRE(parsed.mode == reference.mode && parsed.parent == reference.parent);

    // The switch reader alone, on the raw text.
    saver().ParseCommandLine(fromUtf8(std::string(reinterpret_cast<const char*>(data), size)));
    return 0;
}
