#include "shell/ProgramEntry.h"

#include <cstdlib>

#include "app/ReefSaver.h"
#include "engine/EngineImports.h"
#include "platform/LinuxSystemServices.h"
#include "platform/ProgramArguments.h"
#include "platform/SdlEngineImports.h"
#include "platform/X11WindowSystem.h"

namespace reef {

int runProgram(Variant variant, int argc, char** argv) {
    const ProgramArguments arguments = parseProgramArguments(argc, argv, std::getenv("XSCREENSAVER_WINDOW"));
    X11WindowSystem windows;
    if (arguments.hostMode) windows.setHostWindow(arguments.hostWindow, arguments.hostIsRoot);
    LinuxSystemServices system;
    SdlEngineImports imports;
    setEngineImports(&imports);
    int exitCode = 0;
    {
        ReefSaver saver(variant, windows, system);
        if (saver.Create(arguments.commandLine)) exitCode = saver.Run() ? 1 : 0;
    }
    setEngineImports(nullptr);
    return exitCode;
}

}  // namespace reef
