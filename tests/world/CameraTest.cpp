#include "world/Camera.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

#include "core/Clock.h"
#include "world/CameraAuto.h"

namespace reef {
namespace {

void setLevelView(Camera& camera) { camera.set({0, 2, -7}, {0, 0, 1}, {0, 1, 0}); }

// The view direction's elevation in degrees (positive looks up).
float elevation(const Camera& camera) {
    const Vec3 d = sub(camera.worldCenter(), camera.worldEye());
    return std::atan2(d.y, std::sqrt(d.x * d.x + d.z * d.z)) * kRadiansToDegrees;
}

TEST(Camera, SetStoresNegatedZAndPitchTurnsTheView) {
    ManualClock clock;
    Camera camera;
    setLevelView(camera);
    EXPECT_FLOAT_EQ(camera.eye().z, 7);
    EXPECT_FLOAT_EQ(camera.center().z, -1);
    const float start = elevation(camera);
    // Negative tilts raise the view, positive ones lower it; the eye never moves.
    camera.pitchBy(-25);
    EXPECT_NEAR(elevation(camera) - start, 25.0f, 1e-3f);
    EXPECT_FLOAT_EQ(camera.pitch(), -25);
    camera.pitchBy(33);
    EXPECT_NEAR(elevation(camera) - start, -8.0f, 1e-3f);
    EXPECT_FLOAT_EQ(camera.worldEye().x, 0);
    EXPECT_FLOAT_EQ(camera.worldEye().y, 2);
    EXPECT_FLOAT_EQ(camera.worldEye().z, -7);
    // The distance to the centre is kept.
    EXPECT_NEAR(distance(camera.eye(), camera.center()), std::sqrt(68.0f), 1e-3f);
    setLevelView(camera);
    EXPECT_EQ(camera.pitch(), 0);
}

TEST(Camera, PitchIsClampedTo89) {
    ManualClock clock;
    Camera camera;
    setLevelView(camera);
    const Vec3 d0 = normalized(sub(camera.center(), camera.eye()));
    auto turnedBy = [&] {
        const Vec3 d = normalized(sub(camera.center(), camera.eye()));
        return std::acos(std::clamp(dot(d0, d), -1.0f, 1.0f)) * kRadiansToDegrees;
    };
    camera.pitchBy(100);
    EXPECT_FLOAT_EQ(camera.pitch(), 89);
    EXPECT_NEAR(turnedBy(), 89.0f, 1e-2f);
    camera.pitchBy(5);  // already at the limit: no further turn
    EXPECT_FLOAT_EQ(camera.pitch(), 89);
    EXPECT_NEAR(turnedBy(), 89.0f, 1e-2f);
    camera.pitchBy(-300);
    EXPECT_FLOAT_EQ(camera.pitch(), -89);
}

TEST(Camera, KeyTiltStepsHalfADegreePerFrame) {
    ManualClock clock(50);
    Camera camera;
    setLevelView(camera);
    clock.advance(16);
    camera.keyTilt(false, true);
    EXPECT_FLOAT_EQ(camera.pitch(), 0.5f);
    EXPECT_EQ(camera.lastTicks(), 66u);
    camera.keyTilt(true, false);
    camera.keyTilt(true, false);
    EXPECT_FLOAT_EQ(camera.pitch(), -0.5f);
    camera.keyTilt(true, true);  // both: down, then up
    EXPECT_FLOAT_EQ(camera.pitch(), -0.5f);
}

struct AutoRig {
    ManualClock clock{0};
    Camera camera;
    CameraAuto tilt;
    AutoRig() { setLevelView(camera); }
    // One frame as the frame update runs it: clear the flag, then the tilt.
    void frame(int dt, int speed, int top, int bottom) {
        clock.advance(static_cast<uint32_t>(dt));
        tilt.clearMoving();
        tilt.updateAuto(camera, dt, speed, top, bottom);
    }
};

TEST(CameraAuto, TiltsUpRestsAndComesBack) {
    AutoRig rig;
    // The frames in which the flag was seen set, counted over one whole cycle.
    int movingFrames = 0;
    auto frame = [&] {
        rig.frame(20, 5, 2, 3);
        if (rig.tilt.moving()) ++movingFrames;
    };
    // Rests at the level view for the first 10 seconds.
    int frames = 0;
    while (rig.tilt.motion() == CameraAuto::Motion::Rest) {
        frame();
        ++frames;
        ASSERT_LT(frames, 1000);
    }
    EXPECT_EQ(frames, 501);  // strictly more than 10000 ms
    EXPECT_TRUE(rig.tilt.moving());  // the frame in which the tilt starts
    EXPECT_EQ(rig.tilt.motion(), CameraAuto::Motion::Up);
    // 0.1 degree per 20 ms frame: 250 frames to -25; the flag is not renewed on the way.
    int tiltFrames = 0;
    while (rig.camera.pitch() > -25.0f + 1e-3f) {
        frame();
        ++tiltFrames;
        ASSERT_FALSE(rig.tilt.moving()) << tiltFrames;
        ASSERT_LT(tiltFrames, 400);
    }
    EXPECT_NEAR(tiltFrames, 250, 1);
    // The next updates find the limit passed and rest CameraFixTop seconds.
    while (rig.tilt.motion() == CameraAuto::Motion::Up) frame();
    EXPECT_EQ(rig.tilt.motion(), CameraAuto::Motion::Rest);
    EXPECT_FALSE(rig.tilt.moving());
    EXPECT_EQ(rig.tilt.restDuration(), 2000);
    const float top = rig.camera.pitch();
    int rest = 0;
    while (rig.tilt.motion() == CameraAuto::Motion::Rest) {
        frame();
        ++rest;
    }
    EXPECT_EQ(rest, 101);
    EXPECT_EQ(rig.tilt.motion(), CameraAuto::Motion::Down);
    EXPECT_TRUE(rig.tilt.moving());
    EXPECT_FLOAT_EQ(rig.camera.pitch(), top);
    while (rig.tilt.motion() == CameraAuto::Motion::Down) frame();
    EXPECT_EQ(rig.tilt.restDuration(), 3000);
    EXPECT_GE(rig.camera.pitch(), 0.0f);
    EXPECT_LT(rig.camera.pitch(), 0.2f);  // overshoot of at most one step
    EXPECT_FLOAT_EQ(rig.camera.worldEye().z, -7);
    // Up to the next start: the highlight stood still in exactly the two frames that
    // started a tilt, out of more than a thousand.
    while (rig.tilt.motion() == CameraAuto::Motion::Rest) frame();
    EXPECT_EQ(movingFrames, 3);  // up, down, and up again
}

TEST(CameraAuto, ZeroRestAndZeroSpeed) {
    // CameraFixTop 0: down again in the first frame after reaching the top.
    AutoRig rig;
    while (rig.tilt.motion() != CameraAuto::Motion::Up) rig.frame(50, 9, 0, 30);
    while (rig.tilt.motion() == CameraAuto::Motion::Up) rig.frame(50, 9, 0, 30);
    rig.frame(50, 9, 0, 30);
    EXPECT_EQ(rig.tilt.motion(), CameraAuto::Motion::Down);

    // CameraSpeed 0: the view never leaves 0 and the tilt never ends, but the flag
    // marks only the frame it started in, so the highlight goes on shimmering.
    AutoRig still;
    while (still.tilt.motion() != CameraAuto::Motion::Up) still.frame(100, 0, 30, 30);
    EXPECT_TRUE(still.tilt.moving());
    for (int i = 0; i < 500; ++i) {
        still.frame(100, 0, 30, 30);
        ASSERT_EQ(still.tilt.motion(), CameraAuto::Motion::Up);
        ASSERT_FALSE(still.tilt.moving());
    }
    EXPECT_EQ(still.camera.pitch(), 0);
}

}  // namespace
}  // namespace reef
