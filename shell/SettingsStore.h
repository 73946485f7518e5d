// The root of the application's class tree: the install-specific texts, the
// window size, the quit flag, and the registry-value operations with
// do-nothing defaults (the shell implements them on the settings file).
#pragma once

#include <cstdint>
#include <string>

namespace reef {

class SettingsStore {
public:
    virtual ~SettingsStore() = default;

    virtual bool BuildScene() = 0;
    virtual bool InitGL() = 0;
    virtual void FrameMove() = 0;
    virtual void Render() = 0;
    virtual bool ReleaseGLObjects() = 0;
    virtual bool Cleanup() = 0;
    virtual bool PostFrame() = 0;

    // Registry operations on the one open key. Names and texts are narrow (UTF-8).
    virtual bool OpenKey(const std::string& /*path*/) { return false; }
    virtual bool CloseKey() { return false; }
    virtual bool SetString(const std::string& /*name*/, const std::string& /*text*/) { return false; }
    virtual bool SetDword(const std::string& /*name*/, uint32_t /*value*/) { return false; }
    virtual void GetString(const std::string& /*name*/, std::string& out, const std::string& fallback) {
        out = fallback;
    }
    virtual int GetDword(const std::string& /*name*/, int fallback) { return fallback; }
    virtual bool GetBool(const std::string& /*name*/, bool fallback) { return fallback; }
    virtual int CountValues() { return 0; }
    // The name of the value at index (at most 256 characters).
    virtual bool EnumValue(int /*index*/, std::string& /*out*/) { return false; }

    const std::string& registryKeyPath() const { return m_registryKeyPath; }
    const std::string& dataFolder() const { return m_dataFolder; }
    const std::string& longProgramName() const { return m_longProgramName; }
    int width() const { return m_width; }
    int height() const { return m_height; }
    int bitsPerPixel() const { return m_bitsPerPixel; }
    bool quitRequested() const { return m_quit; }
    void requestQuit() { m_quit = true; }

protected:
    std::string m_registryKeyPath;  // from "win32reg" of "Directory.dat"
    std::string m_dataFolder;       // ends with "/"
    std::string m_longProgramName;  // from "appname_long"
    int m_width = 800;
    int m_height = 600;
    int m_bitsPerPixel = 16;
    bool m_quit = false;
};

}  // namespace reef
