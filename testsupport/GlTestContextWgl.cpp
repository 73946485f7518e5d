// The shared test context on Windows: a hidden window of its own class with a
// double-buffered RGBA pixel format and a WGL context.
#include <windows.h>

#include "testsupport/SharedGlContext.h"

namespace reef::test {

namespace {

HDC g_deviceContext = nullptr;
HGLRC g_context = nullptr;

}  // namespace

std::string openSharedGlContext() {
    const HINSTANCE instance = GetModuleHandleW(nullptr);
    WNDCLASSW windowClass{};
    windowClass.style = CS_OWNDC;
    windowClass.lpfnWndProc = DefWindowProcW;
    windowClass.hInstance = instance;
    windowClass.lpszClassName = L"ReefGlTestContext";
    if (!RegisterClassW(&windowClass)) return "cannot register the window class";
    const HWND window = CreateWindowExW(0, windowClass.lpszClassName, L"GL tests", WS_OVERLAPPEDWINDOW, 0, 0, 64, 64,
                                        nullptr, nullptr, instance, nullptr);
    if (!window) return "cannot create a window";
    g_deviceContext = GetDC(window);
    PIXELFORMATDESCRIPTOR wanted{};
    wanted.nSize = sizeof wanted;
    wanted.nVersion = 1;
    wanted.dwFlags = PFD_DRAW_TO_WINDOW | PFD_SUPPORT_OPENGL | PFD_DOUBLEBUFFER;
    wanted.iPixelType = PFD_TYPE_RGBA;
    wanted.cColorBits = 24;
    wanted.cDepthBits = 16;
    wanted.iLayerType = PFD_MAIN_PLANE;
    const int format = ChoosePixelFormat(g_deviceContext, &wanted);
    if (format == 0 || !SetPixelFormat(g_deviceContext, format, &wanted)) return "no OpenGL pixel format";
    g_context = wglCreateContext(g_deviceContext);
    if (!g_context) return "cannot create a WGL context";
    return {};
}

bool makeSharedGlContextCurrent() { return wglMakeCurrent(g_deviceContext, g_context); }

}  // namespace reef::test
