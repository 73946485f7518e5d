// A saver with no scene: every scene operation succeeds and does nothing, for
// tests of the shell's own parts (switches, settings, dialogs).
#pragma once

#include "shell/GLSaver.h"

namespace reef {

class SceneFreeSaver : public GLSaver {
public:
    using GLSaver::GLSaver;
    bool BuildScene() override { return true; }
    bool InitGL() override { return true; }
    void FrameMove() override {}
    void Render() override {}
    bool ReleaseGLObjects() override { return true; }
    bool Cleanup() override { return true; }
};

}  // namespace reef
