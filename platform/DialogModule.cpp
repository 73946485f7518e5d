#include "platform/DialogModule.h"

#include <dlfcn.h>
#include <unistd.h>

#include "core/Diagnostics.h"
#include "platform/DialogLayer.h"
#include "platform/LinuxSystemServices.h"
#include "platform/TerminationSignal.h"

namespace reef {

namespace {

// The folder of the running program (the link /proc/self/exe resolved), ending in '/'.
std::string programFolder() {
    const std::string path = runningProgramPath();
    if (path.empty()) return "./";
    return path.substr(0, path.rfind('/') + 1);
}

}  // namespace

const DialogModule* DialogModule::get() {
    static const DialogModule* const loaded = [] {
        static DialogModule module;
        return module.load(programFolder() + kDialogModuleFile) ? &module : nullptr;
    }();
    return loaded;
}

bool DialogModule::load(const std::string& path) {
    void* handle = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (handle == nullptr) {
        reportf(Channel::Error, "Error: the dialog module cannot be loaded: %s", dlerror());
        return false;
    }
    m_createDialogLayer = reinterpret_cast<CreateDialogLayerEntry>(dlsym(handle, kCreateDialogLayerSymbol));
    m_showErrorDialog = reinterpret_cast<ShowErrorDialogEntry>(dlsym(handle, kShowErrorDialogSymbol));
    if (m_createDialogLayer == nullptr || m_showErrorDialog == nullptr) {
        reportf(Channel::Error, "Error: the dialog module %s lacks its entry points", path.c_str());
        dlclose(handle);
        return false;
    }
    return true;
}

std::unique_ptr<DialogLayer> DialogModule::createDialogLayer(const std::string& resourceFolder) {
    const DialogModule* module = get();
    if (module == nullptr) return nullptr;
    return std::unique_ptr<DialogLayer>(module->m_createDialogLayer(resourceFolder.c_str(), &terminationRequested));
}

void DialogModule::showErrorDialog(const std::string& text) {
    if (const DialogModule* module = get()) module->m_showErrorDialog(text.c_str(), &terminationRequested);
}

}  // namespace reef
