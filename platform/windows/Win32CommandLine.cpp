#include "platform/windows/Win32CommandLine.h"

#include <windows.h>
#include <shellapi.h>

#include "engine/WideText.h"

namespace reef {

std::u16string processCommandLine() {
    const wchar_t* line = GetCommandLineW();
    return line ? std::u16string(line, line + wcslen(line)) : std::u16string();
}

std::vector<std::string> processArguments() {
    std::vector<std::string> arguments;
    int count = 0;
    wchar_t** split = CommandLineToArgvW(GetCommandLineW(), &count);
    if (!split) return arguments;
    for (int i = 0; i < count; ++i) {
        const wchar_t* argument = split[i];
        arguments.push_back(toUtf8(std::u16string(argument, argument + wcslen(argument))));
    }
    LocalFree(split);
    return arguments;
}

}  // namespace reef
