// Builds the saver's scene once from the stored settings (as a test-window run
// would) and prints what it built: the number of fish and the set of every
// single fish. The dialog tests use it to see that a following run follows the dialog.
#include <cstdio>
#include <string>

#include "app/ReefSaver.h"
#include "engine/EngineImports.h"
#include "engine/WideText.h"
#include "platform/LinuxSystemServices.h"
#include "platform/SdlEngineImports.h"
#include "platform/X11WindowSystem.h"
#include "scene/SetDescriptor.h"

int main() {
    using namespace reef;
    X11WindowSystem windows;
    LinuxSystemServices system;
    SdlEngineImports imports;
    setEngineImports(&imports);
    int status = 0;
    {
        ReefSaver saver(Variant::Plain, windows, system);
        if (!saver.Create(u"census /t") ||
            windows.createContext(saver.mainWindow(), 24) != ContextResult::Ok || !saver.InitGL() ||
            !saver.BuildScene()) {
            std::fprintf(stderr, "the scene could not be built\n");
            status = 1;
        } else {
            // The fish count is filled by mantas, hunter and big fish first, then single fish.
            const Creatures& creatures = saver.creatures();
            std::printf("fish %d\nboids %d\n", creatures.fishBuilt() + static_cast<int>(creatures.singleFish().size()),
                        creatures.boidsBuilt());
            for (const auto& fish : creatures.singleFish()) {
                for (const auto& set : saver.catalog().sets())
                    if (&set->model == fish->object.model()) std::printf("singlefish %s\n", toUtf8(set->id).c_str());
            }
            saver.Cleanup();
        }
        windows.releaseContext();
    }
    setEngineImports(nullptr);
    return status;
}
