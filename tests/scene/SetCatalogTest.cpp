#include "scene/SetCatalog.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <map>
#include <string>
#include <vector>

#include "engine/WideText.h"
#ifdef _WIN32
#include "platform/windows/Win32DirectoryLister.h"
#else
#include "platform/PosixDirectoryLister.h"
#endif
#include "scene/SetSelection.h"
#include "scene/SetValue.h"
#include "testsupport/DiagnosticCapture.h"
#include "testsupport/GridModel.h"
#include "testsupport/SetTree.h"

namespace reef {
namespace {

namespace fs = std::filesystem;

#ifdef _WIN32
using SystemLister = Win32DirectoryLister;
#else
using SystemLister = PosixDirectoryLister;
#endif

std::string idOf(const std::string& id) { return "[common]\nid=" + id + "\n"; }

std::vector<std::string> catalogIds(const SetCatalog& catalog) {
    std::vector<std::string> ids;
    for (const auto& set : catalog.sets()) ids.push_back(toUtf8(set->id));
    return ids;
}

// Remembers which folders were asked for and answers with nothing.
class RecordingLister : public DirectoryLister {
public:
    std::vector<std::string> list(const std::string& folder) const override {
        asked.push_back(folder);
        return {};
    }
    mutable std::vector<std::string> asked;
};

TEST(SetCatalog, ScansTheThreeFoldersInOrder) {
    RecordingLister recorder;
    SetSelection selection;
    SetCatalog probe(selection, recorder);
    probe.scanSets("/data/Marevo2/");
    EXPECT_EQ(recorder.asked, (std::vector<std::string>{"/data/Marevo2/sets\\default_fish\\",
                                                        "/data/Marevo2/sets\\additional\\",
                                                        "/data/Marevo2/sets\\default_diverse\\"}));

    test::SetTree data;
    data.addSet("default_diverse", "turtle", idOf("d-turtle"));
    data.addSet("additional", "zebra", idOf("a-zebra"));
    data.addSet("default_fish", "zander", idOf("f-zander"));
    data.addSet("default_fish", "angel", idOf("f-angel"));
    data.addSet("default_diverse", "manta", idOf("d-manta"));
    SystemLister lister;
    SetCatalog catalog(selection, lister);
    catalog.scanSets(data.path());
    EXPECT_EQ(catalogIds(catalog),
              (std::vector<std::string>{"f-angel", "f-zander", "a-zebra", "d-manta", "d-turtle"}));

    // Repeatable: clearing and scanning again gives the same catalog.
    catalog.clear();
    EXPECT_TRUE(catalog.empty());
    catalog.scanSets(data.path());
    EXPECT_EQ(catalog.size(), 5u);
}

TEST(SetCatalog, MissingFoldersYieldNothing) {
    test::SetTree data;
    data.addSet("default_diverse", "turtle", idOf("t"));
    SystemLister lister;
    SetSelection selection;
    SetCatalog catalog(selection, lister);
    catalog.scanSets(data.path());
    EXPECT_EQ(catalogIds(catalog), std::vector<std::string>{"t"});
    catalog.clear();
    catalog.scanSets(data.path() + "nowhere/");
    EXPECT_TRUE(catalog.empty());
}

TEST(SetCatalog, ReadsEveryFieldOfASet) {
    test::SetTree data;
    data.addSet("default_fish", "clown",
                "[common]\n"
                "id=clownfish\n"
                "[settings]\n"
                "category=fish\n"
                "icon=icon.bmp\n"
                "[Saver]\n"
                "type=singlefish\n"
                "texture=clown.tqt\n"
                "model=clown.tqm\n"
                "animationspeed=12.5\n"
                "scale=0.04\n"
                "trackspeed=0.002\n"
                "rollfactor=1.5\n"
                "animationstart=3\n"
                "animationend=19\n"
                "variablespeed=2\n"
                "maxspeedchange=0.25\n"
                "lighting=Yes\n"
                "val0=1.5,-6,20\n"
                "val1=5\n"
                "val3=never read\n"
                "[saver2]\n"
                "texture=baby.tqt\n"
                "model=baby.tqm\n"
                "animationspeed=8\n"
                "scale=0.5\n"
                "animationend=9\n"
                "val0=x\n"
                "[saver4]\n"
                "texture=skipped.tqt\n");
    SystemLister lister;
    SetSelection selection;
    SetCatalog catalog(selection, lister);
    catalog.scanSets(data.path());
    ASSERT_EQ(catalog.size(), 1u);
    const SetDescriptor& set = catalog.at(0);
    const std::u16string setFolder = fromUtf8(data.path()) + u"sets\\default_fish\\clown\\";

    EXPECT_EQ(set.id, u"clownfish");
    EXPECT_EQ(set.type, u"singlefish");
    EXPECT_EQ(set.category, u"fish");
    EXPECT_EQ(set.texturePath, setFolder + u"clown.tqt");
    EXPECT_EQ(set.modelPath, setFolder + u"clown.tqm");
    EXPECT_FLOAT_EQ(set.animationSpeed, 12.5f);
    EXPECT_FLOAT_EQ(set.model.framesPerSecond(), 12.5f);
    EXPECT_FLOAT_EQ(set.scale, 0.04f);
    EXPECT_FLOAT_EQ(set.trackSpeed, 0.002f);
    EXPECT_FLOAT_EQ(set.rollFactor, 1.5f);
    EXPECT_EQ(set.animationStart, 3);
    EXPECT_EQ(set.animationEnd, 19);
    EXPECT_TRUE(set.variableSpeed);
    EXPECT_FLOAT_EQ(set.maxSpeedChange, 0.25f);
    EXPECT_TRUE(set.lighting);
    // val3 after the gap at val2 is not part of the list.
    ASSERT_EQ(set.values, (std::vector<std::string>{"1.5,-6,20", "5"}));
    const Vec3 v0 = valueToVector(set.values[0]);
    EXPECT_FLOAT_EQ(v0.x, 1.5f);
    EXPECT_FLOAT_EQ(v0.y, -6.0f);
    EXPECT_FLOAT_EQ(v0.z, 20.0f);

    // saver4 without saver3 is not reached.
    ASSERT_EQ(set.subSets.size(), 1u);
    const SubSetDescriptor& sub = *set.subSets[0];
    EXPECT_EQ(sub.texturePath, setFolder + u"baby.tqt");
    EXPECT_EQ(sub.modelPath, setFolder + u"baby.tqm");
    EXPECT_FLOAT_EQ(sub.model.framesPerSecond(), 8.0f);
    EXPECT_FLOAT_EQ(sub.scale, 0.5f);
    EXPECT_EQ(sub.animationStart, 0);
    EXPECT_EQ(sub.animationEnd, 9);
    EXPECT_FALSE(sub.variableSpeed);
    EXPECT_EQ(sub.values, std::vector<std::string>{"x"});
}

TEST(SetCatalog, DefaultsForMissingKeysAndMissingDescriptor) {
    test::SetTree data;
    data.addSet("additional", "bare", "[common]\nid=bare\n[saver]\ntype=boid\nlighting=\n");
    data.addFolder("additional", "empty");  // a folder without info.ini
    SystemLister lister;
    SetSelection selection;
    SetCatalog catalog(selection, lister);
    catalog.scanSets(data.path());
    ASSERT_EQ(catalog.size(), 2u);

    const SetDescriptor& bare = catalog.at(0);
    EXPECT_EQ(bare.id, u"bare");
    EXPECT_FLOAT_EQ(bare.animationSpeed, 0.0f);
    EXPECT_FLOAT_EQ(bare.model.framesPerSecond(), 0.0f);  // the model holds its first frame
    EXPECT_FLOAT_EQ(bare.scale, 0.0f);
    EXPECT_FALSE(bare.lighting);

    const SetDescriptor& empty = catalog.at(1);
    const std::u16string folder = fromUtf8(data.path()) + u"sets\\additional\\empty\\";
    EXPECT_EQ(empty.id, u"");
    EXPECT_EQ(empty.type, u"");
    EXPECT_EQ(empty.category, u"");
    EXPECT_EQ(empty.texturePath, folder);  // the set folder alone
    EXPECT_EQ(empty.modelPath, folder);
    EXPECT_EQ(empty.animationEnd, 0);
    EXPECT_TRUE(empty.values.empty());
    EXPECT_TRUE(empty.subSets.empty());
    // Its empty id is registered like any other.
    EXPECT_EQ(selection.size(), 2u);
    EXPECT_EQ(selection.isSetEnabled(u""), 1);
}

TEST(SetCatalog, RegistersIdsWithTheSelection) {
    test::SetTree data;
    data.addSet("default_fish", "a", idOf("known-off"));
    data.addSet("default_fish", "b", idOf("new-one"));
    data.addSet("default_diverse", "c", idOf("new-one"));  // the same id again
    SystemLister lister;
    SetSelection selection;
    selection.addSet(u"known-off", 0);
    SetCatalog catalog(selection, lister);
    catalog.scanSets(data.path());
    EXPECT_EQ(catalog.size(), 3u);
    EXPECT_EQ(selection.size(), 2u);
    EXPECT_EQ(selection.isSetEnabled(u"known-off"), 0);
    EXPECT_EQ(selection.isSetEnabled(u"new-one"), 1);
}

TEST(SetCatalog, Utf16DescriptorsAndFieldLimits) {
    std::u16string text = u"[common]\r\nid=";
    text += std::u16string(70, u'\u00e9');
    text += u"\r\n[saver]\r\ntype=hunter\r\ntexture=";
    text += std::u16string(300, u't');
    text += u"\r\nlighting=7\r\n";
    std::vector<uint8_t> bytes = {0xFF, 0xFE};
    for (char16_t c : text) {
        bytes.push_back(static_cast<uint8_t>(c & 0xFF));
        bytes.push_back(static_cast<uint8_t>(c >> 8));
    }
    test::SetTree data;
    data.addSet("default_fish", "wide", std::string(bytes.begin(), bytes.end()));
    SystemLister lister;
    SetSelection selection;
    SetCatalog catalog(selection, lister);
    catalog.scanSets(data.path());
    ASSERT_EQ(catalog.size(), 1u);
    const SetDescriptor& set = catalog.at(0);
    EXPECT_EQ(set.id, std::u16string(63, u'\u00e9'));
    EXPECT_EQ(set.type, u"hunter");
    EXPECT_TRUE(set.lighting);
    const std::u16string folder = fromUtf8(data.path()) + u"sets\\default_fish\\wide\\";
    EXPECT_EQ(set.texturePath, folder + std::u16string(255, u't'));
}

// A set folder named outside ASCII is listed in UTF-8 and its files open by that name.
TEST(SetCatalog, FolderNamesOutsideAsciiLoad) {
    test::SetTree data;
    const std::string name = "Fisch\xC3\xA9 \xE6\xB5\xB7";  // "Fisché 海"
    data.addSet("default_fish", name, "[common]\nid=wide\n[Saver]\nmodel=m.tqm\n");
    SystemLister lister;
    EXPECT_EQ(lister.list(data.path() + "sets\\default_fish"), std::vector<std::string>{name});
    SetSelection selection;
    SetCatalog catalog(selection, lister);
    catalog.scanSets(data.path());
    ASSERT_EQ(catalog.sets().size(), 1u);
    EXPECT_EQ(toUtf8(catalog.sets()[0]->id), "wide");  // its info.ini was read
    EXPECT_EQ(pathFromWide(catalog.sets()[0]->modelPath), data.path() + "sets\\default_fish\\" + name + "\\m.tqm");
}

#ifndef _WIN32
// A set folder whose name is not UTF-8 (Latin-1 from an old archive, a name
// cut inside a character) still opens: the path keeps the folder's bytes.
// Windows names are UTF-16, so there the question does not arise.
TEST(SetCatalog, FolderNamesThatAreNotUtf8StillLoad) {
    test::SetTree data;
    const std::string latin1 = "Fisch\xE9";
    const std::string cut = "x\xE2\x82";
    data.addSet("default_fish", latin1, "[common]\nid=latin\n[Saver]\nmodel=m.tqm\n");
    data.addSet("default_fish", cut, "[common]\nid=cut\n[Saver]\nmodel=m.tqm\n");
    SystemLister lister;
    SetSelection selection;
    SetCatalog catalog(selection, lister);
    catalog.scanSets(data.path());
    ASSERT_EQ(catalog.sets().size(), 2u);
    for (const auto& set : catalog.sets()) {
        const std::string folder = toUtf8(set->id) == "latin" ? latin1 : cut;
        EXPECT_EQ(pathFromWide(set->modelPath), data.path() + "sets\\default_fish\\" + folder + "\\m.tqm");
    }
    EXPECT_EQ(catalogIds(catalog), (std::vector<std::string>{"latin", "cut"}) );
}
#endif

}  // namespace
}  // namespace reef

