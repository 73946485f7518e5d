#include "scene/Creatures.h"

#include <GL/gl.h>

#include "core/Math.h"
#include "core/Random.h"
#include "engine/QModel.h"
#include "engine/Texture.h"
#include "scene/SetCatalog.h"
#include "scene/SetDescriptor.h"
#include "scene/SetSelection.h"
#include "scene/SetValue.h"
#include "scene/SubSetDescriptor.h"

namespace reef {

namespace {

// Set types and categories as the descriptors spell them.
constexpr std::u16string_view kBoid = u"boid";
constexpr std::u16string_view kManta = u"manta";
constexpr std::u16string_view kTurtle = u"turtle";
constexpr std::u16string_view kStaticTimed = u"statictimed";
constexpr std::u16string_view kHunter = u"hunter";
constexpr std::u16string_view kBigFish = u"bigfish";
constexpr std::u16string_view kSingleFish = u"singlefish";
constexpr std::u16string_view kCategoryFish = u"fish";
constexpr std::u16string_view kCategoryAnimal = u"animal";

// The big fish route, from far right to near left at depth -6.
constexpr Vec3 kBigFishRoute[] = {{24, -6, 32}, {10, -6, 27}, {4, -6, 20}, {0, -6, 14}, {-2, -6, 9}, {-11, -6, 1}};

constexpr float kFishCausticsScale = 0.4f;
constexpr float kBigFishCausticsScale = 0.8f;

bool enabled(const SetSelection& selection, const SetDescriptor& set) { return selection.isSetEnabled(set.id) != 0; }

void addSwim(QModel& model, int first, int last) { model.addSequence(first, last, "swim"); }

}  // namespace

Creatures::Creatures() = default;

Creatures::~Creatures() = default;

void Creatures::dress(ModelObject& object, SetDescriptor& set) {
    object.setModel(&set.model);
    object.addTexture(&set.texture);
    object.setScale(set.scale);
}

void Creatures::addFishCaustics(ModelObject& object) {
    if (m_fishCaustics) object.addTexture(m_fishCaustics);
}

bool Creatures::takeAnimalSlot(const SetDescriptor& set) {
    if (set.category != kCategoryAnimal) return true;
    if (m_animalsBuilt > 0) return false;
    ++m_animalsBuilt;
    return true;
}

// ---------------------------------------------------------------- gull and leader

void Creatures::buildGull(QModel& model, Texture& texture, bool gullsFly) {
    m_gullFlight.setEnabled(gullsFly);
    if (!gullsFly) return;
    m_gull.setModel(&model);
    m_gull.addTexture(&texture);
    m_gull.clearFlags(SceneObject::kEulerPlacement);
    m_gull.setScale(0.05f);
    m_gull.setPosition(0.0f, 5.5f, 0.0f);
    model.addSequence(0, 19, "glide");
    model.addSequence(23, 42, "fly");
    model.setSequence("fly");
    model.setFramesPerSecond(20.0f);
    m_gullFlight.setGull(&m_gull);
    m_gullFlight.buildFlight();
}

void Creatures::buildLeader(SetCatalog& catalog) {
    SetDescriptor* set = nullptr;
    for (size_t i = 0; i < catalog.size() && !set; ++i)
        if (catalog.at(i).type == kBoid) set = &catalog.at(i);
    if (!set && catalog.size() >= 2) set = &catalog.at(1);
    // Without a set to dress it with there is no leader, and the school has no goal.
    if (!set) return;
    m_leaderBuilt = true;
    dress(m_leader, *set);
    addFishCaustics(m_leader);
    m_leader.setTextureScale(1, kFishCausticsScale);
    m_leader.clearFlags(SceneObject::kEulerPlacement);
    const float x = randomFloat(-4.0f, 3.0f, 2);
    const float z = randomFloat(3.0f, 17.0f, 2);
    m_leader.placeAt(x, -3.5f, z);
    m_leader.setTarget(x + 1.0f, -3.5f, z + 1.0f);
    m_leader.setBlend(true);
    m_leaderSteering.setObject(&m_leader);
    m_leaderSteering.start();
}

// ---------------------------------------------------------------- the creature sets

void Creatures::buildAll(SetCatalog& catalog, const SetSelection& selection, const Counts& counts) {
    for (size_t i = 0; i < catalog.size(); ++i) {
        SetDescriptor& set = catalog.at(i);
        if (set.type == kManta && enabled(selection, set) && (fishRemain(counts) || set.category != kCategoryFish))
            buildManta(set);
    }
    for (size_t i = 0; i < catalog.size(); ++i) {
        SetDescriptor& set = catalog.at(i);
        if (set.type == kTurtle && enabled(selection, set) && takeAnimalSlot(set)) buildTurtle(set);
    }
    m_turtleCycle.start();
    for (size_t i = 0; i < catalog.size(); ++i) {
        SetDescriptor& set = catalog.at(i);
        if (set.type == kStaticTimed && enabled(selection, set) && takeAnimalSlot(set)) buildProp(set);
    }
    if (fishRemain(counts)) {
        for (size_t i = 0; i < catalog.size(); ++i) {
            SetDescriptor& set = catalog.at(i);
            if (set.type == kHunter && enabled(selection, set)) {
                buildHunter(set, counts);
                break;
            }
        }
    }
    for (const Vec3& waypoint : kBigFishRoute) m_bigFishRoute.addWaypoint(waypoint.x, waypoint.y, waypoint.z);
    for (size_t i = 0; i < catalog.size() && fishRemain(counts); ++i) {
        SetDescriptor& set = catalog.at(i);
        if (set.type == kBigFish && enabled(selection, set)) buildBigFish(set);
    }
    m_bigFishRoute.beginRun();

    std::vector<SetDescriptor*> singleFishSets, boidSets;
    for (size_t i = 0; i < catalog.size(); ++i) {
        SetDescriptor& set = catalog.at(i);
        if (!enabled(selection, set)) continue;
        if (set.type == kSingleFish) singleFishSets.push_back(&set);
        if (set.type == kBoid) boidSets.push_back(&set);
    }
    const int remaining = counts.fishCount - m_fishBuilt;
    if (remaining > 0 && !singleFishSets.empty()) buildSingleFish(singleFishSets, remaining);
    if (counts.boidCount > 0 && !boidSets.empty()) buildSchool(boidSets, counts.boidCount);
}

void Creatures::buildManta(SetDescriptor& set) {
    auto manta = std::make_unique<Manta>();
    dress(manta->body(), set);
    addSwim(set.model, set.animationStart, set.animationEnd);
    manta->follower().setSpeed(set.trackSpeed);
    manta->follower().setRollFactor(set.rollFactor);
    if (set.values.size() >= 2) manta->setPoints(valueToVector(set.values[0]), valueToVector(set.values[1]));
    if (set.values.size() >= 4) manta->setDelays(valueToInt(set.values[2]), valueToInt(set.values[3]));
    manta->buildPath();
    m_timed.push_back(manta.get());
    m_mantaView.push_back(manta.get());
    m_mantas.push_back(std::move(manta));
    if (set.category == kCategoryFish) ++m_fishBuilt;
}

void Creatures::buildTurtle(SetDescriptor& set) {
    // A later turtle set takes over the turtle object: start it afresh, so its
    // textures replace the earlier set's instead of joining them.
    m_turtle.SceneObject::reset();
    dress(m_turtle, set);
    set.model.addSequence(0, 100, "movein");
    set.model.addSequence(100, 125, "sit");
    set.model.addSequence(127, 230, "moveout");
    if (!set.values.empty()) m_turtle.setPosition(valueToVector(set.values[0]));
    set.model.setAnimating(false);
    m_turtleCycle.setTurtle(&m_turtle);
    m_turtleBuilt = true;
    // A set without a sub-set leaves an earlier set's swimmer as it was.
    if (set.subSets.empty()) return;
    SubSetDescriptor& swimmer = *set.subSets.front();
    m_swimmer.SceneObject::reset();
    m_swimmer.setModel(&swimmer.model);
    m_swimmer.addTexture(&swimmer.drawTexture());
    m_swimmer.setScale(swimmer.scale);
    addSwim(swimmer.model, swimmer.animationStart, swimmer.animationEnd);
    if (!swimmer.values.empty()) m_swimmer.setPosition(valueToVector(swimmer.values[0]));
    swimmer.model.setAnimating(false);
    m_turtleCycle.setSwimmer(&m_swimmer);
}

void Creatures::buildProp(SetDescriptor& set) {
    Prop entry;
    entry.prop = std::make_unique<TimedProp>();
    entry.lighting = set.lighting;
    TimedProp& prop = *entry.prop;
    dress(prop.body(), set);
    set.model.addSequence(set.animationStart, set.animationEnd, "wabbel");
    const size_t valueCount = set.values.size();
    if (valueCount >= 1) prop.body().setPosition(valueToVector(set.values[0]));
    if (valueCount >= 2) prop.setDrawLate(valueToInt(set.values[1]));
    bool waits = false;
    if (valueCount >= 4) {
        prop.setDelays(valueToInt(set.values[2]), valueToInt(set.values[3]));
        if (prop.delaysSet()) {
            waits = true;
            set.model.setAnimating(false);
            prop.drawStartTime();
        }
    }
    auto applyAngles = [](ModelObject& object, const std::vector<std::string>& values) {
        if (values.size() < 5) return;
        const Vec3 angles = valueToVector(values[4]);
        object.setAngleX(angles.x);
        object.setAngleY(angles.y);
        object.setAngleZ(angles.z);
    };
    applyAngles(prop.body(), set.values);
    for (const std::unique_ptr<SubSetDescriptor>& subSet : set.subSets) {
        ModelObject part;
        part.setModel(&subSet->model);
        part.addTexture(&subSet->drawTexture());
        part.setScale(subSet->scale);
        subSet->model.addSequence(subSet->animationStart, subSet->animationEnd, "wabbel");
        if (!subSet->values.empty()) part.setPosition(valueToVector(subSet->values[0]));
        applyAngles(part, subSet->values);
        if (waits) subSet->model.setAnimating(false);
        prop.addPart(part);
    }
    m_timed.push_back(entry.prop.get());
    m_props.push_back(std::move(entry));
}

void Creatures::buildHunter(SetDescriptor& set, const Counts& counts) {
    dress(m_hunter, set);
    addFishCaustics(m_hunter);
    addSwim(set.model, set.animationStart, set.animationEnd);
    m_hunter.setTextureScale(1, kFishCausticsScale);
    m_hunter.clearFlags(SceneObject::kEulerPlacement);
    const float x = randomFloat(-4.0f, -1.0f, 2);
    const float z = randomFloat(3.0f, 17.0f, 2);
    m_hunter.placeAt(x, -4.2f, z);
    m_hunter.setTarget(x - 1.0f, -4.2f, z);
    m_hunter.setBlend(true);
    FishSteering& s = m_hunterSteering;
    s.setObject(&m_hunter);
    s.depth = -4.2f;
    s.baseSpeed = set.trackSpeed;
    s.animationFactor = set.animationSpeed;
    s.hunter = counts.boidCount > 0;
    s.swarm = &m_swarm;
    s.home = {-4.0f, 5.5f};
    s.variableSpeed = set.variableSpeed;
    s.acceleration = set.maxSpeedChange;
    s.start();
    m_hunterBuilt = true;
    ++m_fishBuilt;
}

void Creatures::buildBigFish(SetDescriptor& set) {
    auto fish = std::make_unique<ModelObject>();
    dress(*fish, set);
    addFishCaustics(*fish);
    fish->setTextureScale(1, kBigFishCausticsScale);
    addSwim(set.model, set.animationStart, set.animationEnd);
    fish->setBlend(true);
    m_bigFishRoute.addFish(fish.get());
    m_bigFish.push_back(std::move(fish));
    ++m_fishBuilt;
}

void Creatures::buildSingleFish(const std::vector<SetDescriptor*>& sets, int count) {
    float side = 1.0f;  // the first fish faces +x, then they alternate
    for (int i = 0; i < count; ++i) {
        SetDescriptor& set = *sets[static_cast<size_t>(i) % sets.size()];
        auto fish = std::make_unique<SingleFish>();
        ModelObject& object = fish->object;
        FishSteering& steering = fish->steering;
        addSwim(set.model, set.animationStart, set.animationEnd);
        dress(object, set);
        addFishCaustics(object);
        steering.baseSpeed = set.trackSpeed;
        steering.animationFactor = set.animationSpeed;
        steering.variableSpeed = set.variableSpeed;
        steering.acceleration = set.maxSpeedChange;
        object.setTextureScale(1, kFishCausticsScale);
        object.setBlend(true);
        object.clearFlags(SceneObject::kEulerPlacement);
        const float x = randomFloat(-5.5f, 6.0f, 2);
        const float y = static_cast<float>(i % 3) * 0.6f - 3.0f;
        const float z = randomFloat(3.0f, 21.0f, 2);
        object.placeAt(x, y, z);
        object.setTarget(x + side, y, z);
        side = i == 0 ? -1.0f : -side;
        steering.depth = y;
        steering.setObject(&object);
        steering.corner4 = {14.0f, 25.0f};
        steering.corner3 = {5.0f, 2.0f};
        steering.swarm = &m_swarm;
        steering.home = {-1.0f, 8.0f};
        steering.start();
        m_singleFish.push_back(std::move(fish));
    }
}

void Creatures::buildSchool(const std::vector<SetDescriptor*>& sets, int count) {
    // One allocation, never resized afterwards: the swarm keeps pointers into it.
    m_boids.resize(static_cast<size_t>(count));
    m_swarm.reserve(static_cast<size_t>(count));
    for (ModelObject& boid : m_boids) {
        SetDescriptor& set = *sets[static_cast<size_t>(rand()) % sets.size()];
        dress(boid, set);
        addFishCaustics(boid);
        boid.setTextureScale(1, kFishCausticsScale);
        boid.setBlend(true);
        m_swarm.addMember(&boid);
        addSwim(set.model, set.animationStart, set.animationEnd);
    }
}

void Creatures::gatherSchool() {
    if (m_leaderBuilt) {
        const Vec3 goal = m_leader.getPosition();
        m_swarm.setGoal(goal.x, goal.y, goal.z);
    }
    m_swarm.scatter();
}

// ---------------------------------------------------------------- per frame

void Creatures::update() {
    for (Step step : kFrameOrder) {
        runStep(step);
        if (m_stepObserver) m_stepObserver(m_stepContext, step);
    }
}

void Creatures::runStep(Step step) {
    switch (step) {
        case Step::Gull: m_gullFlight.updateGull(); break;
        case Step::ActiveManta: m_scheduler.updateActiveManta(m_mantaView); break;
        case Step::SchoolGoal:
            if (m_leaderBuilt) {
                const Vec3 leader = m_leader.getPosition();
                m_swarm.setGoal(leader.x, leader.y, leader.z);
                m_swarm.setDanger(leader.x, leader.y, leader.z);
                m_hunterSteering.setHuntPoint(leader);
            }
            break;
        case Step::School: m_swarm.update(); break;
        case Step::Leader: m_leaderSteering.update(); break;
        case Step::Hunter: m_hunterSteering.update(); break;
        case Step::BigFish: m_bigFishRoute.update(); break;
        case Step::Turtle: m_turtleCycle.update(); break;
        case Step::SingleFish:
            for (const std::unique_ptr<SingleFish>& fish : m_singleFish) fish->steering.update();
            break;
        case Step::TimedSchedule: m_scheduler.schedule(m_timed, m_mantaView); break;
        case Step::Props:
            for (Prop& entry : m_props) entry.prop->update();
            break;
    }
}

void Creatures::drawSchool(Texture& causticsFrame) {
    for (ModelObject& boid : m_boids) {
        if (boid.textureCount() > 1) boid.setTexture(1, &causticsFrame);
        boid.render();
    }
}

void Creatures::drawHunter(Texture& causticsFrame) {
    if (!m_hunterBuilt) return;
    if (m_hunter.textureCount() > 1) m_hunter.setTexture(1, &causticsFrame);
    m_hunter.render();
}

void Creatures::drawSingleFish(Texture& causticsFrame) {
    for (const std::unique_ptr<SingleFish>& fish : m_singleFish) {
        if (fish->object.textureCount() > 1) fish->object.setTexture(1, &causticsFrame);
        fish->object.render();
    }
}

void Creatures::drawBigFish(Texture& causticsFrame) {
    for (const std::unique_ptr<ModelObject>& fish : m_bigFish)
        if (fish->textureCount() > 1) fish->setTexture(1, &causticsFrame);
    m_bigFishRoute.draw();
}

void Creatures::drawProps(bool late) {
    for (Prop& entry : m_props) {
        TimedProp& prop = *entry.prop;
        // Early props say exactly 0 and late ones 1 or more; a prop saying anything
        // else is drawn in neither pass.
        const bool inThisPass = late ? prop.drawLate() >= 1 : prop.drawLate() == 0;
        if (!inThisPass) continue;
        if (entry.lighting) glEnable(GL_LIGHTING);
        prop.body().render();
        if (!late)
            for (ModelObject& part : prop.parts()) part.render();
        if (entry.lighting) glDisable(GL_LIGHTING);
    }
}

void Creatures::drawActiveManta() {
    const int current = m_scheduler.currentManta();
    if (current >= 0 && current < static_cast<int>(m_mantas.size())) m_mantas[static_cast<size_t>(current)]->body().render();
}

void Creatures::drawGull() {
    if (m_gullFlight.enabled()) m_gull.render();
}

// ---------------------------------------------------------------- release

namespace {
// Frees the object's model data and textures list and forgets the model, which
// may belong to a set descriptor that is about to go.
void releaseObject(ModelObject& object) {
    object.reset();
    object.setModel(nullptr);
}
}  // namespace

void Creatures::release() {
    for (ModelObject* object : {&m_gull, &m_leader, &m_hunter, &m_turtle, &m_swimmer}) releaseObject(*object);
    for (ModelObject& boid : m_boids) releaseObject(boid);
    m_boids.clear();
    m_boids.shrink_to_fit();
    for (Prop& entry : m_props) {
        releaseObject(entry.prop->body());
        for (ModelObject& part : entry.prop->parts()) releaseObject(part);
    }
    for (const std::unique_ptr<Manta>& manta : m_mantas) releaseObject(manta->body());
    // The timed list points at the mantas too: drop it with them.
    m_timed.clear();
    m_mantas.clear();
    m_mantaView.clear();
    for (const std::unique_ptr<SingleFish>& fish : m_singleFish) releaseObject(fish->object);
    m_singleFish.clear();
    for (const std::unique_ptr<ModelObject>& fish : m_bigFish) releaseObject(*fish);
    m_bigFish.clear();
    m_hunterBuilt = false;
    m_leaderBuilt = false;
}

}  // namespace reef
