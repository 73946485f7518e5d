#include "platform/LinuxSystemServices.h"

#include <SDL/SDL.h>
#include <dlfcn.h>
#include <sched.h>
#include <sys/resource.h>
#include <unistd.h>

#include <cstdlib>
#include <string>

#include "core/Clock.h"
#include "core/DiagnosticTexts.h"
#include "core/Diagnostics.h"
#include "platform/DialogLayer.h"
#include "platform/DialogModule.h"
#include "platform/RegFileStore.h"
#include "platform/SdlAudioMixer.h"
#include "platform/TerminationSignal.h"

namespace reef {

namespace {

// The Windows NT family id: the old-system password path never runs here.
constexpr int kPlatformId = 2;
constexpr int kIdleNice = 19;

bool dialogsAllowed() {
    return std::getenv("DISPLAY") != nullptr && std::getenv("REEFSAVER_NO_DIALOGS") == nullptr;
}

}  // namespace

LinuxSystemServices::LinuxSystemServices() = default;

LinuxSystemServices::~LinuxSystemServices() { stopSdl(); }

void LinuxSystemServices::setIdlePriority() {
    sched_param param{};
    param.sched_priority = 0;
    if (sched_setscheduler(0, SCHED_IDLE, &param) != 0) setpriority(PRIO_PROCESS, 0, kIdleNice);
}

int LinuxSystemServices::platformId() { return kPlatformId; }

std::string LinuxSystemServices::startSdl() {
    // NOTE: no parachute: SDL's own fatal-signal handler would hide crash reports
    // and skip our shutdown; SDL does not own a window here, so it has nothing to restore.
    // SDL only decodes, times and plays sound here; its video part must never fall
    // back to a terminal or framebuffer driver when there is no X display.
    setenv("SDL_VIDEODRIVER", "x11", 0);
    m_sdlStarted = true;
    if (SDL_Init(SDL_INIT_NOPARACHUTE) != 0) return SDL_GetError();
    setTickSource(&SDL_GetTicks);  // every controller reads SDL's milliseconds from now on
    // Video and audio start apart, so a machine without a sound device still gets
    // the video part (display modes) and a display problem does not silence the sound.
    // Without an X display SDL's video part has nothing to drive; the window
    // system reports the missing display itself, once.
    const char* display = std::getenv("DISPLAY");
    const bool haveDisplay = display != nullptr && display[0] != '\0';
    std::string errors;
    for (Uint32 subsystem : {static_cast<Uint32>(SDL_INIT_VIDEO), static_cast<Uint32>(SDL_INIT_AUDIO)}) {
        if (subsystem == SDL_INIT_VIDEO && !haveDisplay) continue;
        const bool started = SDL_InitSubSystem(subsystem) == 0;
        if (!started) errors += (errors.empty() ? "" : "; ") + std::string(SDL_GetError());
    }
    installTerminationHandler();  // SDL's own handler would swallow SIGTERM for good
    return errors;
}

void LinuxSystemServices::stopSdl() {
    if (!m_sdlStarted) return;
    m_sdlStarted = false;
    setTickSource(nullptr);
    SDL_Quit();
}

void* LinuxSystemServices::loadModule(const std::string& name) { return dlopen(name.c_str(), RTLD_NOW | RTLD_LOCAL); }

void* LinuxSystemServices::findSymbol(void* module, const char* name) { return module ? dlsym(module, name) : nullptr; }

void LinuxSystemServices::freeModule(void* module) {
    if (module) dlclose(module);
}

void LinuxSystemServices::printError(const std::string& text) {
    reportf(Channel::Error, texts::kError, text.c_str());
}

void LinuxSystemServices::showError(const std::string& text) {
    printError(text);
    if (dialogsAllowed()) DialogModule::showErrorDialog(text);
}

void LinuxSystemServices::debugOutput(const std::string& text) {
    report(Channel::Debug, text);
}

std::string runningProgramPath() {
    // readlink says nothing of a cut: a buffer it fills to the end is grown and read again.
    for (size_t size = 256; size <= (size_t{1} << 20); size *= 2) {
        std::string buffer(size, '\0');
        const ssize_t length = readlink("/proc/self/exe", buffer.data(), buffer.size());
        if (length <= 0) return {};
        if (static_cast<size_t>(length) < buffer.size()) {
            buffer.resize(static_cast<size_t>(length));
            return buffer;
        }
    }
    return {};
}

std::string LinuxSystemServices::programPath() { return runningProgramPath(); }

RegistryStore& LinuxSystemServices::registry() {
    if (!m_registry) m_registry = std::make_unique<RegFileStore>(RegFileStore::defaultPath());
    return *m_registry;
}

}  // namespace reef

namespace reef {

AudioMixer& LinuxSystemServices::audioMixer() {
    if (!m_mixer) m_mixer = std::make_unique<SdlAudioMixer>();
    return *m_mixer;
}

std::unique_ptr<DialogLayer> LinuxSystemServices::dialogLayer(const std::string& resourceFolder) {
    return DialogModule::createDialogLayer(resourceFolder);
}

// NOTE: SDL lists modes only for the colour depths the X screen has (none at 16
// bits on a 24-bit screen), while the modes of an XRandR output are the same at
// every depth, and the stored depth only picks the GL visual. So the modes are
// always those of the screen's own depth.
std::vector<ModeSize> LinuxSystemServices::listModes(int /*bitsPerPixel*/, bool hardwareSurface) {
    std::vector<ModeSize> sizes;
    // SDL answers mode queries only once it knows the display's own format.
    const SDL_VideoInfo* info = SDL_WasInit(SDL_INIT_VIDEO) != 0 ? SDL_GetVideoInfo() : nullptr;
    if (info == nullptr || info->vfmt == nullptr) return sizes;
    SDL_PixelFormat format{};
    format.BitsPerPixel = info->vfmt->BitsPerPixel;
    SDL_Rect** modes = SDL_ListModes(&format, SDL_FULLSCREEN | (hardwareSurface ? SDL_HWSURFACE : 0));
    // NULL: no mode at this depth; -1: any size will do, so there is nothing to list.
    if (modes == nullptr || modes == reinterpret_cast<SDL_Rect**>(-1)) return sizes;
    for (SDL_Rect** mode = modes; *mode != nullptr; ++mode) sizes.push_back(ModeSize{(*mode)->w, (*mode)->h});
    return sizes;
}

int LinuxSystemServices::screenBitsPerPixel() {
    const SDL_VideoInfo* info = SDL_WasInit(SDL_INIT_VIDEO) != 0 ? SDL_GetVideoInfo() : nullptr;
    return (info && info->vfmt) ? info->vfmt->BitsPerPixel : 0;
}

}  // namespace reef
