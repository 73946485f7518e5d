#include "testsupport/GlTestContext.h"

#include <GL/glx.h>
#include <X11/Xlib.h>

#include <cstdlib>

namespace reef::test {

namespace {

struct SharedContext {
    Display* display = nullptr;
    Window window = 0;
    GLXContext context = nullptr;
    bool valid = false;
    std::string error;

    SharedContext() {
        const char* name = std::getenv("DISPLAY");
        if (!name || !*name) {
            error = "no DISPLAY";
            return;
        }
        display = XOpenDisplay(nullptr);
        if (!display) {
            error = "cannot open the display";
            return;
        }
        int attributes[] = {GLX_RGBA, GLX_DOUBLEBUFFER, GLX_RED_SIZE, 1, GLX_GREEN_SIZE, 1, GLX_BLUE_SIZE, 1,
                            GLX_DEPTH_SIZE, 1, None};
        XVisualInfo* visual = glXChooseVisual(display, DefaultScreen(display), attributes);
        if (!visual) {
            error = "no GLX visual";
            return;
        }
        const Window root = RootWindow(display, visual->screen);
        XSetWindowAttributes swa{};
        swa.colormap = XCreateColormap(display, root, visual->visual, AllocNone);
        window = XCreateWindow(display, root, 0, 0, 64, 64, 0, visual->depth, InputOutput, visual->visual,
                               CWColormap, &swa);
        context = glXCreateContext(display, visual, nullptr, True);
        XFree(visual);
        if (!context) {
            error = "cannot create a GLX context";
            return;
        }
        valid = true;
    }
};

SharedContext& shared() {
    static SharedContext* instance = new SharedContext();  // lives until the process ends
    return *instance;
}

}  // namespace

GlTestContext::GlTestContext() {
    SharedContext& s = shared();
    if (s.valid && !glXMakeCurrent(s.display, s.window, s.context)) {
        s.valid = false;
        s.error = "cannot make the GLX context current";
    }
}

GlTestContext::~GlTestContext() {
    if (shared().valid) glFinish();
}

bool GlTestContext::valid() const { return shared().valid; }

const std::string& GlTestContext::error() const { return shared().error; }

}  // namespace reef::test
