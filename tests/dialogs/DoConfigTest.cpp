#include <gtest/gtest.h>

#include "app/ReefSaver.h"
#include "FakeDialogLayer.h"
#include "res/ControlIds.h"
#include "testsupport/FakePlatform.h"

namespace reef {
namespace {

using test::FakeDialogLayer;

// A settings store that can refuse every change, as an unwritable folder does.
class LockableRegistry : public MemoryRegistry {
public:
    // An existing key opens; a missing one cannot be created.
    bool createKey(const std::string& key) override {
        return keys.count(key) != 0 || (!locked && MemoryRegistry::createKey(key));
    }
    bool setDword(const std::string& key, const std::string& name, uint32_t value) override {
        return !locked && MemoryRegistry::setDword(key, name, value);
    }
    bool locked = false;
};

// Process services whose dialogs run on a fake layer with a scripted user.
struct DialogSystem : FakeSystem {
    std::unique_ptr<DialogLayer> dialogLayer(const std::string&) override {
        auto layer = std::make_unique<FakeDialogLayer>();
        layer->user = user;
        lastLayer = layer.get();
        return layer;
    }
    RegistryStore& registry() override { return store; }
    std::function<void(FakeDialogLayer&, DialogHandle)> user;
    FakeDialogLayer* lastLayer = nullptr;
    LockableRegistry store;
};

struct Config {
    FakeWindows windows;
    DialogSystem system;

    // Runs "saver /c" with the scripted user; false when the dialog could not start.
    bool run(std::function<void(FakeDialogLayer&, DialogHandle)> user) {
        system.user = std::move(user);
        ReefSaver saver(Variant::Plain, windows, system);
        EXPECT_TRUE(saver.Create(u"saver /c"));
        EXPECT_EQ(saver.runMode(), RunMode::Config);
        return saver.Run();
    }
    std::optional<uint32_t> stored(const char* name) { return system.store.getDword("", name); }
};

TEST(DoConfig, OkStoresTheChoicesAndCancelStoresNothing) {
    Config config;
    EXPECT_TRUE(config.run([](FakeDialogLayer& l, DialogHandle main) {
        l.moveTrack(l.first(207), control::kFishTrack, 19);
        l.click(l.first(206), control::kGullCheck);
        l.click(main, control::kOk);
    }));
    EXPECT_EQ(config.stored("FishCount"), 19u);
    EXPECT_EQ(config.stored("BirdGull"), 0u);
    EXPECT_EQ(config.stored("CameraSpeed"), 4u);

    // Cancel is an ordinary end too.
    EXPECT_TRUE(config.run([](FakeDialogLayer& l, DialogHandle main) {
        l.moveTrack(l.first(207), control::kFishTrack, 3);
        l.click(main, control::kCancel);
    }));
    EXPECT_EQ(config.stored("FishCount"), 19u);
}

TEST(DoConfig, RefusedStoreKeepsTheDialogOpenAndTheStoredValues) {
    Config config;
    config.system.store.setDword("", "FishCount", 6);
    config.system.store.locked = true;
    config.run([](FakeDialogLayer& l, DialogHandle main) {
        EXPECT_EQ(l.trackPos(l.first(207), control::kFishTrack), 6);
        l.moveTrack(l.first(207), control::kFishTrack, 12);
        l.click(main, control::kOk);
        EXPECT_FALSE(l.at(main).ended);
        EXPECT_EQ(l.messages.size(), 1u);
        l.click(main, control::kCancel);
    });
    EXPECT_EQ(config.stored("FishCount"), 6u);
}

TEST(DoConfig, NoDisplayEndsAtOnce) {
    Config config;
    config.windows.canConnect = false;
    bool shown = false;
    EXPECT_FALSE(config.run([&](FakeDialogLayer&, DialogHandle) { shown = true; }));
    EXPECT_FALSE(shown);
    EXPECT_EQ(config.system.lastLayer, nullptr);
}

}  // namespace
}  // namespace reef
