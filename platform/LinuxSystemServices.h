// Process services on Linux: idle scheduling, SDL start-up, dlopen modules,
// error messages on standard error (and in a GTK dialog), the program path and
// the settings file.
#pragma once

#include <memory>
#include <string>

#include "platform/SystemServices.h"

namespace reef {

class RegFileStore;
class SdlAudioMixer;

// The real path of the running program (/proc/self/exe), however long; empty
// when it cannot be read.
std::string runningProgramPath();

class LinuxSystemServices : public SystemServices {
public:
    LinuxSystemServices();
    ~LinuxSystemServices() override;

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
    std::string programPath() override;
    RegistryStore& registry() override;
    AudioMixer& audioMixer() override;
    std::unique_ptr<DialogLayer> dialogLayer(const std::string& resourceFolder) override;
    std::vector<ModeSize> listModes(int bitsPerPixel, bool hardwareSurface) override;
    int screenBitsPerPixel() override;

private:
    std::unique_ptr<RegFileStore> m_registry;
    std::unique_ptr<SdlAudioMixer> m_mixer;
    bool m_sdlStarted = false;
};

}  // namespace reef
