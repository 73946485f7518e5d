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
#include <cstdint>
#include <cstdlib>
#include <set>

#include "core/Diagnostics.h"
#include "platform/DisplayModeGuard.h"
#include "platform/GlDriverPin.h"
#include "platform/KeyTranslation.h"
#include "platform/TerminationSignal.h"
#include "platform/X11Errors.h"

namespace reef {

namespace {

// Handle returned for the one monitor when XRandR cannot list any.
constexpr uint64_t kFallbackMonitorHandle = 0x12340042;
constexpr long kEventMask = KeyPressMask | KeyReleaseMask | ButtonPressMask | ButtonReleaseMask |
                            PointerMotionMask | ExposureMask | StructureNotifyMask | FocusChangeMask;
constexpr int kGrabAttempts = 50;  // 10 ms apart: a fresh override-redirect window may not be viewable yet
constexpr uint64_t kHitTestClient = 1;

constexpr int kMinDepthBits = 16;

// Every request goes through here: SDL_Quit puts Xlib's default error handlers
// back (they print "X Error" and exit), so the saver's own are installed again first.
Display* asDisplay(void* display) {
    installX11ErrorHandlers();
    return static_cast<Display*>(display);
}

bool glxAttribute(Display* dpy, XVisualInfo* visual, int attribute, int minimum) {
    int value = 0;
    return glXGetConfig(dpy, visual, attribute, &value) == 0 && value >= minimum;
}

// A TrueColor GLX visual of the given X depth that is RGBA, double-buffered and
// has a depth buffer; nullptr when the server offers none.
XVisualInfo* visualOfDepth(Display* dpy, int screen, int depth) {
    XVisualInfo pattern{};
    pattern.screen = screen;
    pattern.depth = depth;
    pattern.c_class = TrueColor;
    int count = 0;
    XVisualInfo* list =
        XGetVisualInfo(dpy, VisualScreenMask | VisualDepthMask | VisualClassMask, &pattern, &count);
    VisualID found = 0;
    for (int i = 0; i < count && found == 0; ++i) {
        XVisualInfo* candidate = &list[i];
        if (glxAttribute(dpy, candidate, GLX_USE_GL, 1) && glxAttribute(dpy, candidate, GLX_RGBA, 1) &&
            glxAttribute(dpy, candidate, GLX_DOUBLEBUFFER, 1) &&
            glxAttribute(dpy, candidate, GLX_DEPTH_SIZE, kMinDepthBits))
            found = candidate->visualid;
    }
    if (list) XFree(list);
    if (found == 0) return nullptr;
    pattern.visualid = found;
    return XGetVisualInfo(dpy, VisualIDMask | VisualScreenMask, &pattern, &count);
}

// The X depth that a stored colour depth asks for: 16 bits, or 24 for true colour
// (32 bits per pixel is 24 colour bits here; a 32-bit X visual carries alpha for
// compositing and would make the saver see-through). 0: no preference.
int depthForBitsPerPixel(int bitsPerPixel) {
    if (bitsPerPixel == 16) return 16;
    if (bitsPerPixel == 24 || bitsPerPixel == 32) return 24;
    return 0;
}

bool hasRandr12(Display* dpy) {
    int eventBase = 0, errorBase = 0, major = 0, minor = 0;
    return XRRQueryExtension(dpy, &eventBase, &errorBase) && XRRQueryVersion(dpy, &major, &minor) &&
           (major > 1 || (major == 1 && minor >= 2));
}

// The attributes of a window another program gave us to draw into; false, with
// one line naming the id, when there is no such window.
bool givenWindowExists(Display* dpy, WindowHandle window, const char* purpose, XWindowAttributes& attributes) {
    clearX11Error();
    if (XGetWindowAttributes(dpy, window, &attributes) && lastX11Error() == 0) return true;
    reportf(Channel::Error, "Error: there is no window %llu (0x%llx) to draw %s.", static_cast<unsigned long long>(window),
            static_cast<unsigned long long>(window), purpose);
    return false;
}

// The saver's own window could not be made (a shade window fails quietly instead).
WindowHandle reportedIfRefused(WindowHandle window) {
    if (window == 0) reportf(Channel::Error, "Error: the X server refused the saver's window (X error %d).", lastX11Error());
    return window;
}

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
    bool modeChanged = false;
    CrtcState previousMode;
    DisplayModeGuard guard;
};

X11WindowSystem::X11WindowSystem() : m_impl(std::make_unique<Impl>()) {}

X11WindowSystem::~X11WindowSystem() {
    if (!m_display) return;
    Display* dpy = asDisplay(m_display);
    restoreDisplayMode();
    releaseContext();
    forgetDestroyedWindows();
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
            reportf(Channel::Error, "Error: cannot open the X display %s%s%s; the saver needs a running X server.",
                    name ? "\"" : "(DISPLAY is not set)", name ? name : "", name ? "\"" : "");
            m_warnedNoDisplay = true;
        }
        return false;
    }
    m_display = dpy;
    installX11ErrorHandlers();
    Bool detectable = False;
    XkbSetDetectableAutoRepeat(dpy, True, &detectable);  // repeats come as presses only
    m_impl->wmProtocols = XInternAtom(dpy, "WM_PROTOCOLS", False);
    m_impl->wmDeleteWindow = XInternAtom(dpy, "WM_DELETE_WINDOW", False);
    m_impl->netWmIcon = XInternAtom(dpy, "_NET_WM_ICON", False);
    const Window root = RootWindow(dpy, DefaultScreen(dpy));
    // A saver killed together with its watchdog may have left the mode changed.
    if (hasRandr12(dpy)) DisplayModeGuard::restoreLeftBehind(dpy);

    char blank = 0;
    Pixmap pixmap = XCreateBitmapFromData(dpy, root, &blank, 1, 1);
    XColor black{};
    m_impl->invisibleCursor = XCreatePixmapCursor(dpy, pixmap, pixmap, &black, &black, 0, 0);
    XFreePixmap(dpy, pixmap);
    return true;
}

