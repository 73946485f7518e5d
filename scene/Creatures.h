// Every creature of the reef and the controllers that move it, built from the
// enabled creature sets and the settings: the gull, the school and its invisible
// leader, mantas, the turtle, timed props, the hunter, big fish and single fish.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "engine/ModelObject.h"
#include "world/BigFishRoute.h"
#include "world/FishSteering.h"
#include "world/GullFlight.h"
#include "world/Manta.h"
#include "world/Swarm.h"
#include "world/TimedProp.h"
#include "world/TimedScheduler.h"
#include "world/TurtleCycle.h"

namespace reef {

class SetCatalog;
class SetSelection;
class Texture;
class QModel;
struct SetDescriptor;

class Creatures {
public:
    // What the scene build takes from the settings (whose rows hold the defaults).
    struct Counts {
        int boidCount = 0;
        int fishCount = 0;
        bool gullsFly = false;
    };

    struct SingleFish {
        ModelObject object;
        FishSteering steering;
    };

    struct Prop {
        std::unique_ptr<TimedProp> prop;
        bool lighting = false;  // the set asks for lit drawing
    };

    Creatures();
    ~Creatures();
    Creatures(const Creatures&) = delete;
    Creatures& operator=(const Creatures&) = delete;

    // The fish caustics frame every fish gets as its second texture.
    void setFishCaustics(Texture* frame) { m_fishCaustics = frame; }

    // The build steps, in the order the scene build calls them.
    void buildGull(QModel& model, Texture& texture, bool gullsFly);
    void buildLeader(SetCatalog& catalog);
    void buildAll(SetCatalog& catalog, const SetSelection& selection, const Counts& counts);
    // Points the school at the leader and scatters it around there.
    void gatherSchool();

    // The steps of the frame update, in the order update() runs them: the school
    // steers towards where the leader was before the leader moves, the hunter
    // chases that same point, and the scheduler sees this frame's positions.
    enum class Step {
        Gull,            // the gull's flight
        ActiveManta,     // the scheduler follows the manta now swimming
        SchoolGoal,      // the school's goal, its danger and the hunt point at the leader
        School,
        Leader,
        Hunter,
        BigFish,
        Turtle,
        SingleFish,
        TimedSchedule,   // which manta or prop starts next
        Props,
    };
    static constexpr Step kFrameOrder[] = {
        Step::Gull,   Step::ActiveManta, Step::SchoolGoal, Step::School,     Step::Leader, Step::Hunter,
        Step::BigFish, Step::Turtle,     Step::SingleFish, Step::TimedSchedule, Step::Props,
    };
    // Told of each step as it finishes (for tests that watch the order); none by default.
    void setStepObserver(void (*observer)(void* context, Step step), void* context) {
        m_stepObserver = observer;
        m_stepContext = context;
    }

    // The frame update of every controller, in kFrameOrder.
    void update();
    // Draws the fish of one draw group with the current fish caustics frame.
    void drawSchool(Texture& causticsFrame);
    void drawHunter(Texture& causticsFrame);
    void drawSingleFish(Texture& causticsFrame);
    void drawBigFish(Texture& causticsFrame);
    // The props of one pass: early (drawLate 0, with their parts) or late (drawLate 1
    // or more, the body only).
    void drawProps(bool late);
    void drawTurtle() { m_turtleCycle.draw(); }
    void drawActiveManta();
    void drawGull();

    // Resets every creature object and deletes the owned creatures.
    void release();

    // Inspection for tests and the frame update.
    int boidsBuilt() const { return static_cast<int>(m_boids.size()); }
    int fishBuilt() const { return m_fishBuilt; }
    bool hasLeader() const { return m_leaderBuilt; }
    bool hunterBuilt() const { return m_hunterBuilt; }
    bool turtleBuilt() const { return m_turtleBuilt; }
    const std::vector<std::unique_ptr<Manta>>& mantas() const { return m_mantas; }
    const std::vector<Prop>& props() const { return m_props; }
    const std::vector<std::unique_ptr<SingleFish>>& singleFish() const { return m_singleFish; }
    const std::vector<std::unique_ptr<ModelObject>>& bigFish() const { return m_bigFish; }
    const std::vector<TimedAnimal*>& timed() const { return m_timed; }
    int currentManta() const { return m_scheduler.currentManta(); }
    ModelObject& leader() { return m_leader; }
    FishSteering& leaderSteering() { return m_leaderSteering; }
    ModelObject& turtle() { return m_turtle; }
    ModelObject& swimmer() { return m_swimmer; }
    ModelObject& hunter() { return m_hunter; }
    FishSteering& hunterSteering() { return m_hunterSteering; }
    Swarm& swarm() { return m_swarm; }
    GullFlight& gullFlight() { return m_gullFlight; }
    ModelObject& gull() { return m_gull; }
    TurtleCycle& turtleCycle() { return m_turtleCycle; }
    BigFishRoute& bigFishRoute() { return m_bigFishRoute; }

private:
    void dress(ModelObject& object, SetDescriptor& set);
    void addFishCaustics(ModelObject& object);
    bool fishRemain(const Counts& counts) const { return m_fishBuilt < counts.fishCount; }
    bool takeAnimalSlot(const SetDescriptor& set);
    void buildManta(SetDescriptor& set);
    void buildTurtle(SetDescriptor& set);
    void buildProp(SetDescriptor& set);
    void buildHunter(SetDescriptor& set, const Counts& counts);
    void buildBigFish(SetDescriptor& set);
    void buildSingleFish(const std::vector<SetDescriptor*>& sets, int count);
    void buildSchool(const std::vector<SetDescriptor*>& sets, int count);

    void runStep(Step step);

    void (*m_stepObserver)(void*, Step) = nullptr;
    void* m_stepContext = nullptr;
    Texture* m_fishCaustics = nullptr;
    int m_fishBuilt = 0;
    int m_animalsBuilt = 0;

    ModelObject m_gull;
    GullFlight m_gullFlight;

    ModelObject m_leader;
    FishSteering m_leaderSteering;
    bool m_leaderBuilt = false;
    Swarm m_swarm;
    std::vector<ModelObject> m_boids;  // one allocation; the swarm points into it

    std::vector<std::unique_ptr<Manta>> m_mantas;
    std::vector<Manta*> m_mantaView;  // the same mantas, for the scheduler
    TimedScheduler m_scheduler;
    std::vector<TimedAnimal*> m_timed;  // every manta and prop in build order, not owning

    ModelObject m_turtle;
    ModelObject m_swimmer;
    TurtleCycle m_turtleCycle;
    bool m_turtleBuilt = false;

    std::vector<Prop> m_props;

    ModelObject m_hunter;
    FishSteering m_hunterSteering;
    bool m_hunterBuilt = false;

    BigFishRoute m_bigFishRoute;
    std::vector<std::unique_ptr<ModelObject>> m_bigFish;

    std::vector<std::unique_ptr<SingleFish>> m_singleFish;
};

}  // namespace reef
