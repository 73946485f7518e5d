// The root of the application's class tree: the install-specific texts, the
// window size, the quit flag, and the registry-value operations. These work on
// the registry key attached with attachRegistryKey (the shell attaches the
// settings file's); without one they do nothing and give the fallbacks.
#pragma once

#include <cstdint>
#include <string>

namespace reef {

class RegistryKey;

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
    virtual bool OpenKey(const std::string& path);
    virtual bool CloseKey();
    virtual bool SetString(const std::string& name, const std::string& text);
    virtual bool SetDword(const std::string& name, uint32_t value);
    virtual void GetString(const std::string& name, std::string& out, const std::string& fallback);
    virtual int GetDword(const std::string& name, int fallback);
    virtual bool GetBool(const std::string& name, bool fallback);
    virtual int CountValues();
    // The name of the value at index (at most 256 characters).
    virtual bool EnumValue(int index, std::string& out);
    // The writes between these two (on any keys) are stored together or not at
    // all, so a second writer never leaves a mix of two records behind.
    virtual void BeginWriteBatch();
    // False when the writes could not be stored (true without a settings file).
    virtual bool CommitWriteBatch();

    const std::string& registryKeyPath() const { return m_registryKeyPath; }
    const std::string& dataFolder() const { return m_dataFolder; }
    const std::string& longProgramName() const { return m_longProgramName; }
    int width() const { return m_width; }
    int height() const { return m_height; }
    int bitsPerPixel() const { return m_bitsPerPixel; }
    bool quitRequested() const { return m_quit; }
    void requestQuit() { m_quit = true; }

protected:
    // The key the registry operations work on (not owned; none detaches it).
    void attachRegistryKey(RegistryKey* key) { m_registryKey = key; }

    std::string m_registryKeyPath;  // from "win32reg" of "Directory.dat"
    std::string m_dataFolder;       // ends with "/"
    std::string m_longProgramName;  // from "appname_long"
    int m_width = 800;
    int m_height = 600;
    int m_bitsPerPixel = 16;
    bool m_quit = false;

private:
    RegistryKey* m_registryKey = nullptr;
};

}  // namespace reef
