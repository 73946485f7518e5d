// The window and GL context that every GlTestContext of a process shares,
// made by the platform's file: GlTestContextGlx.cpp (Xlib and GLX) or
// GlTestContextWgl.cpp (Win32 and WGL).
#pragma once

#include <string>

namespace reef::test {

// Makes the hidden window and its context, once per process; why that failed,
// or an empty text.
std::string openSharedGlContext();
// Makes the context current on this thread; false when the system refused.
bool makeSharedGlContextCurrent();

}  // namespace reef::test
