#include "platform/windows/Win32WindowSystem.h"

#include <windows.h>
#include <GL/gl.h>

#include <cstdlib>
#include <cstring>

#include "core/Diagnostics.h"
#include "engine/WideText.h"
#include "platform/windows/Win32Resources.h"

namespace reef {

namespace {

constexpr wchar_t kClassName[] = L"GLSaverWndClass";
constexpr char kWindowTitle[] = "ScreenSaverWnd";
constexpr DWORD kPreviewStyle = WS_CHILD | WS_VISIBLE;
constexpr DWORD kFullStyle = WS_POPUP | WS_VISIBLE;
constexpr DWORD kTestStyle = WS_VISIBLE | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX;
// Where the test window's client area starts on the desktop.
constexpr int kTestLeft = 20;
constexpr int kTestTop = 20;
// Depth bits asked of the pixel format: the scene draws with the depth test on.
constexpr BYTE kDepthBits = 24;

// The one live window system, for the class's static window procedure.
Win32WindowSystem* g_windowSystem = nullptr;

HWND toWindow(WindowHandle handle) { return reinterpret_cast<HWND>(static_cast<uintptr_t>(handle)); }
WindowHandle toHandle(HWND window) { return static_cast<WindowHandle>(reinterpret_cast<uintptr_t>(window)); }

std::wstring wide(const std::string& utf8) {
    const std::u16string text = fromUtf8(utf8);
    return std::wstring(text.begin(), text.end());
}

Message toMessage(const MSG& msg) {
    Message out;
    out.window = toHandle(msg.hwnd);
    out.message = msg.message;
    out.wParam = static_cast<uint64_t>(msg.wParam);
    out.lParam = static_cast<int64_t>(msg.lParam);
    return out;
}

LRESULT CALLBACK windowProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    return static_cast<LRESULT>(Win32WindowSystem::classProcedure(window, message, static_cast<uint64_t>(wParam),
                                                                  static_cast<int64_t>(lParam)));
}

ScreenRect fromRect(const RECT& r) { return ScreenRect{r.left, r.top, r.right, r.bottom}; }

BOOL CALLBACK addMonitor(HMONITOR monitor, HDC, LPRECT, LPARAM list) {
    MONITORINFO info{};
    info.cbSize = sizeof(info);
    if (!GetMonitorInfoW(monitor, &info)) return TRUE;
    MonitorRecord record;
    record.primary = (info.dwFlags & MONITORINFOF_PRIMARY) != 0;
    record.rect = fromRect(info.rcMonitor);
    record.handle = static_cast<uint64_t>(reinterpret_cast<uintptr_t>(monitor));
    reinterpret_cast<std::vector<MonitorRecord>*>(list)->push_back(record);
    return TRUE;
}

}  // namespace

Win32WindowSystem::Win32WindowSystem() : m_instance(GetModuleHandleW(nullptr)) {
    g_windowSystem = this;
    // Shared with the module: the system frees it, never DestroyIcon.
    m_resourceIcon = LoadImageW(static_cast<HINSTANCE>(m_instance), MAKEINTRESOURCEW(REEF_PROGRAM_ICON_RESOURCE),
                                IMAGE_ICON, 0, 0, LR_DEFAULTSIZE | LR_SHARED);
}

Win32WindowSystem::~Win32WindowSystem() {
    releaseContext();
    restoreDisplayMode();
    if (m_icon) DestroyIcon(static_cast<HICON>(m_icon));
    if (g_windowSystem == this) g_windowSystem = nullptr;
}

void Win32WindowSystem::setIcon(int width, int height, const std::vector<uint32_t>& argb) {
    if (width <= 0 || height <= 0 || argb.size() != static_cast<size_t>(width) * height) return;
    BITMAPV5HEADER header{};
    header.bV5Size = sizeof(header);
    header.bV5Width = width;
    header.bV5Height = -height;  // rows top first
    header.bV5Planes = 1;
    header.bV5BitCount = 32;
    header.bV5Compression = BI_BITFIELDS;
    header.bV5RedMask = 0x00FF0000;
    header.bV5GreenMask = 0x0000FF00;
    header.bV5BlueMask = 0x000000FF;
    header.bV5AlphaMask = 0xFF000000;
    void* bits = nullptr;
    HDC screen = GetDC(nullptr);
    HBITMAP colour = CreateDIBSection(screen, reinterpret_cast<BITMAPINFO*>(&header), DIB_RGB_COLORS, &bits,
                                      nullptr, 0);
    ReleaseDC(nullptr, screen);
    if (!colour) return;
    std::memcpy(bits, argb.data(), argb.size() * sizeof(uint32_t));
    HBITMAP mask = CreateBitmap(width, height, 1, 1, nullptr);
    ICONINFO info{};
    info.fIcon = TRUE;
    info.hbmColor = colour;
    info.hbmMask = mask;
    HICON icon = CreateIconIndirect(&info);
    DeleteObject(colour);
    DeleteObject(mask);
    if (!icon) return;
    if (m_icon) DestroyIcon(static_cast<HICON>(m_icon));
    m_icon = icon;
}

