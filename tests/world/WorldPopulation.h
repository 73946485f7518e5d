// The whole reef population wired as the frame update drives it: a school with
// its leader, a hunter, single fish, big fish, the turtle, mantas, props, the
// gull and the automatic camera. Shared by the long-run test and the benchmark.
#pragma once

#include <memory>
#include <vector>

#include "engine/ModelObject.h"
#include "engine/QModel.h"
#include "testsupport/WorldTestSupport.h"
#include "world/BigFishRoute.h"
#include "world/Camera.h"
#include "world/CameraAuto.h"
#include "world/FishSteering.h"
#include "world/GullFlight.h"
#include "world/Manta.h"
#include "world/Math.h"
#include "world/Swarm.h"
#include "world/TimedProp.h"
#include "world/TimedScheduler.h"
#include "world/TurtleCycle.h"

namespace reef::test {

struct WorldPopulation {
    // Models: one shared per kind, as sets share theirs.
    QModel boidModel, fishModel, bigModel, turtleModel, swimModel, mantaModel, propModel, gullModel;
    std::vector<std::unique_ptr<ModelObject>> boids;
    ModelObject leader;
    FishSteering leaderSteering;
    Swarm swarm;
    ModelObject hunterObject;
    FishSteering hunter;
    std::vector<std::unique_ptr<ModelObject>> singleFish;
    std::vector<std::unique_ptr<FishSteering>> singleSteering;
    std::vector<std::unique_ptr<ModelObject>> bigFish;
    BigFishRoute bigRoute;
    ModelObject turtleObject, swimmer;
    TurtleCycle turtle;
    std::vector<std::unique_ptr<Manta>> mantas;
    std::vector<std::unique_ptr<TimedProp>> props;
    std::vector<TimedAnimal*> timed;
    std::vector<Manta*> mantaList;
    TimedScheduler scheduler;
    ModelObject gull;
    GullFlight gullFlight;
    Camera camera;
    CameraAuto cameraAuto;
    int boidCount;

    explicit WorldPopulation(int schoolSize) : boidCount(schoolSize) {}

    // Models with frames, so sequences keep their ranges without geometry.
    static void prepare(QModel& model, int frames, int first, int last, const char* name) {
        loadModelFrames(model, frames);
        model.addSequence(first, last, name);
        model.setSequence(name);
    }
    static void loadModelFrames(QModel& model, int frames) { loadFrames(model, frames); }

