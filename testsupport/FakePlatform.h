// Scripted stand-ins for the window system and the process services, so the
// shell's start-up, message table and frame loop run without X or SDL.
#pragma once

#include <stdlib.h>

#include <deque>
#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "engine/AudioMixer.h"
#include "platform/RegistryStore.h"
#include "platform/SystemServices.h"
#include "platform/WindowSystem.h"
#include "testsupport/TempFolder.h"

namespace reef {

class MemoryRegistry : public RegistryStore {
public:
    bool createKey(const std::string& key) override {
        keys[key];
        return true;
    }
    bool setDword(const std::string& key, const std::string& name, uint32_t value) override {
        keys[key][name] = Value{true, value, {}};
        return true;
    }
    bool setString(const std::string& key, const std::string& name, const std::string& value) override {
        keys[key][name] = Value{false, 0, value};
        return true;
    }
    std::optional<uint32_t> getDword(const std::string& key, const std::string& name) override {
        auto k = keys.find(key);
        if (k == keys.end()) return std::nullopt;
        auto v = k->second.find(name);
        if (v == k->second.end() || !v->second.isDword) return std::nullopt;
        return v->second.dword;
    }
    std::optional<std::string> getString(const std::string& key, const std::string& name) override {
        auto k = keys.find(key);
        if (k == keys.end()) return std::nullopt;
        auto v = k->second.find(name);
        if (v == k->second.end() || v->second.isDword) return std::nullopt;
        return v->second.text;
    }
    std::vector<std::string> valueNames(const std::string& key) override {
        std::vector<std::string> names;
        auto k = keys.find(key);
        if (k != keys.end())
            for (const auto& [name, value] : k->second) names.push_back(name);
        return names;
    }

    struct Value {
        bool isDword = false;
        uint32_t dword = 0;
        std::string text;
    };
    std::map<std::string, std::map<std::string, Value>> keys;
};

// Records the mixer calls; every chunk "loads" unless its path is listed as missing.
class RecordingMixer : public AudioMixer {
public:
    int openAudio(int, int, int, int) override {
        calls.push_back("open");
        return openResult;
    }
    ChunkHandle loadWAV(const std::string& path) override {
        calls.push_back("load " + path);
        return path.find("missing") == std::string::npos ? &chunkStorage : nullptr;
    }
    int playChannelTimed(int, ChunkHandle, int loops, int) override {
        calls.push_back("play " + std::to_string(loops));
        return 0;
    }
    void haltChannel(int) override { calls.push_back("halt-channel"); }
    void haltMusic() override { calls.push_back("halt-music"); }
    void freeChunk(ChunkHandle) override { calls.push_back("free"); }
    void closeAudio() override { calls.push_back("close"); }

    int openResult = 0;
    int chunkStorage = 0;
    std::vector<std::string> calls;
};

// A program beside a data folder that holds one placeholder file: enough for
// the saver to start, while every asset of the reef is missing. Made once per
// test process and removed when it ends.
inline const std::string& bareProgramPath() {
    static const test::TempFolder folder;
    static const std::string path = [] {
        std::filesystem::create_directories(folder.file("Marevo2"));
        std::ofstream(folder.file("Marevo2/placeholder")) << "no data\n";
        return folder.file("reefsaver_plain");
    }();
    return path;
}

class FakeSystem : public SystemServices {
public:
    void setIdlePriority() override { calls.push_back("idle"); }
    int platformId() override { return platform; }
    std::string startSdl() override {
        calls.push_back("sdl-start");
        return sdlError;
    }
    void stopSdl() override { calls.push_back("sdl-stop"); }
    void* loadModule(const std::string& name) override {
        calls.push_back("load " + name);
        return modules.count(name) ? modules[name] : nullptr;
    }
    void* findSymbol(void* /*module*/, const char* name) override {
        return symbols.count(name) ? symbols[name] : nullptr;
    }
    void freeModule(void* /*module*/) override { calls.push_back("free-module"); }
    void showError(const std::string& text) override {
        errors.push_back(text);
        ++dialogs;
    }
    void printError(const std::string& text) override { errors.push_back(text); }
    void debugOutput(const std::string&) override {}
    std::string programPath() override { return programPathValue; }
    RegistryStore& registry() override { return registryStore; }
    AudioMixer& audioMixer() override { return mixer; }

