#include "programs/ProgramEntry.h"

#include <cstdio>
#include <cstdlib>
#include <new>

#include "app/CommandLineOptions.h"
#include "app/DataFolder.h"
#include "app/ReefSaver.h"
#include "core/DiagnosticTexts.h"
#include "core/Diagnostics.h"
#include "engine/EngineImports.h"
#include "platform/LinuxSystemServices.h"
#include "platform/ProgramArguments.h"
#include "platform/SdlEngineImports.h"
#include "platform/X11WindowSystem.h"
#include "programs/ProgramIcon.h"

namespace reef {

namespace {

int runUnguarded(Variant variant, int argc, char** argv);

}  // namespace

// NOTE: the loaders answer running out of memory themselves (the asset is left
// out); what still runs out of it elsewhere ends the program here with one
// line and status 1, never with an abort.
int runProgram(Variant variant, int argc, char** argv) {
    try {
        return runUnguarded(variant, argc, argv);
    } catch (const std::bad_alloc&) {
        // Written directly: a diagnostic line would need memory for its text.
        std::fputs(texts::kOutOfMemory, stderr);
        std::fputc('\n', stderr);
        return 1;
    }
}

namespace {

int runUnguarded(Variant variant, int argc, char** argv) {
    const CommandLineOptions options = CommandLineOptions::parse(argc, argv);
    if (const std::optional<int> answer = options.answerWithoutRunning()) return *answer;
    const ProgramArguments arguments = parseProgramArguments(static_cast<int>(options.remaining().size()),
                                                             options.remaining().data(),
                                                             std::getenv("XSCREENSAVER_WINDOW"));
    if (!arguments.error.empty()) {
        reportf(Channel::Error, texts::kError, arguments.error.c_str());
        return kExitStartFailed;
    }
    X11WindowSystem windows;
    if (arguments.hostMode) windows.setHostWindow(arguments.hostWindow, arguments.hostIsRoot);
    LinuxSystemServices system;
    SdlEngineImports imports;
    setEngineImports(&imports);
    const ProgramIcon icon = loadProgramIcon(imports, DataFolder::fromProgramPath(system.programPath()));
    if (!icon.argb.empty()) windows.setIcon(icon.width, icon.height, icon.argb);
    int exitCode = kExitStartFailed;
    {
        ReefSaver saver(variant, windows, system);
        saver.overrideSettings(options.overrides());
        // Under XScreenSaver the settings page's frame rate applies even when it
        // leaves the option out; the saver's own modes draw as fast as they can.
        const int hostDefault = arguments.hostMode ? CommandLineOptions::kXScreenSaverFramesPerSecond : 0;
        saver.setFrameRateCap(options.overrides().maxFramesPerSecond.value_or(hostDefault));
        if (saver.Create(arguments.commandLine)) exitCode = saver.Run() ? kExitOrdinaryRun : kExitStartFailed;
    }
    setEngineImports(nullptr);
    return exitCode;
}

}  // namespace

}  // namespace reef
