// The shared test context on Linux: a small hidden Xlib window with a
// double-buffered RGBA visual and a GLX context.
#include <GL/glx.h>
#include <X11/Xlib.h>

#include <cstdlib>

#include "testsupport/SharedGlContext.h"

namespace reef::test {

namespace {

Display* g_display = nullptr;
Window g_window = 0;
GLXContext g_context = nullptr;

}  // namespace

std::string openSharedGlContext() {
    const char* name = std::getenv("DISPLAY");
    if (!name || !*name) return "no DISPLAY";
    g_display = XOpenDisplay(nullptr);
    if (!g_display) return "cannot open the display";
    int attributes[] = {GLX_RGBA, GLX_DOUBLEBUFFER, GLX_RED_SIZE, 1, GLX_GREEN_SIZE, 1, GLX_BLUE_SIZE, 1,
                        GLX_DEPTH_SIZE, 1, None};
    XVisualInfo* visual = glXChooseVisual(g_display, DefaultScreen(g_display), attributes);
    if (!visual) return "no GLX visual";
    const Window root = RootWindow(g_display, visual->screen);
    XSetWindowAttributes swa{};
    swa.colormap = XCreateColormap(g_display, root, visual->visual, AllocNone);
    g_window = XCreateWindow(g_display, root, 0, 0, 64, 64, 0, visual->depth, InputOutput, visual->visual,
                             CWColormap, &swa);
    g_context = glXCreateContext(g_display, visual, nullptr, True);
    XFree(visual);
    if (!g_context) return "cannot create a GLX context";
    return {};
}

bool makeSharedGlContextCurrent() { return glXMakeCurrent(g_display, g_window, g_context); }

}  // namespace reef::test