// Windows needs no connection; the class is registered once, here.
bool Win32WindowSystem::connect() { return registerClass(); }

bool Win32WindowSystem::registerClass() {
    if (m_classRegistered) return true;
    WNDCLASSW windowClass{};
    windowClass.style = CS_HREDRAW | CS_VREDRAW;
    windowClass.lpfnWndProc = windowProcedure;
    windowClass.hInstance = static_cast<HINSTANCE>(m_instance);
    // The program's own icon resource; the data folder's picture or the system's
    // program icon only when the program carries none.
    HICON icon = static_cast<HICON>(m_resourceIcon ? m_resourceIcon : m_icon);
    windowClass.hIcon = icon ? icon : LoadIconW(nullptr, IDI_APPLICATION);
    windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    windowClass.hbrBackground = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
    windowClass.lpszClassName = kClassName;
    m_classRegistered = RegisterClassW(&windowClass) != 0 || GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
    if (!m_classRegistered) report(Channel::Error, "Error: the window class could not be registered");
    return m_classRegistered;
}

WindowHandle Win32WindowSystem::createWindow(uint32_t extendedStyle, uint32_t style, const ScreenRect& rect,
                                             WindowHandle parent, const std::string& title) {
    if (!registerClass()) return 0;
    HWND window = CreateWindowExW(extendedStyle, kClassName, wide(title).c_str(), style, rect.left, rect.top,
                                  rect.right - rect.left, rect.bottom - rect.top, toWindow(parent), nullptr,
                                  static_cast<HINSTANCE>(m_instance), nullptr);
    return toHandle(window);
}

WindowHandle Win32WindowSystem::createPreviewWindow(WindowHandle parent) {
    HWND host = toWindow(parent);
    if (parent == 0 || !IsWindow(host)) return 0;
    RECT rect{};
    GetClientRect(host, &rect);
    AdjustWindowRect(&rect, kPreviewStyle, FALSE);
    return createWindow(0, kPreviewStyle, fromRect(rect), parent, kWindowTitle);
}

WindowHandle Win32WindowSystem::createFullWindow(int width, int height) {
    const WindowHandle window = createWindow(WS_EX_TOPMOST, kFullStyle, ScreenRect{0, 0, width, height}, 0,
                                             kWindowTitle);
    if (window) {
        // Keys and activation go to the saver, not to whatever had the focus.
        SetForegroundWindow(toWindow(window));
        SetFocus(toWindow(window));
    }
    return window;
}

WindowHandle Win32WindowSystem::createTestWindow(int width, int height, const std::string& title) {
    RECT rect{kTestLeft, kTestTop, kTestLeft + width, kTestTop + height};
    AdjustWindowRect(&rect, kTestStyle, FALSE);
    return createWindow(0, kTestStyle, fromRect(rect), 0, title);
}

WindowHandle Win32WindowSystem::createShadeWindow(const ScreenRect& rect) {
    return createWindow(WS_EX_TOPMOST, kFullStyle, rect, 0, kWindowTitle);
}

void Win32WindowSystem::placeWindow(WindowHandle window, const ScreenRect& rect) {
    SetWindowPos(toWindow(window), HWND_TOPMOST, rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top,
                 SWP_NOACTIVATE);
}

bool Win32WindowSystem::clientSize(WindowHandle window, int& width, int& height) {
    RECT rect{};
    if (!GetClientRect(toWindow(window), &rect)) return false;
    width = rect.right - rect.left;
    height = rect.bottom - rect.top;
    return true;
}

void Win32WindowSystem::screenSize(int& width, int& height) {
    width = GetSystemMetrics(SM_CXSCREEN);
    height = GetSystemMetrics(SM_CYSCREEN);
}

// ---------------------------------------------------------------- WGL

