// Process-level services the shell needs besides windows: scheduling priority,
// SDL start-up, run-time modules, error messages, the program's own path and
// the settings store.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "platform/DialogLayer.h"

namespace reef {

class AudioMixer;
class RegistryStore;

// A full-screen display mode's size in pixels.
struct ModeSize {
    int width = 0;
    int height = 0;
};

class SystemServices {
public:
    virtual ~SystemServices() = default;

    // Lowest scheduling priority for this thread (the saver gives way to everything).
    virtual void setIdlePriority() = 0;
    // The platform family id; never 1 (the old-system password path) here.
    virtual int platformId() = 0;
    // SDL_Init(SDL_INIT_VIDEO | SDL_INIT_AUDIO); empty on success, else SDL's error text.
    virtual std::string startSdl() = 0;
    virtual void stopSdl() = 0;
    // Run-time modules by name; nullptr when missing.
    virtual void* loadModule(const std::string& name) = 0;
    virtual void* findSymbol(void* module, const char* name) = 0;
    virtual void freeModule(void* module) = 0;
    // "Error: <text>" on standard error, and a dialog where a display is open.
    virtual void showError(const std::string& text) = 0;
    // "Error: <text>" on standard error only: for the full-screen saver, whose
    // window covers the screen and holds the keyboard, so no dialog could be seen
    // or answered.
    virtual void printError(const std::string& text) = 0;
    // Debug text, shown only when REEFSAVER_DEBUG is set.
    virtual void debugOutput(const std::string& text) = 0;
    // The real path of the running program; empty when unknown.
    virtual std::string programPath() = 0;
    virtual RegistryStore& registry() = 0;
    // The sound mixer (SDL_mixer).
    virtual AudioMixer& audioMixer() = 0;
    // The dialog layer, with bitmaps named by templates found in resourceFolder;
    // nullptr where there are no dialogs.
    virtual std::unique_ptr<DialogLayer> dialogLayer(const std::string& /*resourceFolder*/) { return nullptr; }
    // The full-screen modes SDL offers at a colour depth (SDL_ListModes), in SDL's
    // order; empty when it offers none or says that any size will do. Where the
    // depth does not change the modes an output offers (X11), every depth gets them.
    virtual std::vector<ModeSize> listModes(int /*bitsPerPixel*/, bool /*hardwareSurface*/) { return {}; }
    // The screen's own colour depth in bits per pixel (32 for true colour); 0 when unknown.
    virtual int screenBitsPerPixel() { return 0; }
};

}  // namespace reef
