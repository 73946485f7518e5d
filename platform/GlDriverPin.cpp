#include "platform/GlDriverPin.h"

#include <dlfcn.h>
#include <link.h>

#include <cstring>

#if defined(__SANITIZE_ADDRESS__)
#define REEF_LEAK_CHECKED 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define REEF_LEAK_CHECKED 1
#endif
#endif

namespace reef {

#ifdef REEF_LEAK_CHECKED
namespace {

// Takes one more reference to every loaded "*_dri.so" with RTLD_NODELETE, so the
// dynamic loader never unmaps it.
int pinDriver(dl_phdr_info* info, size_t, void*) {
    const char* path = info->dlpi_name;
    if (path && std::strstr(path, "_dri.so")) {
        if (void* handle = dlopen(path, RTLD_NOW | RTLD_NOLOAD | RTLD_NODELETE)) dlclose(handle);
    }
    return 0;
}

}  // namespace

void keepGlDriverLoadedForLeakCheck() { dl_iterate_phdr(pinDriver, nullptr); }
#else
void keepGlDriverLoadedForLeakCheck() {}
#endif

}  // namespace reef