void X11WindowSystem::chooseColourDepth(int bitsPerPixel) { m_colourBits = bitsPerPixel; }

// The visual of every saver window, chosen once before the first window: the
// stored colour depth where the server offers a GL visual of it, else the best
// double-buffered RGBA visual with a depth buffer (the scene relies on the depth test).
void X11WindowSystem::chooseVisual() {
    if (m_impl->visual) return;
    Display* dpy = asDisplay(m_display);
    const int screen = DefaultScreen(dpy);
    const int depth = depthForBitsPerPixel(m_colourBits);
    if (depth != 0) m_impl->visual = visualOfDepth(dpy, screen, depth);
    if (!m_impl->visual) {
        int attributes[] = {GLX_RGBA, GLX_DOUBLEBUFFER, GLX_RED_SIZE, 5, GLX_GREEN_SIZE, 6, GLX_BLUE_SIZE, 5,
                            GLX_DEPTH_SIZE, kMinDepthBits, None};
        m_impl->visual = glXChooseVisual(dpy, screen, attributes);
    }
    if (m_impl->visual)
        m_impl->colormap = XCreateColormap(dpy, RootWindow(dpy, screen), m_impl->visual->visual, AllocNone);
}

WindowHandle X11WindowSystem::createGLWindow(WindowHandle parent, const ScreenRect& rect, bool overrideRedirect) {
    Display* dpy = asDisplay(m_display);
    chooseVisual();
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
    clearX11Error();
    const Window window = XCreateWindow(dpy, parent, rect.left, rect.top, width, height, 0, depth, InputOutput,
                                        visual, mask, &attributes);
    XSync(dpy, False);
    if (!window || lastX11Error() != 0) return 0;
    XSetWMProtocols(dpy, window, &m_impl->wmDeleteWindow, 1);
    if (!m_impl->icon.empty())
        XChangeProperty(dpy, window, m_impl->netWmIcon, XA_CARDINAL, 32, PropModeReplace,
                        reinterpret_cast<const unsigned char*>(m_impl->icon.data()),
                        static_cast<int>(m_impl->icon.size()));
    m_ownWindows.push_back(window);
    return window;
}

