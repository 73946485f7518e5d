#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>

#include "FakeDialogLayer.h"
#include "res/ControlIds.h"
#include "shell/GLSaver.h"
#include "shell/ScreenSettingsDialog.h"
#include "testsupport/FakePlatform.h"
#include "testsupport/SceneFreeSaver.h"
#include "testsupport/TempFolder.h"

namespace reef {
namespace {

using test::FakeDialogLayer;

using namespace control;

// SDL's modes per colour depth.
struct ModeSystem : FakeSystem {
    std::vector<ModeSize> listModes(int bitsPerPixel, bool) override {
        asked.push_back(bitsPerPixel);
        if (bitsPerPixel == 32) return {{1920, 1080}, {1280, 1024}, {1024, 768}, {800, 600}};
        return {{1280, 1024}, {640, 480}};
    }
    int screenBitsPerPixel() override { return screenBits; }
    std::vector<int> asked;
    int screenBits = 0;
};

// Runs the dialog with the scripted user; the result and what the target holds after.
struct Screen {
    FakeDialogLayer layer;
    ModeSystem system;
    ScreenSettings target;

    int run(std::function<void(FakeDialogLayer&, DialogHandle)> user,
            const std::string& languagePath = "/nonexistent/ScreenLanguage.dat") {
        layer.user = std::move(user);
        ScreenSettingsDialog dialog(layer, system, target, languagePath);
        return dialog.run(0);
    }
    static std::vector<std::u16string> items(FakeDialogLayer& l, DialogHandle d, int id) {
        std::vector<std::u16string> texts;
        for (const auto& item : l.control(d, id).items) texts.push_back(item.first);
        return texts;
    }
};

// A language file saved as UTF-8 gives no texts (they are read as UTF-16); the
// template's captions stay, so no button or label is blank.
TEST(ScreenSettingsDialog, ALanguageFileInUtf8KeepsTheTemplatesCaptions) {
    const test::TempFolder folder;
    const std::string path = folder.file("ScreenLanguage.dat");
    FILE* file = std::fopen(path.c_str(), "wb");
    ASSERT_NE(file, nullptr);
    std::fputs("[GER]\r\ncaption = {Screen}\r\nOK = {Okay}\r\ncancel = {Cancel}\r\ncolordepth = {Depth:}\r\n", file);
    std::fclose(file);
    Screen s;
    s.run(
        [&](FakeDialogLayer& l, DialogHandle d) {
            EXPECT_EQ(l.at(d).title, u"Bildschirmeinstellungen");
            EXPECT_EQ(l.text(d, kOk), u"OK");
            EXPECT_EQ(l.text(d, kCancel), u"Abbrechen");
            EXPECT_EQ(l.text(d, 2012), u"Farbtiefe:");
            EXPECT_EQ(l.text(d, kLeaveResolution), u"Aktuelle Aufl\u00f6sung beibehalten");
            l.click(d, kCancel);
        },
        path);
}

TEST(ScreenSettingsDialog, FlagsDecideWhatIsCheckedAndEnabled) {
    for (int bits = 0; bits < 8; ++bits) {
        Screen s;
        s.target.leaveResolution = bits & 1;
        s.target.multiMonitor = bits & 2;
        s.target.shadeSecondary = bits & 4;
        s.run([&](FakeDialogLayer& l, DialogHandle d) {
            EXPECT_EQ(l.isChecked(d, kLeaveResolution), s.target.leaveResolution) << bits;
            EXPECT_EQ(l.control(d, kDepthList).enabled, !s.target.leaveResolution) << bits;
            EXPECT_EQ(l.control(d, kResolutionList).enabled, !s.target.leaveResolution) << bits;
            EXPECT_EQ(l.control(d, kShadeSecondary).enabled, s.target.multiMonitor) << bits;
            EXPECT_EQ(l.isChecked(d, kShadeSecondary), s.target.shadeSecondary) << bits;  // kept even when greyed
            l.click(d, kCancel);
        });
    }
}

TEST(ScreenSettingsDialog, ListsShowTheDepthsAndTheModesOfTheStoredDepth) {
    Screen s;
    s.target.leaveResolution = false;
    s.target.bitsPerPixel = 32;
    s.target.width = 1024;
    s.target.height = 768;
    s.run([&](FakeDialogLayer& l, DialogHandle d) {
        EXPECT_EQ(Screen::items(l, d, kDepthList), (std::vector<std::u16string>{u"16 bit", u"32 bit"}));
        EXPECT_EQ(l.selectedItem(d, kDepthList), 1);
        EXPECT_EQ(Screen::items(l, d, kResolutionList),
                  (std::vector<std::u16string>{u"1920 x 1080", u"1280 x 1024", u"1024 x 768", u"800 x 600"}));
        EXPECT_EQ(l.selectedItem(d, kResolutionList), 2);
        l.click(d, kCancel);
    });
    EXPECT_EQ(s.system.asked, std::vector<int>{32});
}

ScreenSettings storedMode(bool leaveResolution, int width, int height, int bitsPerPixel) {
    ScreenSettings settings;
    settings.leaveResolution = leaveResolution;
    settings.width = width;
    settings.height = height;
    settings.bitsPerPixel = bitsPerPixel;
    return settings;
}

TEST(ScreenSettingsDialog, FirstModeIsShownWhenTheStoredOneIsMissingOrKept) {
    for (const ScreenSettings& stored : {storedMode(true, 1024, 768, 32), storedMode(false, -1, -1, 32),
                                         storedMode(false, 100000, 100000, 3)}) {
        Screen s;
        s.target = stored;
        s.run([&](FakeDialogLayer& l, DialogHandle d) {
            EXPECT_EQ(l.selectedItem(d, kResolutionList), 0);
            l.click(d, kOk);
        });
        // Only the user's choice changes the stored size.
        EXPECT_EQ(s.target.width, stored.width);
        EXPECT_EQ(s.target.height, stored.height);
    }
}

TEST(ScreenSettingsDialog, SwitchingTheDepthRefillsTheModesAndKeepsTheCurrentOne) {
    Screen s;
    s.target.leaveResolution = false;
    s.target.bitsPerPixel = 32;
    s.target.width = 1280;
    s.target.height = 1024;
    s.run([&](FakeDialogLayer& l, DialogHandle d) {
        EXPECT_EQ(l.selectedItem(d, kResolutionList), 1);
        l.pickItem(d, kDepthList, 0);
        EXPECT_EQ(Screen::items(l, d, kResolutionList), (std::vector<std::u16string>{u"1280 x 1024", u"640 x 480"}));
        EXPECT_EQ(l.selectedItem(d, kResolutionList), 0);
        l.pickItem(d, kResolutionList, 1);
        l.pickItem(d, kDepthList, 1);  // 640 x 480 is not offered at 32 bits: the first mode is shown
        EXPECT_EQ(l.selectedItem(d, kResolutionList), 0);
        l.click(d, kOk);
    });
    EXPECT_EQ(s.system.asked, (std::vector<int>{32, 16, 32}));
    EXPECT_EQ(s.target.bitsPerPixel, 32);
    EXPECT_EQ(s.target.width, 640);
    EXPECT_EQ(s.target.height, 480);
}

// A first start has no depth stored: the dialog offers the screen's own, so
// a 24-bit desktop sees its true-colour modes at once.
TEST(ScreenSettingsDialog, WithoutAStoredDepthTheScreensOwnIsPreselected) {
    struct Case {
        int screenBits;
        bool stored;
        int storedBits;
        int selected;
    };
    for (const Case& c : {Case{32, false, 16, 1}, Case{24, false, 16, 1}, Case{16, false, 32, 0}, Case{0, false, 16, 0},
                          Case{32, true, 16, 0}, Case{16, true, 32, 1}}) {
        Screen s;
        s.system.screenBits = c.screenBits;
        s.target.depthStored = c.stored;
        s.target.bitsPerPixel = c.storedBits;
        s.target.leaveResolution = false;
        int selected = -1;
        s.run([&](FakeDialogLayer& l, DialogHandle d) {
            selected = l.selectedItem(d, kDepthList);
            EXPECT_FALSE(Screen::items(l, d, kResolutionList).empty());
            l.click(d, kCancel);
        });
        EXPECT_EQ(selected, c.selected) << c.screenBits << " " << c.stored;
        EXPECT_EQ(s.system.asked.front(), c.selected == 1 ? 32 : 16);
        EXPECT_EQ(s.target.bitsPerPixel, c.storedBits);  // Cancel: nothing taken over
    }
}

TEST(ScreenSettings, KnowsWhetherTheDepthWasStored) {
    FakeWindows windows;
    FakeSystem system;
    SceneFreeSaver saver(Variant::Plain, windows, system);
    saver.ReadScreenSettings();
    EXPECT_FALSE(saver.screenSettings().depthStored);
    for (uint32_t stored : {0u, 1u, 16u, 32u}) {
        system.registryStore.setDword("", "Bpp", stored);
        saver.ReadScreenSettings();
        EXPECT_TRUE(saver.screenSettings().depthStored) << stored;
        EXPECT_EQ(saver.screenSettings().bitsPerPixel, static_cast<int>(stored));
    }
}

TEST(ScreenSettingsDialog, KeepResolutionBoxEnablesTheListsAndShadeFollowsItsBox) {
    Screen s;
    s.target.multiMonitor = true;
    s.run([&](FakeDialogLayer& l, DialogHandle d) {
        l.click(d, kLeaveResolution);
        EXPECT_TRUE(l.control(d, kResolutionList).enabled);
        l.click(d, kShadeSecondary);
        l.click(d, kOk);
    });
    EXPECT_FALSE(s.target.leaveResolution);
    EXPECT_FALSE(s.target.shadeSecondary);
    EXPECT_EQ(s.target.width, -1);  // no resolution picked: the old size stays
}

TEST(ScreenSettingsDialog, NoModesLeaveTheListEmpty) {
    struct NoModes : FakeSystem {
    } system;
    FakeDialogLayer layer;
    ScreenSettings target;
    target.leaveResolution = false;
    layer.user = [](FakeDialogLayer& l, DialogHandle d) {
        EXPECT_TRUE(l.control(d, kResolutionList).items.empty());
        EXPECT_EQ(l.selectedItem(d, kResolutionList), -1);
        l.pickItem(d, kResolutionList, 0);
        l.click(d, kOk);
    };
    ScreenSettingsDialog dialog(layer, system, target, "");
    EXPECT_EQ(dialog.run(0), 1);
    EXPECT_EQ(target.width, -1);
}

// Through the shell: OK writes the five values, Cancel writes nothing.
TEST(ScreenSettingsDialog, OkWritesTheScreenSettingsAndCancelDoesNot) {
    FakeWindows windows;
    ModeSystem system;
    SceneFreeSaver saver(Variant::Plain, windows, system);
    FakeDialogLayer layer;
    layer.user = [](FakeDialogLayer& l, DialogHandle d) {
        l.click(d, kLeaveResolution);
        l.pickItem(d, kResolutionList, 1);
        l.click(d, kCancel);
    };
    saver.ShowScreenSettings(layer, 0);
    EXPECT_TRUE(system.registryStore.keys.empty() || system.registryStore.keys.begin()->second.empty());
    EXPECT_TRUE(saver.screenSettings().leaveResolution);

    layer.user = [](FakeDialogLayer& l, DialogHandle d) {
        l.click(d, kLeaveResolution);
        l.pickItem(d, kDepthList, 1);
        l.pickItem(d, kResolutionList, 3);
        l.click(d, kOk);
    };
    saver.ShowScreenSettings(layer, 0);
    EXPECT_EQ(system.registryStore.getDword("", "Width"), 800u);
    EXPECT_EQ(system.registryStore.getDword("", "Height"), 600u);
    EXPECT_EQ(system.registryStore.getDword("", "Bpp"), 32u);
    EXPECT_EQ(system.registryStore.getDword("", "LeaveRes"), 0u);
    EXPECT_EQ(system.registryStore.getDword("", "ShadeScecondary"), 1u);
}

}  // namespace
}  // namespace reef
