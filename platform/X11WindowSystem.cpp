#include "platform/X11WindowSystem.h"

#include <GL/gl.h>
#include <GL/glx.h>
#include <X11/XKBlib.h>
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/Xrandr.h>
#include <poll.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <set>

#include "platform/KeyTranslation.h"
#include "platform/TerminationSignal.h"

namespace reef {

namespace {

// Handle returned for the one monitor when XRandR cannot list any.
constexpr uint64_t kFallbackMonitorHandle = 0x12340042;
constexpr long kEventMask = KeyPressMask | KeyReleaseMask | ButtonPressMask | ButtonReleaseMask |
                            PointerMotionMask | ExposureMask | StructureNotifyMask | FocusChangeMask;
constexpr int kGrabAttempts = 50;  // 10 ms apart: a fresh override-redirect window may not be viewable yet
constexpr uint64_t kHitTestClient = 1;

// X errors (a preview parent that vanished, a refused mode) must not end the saver.
int g_lastXError = 0;
int ignoreXError(Display*, XErrorEvent* event) {
    g_lastXError = event->error_code;
    return 0;
}

Display* asDisplay(void* display) { return static_cast<Display*>(display); }

}  // namespace

struct X11WindowSystem::Impl {
    XVisualInfo* visual = nullptr;
    Colormap colormap = 0;
    GLXContext context = nullptr;
    Cursor invisibleCursor = 0;
    std::set<WindowHandle> hiddenCursor;
    Atom wmProtocols = 0;
    Atom wmDeleteWindow = 0;
    Atom netWmIcon = 0;
    std::vector<unsigned long> icon;  // _NET_WM_ICON: width, height, ARGB pixels
    // The primary output's mode before a change, to put it back.
    RRCrtc changedCrtc = 0;
    RRMode previousMode = 0;
    int crtcX = 0, crtcY = 0;
    Rotation rotation = RR_Rotate_0;
    std::vector<RROutput> crtcOutputs;
};

X11WindowSystem::X11WindowSystem() : m_impl(std::make_unique<Impl>()) {}

X11WindowSystem::~X11WindowSystem() {
    if (!m_display) return;
    Display* dpy = asDisplay(m_display);
    restoreDisplayMode();
    releaseContext();
    for (WindowHandle window : m_ownWindows) XDestroyWindow(dpy, window);
    if (m_impl->invisibleCursor) XFreeCursor(dpy, m_impl->invisibleCursor);
    if (m_impl->colormap) XFreeColormap(dpy, m_impl->colormap);
    if (m_impl->visual) XFree(m_impl->visual);
    XCloseDisplay(dpy);
}

void X11WindowSystem::setHostWindow(WindowHandle window, bool rootWindow) {
    m_hostWindow = window;
    m_hostIsRoot = rootWindow;
}

void X11WindowSystem::setIcon(int width, int height, const std::vector<uint32_t>& argb) {
    if (width <= 0 || height <= 0 || argb.size() != static_cast<size_t>(width) * height) return;
    m_impl->icon.assign({static_cast<unsigned long>(width), static_cast<unsigned long>(height)});
    m_impl->icon.insert(m_impl->icon.end(), argb.begin(), argb.end());
}

uint32_t X11WindowSystem::now() const {
    using namespace std::chrono;
    return static_cast<uint32_t>(duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count());
}

bool X11WindowSystem::connect() {
    if (m_display) return true;
    Display* dpy = XOpenDisplay(nullptr);
    if (!dpy) {
        if (!m_warnedNoDisplay) {
            const char* name = std::getenv("DISPLAY");
            std::fprintf(stderr, "Error: cannot open the X display %s%s%s; the saver needs a running X server.\n",
                         name ? "\"" : "(DISPLAY is not set)", name ? name : "", name ? "\"" : "");
            m_warnedNoDisplay = true;
        }
        return false;
    }
    m_display = dpy;
    XSetErrorHandler(ignoreXError);
    Bool detectable = False;
    XkbSetDetectableAutoRepeat(dpy, True, &detectable);  // repeats come as presses only
    m_impl->wmProtocols = XInternAtom(dpy, "WM_PROTOCOLS", False);
    m_impl->wmDeleteWindow = XInternAtom(dpy, "WM_DELETE_WINDOW", False);
    m_impl->netWmIcon = XInternAtom(dpy, "_NET_WM_ICON", False);

    // A double-buffered RGBA visual with a depth buffer: the scene relies on the depth test.
    int attributes[] = {GLX_RGBA, GLX_DOUBLEBUFFER, GLX_RED_SIZE, 5, GLX_GREEN_SIZE, 6, GLX_BLUE_SIZE, 5,
                        GLX_DEPTH_SIZE, 16, None};
    m_impl->visual = glXChooseVisual(dpy, DefaultScreen(dpy), attributes);
    const Window root = RootWindow(dpy, DefaultScreen(dpy));
    if (m_impl->visual) m_impl->colormap = XCreateColormap(dpy, root, m_impl->visual->visual, AllocNone);

    char blank = 0;
    Pixmap pixmap = XCreateBitmapFromData(dpy, root, &blank, 1, 1);
    XColor black{};
    m_impl->invisibleCursor = XCreatePixmapCursor(dpy, pixmap, pixmap, &black, &black, 0, 0);
    XFreePixmap(dpy, pixmap);
    return true;
}

WindowHandle X11WindowSystem::createGLWindow(WindowHandle parent, const ScreenRect& rect, bool overrideRedirect) {
    Display* dpy = asDisplay(m_display);
    XSetWindowAttributes attributes{};
    unsigned long mask = CWBackPixel | CWBorderPixel | CWEventMask;
    attributes.background_pixel = BlackPixel(dpy, DefaultScreen(dpy));
    attributes.border_pixel = 0;
    attributes.event_mask = kEventMask;
    attributes.override_redirect = overrideRedirect ? True : False;
    mask |= CWOverrideRedirect;
    Visual* visual = CopyFromParent;
    int depth = CopyFromParent;
    if (m_impl->visual) {
        visual = m_impl->visual->visual;
        depth = m_impl->visual->depth;
        attributes.colormap = m_impl->colormap;
        mask |= CWColormap;
    }
    const int width = std::max(1, rect.right - rect.left);
    const int height = std::max(1, rect.bottom - rect.top);
    g_lastXError = 0;
    const Window window = XCreateWindow(dpy, parent, rect.left, rect.top, width, height, 0, depth, InputOutput,
                                        visual, mask, &attributes);
    XSync(dpy, False);
    if (!window || g_lastXError != 0) return 0;
    XSetWMProtocols(dpy, window, &m_impl->wmDeleteWindow, 1);
    if (!m_impl->icon.empty())
        XChangeProperty(dpy, window, m_impl->netWmIcon, XA_CARDINAL, 32, PropModeReplace,
                        reinterpret_cast<const unsigned char*>(m_impl->icon.data()),
                        static_cast<int>(m_impl->icon.size()));
    m_ownWindows.push_back(window);
    return window;
}

WindowHandle X11WindowSystem::createPreviewWindow(WindowHandle parent) {
    if (parent == 0 || !connect()) return 0;
    Display* dpy = asDisplay(m_display);
    XWindowAttributes parentAttributes{};
    g_lastXError = 0;
    if (!XGetWindowAttributes(dpy, parent, &parentAttributes) || g_lastXError != 0) return 0;
    const WindowHandle window =
        createGLWindow(parent, {0, 0, parentAttributes.width, parentAttributes.height}, false);
    if (window) {
        XMapWindow(dpy, window);
        XSync(dpy, False);
    }
    return window;
}

ScreenRect X11WindowSystem::primaryMonitorRect() {
    for (const MonitorRecord& record : monitors())
        if (record.primary) return record.rect;
    Display* dpy = asDisplay(m_display);
    return {0, 0, DisplayWidth(dpy, DefaultScreen(dpy)), DisplayHeight(dpy, DefaultScreen(dpy))};
}

void X11WindowSystem::screenSize(int& width, int& height) {
    if (!connect()) {
        width = height = 0;
        return;
    }
    const ScreenRect rect = primaryMonitorRect();
    width = rect.right - rect.left;
    height = rect.bottom - rect.top;
}

WindowHandle X11WindowSystem::createFullWindow(int width, int height) {
    if (!connect()) return 0;
    Display* dpy = asDisplay(m_display);
    if (m_hostWindow || m_hostIsRoot) {
        // Inside the daemon's window: fill it; the daemon owns input and stacking.
        const WindowHandle host = m_hostIsRoot && !m_hostWindow ? RootWindow(dpy, DefaultScreen(dpy)) : m_hostWindow;
        XWindowAttributes hostAttributes{};
        g_lastXError = 0;
        if (!XGetWindowAttributes(dpy, host, &hostAttributes) || g_lastXError != 0) return 0;
        const WindowHandle window = createGLWindow(host, {0, 0, hostAttributes.width, hostAttributes.height}, false);
        if (window) XMapRaised(dpy, window);
        XSync(dpy, False);
        return window;
    }
    const ScreenRect primary = primaryMonitorRect();
    const ScreenRect rect{primary.left, primary.top, primary.left + width, primary.top + height};
    const WindowHandle window = createGLWindow(RootWindow(dpy, DefaultScreen(dpy)), rect, true);
    if (!window) return 0;
    XDefineCursor(dpy, window, m_impl->invisibleCursor);
    m_impl->hiddenCursor.insert(window);
    XMapRaised(dpy, window);
    XSync(dpy, False);
    grabInput(window);
    return window;
}

void X11WindowSystem::grabInput(WindowHandle window) {
    Display* dpy = asDisplay(m_display);
    bool keyboard = false, pointer = false;
    for (int attempt = 0; attempt < kGrabAttempts && !(keyboard && pointer); ++attempt) {
        if (!keyboard)
            keyboard = XGrabKeyboard(dpy, window, True, GrabModeAsync, GrabModeAsync, CurrentTime) == GrabSuccess;
        if (!pointer)
            pointer = XGrabPointer(dpy, window, True, ButtonPressMask | ButtonReleaseMask | PointerMotionMask,
                                   GrabModeAsync, GrabModeAsync, window, None, CurrentTime) == GrabSuccess;
        if (!(keyboard && pointer)) poll(nullptr, 0, 10);
    }
    XSetInputFocus(dpy, window, RevertToParent, CurrentTime);
    XSync(dpy, False);
}

WindowHandle X11WindowSystem::createTestWindow(int width, int height, const std::string& title) {
    if (!connect()) return 0;
    Display* dpy = asDisplay(m_display);
    const WindowHandle window = createGLWindow(RootWindow(dpy, DefaultScreen(dpy)), {20, 20, 20 + width, 20 + height}, false);
    if (!window) return 0;
    XStoreName(dpy, window, title.c_str());
    XSizeHints hints{};
    hints.flags = PPosition | PMinSize | PMaxSize;
    hints.x = hints.y = 20;
    hints.min_width = hints.max_width = width;
    hints.min_height = hints.max_height = height;
    XSetWMNormalHints(dpy, window, &hints);
    XClassHint classHint{const_cast<char*>("reefsaver"), const_cast<char*>("ReefSaver")};
    XSetClassHint(dpy, window, &classHint);
    XMapRaised(dpy, window);
    XSync(dpy, False);
    return window;
}

WindowHandle X11WindowSystem::createShadeWindow(const ScreenRect& rect) {
    if (!connect()) return 0;
    Display* dpy = asDisplay(m_display);
    const WindowHandle window = createGLWindow(RootWindow(dpy, DefaultScreen(dpy)), rect, true);
    if (!window) return 0;
    XDefineCursor(dpy, window, m_impl->invisibleCursor);
    XMapRaised(dpy, window);
    XSync(dpy, False);
    return window;
}

void X11WindowSystem::placeWindow(WindowHandle window, const ScreenRect& rect) {
    if (!m_display) return;
    Display* dpy = asDisplay(m_display);
    XMoveResizeWindow(dpy, window, rect.left, rect.top, std::max(1, rect.right - rect.left),
                      std::max(1, rect.bottom - rect.top));
    XRaiseWindow(dpy, window);
}

bool X11WindowSystem::clientSize(WindowHandle window, int& width, int& height) {
    if (!m_display) return false;
    XWindowAttributes attributes{};
    g_lastXError = 0;
    if (!XGetWindowAttributes(asDisplay(m_display), window, &attributes) || g_lastXError != 0) return false;
    width = attributes.width;
    height = attributes.height;
    return true;
}

ContextResult X11WindowSystem::createContext(WindowHandle window, int /*colourBits*/) {
    if (!m_display || !m_impl->visual) return ContextResult::NoPixelFormat;
    Display* dpy = asDisplay(m_display);
    m_impl->context = glXCreateContext(dpy, m_impl->visual, nullptr, True);
    if (!m_impl->context) return ContextResult::PixelFormatRefused;
    if (!glXMakeCurrent(dpy, window, m_impl->context)) {
        glXDestroyContext(dpy, m_impl->context);
        m_impl->context = nullptr;
        return ContextResult::PixelFormatRefused;
    }
    m_contextWindow = window;
    return ContextResult::Ok;
}

void X11WindowSystem::releaseContext() {
    if (!m_display || !m_impl->context) return;
    Display* dpy = asDisplay(m_display);
    glXMakeCurrent(dpy, None, nullptr);
    glXDestroyContext(dpy, m_impl->context);
    m_impl->context = nullptr;
    m_contextWindow = 0;
}

void X11WindowSystem::clearFrame() {
    if (m_impl->context) glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
}

void X11WindowSystem::swapBuffers() {
    if (m_display && m_impl->context) glXSwapBuffers(asDisplay(m_display), m_contextWindow);
}

// ---------------------------------------------------------------- messages

void X11WindowSystem::translateEvent(void* rawEvent) {
    XEvent& event = *static_cast<XEvent*>(rawEvent);
    const WindowHandle window = event.xany.window;
    auto push = [&](uint32_t message, uint64_t wParam, int64_t lParam) {
        m_input.push_back(Message{window, message, wParam, lParam});
    };
    switch (event.type) {
    case KeyPress:
    case KeyRelease: {
        const uint32_t virtualKey = virtualKeyFromKeysym(XLookupKeysym(&event.xkey, 0));
        if (virtualKey == 0) break;
        const int64_t lParam = 1 | (static_cast<int64_t>(event.xkey.keycode & 0xFF) << 16);
        push(event.type == KeyPress ? WM_KEYDOWN : WM_KEYUP, virtualKey, lParam);
        break;
    }
    case MotionNotify:
        push(WM_SETCURSOR, window, static_cast<int64_t>(kHitTestClient | (WM_MOUSEMOVE << 16)));
        push(WM_MOUSEMOVE, 0, packMousePosition(event.xmotion.x, event.xmotion.y));
        break;
    case ButtonPress:
    case ButtonRelease: {
        const bool down = event.type == ButtonPress;
        const int64_t position = packMousePosition(event.xbutton.x, event.xbutton.y);
        switch (event.xbutton.button) {
        case Button1: push(down ? WM_LBUTTONDOWN : WM_LBUTTONUP, 0, position); break;
        case Button2: push(down ? WM_MBUTTONDOWN : WM_MBUTTONUP, 0, position); break;
        case Button3: push(down ? WM_RBUTTONDOWN : WM_RBUTTONUP, 0, position); break;
        case Button4:
        case Button5:
            if (down) push(WM_MOUSEWHEEL, event.xbutton.button == Button4 ? (120u << 16) : (0xFF88u << 16), position);
            break;
        default: break;
        }
        break;
    }
    case Expose:
        if (event.xexpose.count == 0) push(WM_PAINT, 0, 0);
        break;
    case DestroyNotify:
        if (event.xdestroywindow.window == event.xdestroywindow.event) {
            m_input.push_back(Message{event.xdestroywindow.window, WM_DESTROY, 0, 0});
            std::erase(m_ownWindows, event.xdestroywindow.window);
        }
        break;
    case ClientMessage:
        if (static_cast<Atom>(event.xclient.message_type) == m_impl->wmProtocols &&
            static_cast<Atom>(event.xclient.data.l[0]) == m_impl->wmDeleteWindow)
            push(WM_DESTROY, 0, 0);  // the window manager's close button
        break;
    case FocusIn:
    case FocusOut:
        // Only real activation changes count; grabs and pointer moves into child windows do not.
        if (event.xfocus.mode == NotifyNormal && event.xfocus.detail != NotifyInferior &&
            event.xfocus.detail != NotifyPointer)
            push(WM_ACTIVATEAPP, event.type == FocusIn ? 1 : 0, 0);
        break;
    default:
        break;
    }
}

void X11WindowSystem::pumpEvents() {
    if (!m_display) return;
    Display* dpy = asDisplay(m_display);
    while (m_input.empty() && XPending(dpy) > 0) {
        XEvent event;
        XNextEvent(dpy, &event);
        translateEvent(&event);
    }
}

bool X11WindowSystem::peekMessage(Message& out) {
    if (m_queue.takePosted(out)) return true;
    if (terminationRequested() && !m_terminationDelivered && !m_ownWindows.empty()) {
        m_terminationDelivered = true;
        out = Message{m_ownWindows.front(), WM_DESTROY, 0, 0};
        return true;
    }
    pumpEvents();
    if (!m_input.empty()) {
        out = m_input.front();
        m_input.pop_front();
        return true;
    }
    return m_queue.takeDueTimer(now(), out);
}

bool X11WindowSystem::getMessage(Message& out) {
    for (;;) {
        if (peekMessage(out)) return out.message != WM_QUIT;
        const int timerWait = m_queue.millisecondsUntilNextTimer(now());
        if (!m_display) {
            if (timerWait < 0) {  // nothing could ever arrive
                out = Message{0, WM_QUIT, 0, 0};
                return false;
            }
            poll(nullptr, 0, timerWait);
            continue;
        }
        pollfd descriptor{ConnectionNumber(asDisplay(m_display)), POLLIN, 0};
        poll(&descriptor, 1, timerWait < 0 ? 100 : timerWait);
    }
}

void X11WindowSystem::postMessage(WindowHandle window, uint32_t message, uint64_t wParam, int64_t lParam) {
    m_queue.post(Message{window, message, wParam, lParam});
}

void X11WindowSystem::postQuitMessage(int exitCode) { m_queue.postQuit(exitCode); }

void X11WindowSystem::setTimer(WindowHandle window, uint64_t id, uint32_t milliseconds) {
    m_queue.setTimer(window, id, milliseconds, now());
}

void X11WindowSystem::killTimer(WindowHandle window, uint64_t id) { m_queue.killTimer(window, id); }

// ---------------------------------------------------------------- cursor and painting

void X11WindowSystem::setCursorVisible(WindowHandle window, bool visible) {
    if (!m_display || window == 0) return;
    const bool hidden = m_impl->hiddenCursor.count(window) != 0;
    if (hidden == !visible) return;
    Display* dpy = asDisplay(m_display);
    if (visible) {
        XUndefineCursor(dpy, window);
        m_impl->hiddenCursor.erase(window);
    } else {
        XDefineCursor(dpy, window, m_impl->invisibleCursor);
        m_impl->hiddenCursor.insert(window);
    }
}

void X11WindowSystem::fillBlack(WindowHandle window) {
    if (!m_display) return;
    Display* dpy = asDisplay(m_display);
    XSetWindowBackground(dpy, window, BlackPixel(dpy, DefaultScreen(dpy)));
    XClearWindow(dpy, window);
}

void X11WindowSystem::showMaximized(WindowHandle window) {
    if (m_display) XMapRaised(asDisplay(m_display), window);
}

void X11WindowSystem::warpPointer(WindowHandle window, int x, int y) {
    if (!m_display) return;
    XWarpPointer(asDisplay(m_display), None, window, 0, 0, 0, 0, x, y);
    // X reports no motion when the pointer already stood there; the caller must still
    // learn the new position, or it would warp again on every frame.
    m_input.push_back(Message{window, WM_MOUSEMOVE, 0, packMousePosition(x, y)});
}

// ---------------------------------------------------------------- display modes and monitors

bool X11WindowSystem::changeDisplayMode(int width, int height, int /*bitsPerPixel*/) {
    if (!connect() || width <= 0 || height <= 0) return false;
    Display* dpy = asDisplay(m_display);
    const Window root = RootWindow(dpy, DefaultScreen(dpy));
    int eventBase = 0, errorBase = 0;
    if (!XRRQueryExtension(dpy, &eventBase, &errorBase)) return false;
    XRRScreenResources* resources = XRRGetScreenResourcesCurrent(dpy, root);
    if (!resources) return false;
    bool changed = false;
    const RROutput primary = XRRGetOutputPrimary(dpy, root);
    XRROutputInfo* output = primary ? XRRGetOutputInfo(dpy, resources, primary) : nullptr;
    XRRCrtcInfo* crtc = (output && output->crtc) ? XRRGetCrtcInfo(dpy, resources, output->crtc) : nullptr;
    if (crtc) {
        for (int m = 0; m < resources->nmode && !changed; ++m) {
            const XRRModeInfo& mode = resources->modes[m];
            if (static_cast<int>(mode.width) != width || static_cast<int>(mode.height) != height) continue;
            bool offered = false;
            for (int k = 0; k < output->nmode; ++k) offered = offered || output->modes[k] == mode.id;
            if (!offered) continue;
            if (m_impl->changedCrtc == 0) {
                m_impl->changedCrtc = output->crtc;
                m_impl->previousMode = crtc->mode;
                m_impl->crtcX = crtc->x;
                m_impl->crtcY = crtc->y;
                m_impl->rotation = crtc->rotation;
                m_impl->crtcOutputs.assign(crtc->outputs, crtc->outputs + crtc->noutput);
            }
            changed = XRRSetCrtcConfig(dpy, resources, output->crtc, CurrentTime, crtc->x, crtc->y, mode.id,
                                       crtc->rotation, crtc->outputs, crtc->noutput) == RRSetConfigSuccess;
        }
        XRRFreeCrtcInfo(crtc);
    }
    if (output) XRRFreeOutputInfo(output);
    XRRFreeScreenResources(resources);
    return changed;
}

void X11WindowSystem::restoreDisplayMode() {
    if (!m_display || m_impl->changedCrtc == 0) return;
    Display* dpy = asDisplay(m_display);
    XRRScreenResources* resources = XRRGetScreenResourcesCurrent(dpy, RootWindow(dpy, DefaultScreen(dpy)));
    if (resources) {
        XRRSetCrtcConfig(dpy, resources, m_impl->changedCrtc, CurrentTime, m_impl->crtcX, m_impl->crtcY,
                         m_impl->previousMode, m_impl->rotation, m_impl->crtcOutputs.data(),
                         static_cast<int>(m_impl->crtcOutputs.size()));
        XRRFreeScreenResources(resources);
    }
    XSync(dpy, False);
    m_impl->changedCrtc = 0;
}

std::vector<MonitorRecord> X11WindowSystem::monitors() {
    std::vector<MonitorRecord> records;
    if (!connect()) return records;
    Display* dpy = asDisplay(m_display);
    int eventBase = 0, errorBase = 0, count = 0;
    XRRMonitorInfo* list = nullptr;
    if (XRRQueryExtension(dpy, &eventBase, &errorBase))
        list = XRRGetMonitors(dpy, RootWindow(dpy, DefaultScreen(dpy)), True, &count);
    for (int i = 0; i < count; ++i) {
        MonitorRecord record;
        record.primary = list[i].primary != 0;
        record.rect = {list[i].x, list[i].y, list[i].x + list[i].width, list[i].y + list[i].height};
        record.handle = static_cast<uint64_t>(i + 1);
        records.push_back(record);
    }
    if (list) XRRFreeMonitors(list);
    if (records.empty()) {
        MonitorRecord only;
        only.primary = true;
        only.rect = {0, 0, DisplayWidth(dpy, DefaultScreen(dpy)), DisplayHeight(dpy, DefaultScreen(dpy))};
        only.handle = kFallbackMonitorHandle;
        records.push_back(only);
    } else {
        bool anyPrimary = false;
        for (const MonitorRecord& r : records) anyPrimary = anyPrimary || r.primary;
        if (!anyPrimary) records.front().primary = true;  // no primary set: the first output is it
    }
    return records;
}

}  // namespace reef
