// The shared test context on Windows: a hidden window of its own class with a
// double-buffered RGBA pixel format and a WGL context, made once per process.
#include "testsupport/GlTestContext.h"

#include <windows.h>

#include <GL/gl.h>

namespace reef::test {

namespace {

struct SharedContext {
    HWND window = nullptr;
    HDC deviceContext = nullptr;
    HGLRC context = nullptr;
    bool valid = false;
    std::string error;

    SharedContext() {
        const HINSTANCE instance = GetModuleHandleW(nullptr);
        WNDCLASSW windowClass{};
        windowClass.style = CS_OWNDC;
        windowClass.lpfnWndProc = DefWindowProcW;
        windowClass.hInstance = instance;
        windowClass.lpszClassName = L"ReefGlTestContext";
        if (!RegisterClassW(&windowClass)) {
            error = "cannot register the window class";
            return;
        }
        window = CreateWindowExW(0, windowClass.lpszClassName, L"GL tests", WS_OVERLAPPEDWINDOW, 0, 0, 64, 64, nullptr,
                                 nullptr, instance, nullptr);
        if (!window) {
            error = "cannot create a window";
            return;
        }
        deviceContext = GetDC(window);
        PIXELFORMATDESCRIPTOR wanted{};
        wanted.nSize = sizeof wanted;
        wanted.nVersion = 1;
        wanted.dwFlags = PFD_DRAW_TO_WINDOW | PFD_SUPPORT_OPENGL | PFD_DOUBLEBUFFER;
        wanted.iPixelType = PFD_TYPE_RGBA;
        wanted.cColorBits = 24;
        wanted.cDepthBits = 16;
        wanted.iLayerType = PFD_MAIN_PLANE;
        const int format = ChoosePixelFormat(deviceContext, &wanted);
        if (format == 0 || !SetPixelFormat(deviceContext, format, &wanted)) {
            error = "no OpenGL pixel format";
            return;
        }
        context = wglCreateContext(deviceContext);
        if (!context) {
            error = "cannot create a WGL context";
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
    if (s.valid && !wglMakeCurrent(s.deviceContext, s.context)) {
        s.valid = false;
        s.error = "cannot make the WGL context current";
    }
}

GlTestContext::~GlTestContext() {
    if (shared().valid) glFinish();
}

bool GlTestContext::valid() const { return shared().valid; }

const std::string& GlTestContext::error() const { return shared().error; }

}  // namespace reef::test
