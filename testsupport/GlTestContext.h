// A small hidden window with a current OpenGL context, for tests (and the model
// benchmark) that need real OpenGL: Xlib and GLX on Linux (GlTestContextGlx.cpp),
// where it stays invalid without a DISPLAY, and Win32 and WGL on Windows
// (GlTestContextWgl.cpp).
//
// NOTE: one connection and context serve the whole process and are never closed:
// closing them unloads Mesa's driver, and the leak checker can then no longer
// name (and so suppress) what the driver keeps for itself.
#pragma once

#include <string>

namespace reef::test {

class GlTestContext {
public:
    GlTestContext();
    ~GlTestContext();
    GlTestContext(const GlTestContext&) = delete;
    GlTestContext& operator=(const GlTestContext&) = delete;

    bool valid() const;
    // Why the context is missing, for a skip message.
    const std::string& error() const;
};

}  // namespace reef::test