namespace reef {
namespace {

// info.ini text with the given number of sub-set sections and values in [saver].
std::string descriptorWith(const std::string& id, int subSets, int values) {
    std::string text = idOf(id) + "[saver]\ntype=statictimed\nmodel=m.tqm\n";
    for (int v = 0; v < values; ++v) text += "val" + std::to_string(v) + "=" + std::to_string(v) + "\n";
    for (int n = 2; n < subSets + 2; ++n) text += "[saver" + std::to_string(n) + "]\nmodel=m.tqm\nval0=1,2,3\n";
    return text;
}

// Sets far past anything real (the data's sets have at most one sub-set and
// five values) are refused with one line each, quickly, and never registered;
// sets at the limits load whole. 20,000 sections used to take the build tens
// of seconds (every lookup walked the whole file).
TEST(SetCatalog, SetsPastTheSubSetAndValueLimitsAreRefusedWithOneLine) {
    test::SetTree data;
    data.addSet("default_fish", "a_at_limits",
                descriptorWith("at-limits", SetDescriptor::kMaxSubSets, SetDescriptor::kMaxValues));
    data.addSet("default_fish", "b_sections", descriptorWith("sections", 20000, 1));
    data.addSet("default_fish", "c_values", descriptorWith("values", 1, 20000));
    data.addSet("default_fish", "d_one_too_many",
                descriptorWith("one-too-many", SetDescriptor::kMaxSubSets + 1, 0));
    std::string subSetValues = descriptorWith("sub-values", 1, 0) + "[saver3]\n";
    for (int v = 0; v <= static_cast<int>(SetDescriptor::kMaxValues); ++v)
        subSetValues += "val" + std::to_string(v) + "=1\n";
    data.addSet("default_fish", "e_sub_values", subSetValues);
    SystemLister lister;
    SetSelection selection;
    SetCatalog catalog(selection, lister);

    const auto started = std::chrono::steady_clock::now();
    test::captureErrors();
    catalog.scanSets(data.path());
    const std::string lines = test::capturedErrors();
    EXPECT_LT(std::chrono::steady_clock::now() - started, std::chrono::seconds(10));

    ASSERT_EQ(catalogIds(catalog), std::vector<std::string>{"at-limits"});
    EXPECT_EQ(catalog.at(0).subSets.size(), SetDescriptor::kMaxSubSets);
    EXPECT_EQ(catalog.at(0).values.size(), SetDescriptor::kMaxValues);
    EXPECT_EQ(selection.size(), 1u);
    EXPECT_EQ(std::count(lines.begin(), lines.end(), '\n'), 4) << lines;
    for (const char* name : {"b_sections", "c_values", "d_one_too_many", "e_sub_values"})
        EXPECT_NE(lines.find(std::string(name) + "/info.ini"), std::string::npos) << name << "\n" << lines;
    EXPECT_NE(lines.find("more than 64 sub-sets; set skipped"), std::string::npos) << lines;
    EXPECT_NE(lines.find("more than 64 values in a section; set skipped"), std::string::npos) << lines;
}

// Loads every model through the catalog, counting the loads per file.
struct CountingLoad {
    std::map<std::string, int> loads;
    SetCatalog::ModelLoad load() {
        return [this](QModel& model, const std::u16string& path, bool lighting) {
            const std::string file = pathFromWide(path);
            std::string name = file.substr(file.find("sets"));
            std::replace(name.begin(), name.end(), '\\', '/');
            ++loads[name];
            model.loadMD3(file, lighting);
        };
    }
    int total() const {
        int sum = 0;
        for (const auto& [file, count] : loads) sum += count;
        return sum;
    }
};

// Parts that name one model file load it once and draw the same geometry,
// while each keeps its own frame rate and frame ranges; another set's file of
// the same name is its own. A file that fails to load is tried once.
TEST(SetCatalog, ModelsNamedTwiceAreLoadedOnceAndAnimatedApart) {
    test::SetTree data;
    const std::vector<uint8_t> small = writeMd3(test::gridModel(4, 2));
    const std::vector<uint8_t> large = writeMd3(test::gridModel(6, 5));
    data.addFile("default_fish", "a", "body.tqm", small);
    data.addFile("default_fish", "a", "part.tqm", large);
    data.addFile("default_fish", "b", "body.tqm", large);
    data.addSet("default_fish", "a",
                (idOf("a") + "[saver]\ntype=statictimed\nmodel=body.tqm\nanimationspeed=10\nlighting=1\n"
                             "[saver2]\nmodel=part.tqm\nanimationspeed=5\n"
                             "[saver3]\nmodel=part.tqm\nanimationspeed=20\n"
                             "[saver4]\nmodel=body.tqm\nanimationspeed=7\n"
                             "[saver5]\nmodel=missing.tqm\n[saver6]\nmodel=missing.tqm\n")
                    );
    data.addSet("default_fish", "b", (idOf("b") + "[saver]\ntype=statictimed\nmodel=body.tqm\n"));
    SystemLister lister;
    SetSelection selection;
    SetCatalog catalog(selection, lister);
    catalog.scanSets(data.path());
    ASSERT_EQ(catalog.size(), 2u);

    CountingLoad counter;
    catalog.loadModels(selection, counter.load());
    EXPECT_EQ(counter.loads, (std::map<std::string, int>{{"sets/default_fish/a/body.tqm", 1},
                                                         {"sets/default_fish/a/part.tqm", 1},
                                                         {"sets/default_fish/a/missing.tqm", 1},
                                                         {"sets/default_fish/b/body.tqm", 1}}));
    SetDescriptor& a = catalog.at(0);
    QModel& part2 = a.subSets[0]->model;
    QModel& part3 = a.subSets[1]->model;
    QModel& body4 = a.subSets[2]->model;
    EXPECT_TRUE(part3.sharesGeometryWith(part2));
    EXPECT_TRUE(body4.sharesGeometryWith(a.model));
    EXPECT_TRUE(body4.lighting());  // the set's lighting, as loaded
    EXPECT_FALSE(catalog.at(1).model.sharesGeometryWith(a.model));
    EXPECT_EQ(part3.vertexCount(), 12);
    EXPECT_FALSE(a.subSets[3]->model.loaded());
    EXPECT_FALSE(a.subSets[4]->model.loaded());

    // The animation is each part's own.
    EXPECT_EQ(part2.framesPerSecond(), 5.0f);
    EXPECT_EQ(part3.framesPerSecond(), 20.0f);
    part2.addSequence(1, 3, "swim");
    EXPECT_TRUE(part3.sequences().empty());
    // Releasing the first user leaves the others drawing the geometry.
    a.model.free();
    QModel alone;
    ASSERT_TRUE(alone.loadMD3(pathFromWide(a.modelPath), true));
    ASSERT_TRUE(body4.loaded());
    EXPECT_EQ(body4.framePositions(3), alone.framePositions(3));
    EXPECT_EQ(body4.frameNormals(3), alone.frameNormals(3));
    catalog.clear();
}

// Asked to stop, the catalog loads nothing more: the stop is asked before each model.
TEST(SetCatalog, AStopBetweenModelsLeavesTheRestUnloaded) {
    test::SetTree data;
    std::string text = idOf("many") + "[saver]\ntype=statictimed\nmodel=m0.tqm\n";
    for (int n = 2; n <= 10; ++n) {
        text += "[saver" + std::to_string(n) + "]\nmodel=m" + std::to_string(n) + ".tqm\n";
        data.addFile("default_fish", "many", "m" + std::to_string(n) + ".tqm", writeMd3(test::gridModel(1, 1)));
    }
    data.addFile("default_fish", "many", "m0.tqm", writeMd3(test::gridModel(1, 1)));
    data.addSet("default_fish", "many", text);
    SystemLister lister;
    SetSelection selection;
    SetCatalog catalog(selection, lister);
    catalog.scanSets(data.path());
    ASSERT_EQ(catalog.size(), 1u);

    CountingLoad counter;
    int asked = 0;
    catalog.loadModels(selection, counter.load(), BuildInterruption([&asked] { return ++asked > 3; }));
    EXPECT_EQ(counter.total(), 3);
    EXPECT_EQ(asked, 4);
    const SetDescriptor& set = catalog.at(0);
    EXPECT_TRUE(set.subSets[1]->model.loaded());
    EXPECT_FALSE(set.subSets[2]->model.loaded());
    catalog.clear();

    // A stop before the scan reads no descriptor at all.
    SetCatalog unread(selection, lister);
    unread.scanSets(data.path(), BuildInterruption([] { return true; }));
    EXPECT_TRUE(unread.empty());
}

}  // namespace
}  // namespace reef
