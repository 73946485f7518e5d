#include "engine/EngineImports.h"

namespace reef {

namespace {
EngineImports* g_imports = nullptr;
}

EngineImports* engineImports() { return g_imports; }

void setEngineImports(EngineImports* imports) { g_imports = imports; }

}  // namespace reef