    void build() {
        prepare(boidModel, 20, 0, 19, "swim");
        prepare(fishModel, 20, 0, 19, "swim");
        prepare(bigModel, 20, 0, 19, "swim");
        prepare(mantaModel, 20, 0, 19, "swim");
        prepare(swimModel, 20, 0, 19, "swim");
        prepare(propModel, 30, 0, 29, "wabbel");
        loadModelFrames(turtleModel, 231);
        turtleModel.addSequence(0, 100, "movein");
        turtleModel.addSequence(100, 125, "sit");
        turtleModel.addSequence(127, 230, "moveout");
        turtleModel.setAnimating(false);
        swimModel.setAnimating(false);
        loadModelFrames(gullModel, 43);
        gullModel.addSequence(0, 19, "glide");
        gullModel.addSequence(23, 42, "fly");
        gullModel.setSequence("fly");
        gullModel.setFramesPerSecond(20);

        camera.set({0, 2, -7}, {0, 0, 1}, {0, 1, 0});
        cameraAuto.setAutomatic(true);

        gull.setModel(&gullModel);
        gull.clearFlags(SceneObject::kEulerPlacement);
        gull.setScale(0.05f);
        gull.setPosition(0, 5.5f, 0);
        gullFlight.setGull(&gull);
        gullFlight.buildFlight();

        leader.setModel(&boidModel);
        leader.clearFlags(SceneObject::kEulerPlacement);
        const float lx = randomFloat(-4, 3, 2), lz = randomFloat(3, 17, 2);
        leader.placeAt(lx, -3.5f, lz);
        leader.setTarget(lx + 1, -3.5f, lz + 1);
        leaderSteering.setObject(&leader);
        leaderSteering.start();

        for (int i = 0; i < 2; ++i) {
            auto manta = std::make_unique<Manta>();
            manta->body().setModel(&mantaModel);
            manta->follower().setSpeed(0.002f);
            manta->follower().setRollFactor(5);
            manta->setPoints({-25, 2, 15}, {25, 3, 30});
            manta->setDelays(1000, 5000);
            manta->buildPath();
            timed.push_back(manta.get());
            mantaList.push_back(manta.get());
            mantas.push_back(std::move(manta));
        }

        turtleObject.setModel(&turtleModel);
        turtleObject.setPosition(5, -5.5f, 20);
        swimmer.setModel(&swimModel);
        swimmer.setPosition(30, -4.8f, 40);
        turtle.setTurtle(&turtleObject);
        turtle.setSwimmer(&swimmer);
        turtle.start();

        for (int i = 0; i < 2; ++i) {
            auto prop = std::make_unique<TimedProp>();
            prop->body().setModel(&propModel);
            prop->body().setPosition(static_cast<float>(i * 4), -6, 12);
            prop->setDelays(2000, 8000);
            propModel.setAnimating(false);
            prop->drawStartTime();
            ModelObject part;
            part.setModel(&propModel);
            prop->addPart(part);
            timed.push_back(prop.get());
            props.push_back(std::move(prop));
        }

        hunterObject.setModel(&fishModel);
        hunterObject.clearFlags(SceneObject::kEulerPlacement);
        const float hx = randomFloat(-4, -1, 2), hz = randomFloat(3, 17, 2);
        hunterObject.placeAt(hx, -4.2f, hz);
        hunterObject.setTarget(hx - 1, -4.2f, hz);
        hunter.setObject(&hunterObject);
        hunter.depth = -4.2f;
        hunter.baseSpeed = 0.0015f;
        hunter.variableSpeed = true;
        hunter.hunter = boidCount > 0;
        hunter.swarm = &swarm;
        hunter.home = {-4.0f, 5.5f};
        hunter.start();

        const Vec3 route[] = {{24, -6, 32}, {10, -6, 27}, {4, -6, 20}, {0, -6, 14}, {-2, -6, 9}, {-11, -6, 1}};
        for (const Vec3& p : route) bigRoute.addWaypoint(p.x, p.y, p.z);
        for (int i = 0; i < 2; ++i) {
            bigFish.push_back(std::make_unique<ModelObject>());
            bigFish.back()->setModel(&bigModel);
            bigRoute.addFish(bigFish.back().get());
        }
        bigRoute.beginRun();

        for (int i = 0; i < 10; ++i) {
            auto fish = std::make_unique<ModelObject>();
            auto steering = std::make_unique<FishSteering>();
            fish->setModel(&fishModel);
            fish->clearFlags(SceneObject::kEulerPlacement);
            const float x = randomFloat(-5.5f, 6, 2);
            const float y = static_cast<float>(i % 3) * 0.6f - 3.0f;
            const float z = randomFloat(3, 21, 2);
            fish->placeAt(x, y, z);
            fish->setTarget(x + ((i % 2) == 0 ? 1.0f : -1.0f), y, z);
            steering->baseSpeed = 0.001f;
            steering->variableSpeed = (i % 2) == 0;
            steering->depth = y;
            steering->setObject(fish.get());
            steering->corner4 = {14, 25};
            steering->corner3 = {5, 2};
            steering->swarm = &swarm;
            steering->home = {-1, 8};
            steering->start();
            singleFish.push_back(std::move(fish));
            singleSteering.push_back(std::move(steering));
        }

        swarm.reserve(static_cast<size_t>(boidCount));
        for (int i = 0; i < boidCount; ++i) {
            boids.push_back(std::make_unique<ModelObject>());
            boids.back()->setModel(&boidModel);
            swarm.addMember(boids.back().get());
        }
        const Vec3 goal = leader.getPosition();
        swarm.setGoal(goal.x, goal.y, goal.z);
        swarm.scatter();
    }

    // One frame update in the application's order, then what drawing does to the
    // animations. dt in ms.
    void frame(int dt) {
        cameraAuto.clearMoving();
        gullFlight.tickCry(dt, false, nullptr);
        gullFlight.updateGull();
        scheduler.updateActiveManta(mantaList);
        const Vec3 goal = leader.getPosition();
        swarm.setGoal(goal.x, goal.y, goal.z);
        swarm.setDanger(goal.x, goal.y, goal.z);
        swarm.update();
        hunter.setHuntPoint(goal);
        leaderSteering.update();
        hunter.update();
        bigRoute.update();
        turtle.update();
        for (auto& steering : singleSteering) steering->update();
        scheduler.schedule(timed, mantaList);
        for (auto& prop : props) prop->update();
        cameraAuto.updateAuto(camera, dt, 4, 30, 30);
        for (QModel* model : {&boidModel, &fishModel, &bigModel, &turtleModel, &swimModel, &mantaModel, &propModel,
                              &gullModel}) {
            model->update();
            model->finish();
        }
    }

    std::vector<const FishSteering*> allSteering() const {
        std::vector<const FishSteering*> all{&leaderSteering, &hunter};
        for (const auto& s : singleSteering) all.push_back(s.get());
        return all;
    }
};

}  // namespace reef::test