WindowHandle X11WindowSystem::createPreviewWindow(WindowHandle parent) {
    if (parent == 0) {
        report(Channel::Error, "Error: the preview needs the id of the window to draw into (/p <window id>).");
        return 0;
    }
    if (!connect()) return 0;
    Display* dpy = asDisplay(m_display);
    XWindowAttributes parentAttributes{};
    if (!givenWindowExists(dpy, parent, "the preview into", parentAttributes)) return 0;
    const WindowHandle window =
        reportedIfRefused(createGLWindow(parent, {0, 0, parentAttributes.width, parentAttributes.height}, false));
    if (window) {
        XMapWindow(dpy, window);
        XSync(dpy, False);
    }
    return window;
}

ScreenRect X11WindowSystem::primaryMonitorRect() {
    for (const MonitorRecord& record : monitors())
        if (record.primary) return record.rect;
    return screenRect();
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
        if (!givenWindowExists(dpy, host, "into", hostAttributes)) return 0;
        const WindowHandle window =
            reportedIfRefused(createGLWindow(host, {0, 0, hostAttributes.width, hostAttributes.height}, false));
        if (window) XMapRaised(dpy, window);
        XSync(dpy, False);
        return window;
    }
    // Never larger than the primary monitor: beyond it the window would only cost memory.
    const ScreenRect primary = primaryMonitorRect();
    width = std::clamp(width, 1, std::max(1, primary.right - primary.left));
    height = std::clamp(height, 1, std::max(1, primary.bottom - primary.top));
    const ScreenRect rect{primary.left, primary.top, primary.left + width, primary.top + height};
    const WindowHandle window = reportedIfRefused(createGLWindow(RootWindow(dpy, DefaultScreen(dpy)), rect, true));
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
    const WindowHandle window = reportedIfRefused(
        createGLWindow(RootWindow(dpy, DefaultScreen(dpy)), {20, 20, 20 + width, 20 + height}, false));
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
    clearX11Error();
    if (!XGetWindowAttributes(asDisplay(m_display), window, &attributes) || lastX11Error() != 0) return false;
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
    keepGlDriverLoadedForLeakCheck();
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
    if (m_display && m_impl->context && !m_contextWindowGone) glXSwapBuffers(asDisplay(m_display), m_contextWindow);
}

