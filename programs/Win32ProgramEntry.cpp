// runProgram on Windows: the command line comes from the process (Windows
// passes "/p 1234", "/c:1234" or "/s" after the program path), the platform
// layer is Win32's.
#include "programs/ProgramEntry.h"

#include <cstdio>
#include <new>
#include <string>
#include <vector>

#include "app/CommandLineOptions.h"
#include "app/DataFolder.h"
#include "app/ReefSaver.h"
#include "core/DiagnosticTexts.h"
#include "engine/EngineImports.h"
#include "engine/WideText.h"
#include "platform/SdlEngineImports.h"
#include "platform/windows/Win32CommandLine.h"
#include "platform/windows/Win32SystemServices.h"
#include "platform/windows/Win32WindowSystem.h"
#include "programs/ProgramIcon.h"

namespace reef {

namespace {

// The line the switch parser reads: the process's own when no option of ours
// was on it, so the switch is seen exactly as Windows wrote it; otherwise the
// program path (quoted) and the arguments that are left.
std::u16string switchLine(const CommandLineOptions& options, size_t argumentCount) {
    if (options.remaining().size() == argumentCount) return processCommandLine();
    std::string line = "\"";
    for (const char* c = options.remaining().empty() ? "reefsaver" : options.remaining()[0]; *c; ++c)
        if (*c != '"') line += *c;
    line += "\"";
    for (size_t i = 1; i < options.remaining().size(); ++i) line += std::string(" ") + options.remaining()[i];
    return fromUtf8(line);
}

int runUnguarded(Variant variant) {
    const std::vector<std::string> arguments = processArguments();
    std::vector<const char*> argv;
    for (const std::string& argument : arguments) argv.push_back(argument.c_str());
    const CommandLineOptions options = CommandLineOptions::parse(static_cast<int>(argv.size()), argv.data());
    if (const std::optional<int> answer = options.answerWithoutRunning()) return *answer;

    Win32WindowSystem windows;
    Win32SystemServices system;
    SdlEngineImports imports;
    setEngineImports(&imports);
    // The data folder's picture only stands in for an icon resource the program lacks.
    if (!windows.hasIconResource()) {
        const ProgramIcon icon = loadProgramIcon(imports, DataFolder::fromProgramPath(system.programPath()));
        if (!icon.argb.empty()) windows.setIcon(icon.width, icon.height, icon.argb);
    }
    int exitCode = kExitStartFailed;
    {
        ReefSaver saver(variant, windows, system);
        saver.overrideSettings(options.overrides());
        saver.setFrameRateCap(options.overrides().maxFramesPerSecond.value_or(0));
        if (saver.Create(switchLine(options, argv.size())))
            exitCode = saver.Run() ? kExitOrdinaryRun : kExitStartFailed;
    }
    setEngineImports(nullptr);
    return exitCode;
}

}  // namespace

// NOTE: the arguments of main are not used: they are in the system's narrow
// code page, while the process's own line is UTF-16.
int runProgram(Variant variant, int /*argc*/, char** /*argv*/) {
    try {
        return runUnguarded(variant);
    } catch (const std::bad_alloc&) {
        // Written directly: a diagnostic line would need memory for its text.
        std::fputs(texts::kOutOfMemory, stderr);
        std::fputc('\n', stderr);
        return kExitStartFailed;
    }
}

}  // namespace reef
