// Process services on Windows: idle thread priority, SDL start-up, modules by
// LoadLibraryW, error messages (standard error and a message box; while it
// lives, every line for standard error also goes to the debugger's output), the program path, the registry under HKEY_CURRENT_USER, the
// SDL_mixer mixer, the dialogs and the display modes the system offers.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "core/Diagnostics.h"
#include "platform/SystemServices.h"

namespace reef {

class SdlAudioMixer;
class Win32RegistryStore;

class Win32SystemServices : public SystemServices {
public:
    Win32SystemServices();
    ~Win32SystemServices() override;

    void setIdlePriority() override;
    int platformId() override;
    std::string startSdl() override;
    void stopSdl() override;
    void* loadModule(const std::string& name) override;
    void* findSymbol(void* module, const char* name) override;
    void freeModule(void* module) override;
    void showError(const std::string& text) override;
    void printError(const std::string& text) override;
    void debugOutput(const std::string& text) override;
    // The module's path from GetModuleFileNameW, in UTF-8 with '/' between folders.
    std::string programPath() override;
    RegistryStore& registry() override;
    AudioMixer& audioMixer() override;
    std::unique_ptr<DialogLayer> dialogLayer(const std::string& resourceFolder) override;
    // The modes EnumDisplaySettingsW lists for the primary display at that depth,
    // largest first, each size once.
    std::vector<ModeSize> listModes(int bitsPerPixel, bool hardwareSurface) override;
    int screenBitsPerPixel() override;

private:
    std::unique_ptr<Win32RegistryStore> m_registry;
    std::unique_ptr<SdlAudioMixer> m_mixer;
    bool m_sdlStarted = false;
    // The sink this one's debugger mirror replaced, back when it ends.
    DiagnosticSink m_previousSink;
};

}  // namespace reef
