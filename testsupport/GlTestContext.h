// A small hidden Xlib window with a current GLX context, for tests (and the model
// benchmark) that need real OpenGL. Without a DISPLAY it stays invalid. On
// Windows (GlTestContextWgl.cpp) it is a hidden window with a WGL context.
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