    int platform = 2;
    std::string programPathValue = bareProgramPath();
    std::string sdlError;
    std::vector<std::string> calls;
    std::vector<std::string> errors;
    int dialogs = 0;  // errors that were shown as a dialog too
    std::map<std::string, void*> modules;
    std::map<std::string, void*> symbols;
    MemoryRegistry registryStore;
    RecordingMixer mixer;
};

class FakeWindows : public WindowSystem {
public:
    bool connect() override { return canConnect; }
    WindowHandle createPreviewWindow(WindowHandle parent) override {
        calls.push_back("preview " + std::to_string(parent));
        return (canConnect && parent != 0 && parent != missingParent) ? kMain : 0;
    }
    WindowHandle createFullWindow(int width, int height) override {
        calls.push_back("full " + std::to_string(width) + "x" + std::to_string(height));
        return canConnect ? kMain : 0;
    }
    WindowHandle createTestWindow(int width, int height, const std::string& title) override {
        calls.push_back("test " + std::to_string(width) + "x" + std::to_string(height) + " " + title);
        return canConnect ? kMain : 0;
    }
    WindowHandle createShadeWindow(const ScreenRect& rect) override {
        shades.push_back(rect);
        return 100 + shades.size();
    }
    void placeWindow(WindowHandle, const ScreenRect& rect) override {
        ++placed;
        placedAt.push_back(rect);
    }
    bool clientSize(WindowHandle, int& width, int& height) override {
        width = clientWidth;
        height = clientHeight;
        return true;
    }
    void screenSize(int& width, int& height) override {
        width = screenWidth;
        height = screenHeight;
    }
    ContextResult createContext(WindowHandle, int bits) override {
        calls.push_back("context " + std::to_string(bits));
        return contextResult;
    }
    void releaseContext() override { calls.push_back("release-context"); }
    void clearFrame() override { calls.push_back("clear"); }
    void swapBuffers() override { calls.push_back("swap"); }
    bool setSwapInterval(int interval) override {
        calls.push_back("swap-interval " + std::to_string(interval));
        return true;
    }
    void waitForMessage(uint32_t milliseconds) override {
        waits.push_back(milliseconds);
        if (onWait) onWait(milliseconds);
    }
    bool peekMessage(Message& out) override {
        if (!posted.empty()) {
            out = posted.front();
            posted.pop_front();
            return true;
        }
        if (quit) {
            out = Message{0, WM_QUIT, 0, 0};
            return true;
        }
        if (!script.empty()) {
            // Script entries with message WM_NULL stand for "queue empty this time".
            out = script.front();
            script.pop_front();
            return out.message != WM_NULL;
        }
        if (timerArmed) {
            timerArmed = false;
            out = Message{kMain, WM_TIMER, 1, 0};
            return true;
        }
        return false;
    }
    bool getMessage(Message& out) override {
        if (peekMessage(out)) return out.message != WM_QUIT;
        out = Message{0, WM_QUIT, 0, 0};
        return false;
    }
    void postMessage(WindowHandle window, uint32_t message, uint64_t wParam, int64_t lParam) override {
        posted.push_back(Message{window, message, wParam, lParam});
    }
    void postQuitMessage(int) override {
        calls.push_back("post-quit");
        quit = true;
    }
    void setTimer(WindowHandle, uint64_t id, uint32_t ms) override {
        calls.push_back("set-timer " + std::to_string(id) + " " + std::to_string(ms));
        timerArmed = true;
    }
    void killTimer(WindowHandle, uint64_t id) override { calls.push_back("kill-timer " + std::to_string(id)); }
    void setCursorVisible(WindowHandle, bool visible) override {
        cursorVisible = visible;
        calls.push_back(visible ? "cursor-shown" : "cursor-hidden");
    }
    void fillBlack(WindowHandle) override { calls.push_back("fill-black"); }
    void restoreWindow(WindowHandle) override { calls.push_back("restore"); }
    void showMaximized(WindowHandle) override { calls.push_back("maximize"); }
    void warpPointer(WindowHandle, int x, int y) override {
        calls.push_back("warp " + std::to_string(x) + "," + std::to_string(y));
    }
    // A mode that works becomes the screen's size, as on a real display.
    bool changeDisplayMode(int width, int height, int bits) override {
        calls.push_back("mode " + std::to_string(width) + "x" + std::to_string(height) + "x" + std::to_string(bits));
        if (!modeChangeWorks) return false;
        screenWidth = width;
        screenHeight = height;
        return true;
    }
    void restoreDisplayMode() override { calls.push_back("restore-mode"); }
    void setScreenSaverRunning(bool running) override {
        calls.push_back(running ? "saver-running" : "saver-stopped");
    }
    std::vector<MonitorRecord> monitors() override { return monitorList; }
    bool monitorRect(uint64_t handle, ScreenRect& rect) override {
        for (const MonitorRecord& record : monitorList)
            if (record.handle == handle) {
                rect = record.rect;
                return true;
            }
        return false;
    }
    void chooseColourDepth(int bits) override { calls.push_back("depth " + std::to_string(bits)); }
    bool drawsIntoHostWindow() const override { return hostWindow; }

    std::vector<uint32_t> waits;                   // each waitForMessage, in milliseconds
    std::function<void(uint32_t)> onWait;          // e.g. a manual clock moving on while the loop sleeps
    static constexpr WindowHandle kMain = 42;
    bool canConnect = true;
    WindowHandle missingParent = 9999;
    int clientWidth = 800, clientHeight = 600;
    int screenWidth = 1280, screenHeight = 1024;
    ContextResult contextResult = ContextResult::Ok;
    bool modeChangeWorks = true;
    bool hostWindow = false;
    bool quit = false;
    bool timerArmed = false;
    bool cursorVisible = true;
    int placed = 0;
    std::deque<Message> posted;
    std::deque<Message> script;
    std::vector<std::string> calls;
    std::vector<ScreenRect> shades;
    std::vector<ScreenRect> placedAt;
    std::vector<MonitorRecord> monitorList{{true, false, {0, 0, 1280, 1024}, 1}};
};

}  // namespace reef