ContextResult Win32WindowSystem::createContext(WindowHandle window, int colourBits) {
    releaseContext();
    HWND hwnd = toWindow(window);
    HDC dc = GetDC(hwnd);
    PIXELFORMATDESCRIPTOR request{};
    request.nSize = sizeof(request);
    request.nVersion = 1;
    request.dwFlags = PFD_DRAW_TO_WINDOW | PFD_SUPPORT_OPENGL | PFD_DOUBLEBUFFER;
    request.iPixelType = PFD_TYPE_RGBA;
    request.cColorBits = static_cast<BYTE>(colourBits & 0xFF);
    request.cDepthBits = kDepthBits;
    request.iLayerType = PFD_MAIN_PLANE;
    const int format = dc ? ChoosePixelFormat(dc, &request) : 0;
    if (format == 0) {
        if (dc) ReleaseDC(hwnd, dc);
        return ContextResult::NoPixelFormat;
    }
    if (!SetPixelFormat(dc, format, &request)) {
        ReleaseDC(hwnd, dc);
        return ContextResult::PixelFormatRefused;
    }
    DescribePixelFormat(dc, format, sizeof(request), &request);
    HGLRC context = wglCreateContext(dc);
    if (!context || !wglMakeCurrent(dc, context)) {
        // The format was taken but no context runs on it: as good as refused.
        if (context) wglDeleteContext(context);
        ReleaseDC(hwnd, dc);
        return ContextResult::PixelFormatRefused;
    }
    m_contextWindow = hwnd;
    m_deviceContext = dc;
    m_glContext = context;
    return ContextResult::Ok;
}

void Win32WindowSystem::releaseContext() {
    if (!m_glContext) return;
    wglMakeCurrent(nullptr, nullptr);
    ReleaseDC(static_cast<HWND>(m_contextWindow), static_cast<HDC>(m_deviceContext));
    wglDeleteContext(static_cast<HGLRC>(m_glContext));
    m_glContext = nullptr;
    m_deviceContext = nullptr;
    m_contextWindow = nullptr;
}

void Win32WindowSystem::clearFrame() { glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT); }

void Win32WindowSystem::swapBuffers() {
    if (m_deviceContext) SwapBuffers(static_cast<HDC>(m_deviceContext));
}

// WGL_EXT_swap_control, where the driver offers it.
bool Win32WindowSystem::setSwapInterval(int interval) {
    using SwapInterval = BOOL(WINAPI*)(int);
    if (!m_glContext) return false;
    const auto set = reinterpret_cast<SwapInterval>(reinterpret_cast<void*>(wglGetProcAddress("wglSwapIntervalEXT")));
    return set != nullptr && set(interval) != FALSE;
}

// ---------------------------------------------------------------- messages

void Win32WindowSystem::setWindowProcedure(WindowProcedure procedure) { m_procedure = std::move(procedure); }

int64_t Win32WindowSystem::defaultWindowProc(WindowHandle window, uint32_t message, uint64_t wParam,
                                             int64_t lParam) {
    return DefWindowProcW(toWindow(window), message, static_cast<WPARAM>(wParam), static_cast<LPARAM>(lParam));
}

int64_t Win32WindowSystem::classProcedure(void* window, uint32_t message, uint64_t wParam, int64_t lParam) {
    HWND hwnd = static_cast<HWND>(window);
    if (g_windowSystem == nullptr)
        return DefWindowProcW(hwnd, message, static_cast<WPARAM>(wParam), static_cast<LPARAM>(lParam));
    return g_windowSystem->deliver(window, message, wParam, lParam);
}

int64_t Win32WindowSystem::deliver(void* window, uint32_t message, uint64_t wParam, int64_t lParam) {
    HWND hwnd = static_cast<HWND>(window);
    if (!m_procedure) return DefWindowProcW(hwnd, message, static_cast<WPARAM>(wParam), static_cast<LPARAM>(lParam));
    if (message != WM_PAINT) return m_procedure(toHandle(hwnd), message, wParam, lParam);
    // Windows sends WM_PAINT until the update region is validated: the paint
    // always begins and ends here, and the procedure decides what is drawn in it.
    PAINTSTRUCT paint{};
    m_paintContext = BeginPaint(hwnd, &paint);
    m_paintWindow = hwnd;
    const int64_t result = m_procedure(toHandle(hwnd), message, wParam, lParam);
    EndPaint(hwnd, &paint);
    m_paintContext = nullptr;
    m_paintWindow = nullptr;
    return result;
}

bool Win32WindowSystem::peekMessage(Message& out) {
    MSG msg{};
    if (!PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) return false;
    out = toMessage(msg);
    if (msg.message == WM_QUIT) return true;
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
    out.delivered = true;
    return true;
}

bool Win32WindowSystem::getMessage(Message& out) {
    MSG msg{};
    const BOOL got = GetMessageW(&msg, nullptr, 0, 0);
    out = toMessage(msg);
    if (got == 0) return false;  // WM_QUIT
    if (got < 0) {
        out.message = WM_QUIT;  // no queue to wait on: as good as told to quit
        return false;
    }
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
    out.delivered = true;
    return true;
}

