#include "platform/windows/Win32SystemServices.h"

#include <windows.h>
#include <SDL/SDL.h>

#include <algorithm>
#include <cstdlib>
#include <utility>

#include "core/Clock.h"
#include "core/DiagnosticTexts.h"
#include "engine/WideText.h"
#include "platform/DialogLayer.h"
#include "platform/SdlAudioMixer.h"
#include "platform/windows/Win32DialogLayer.h"
#include "platform/windows/Win32RegistryStore.h"

namespace reef {

namespace {

// Paths longer than this are not programs anyone could start.
constexpr DWORD kMaxPathUnits = 32768;

std::wstring wide(const std::string& utf8) {
    const std::u16string text = fromUtf8(utf8);
    return std::wstring(text.begin(), text.end());
}

std::string utf8(const std::wstring& text) { return toUtf8(std::u16string(text.begin(), text.end())); }

bool dialogsAllowed() { return std::getenv("REEFSAVER_NO_DIALOGS") == nullptr; }

// A program without a console has no visible standard error: its lines also go
// to the debugger's output, where a developer can watch them.
void mirrorToDebugger(Channel channel, const std::string& line) {
    writeToStandardStream(channel, line);
    if (channel != Channel::Output) OutputDebugStringW(wide(line + "\n").c_str());
}

}  // namespace

Win32SystemServices::Win32SystemServices() : m_previousSink(setDiagnosticSink(&mirrorToDebugger)) {}

Win32SystemServices::~Win32SystemServices() {
    stopSdl();
    setDiagnosticSink(std::move(m_previousSink));
}

void Win32SystemServices::setIdlePriority() { SetThreadPriority(GetCurrentThread(), THREAD_PRIORITY_IDLE); }

// 2 on every Windows this program runs on (the NT family), where the system
// itself asks for the password when the saver ends.
int Win32SystemServices::platformId() {
    OSVERSIONINFOW version{};
    version.dwOSVersionInfoSize = sizeof(version);
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
    if (!GetVersionExW(&version)) return VER_PLATFORM_WIN32_NT;
#pragma GCC diagnostic pop
    return static_cast<int>(version.dwPlatformId);
}

std::string Win32SystemServices::startSdl() {
    m_sdlStarted = true;
    // NOTE: no parachute: SDL's handler would hide crash reports and skip our shutdown.
    if (SDL_Init(SDL_INIT_NOPARACHUTE) != 0) return SDL_GetError();
    setTickSource(&SDL_GetTicks);  // every controller reads SDL's milliseconds from now on
    // Video and audio start apart, so a machine without a sound device still gets
    // the video part (display modes) and the other way round.
    std::string errors;
    for (Uint32 subsystem : {static_cast<Uint32>(SDL_INIT_VIDEO), static_cast<Uint32>(SDL_INIT_AUDIO)}) {
        if (SDL_InitSubSystem(subsystem) != 0) errors += (errors.empty() ? "" : "; ") + std::string(SDL_GetError());
    }
    return errors;
}

void Win32SystemServices::stopSdl() {
    if (!m_sdlStarted) return;
    m_sdlStarted = false;
    setTickSource(nullptr);
    SDL_Quit();
}

void* Win32SystemServices::loadModule(const std::string& name) {
    return reinterpret_cast<void*>(LoadLibraryW(wide(name).c_str()));
}

void* Win32SystemServices::findSymbol(void* module, const char* name) {
    if (!module) return nullptr;
    return reinterpret_cast<void*>(GetProcAddress(static_cast<HMODULE>(module), name));
}

void Win32SystemServices::freeModule(void* module) {
    if (module) FreeLibrary(static_cast<HMODULE>(module));
}

void Win32SystemServices::printError(const std::string& text) { reportf(Channel::Error, texts::kError, text.c_str()); }

void Win32SystemServices::showError(const std::string& text) {
    printError(text);
    if (dialogsAllowed()) MessageBoxW(nullptr, wide(text).c_str(), L"Error", MB_OK);
}

void Win32SystemServices::debugOutput(const std::string& text) { report(Channel::Debug, text); }

std::string Win32SystemServices::programPath() {
    // GetModuleFileNameW says nothing of a cut but a full buffer: grow and ask again.
    for (DWORD size = MAX_PATH; size <= kMaxPathUnits; size *= 2) {
        std::wstring buffer(size, L'\0');
        const DWORD length = GetModuleFileNameW(nullptr, buffer.data(), size);
        if (length == 0) return {};
        if (length < size) {
            buffer.resize(length);
            std::string path = utf8(buffer);
            std::replace(path.begin(), path.end(), '\\', '/');
            return path;
        }
    }
    return {};
}

RegistryStore& Win32SystemServices::registry() {
    if (!m_registry) m_registry = std::make_unique<Win32RegistryStore>();
    return *m_registry;
}

AudioMixer& Win32SystemServices::audioMixer() {
    if (!m_mixer) m_mixer = std::make_unique<SdlAudioMixer>();
    return *m_mixer;
}

std::unique_ptr<DialogLayer> Win32SystemServices::dialogLayer(const std::string& resourceFolder) {
    return std::make_unique<Win32DialogLayer>(resourceFolder);
}

std::vector<ModeSize> Win32SystemServices::listModes(int bitsPerPixel, bool /*hardwareSurface*/) {
    std::vector<ModeSize> sizes;
    DEVMODEW mode{};
    mode.dmSize = sizeof(mode);
    for (DWORD index = 0; EnumDisplaySettingsW(nullptr, index, &mode); ++index) {
        if (static_cast<int>(mode.dmBitsPerPel) != bitsPerPixel) continue;
        const ModeSize size{static_cast<int>(mode.dmPelsWidth), static_cast<int>(mode.dmPelsHeight)};
        const bool known = std::any_of(sizes.begin(), sizes.end(), [&](const ModeSize& s) {
            return s.width == size.width && s.height == size.height;
        });
        if (!known) sizes.push_back(size);
    }
    std::sort(sizes.begin(), sizes.end(), [](const ModeSize& a, const ModeSize& b) {
        return a.width != b.width ? a.width > b.width : a.height > b.height;
    });
    return sizes;
}

int Win32SystemServices::screenBitsPerPixel() {
    HDC screen = GetDC(nullptr);
    if (!screen) return 0;
    const int bits = GetDeviceCaps(screen, BITSPIXEL);
    ReleaseDC(nullptr, screen);
    return bits;
}

}  // namespace reef
