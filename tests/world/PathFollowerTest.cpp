#include "world/PathFollower.h"

#include <gtest/gtest.h>

#include <cmath>

#include "core/Clock.h"
#include "engine/SceneObject.h"

namespace reef {
namespace {

constexpr uint32_t kFrame = 20;  // ms

struct Rig {
    ManualClock clock{1000};
    SceneObject object;
    PathFollower follower;
    Rig() { follower.setObject(&object); }
    void frames(int n) {
        for (int i = 0; i < n; ++i) {
            clock.advance(kFrame);
            follower.update();
        }
    }
};

TEST(PathFollower, InterpolationDependsOnWaypointCount) {
    // One waypoint: placed once, never moves.
    {
        Rig rig;
        rig.follower.addWaypoint(3, -2, 5);
        rig.frames(10);
        EXPECT_TRUE(rig.follower.stopped());
        const Vec3 p = rig.object.getPosition();
        EXPECT_FLOAT_EQ(p.x, 3);
        EXPECT_FLOAT_EQ(p.y, -2);
        EXPECT_FLOAT_EQ(p.z, 5);
        EXPECT_EQ(rig.object.flags() & SceneObject::kEulerPlacement, 0u);
    }
    // None: the object is not touched.
    {
        Rig rig;
        rig.object.placeAt(7, 8, 9);
        rig.frames(10);
        EXPECT_TRUE(rig.follower.stopped());
        EXPECT_FLOAT_EQ(rig.object.getPosition().x, 7);
        EXPECT_FLOAT_EQ(rig.object.getPosition().z, 9);
    }
    // Two and three waypoints: straight lines (an off-line control point would bend a spline).
    for (int count : {2, 3}) {
        Rig rig;
        rig.follower.addWaypoint(0, 0, 0);
        rig.follower.addWaypoint(10, 0, 0);
        if (count == 3) rig.follower.addWaypoint(5, 0, 10);
        for (int i = 0; i < 100; ++i) {
            rig.frames(1);
            ASSERT_TRUE(rig.follower.linear());
            ASSERT_EQ(rig.follower.getIndex(), 0);
            ASSERT_NEAR(rig.object.getPosition().z, 0.0f, 1e-5f) << count;
        }
    }
    // Four: the spline, which bends away from the straight chord on the first segment.
    {
        Rig rig;
        rig.follower.addWaypoint(0, 0, 0);
        rig.follower.addWaypoint(10, 0, 0);
        rig.follower.addWaypoint(10, 0, 10);
        rig.follower.addWaypoint(0, 0, 10);
        float maxOff = 0;
        for (int i = 0; i < 100; ++i) {
            rig.frames(1);
            if (rig.follower.getIndex() == 0) maxOff = std::max(maxOff, std::fabs(rig.object.getPosition().z));
        }
        EXPECT_FALSE(rig.follower.linear());
        EXPECT_GT(maxOff, 0.05f);
    }
    // splineAllowed 0 keeps straight lines even with many waypoints.
    {
        Rig rig;
        rig.follower.setSplineAllowed(0);
        for (int i = 0; i < 6; ++i) rig.follower.addWaypoint(static_cast<float>(i % 2) * 5, 0, static_cast<float>(i));
        rig.frames(2);
        EXPECT_TRUE(rig.follower.linear());
    }
}

TEST(PathFollower, ConstantSpeedAlongTheCurveAndClosedLoop) {
    // Uneven spacing: 1 unit, then 20 units, then a curve back.
    Rig rig;
    const Vec3 points[] = {{0, 0, 0}, {1, 0, 0}, {21, 0, 0}, {21, 0, 15}, {5, 0, 12}};
    for (const Vec3& p : points) rig.follower.addWaypoint(p);
    rig.frames(3);  // let the step estimate settle
    Vec3 last = rig.object.getPosition();
    int segmentChanges = 0;
    int lastIndex = rig.follower.getIndex();
    for (int i = 0; i < 3000; ++i) {
        rig.frames(1);
        const Vec3 p = rig.object.getPosition();
        const float moved = distance(p, last);
        last = p;
        if (rig.follower.getIndex() != lastIndex) {
            ++segmentChanges;
            lastIndex = rig.follower.getIndex();
            continue;  // the overshoot is dropped at a segment change
        }
        ASSERT_NEAR(moved, 0.04f, 0.012f) << "frame " << i << " index " << lastIndex;
    }
    // 3000 frames * 0.04 = 120 units: more than one lap of the ~70-unit loop.
    EXPECT_GT(segmentChanges, 5);
}

TEST(PathFollower, PauseResumeAndZeroDtDoNotJump) {
    Rig rig;
    for (int i = 0; i < 5; ++i) rig.follower.addWaypoint(static_cast<float>(i * 10), 0, static_cast<float>((i % 2) * 4));
    rig.frames(50);
    rig.follower.pause();
    const Vec3 before = rig.object.getPosition();
    rig.clock.advance(10000);
    rig.follower.update();
    EXPECT_FLOAT_EQ(rig.object.getPosition().x, before.x);
    rig.follower.resume();
    rig.frames(1);
    const Vec3 after = rig.object.getPosition();
    EXPECT_LT(distance(before, after), 0.1f);

    // Updates within the same millisecond: same point, same parameter.
    rig.frames(1);
    rig.follower.update();
    const float t = rig.follower.t();
    const Vec3 p = rig.object.getPosition();
    rig.follower.update();
    EXPECT_EQ(rig.follower.t(), t);
    EXPECT_FLOAT_EQ(rig.object.getPosition().x, p.x);
    EXPECT_FLOAT_EQ(rig.object.getPosition().z, p.z);
}

TEST(PathFollower, ALongStallDoesNotStopTheObject) {
    // Eight hours in one frame (a machine woken from suspend), and a clock that
    // steps back by one millisecond, which the unsigned difference reads as 49 days.
    for (uint32_t stall : {30000000u, 0xffffffffu}) {
        Rig rig;
        const int n = 8;
        for (int i = 0; i < n; ++i) {
            const float a = kTwoPi * static_cast<float>(i) / n;
            rig.follower.addWaypoint(5 * std::cos(a), 0, 5 * std::sin(a));
        }
        rig.frames(30);
        const int index = rig.follower.getIndex();
        rig.clock.advance(stall);
        rig.follower.update();
        rig.frames(2);
        // The stall moves it on by one segment at most, the overshoot being dropped ...
        EXPECT_EQ(rig.follower.getIndex(), (index + 1) % n) << stall;
        // ... and from then on it swims at its speed again.
        Vec3 last = rig.object.getPosition();
        for (int i = 0; i < 20; ++i) {
            rig.frames(1);
            const Vec3 p = rig.object.getPosition();
            ASSERT_NEAR(distance(p, last), 0.04f, 0.012f) << stall << " frame " << i;
            last = p;
        }
    }
}

TEST(PathFollower, SmoothBankingReachesItsTargetStepByStep) {
    // A tight circle gives a steady turn; a large roll factor makes the target big.
    Rig rig;
    rig.follower.setRollFactor(60);
    const int n = 24;
    for (int i = 0; i < n; ++i) {
        const float a = kTwoPi * static_cast<float>(i) / n;
        rig.follower.addWaypoint(4 * std::cos(a), 0, 4 * std::sin(a));
    }
    rig.frames(3);
    float previous = rig.follower.roll();
    int steps = 0;
    for (; steps < 40; ++steps) {
        rig.frames(1);
        const float roll = rig.follower.roll();
        ASSERT_LE(std::fabs(roll - previous), 2.0f + 1e-4f);
        previous = roll;
        if (std::fabs(roll) >= 30.0f) break;
    }
    EXPECT_GE(std::fabs(rig.follower.rollTarget()), 30.0f);
    // Two degrees per update from 0 (two warm-up updates already moved it): 30 degrees
    // take 15 updates in all.
    EXPECT_LE(steps + 3, 16);
    EXPECT_GE(steps + 3, 15);

    // Without the smooth bit the roll jumps straight to its target.
    Rig sharp;
    sharp.follower.clearFlags(PathFollower::kSmoothBank);
    sharp.follower.setRollFactor(60);
    for (int i = 0; i < n; ++i) {
        const float a = kTwoPi * static_cast<float>(i) / n;
        sharp.follower.addWaypoint(4 * std::cos(a), 0, 4 * std::sin(a));
    }
    sharp.frames(3);
    EXPECT_EQ(sharp.follower.roll(), sharp.follower.rollTarget());
    // Without the bank bit there is no roll at all.
    Rig flat;
    flat.follower.clearFlags(PathFollower::kBank);
    for (int i = 0; i < n; ++i) flat.follower.addWaypoint(4 * std::cos(kTwoPi * i / n), 0, 4 * std::sin(kTwoPi * i / n));
    flat.frames(30);
    EXPECT_EQ(flat.follower.roll(), 0.0f);
}

TEST(PathFollower, IndexOperations) {
    PathFollower f;
    EXPECT_EQ(f.wrapIndex(0), 0);
    EXPECT_EQ(f.wrapIndex(-1), -1);
    for (int i = 0; i < 5; ++i) f.addWaypoint(static_cast<float>(i), 0, 0);
    EXPECT_EQ(f.wrapIndex(5), 0);
    EXPECT_EQ(f.wrapIndex(-1), 4);
    EXPECT_EQ(f.wrapIndex(3), 3);
    f.setIndex(4);
    EXPECT_EQ(f.getIndex(), 4);
    f.setIndex(5);
    f.setIndex(-1);
    EXPECT_EQ(f.getIndex(), 4);
    f.removeFirstWaypoint();
    EXPECT_EQ(f.getIndex(), 3);
    EXPECT_EQ(f.waypointCount(), 4);
    EXPECT_FLOAT_EQ(f.waypoint(0).x, 1);
    f.setIndex(0);
    f.removeFirstWaypoint();  // index wraps to the last
    EXPECT_EQ(f.getIndex(), 2);
    f.clearWaypoints();
    f.removeFirstWaypoint();  // nothing to remove
    EXPECT_EQ(f.waypointCount(), 0);
}

TEST(PathFollower, DegenerateInputNeverDividesByZero) {
    // Coincident consecutive waypoints and a zero speed.
    Rig rig;
    rig.follower.addWaypoint(0, 0, 0);
    rig.follower.addWaypoint(0, 0, 0);
    rig.follower.addWaypoint(5, 0, 0);
    rig.follower.addWaypoint(5, 0, 0);
    rig.follower.addWaypoint(0, 0, 5);
    rig.follower.setSpeed(0);
    rig.frames(20);
    rig.follower.setSpeed(0.002f);
    float maxX = 0;
    for (int i = 0; i < 2000; ++i) {
        rig.frames(1);
        const Vec3 p = rig.object.getPosition();
        ASSERT_TRUE(std::isfinite(p.x) && std::isfinite(p.y) && std::isfinite(p.z)) << i;
        ASSERT_TRUE(std::isfinite(rig.follower.t()));
        maxX = std::max(maxX, p.x);
    }
    // It still travels after the zero-speed spell and past the doubled points.
    EXPECT_GT(maxX, 4.0f);
    // A straight path made of one repeated point: it stays put without NaN.
    Rig same;
    same.follower.addWaypoint(1, 1, 1);
    same.follower.addWaypoint(1, 1, 1);
    same.frames(100);
    EXPECT_FLOAT_EQ(same.object.getPosition().x, 1);
    EXPECT_TRUE(std::isfinite(same.follower.roll()));
}

}  // namespace
}  // namespace reef
