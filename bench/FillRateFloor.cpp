// The fill-rate floor the reef is measured against: a window the size of the X
// screen that each frame clears and draws four full-screen, blended, textured
// quads (256 x 256 RGBA textures, OpenGL 1.1 immediate mode), then swaps. Any
// screensaver with a few full-screen layers pays at least this much per frame.
//
// Prints one line of "name=value" pairs, the same measures scene_bench reports
// for the reef:
//   fps            steady-state frames per second (frame = draw + glFinish + swap)
//   cpu_ms         process CPU time per steady-state frame (all threads)
//   peak_rss_MiB   getrusage ru_maxrss at the end
//   startup_ms     program start to the end of the first frame's swap
//   width, height  the window's size
// Environment: FLOOR_FRAMES (default 300), FLOOR_WARMUP (default 100).
#include <GL/gl.h>
#include <GL/glx.h>
#include <X11/Xlib.h>
#include <sys/resource.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <vector>

namespace {

using SteadyClock = std::chrono::steady_clock;
constexpr int kLayers = 4;
constexpr int kTextureSize = 256;

int envInt(const char* name, int fallback) {
    const char* text = std::getenv(name);
    if (!text || !*text) return fallback;
    const int value = std::atoi(text);
    return value > 0 ? value : fallback;
}

double processCpuMs() {
    timespec t{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) * 1000.0 + static_cast<double>(t.tv_nsec) / 1.0e6;
}

double peakRssMiB() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return static_cast<double>(usage.ru_maxrss) / 1024.0;
}

// A soft pattern with partial alpha, different per layer, so every layer blends.
GLuint makeLayerTexture(int layer) {
    std::vector<unsigned char> texels(kTextureSize * kTextureSize * 4);
    for (int y = 0; y < kTextureSize; ++y)
        for (int x = 0; x < kTextureSize; ++x) {
            unsigned char* t = &texels[(y * kTextureSize + x) * 4];
            t[0] = static_cast<unsigned char>((x * (layer + 1)) & 0xFF);
            t[1] = static_cast<unsigned char>((y * (layer + 2)) & 0xFF);
            t[2] = static_cast<unsigned char>(((x ^ y) + layer * 60) & 0xFF);
            t[3] = static_cast<unsigned char>(96 + ((x + y) & 0x7F));
        }
    GLuint name = 0;
    glGenTextures(1, &name);
    glBindTexture(GL_TEXTURE_2D, name);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, kTextureSize, kTextureSize, 0, GL_RGBA, GL_UNSIGNED_BYTE,
                 texels.data());
    return name;
}

void drawFrame(const GLuint* textures, int frame) {
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    const float shift = static_cast<float>(frame % 256) / 256.0f;
    for (int layer = 0; layer < kLayers; ++layer) {
        glBindTexture(GL_TEXTURE_2D, textures[layer]);
        const float s = shift * static_cast<float>(layer + 1);
        glBegin(GL_QUADS);
        glTexCoord2f(s, 0.0f);
        glVertex2f(-1.0f, -1.0f);
        glTexCoord2f(s + 2.0f, 0.0f);
        glVertex2f(1.0f, -1.0f);
        glTexCoord2f(s + 2.0f, 2.0f);
        glVertex2f(1.0f, 1.0f);
        glTexCoord2f(s, 2.0f);
        glVertex2f(-1.0f, 1.0f);
        glEnd();
    }
}

}  // namespace

int main() {
    const SteadyClock::time_point start = SteadyClock::now();
    const int frames = envInt("FLOOR_FRAMES", 300);
    const int warmup = envInt("FLOOR_WARMUP", 100);

    Display* display = XOpenDisplay(nullptr);
    if (!display) {
        std::fprintf(stderr, "fill_rate_floor: no X display\n");
        return 1;
    }
    const int screen = DefaultScreen(display);
    const int width = DisplayWidth(display, screen);
    const int height = DisplayHeight(display, screen);
    int attributes[] = {GLX_RGBA, GLX_DOUBLEBUFFER, GLX_RED_SIZE, 8, GLX_GREEN_SIZE, 8, GLX_BLUE_SIZE, 8,
                        GLX_DEPTH_SIZE, 16, None};
    XVisualInfo* visual = glXChooseVisual(display, screen, attributes);
    if (!visual) {
        std::fprintf(stderr, "fill_rate_floor: no double-buffered RGB visual\n");
        return 1;
    }
    XSetWindowAttributes windowAttributes{};
    windowAttributes.colormap = XCreateColormap(display, RootWindow(display, screen), visual->visual, AllocNone);
    windowAttributes.override_redirect = True;
    const Window window = XCreateWindow(display, RootWindow(display, screen), 0, 0, width, height, 0, visual->depth,
                                        InputOutput, visual->visual, CWColormap | CWOverrideRedirect,
                                        &windowAttributes);
    XMapRaised(display, window);
    const GLXContext context = glXCreateContext(display, visual, nullptr, True);
    glXMakeCurrent(display, window, context);

    glViewport(0, 0, width, height);
    glEnable(GL_TEXTURE_2D);
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glEnable(GL_DEPTH_TEST);
    glDepthFunc(GL_LEQUAL);
    GLuint textures[kLayers];
    for (int layer = 0; layer < kLayers; ++layer) textures[layer] = makeLayerTexture(layer);

    drawFrame(textures, 0);
    glFinish();
    glXSwapBuffers(display, window);
    const double startupMs = std::chrono::duration<double, std::milli>(SteadyClock::now() - start).count();

    for (int i = 1; i <= warmup; ++i) {
        drawFrame(textures, i);
        glFinish();
        glXSwapBuffers(display, window);
    }
    const double cpuBefore = processCpuMs();
    const SteadyClock::time_point timed = SteadyClock::now();
    for (int i = 0; i < frames; ++i) {
        drawFrame(textures, warmup + 1 + i);
        glFinish();
        glXSwapBuffers(display, window);
    }
    glFinish();
    const double wallMs = std::chrono::duration<double, std::milli>(SteadyClock::now() - timed).count();
    const double cpuMs = processCpuMs() - cpuBefore;

    std::printf("fps=%.2f cpu_ms=%.2f peak_rss_MiB=%.1f startup_ms=%.1f width=%d height=%d\n",
                frames * 1000.0 / wallMs, cpuMs / frames, peakRssMiB(), startupMs, width, height);

    glDeleteTextures(kLayers, textures);
    glXMakeCurrent(display, None, nullptr);
    glXDestroyContext(display, context);
    XDestroyWindow(display, window);
    XFree(visual);
    XCloseDisplay(display);
    return 0;
}
