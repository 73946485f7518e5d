#include "testsupport/GlTestContext.h"

#ifdef _WIN32
#include <windows.h>
#endif
#include <GL/gl.h>

#include "testsupport/SharedGlContext.h"

namespace reef::test {

namespace {

// Why the shared context is not usable; empty while it is.
std::string& failure() {
    static std::string* text = new std::string(openSharedGlContext());  // lives until the process ends
    return *text;
}

}  // namespace

GlTestContext::GlTestContext() {
    if (failure().empty() && !makeSharedGlContextCurrent()) failure() = "cannot make the GL context current";
}

GlTestContext::~GlTestContext() {
    if (valid()) glFinish();
}

bool GlTestContext::valid() const { return failure().empty(); }

const std::string& GlTestContext::error() const { return failure(); }

}  // namespace reef::test