void Win32WindowSystem::waitForMessage(uint32_t milliseconds) {
    MsgWaitForMultipleObjectsEx(0, nullptr, milliseconds, QS_ALLINPUT, MWMO_INPUTAVAILABLE);
}

void Win32WindowSystem::postMessage(WindowHandle window, uint32_t message, uint64_t wParam, int64_t lParam) {
    PostMessageW(toWindow(window), message, static_cast<WPARAM>(wParam), static_cast<LPARAM>(lParam));
}

void Win32WindowSystem::postQuitMessage(int exitCode) { PostQuitMessage(exitCode); }

void Win32WindowSystem::setTimer(WindowHandle window, uint64_t id, uint32_t milliseconds) {
    SetTimer(toWindow(window), static_cast<UINT_PTR>(id), milliseconds, nullptr);
}

void Win32WindowSystem::killTimer(WindowHandle window, uint64_t id) {
    KillTimer(toWindow(window), static_cast<UINT_PTR>(id));
}

// ---------------------------------------------------------------- cursor and window state

// The cursor belongs to the thread on Windows: hidden, it stays hidden until the
// next WM_SETCURSOR, which the full-screen saver answers by hiding it again.
void Win32WindowSystem::setCursorVisible(WindowHandle /*window*/, bool visible) {
    SetCursor(visible ? LoadCursorW(nullptr, IDC_ARROW) : nullptr);
}

void Win32WindowSystem::fillBlack(WindowHandle window) {
    HWND hwnd = toWindow(window);
    RECT rect{};
    GetClientRect(hwnd, &rect);
    const HBRUSH black = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
    if (m_paintContext && m_paintWindow == hwnd) {
        FillRect(static_cast<HDC>(m_paintContext), &rect, black);
        return;
    }
    HDC dc = GetDC(hwnd);
    if (!dc) return;
    FillRect(dc, &rect, black);
    ReleaseDC(hwnd, dc);
}

void Win32WindowSystem::restoreWindow(WindowHandle window) { ShowWindow(toWindow(window), SW_RESTORE); }

void Win32WindowSystem::showMaximized(WindowHandle window) { ShowWindow(toWindow(window), SW_SHOWMAXIMIZED); }

void Win32WindowSystem::warpPointer(WindowHandle window, int x, int y) {
    POINT point{x, y};
    if (ClientToScreen(toWindow(window), &point)) SetCursorPos(point.x, point.y);
}

// ---------------------------------------------------------------- display modes and monitors

bool Win32WindowSystem::changeDisplayMode(int width, int height, int bitsPerPixel) {
    DEVMODEW mode{};
    mode.dmSize = sizeof(mode);
    mode.dmFields = DM_BITSPERPEL | DM_PELSWIDTH | DM_PELSHEIGHT;
    mode.dmBitsPerPel = static_cast<DWORD>(bitsPerPixel);
    mode.dmPelsWidth = static_cast<DWORD>(width);
    mode.dmPelsHeight = static_cast<DWORD>(height);
    if (ChangeDisplaySettingsExW(nullptr, &mode, nullptr, CDS_FULLSCREEN, nullptr) != DISP_CHANGE_SUCCESSFUL)
        return false;
    m_displayModeChanged = true;
    return true;
}

// NOTE: Windows also returns to the stored mode when the process ends, however it
// ends; giving it back here restores the desktop before the window goes.
void Win32WindowSystem::restoreDisplayMode() {
    if (!m_displayModeChanged) return;
    m_displayModeChanged = false;
    ChangeDisplaySettingsExW(nullptr, nullptr, nullptr, 0, nullptr);
}

void Win32WindowSystem::setScreenSaverRunning(bool running) {
    BOOL wasRunning = FALSE;
    SystemParametersInfoW(SPI_SETSCREENSAVERRUNNING, running ? TRUE : FALSE, &wasRunning, 0);
}

std::vector<MonitorRecord> Win32WindowSystem::monitors() {
    std::vector<MonitorRecord> list;
    EnumDisplayMonitors(nullptr, nullptr, addMonitor, reinterpret_cast<LPARAM>(&list));
    return list;
}

bool Win32WindowSystem::monitorRect(uint64_t handle, ScreenRect& rect) {
    MONITORINFO info{};
    info.cbSize = sizeof(info);
    if (!GetMonitorInfoW(reinterpret_cast<HMONITOR>(static_cast<uintptr_t>(handle)), &info)) return false;
    rect = fromRect(info.rcMonitor);
    return true;
}

}  // namespace reef