bool X11WindowSystem::setSwapInterval(int interval) {
    if (!m_display || !m_impl->context || m_contextWindowGone) return false;
    Display* dpy = asDisplay(m_display);
    const char* extensions = glXQueryExtensionsString(dpy, DefaultScreen(dpy));
    const std::string offered = extensions ? std::string(" ") + extensions + " " : std::string();
    // The two extensions name the same control; EXT sets it per drawable.
    using SwapIntervalExt = void (*)(Display*, GLXDrawable, int);
    using SwapIntervalMesa = int (*)(unsigned int);
    if (offered.find(" GLX_EXT_swap_control ") != std::string::npos) {
        const auto set = reinterpret_cast<SwapIntervalExt>(
            glXGetProcAddressARB(reinterpret_cast<const GLubyte*>("glXSwapIntervalEXT")));
        if (set) {
            set(dpy, m_contextWindow, interval);
            return true;
        }
    }
    if (offered.find(" GLX_MESA_swap_control ") != std::string::npos) {
        const auto set = reinterpret_cast<SwapIntervalMesa>(
            glXGetProcAddressARB(reinterpret_cast<const GLubyte*>("glXSwapIntervalMESA")));
        if (set) return set(static_cast<unsigned int>(interval)) == 0;
    }
    return false;
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
            const WindowHandle gone = event.xdestroywindow.window;
            m_input.push_back(Message{gone, WM_DESTROY, 0, 0});
            std::erase(m_ownWindows, gone);
            m_impl->hiddenCursor.erase(gone);
            if (gone == m_contextWindow) m_contextWindowGone = true;  // nothing more to show there
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

// Reads every event that is already there, keeping all but noting which of our
// windows the server has destroyed.
void X11WindowSystem::forgetDestroyedWindows() {
    if (!m_display) return;
    Display* dpy = asDisplay(m_display);
    XSync(dpy, False);
    while (XPending(dpy) > 0) {
        XEvent event;
        XNextEvent(dpy, &event);
        translateEvent(&event);
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
    if (terminationRequested() && !m_terminationDelivered) {
        // Windows the server has already destroyed (the daemon's window went with
        // its child) are forgotten first, so the shutdown does not act on them.
        forgetDestroyedWindows();
        m_terminationDelivered = true;
        out = m_ownWindows.empty() ? Message{0, WM_QUIT, 0, 0} : Message{m_ownWindows.front(), WM_DESTROY, 0, 0};
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

void X11WindowSystem::waitForMessage(uint32_t milliseconds) {
    if (m_queue.hasPosted() || !m_input.empty() || terminationRequested()) return;
    int timeout = static_cast<int>(std::min<uint32_t>(milliseconds, INT32_MAX));
    const int timerWait = m_queue.millisecondsUntilNextTimer(now());
    if (timerWait >= 0 && timerWait < timeout) timeout = timerWait;
    if (!m_display) {
        poll(nullptr, 0, timeout);
        return;
    }
    // XPending also sends what is still buffered (the swap) before the sleep.
    Display* dpy = asDisplay(m_display);
    if (XPending(dpy) > 0) return;
    pollfd descriptor{ConnectionNumber(dpy), POLLIN, 0};
    poll(&descriptor, 1, timeout);
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

// X windows have no minimised or maximised state of their own here: restoring
// maps the window again (a minimised one is unmapped), maximising raises it too.
void X11WindowSystem::restoreWindow(WindowHandle window) {
    if (m_display) XMapWindow(asDisplay(m_display), window);
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

namespace {

// The output the saver draws on: XRandR's primary, else the first one lit.
RROutput primaryOutput(Display* dpy, XRRScreenResources* resources) {
    const RROutput primary = XRRGetOutputPrimary(dpy, DefaultRootWindow(dpy));
    if (primary) return primary;
    for (int i = 0; i < resources->noutput; ++i) {
        XRROutputInfo* info = XRRGetOutputInfo(dpy, resources, resources->outputs[i]);
        const bool lit = info && info->connection == RR_Connected && info->crtc != 0;
        if (info) XRRFreeOutputInfo(info);
        if (lit) return resources->outputs[i];
    }
    return 0;
}

// A mode of width x height that the output offers; 0 when it offers none.
RRMode offeredMode(XRRScreenResources* resources, XRROutputInfo* output, int width, int height) {
    for (int k = 0; k < output->nmode; ++k)
        for (int m = 0; m < resources->nmode; ++m) {
            const XRRModeInfo& mode = resources->modes[m];
            if (mode.id == output->modes[k] && static_cast<int>(mode.width) == width &&
                static_cast<int>(mode.height) == height)
                return mode.id;
        }
    return 0;
}


// The CRTC's configuration as it stands, with the screen around it.
CrtcState currentState(Display* dpy, RRCrtc crtcId, XRRCrtcInfo* crtc) {
    CrtcState state;
    state.crtc = crtcId;
    state.mode = crtc->mode;
    state.x = crtc->x;
    state.y = crtc->y;
    state.rotation = crtc->rotation;
    state.outputs.assign(crtc->outputs, crtc->outputs + crtc->noutput);
    XWindowAttributes root{};
    XGetWindowAttributes(dpy, DefaultRootWindow(dpy), &root);
    state.screenWidth = root.width;
    state.screenHeight = root.height;
    state.screenMmWidth = DisplayWidthMM(dpy, DefaultScreen(dpy));
    state.screenMmHeight = DisplayHeightMM(dpy, DefaultScreen(dpy));
    return state;
}

}  // namespace

bool X11WindowSystem::changeDisplayMode(int width, int height, int /*bitsPerPixel*/) {
    // The colour depth of X modes is the screen's and cannot change; the stored
    // depth chooses the GL visual instead (chooseColourDepth).
    if (!connect() || width <= 0 || height <= 0) return false;
    Display* dpy = asDisplay(m_display);
    if (!hasRandr12(dpy)) return false;
    XRRScreenResources* resources = XRRGetScreenResourcesCurrent(dpy, DefaultRootWindow(dpy));
    if (!resources) return false;
    bool changed = false;
    const RROutput outputId = primaryOutput(dpy, resources);
    XRROutputInfo* output = outputId ? XRRGetOutputInfo(dpy, resources, outputId) : nullptr;
    XRRCrtcInfo* crtc = (output && output->crtc) ? XRRGetCrtcInfo(dpy, resources, output->crtc) : nullptr;
    const RRMode mode = crtc ? offeredMode(resources, output, width, height) : 0;
    if (mode != 0 && mode == crtc->mode) {
        changed = true;  // already showing it
    } else if (mode != 0) {
        const CrtcState before = currentState(dpy, output->crtc, crtc);
        CrtcState wanted = before;
        wanted.mode = mode;
        // The screen grows when the new mode reaches beyond it; it is never made smaller.
        const int scale = std::max(1, before.screenWidth);
        wanted.screenWidth = std::max(before.screenWidth, crtc->x + width);
        wanted.screenHeight = std::max(before.screenHeight, crtc->y + height);
        wanted.screenMmWidth = before.screenMmWidth * wanted.screenWidth / scale;
        wanted.screenMmHeight = before.screenMmHeight * wanted.screenHeight / std::max(1, before.screenHeight);
        if (!m_impl->modeChanged) m_impl->previousMode = before;
        // The watchdog starts before the change, so there is no moment in which the
        // saver could die with the mode changed and nobody left to put it back.
        const bool watched = m_impl->guard.watching() ||
                             m_impl->guard.watch(DisplayString(dpy), m_impl->previousMode, mode);
        if (watched) {
            changed = wanted.apply(dpy);
            if (changed) {
                m_impl->modeChanged = true;
            } else {
                before.apply(dpy);  // a refused mode leaves nothing changed
                if (!m_impl->modeChanged) m_impl->guard.release();
            }
        }
    }
    if (crtc) XRRFreeCrtcInfo(crtc);
    if (output) XRRFreeOutputInfo(output);
    XRRFreeScreenResources(resources);
    return changed;
}

void X11WindowSystem::restoreDisplayMode() {
    if (!m_display || !m_impl->modeChanged) return;
    Display* dpy = asDisplay(m_display);
    if (!m_impl->previousMode.apply(dpy))
        report(Channel::Error, "Error: the previous display mode could not be restored.");
    m_impl->modeChanged = false;
    m_impl->guard.release();
}

std::vector<MonitorRecord> X11WindowSystem::monitors() {
    std::vector<MonitorRecord> records;
    if (!connect()) return records;
    Display* dpy = asDisplay(m_display);
    int count = 0;
    XRRMonitorInfo* list = nullptr;
    if (hasRandr12(dpy)) list = XRRGetMonitors(dpy, DefaultRootWindow(dpy), True, &count);
    for (int i = 0; i < count; ++i) {
        MonitorRecord record;
        record.primary = list[i].primary != 0;
        record.rect = {list[i].x, list[i].y, list[i].x + list[i].width, list[i].y + list[i].height};
        // The monitor's name stays the same while its rectangle changes, so it
        // serves as the handle by which the rectangle is read again later.
        record.handle = static_cast<uint64_t>(list[i].name);
        records.push_back(record);
    }
    if (list) XRRFreeMonitors(list);
    if (records.empty()) {
        MonitorRecord only;
        only.primary = true;
        only.rect = screenRect();
        only.handle = kFallbackMonitorHandle;
        records.push_back(only);
    } else {
        bool anyPrimary = false;
        for (const MonitorRecord& r : records) anyPrimary = anyPrimary || r.primary;
        if (!anyPrimary) records.front().primary = true;  // no primary set: the first output is it
    }
    return records;
}

bool X11WindowSystem::monitorRect(uint64_t handle, ScreenRect& rect) {
    for (const MonitorRecord& record : monitors()) {
        if (record.handle != handle) continue;
        rect = record.rect;
        return true;
    }
    return false;
}

// The whole screen as the server has it now (Display's cached size misses XRandR changes).
ScreenRect X11WindowSystem::screenRect() {
    Display* dpy = asDisplay(m_display);
    XWindowAttributes root{};
    XGetWindowAttributes(dpy, DefaultRootWindow(dpy), &root);
    return {0, 0, root.width, root.height};
}

}  // namespace reef
