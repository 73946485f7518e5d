#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "app/ConfigDialog.h"
#include "engine/WideText.h"
#include "FakeDialogLayer.h"
#include "platform/PosixDirectoryLister.h"
#include "res/ControlIds.h"
#include "testsupport/DiagnosticCapture.h"
#include "testsupport/SetTree.h"
#include "ui/DatReader.h"

namespace reef {
namespace {

namespace fs = std::filesystem;
using test::FakeDialogLayer;

constexpr int kPageCount = 9;

std::vector<uint8_t> utf16(const std::u16string& text) {
    std::vector<uint8_t> bytes;
    for (char16_t c : text) {
        bytes.push_back(static_cast<uint8_t>(c & 0xFF));
        bytes.push_back(static_cast<uint8_t>(c >> 8));
    }
    return bytes;
}

// The dialog wired as the application wires it, on a fake layer.
struct Harness {
    FakeDialogLayer layer;
    PosixDirectoryLister lister;
    test::SetTree tree;
    DatReader language;
    DatReader directory;
    SaverSettings target;
    int screenSettingsShown = 0;
    int stores = 0;
    bool storeWorks = true;

    std::vector<std::string> documentFolders;

    explicit Harness(bool withTexts = true, const std::u16string& extraTexts = u"hyperlink = {https://reef.example/}") {
        language.setSection("GER");
        directory.setSection("GER");
        if (!withTexts) return;
        const std::vector<uint8_t> text = utf16(
            u"[GER]\r\ncaption = {Einstellungen}\r\ncancel = {Abbrechen}\r\nOK = {OK}\r\nscreensettings = "
            u"{Bildschirm}\r\nintro = {Willkommen}\r\nfish = {Fische}\r\ncamera = {Kamera}\r\nautomatic = {auto}\r\n"
            u"top = {oben}\r\nmiddle = {Mitte}\r\nbottom = {unten}\r\nresttime_top = {Verweildauer oben:}\r\n"
            u"birds = {V\u00f6gel}\r\nbirdtype = {Vogelarten}\r\nsavefailed = {Nicht gespeichert}\r\n" + extraTexts);
        language.open(text.data(), text.size());
        const std::vector<uint8_t> dir = utf16(u"[GER]\r\nmainbitmap = {intro.bmp}\r\n");
        directory.open(dir.data(), dir.size());
    }

    // Runs the dialog with user as the person at the screen; the dialog's result.
    int run(std::function<void(FakeDialogLayer&, DialogHandle)> user, ConfigDialog** seen = nullptr) {
        ConfigDialog dialog(layer, lister);
        dialog.setApplication({[this](DialogHandle) { ++screenSettingsShown; },
                               [this] {
                                   ++stores;
                                   return storeWorks;
                               }});
        dialog.setLanguage(&language);
        dialog.setDirectory(&directory);
        dialog.setInstallFolder(tree.path());
        dialog.setDocumentFolders(documentFolders);
        dialog.setAdditionalSetsFolder(tree.setFolder("additional"));
        dialog.setDefaultFishSetsFolder(tree.setFolder("default_fish"));
        dialog.setDefaultDiverseSetsFolder(tree.setFolder("default_diverse"));
        dialog.bind(target);
        layer.user = [&](FakeDialogLayer& l, DialogHandle main) {
            if (seen) *seen = &dialog;
            user(l, main);
        };
        finalPages = 0;
        const int result = dialog.run(0);
        finalPages = dialog.pages().size();
        working = dialog.settings();
        return result;
    }
    DialogHandle page(int templateId) { return layer.first(templateId); }
    void ok(DialogHandle main) { layer.click(main, control::kOk); }
    void cancel(DialogHandle main) { layer.click(main, control::kCancel); }

    size_t finalPages = 0;
    SaverSettings working;
};

TEST(ConfigDialog, MainDialogListsThePagesThenTheScreenSettingsAndShowsTheIntro) {
    Harness h;
    h.run([&](FakeDialogLayer& l, DialogHandle main) {
        EXPECT_EQ(l.at(main).title, u"Einstellungen");
        EXPECT_EQ(l.text(main, control::kCancel), u"Abbrechen");
        EXPECT_FALSE(l.control(main, control::kScreenSettingsButton).visible);
        const auto& items = l.control(main, control::kPageList).items;
        ASSERT_EQ(items.size(), 10u);
        EXPECT_EQ(items[0].first, u"Willkommen");
        EXPECT_EQ(items[2].first, u"Fische");
        EXPECT_EQ(items[1].first, u"");  // no "boid" text in this language file
        EXPECT_EQ(items[9].first, u"Bildschirm");
        EXPECT_EQ(l.selectedItem(main, control::kPageList), 0);
        int visible = 0;
        for (int t : {128, 201, 207, 206, 210, 211, 203, 204, 205}) {
            const DialogHandle page = l.first(t);
            ASSERT_NE(page, 0u);
            EXPECT_EQ(l.at(page).x, 133);
            EXPECT_EQ(l.at(page).y, 11);
            visible += l.at(page).visible;
        }
        EXPECT_EQ(visible, 1);
        EXPECT_TRUE(l.at(l.first(128)).visible);
        // The intro picture: install folder and the directory file's picture name.
        EXPECT_EQ(l.control(l.first(128), control::kIntroPicture).bitmap, h.tree.path() + "intro.bmp");

        l.pickItem(main, control::kPageList, 7);
        EXPECT_TRUE(l.at(l.first(204)).visible);
        EXPECT_FALSE(l.at(l.first(128)).visible);
        // The tenth entry opens the screen settings once and keeps the camera page.
        l.pickItem(main, control::kPageList, 9);
        l.pickItem(main, control::kPageList, 9);
        EXPECT_EQ(h.screenSettingsShown, 1);
        EXPECT_TRUE(l.at(l.first(204)).visible);
        l.pickItem(main, control::kPageList, 3);
        l.pickItem(main, control::kPageList, 9);
        EXPECT_EQ(h.screenSettingsShown, 2);
        h.cancel(main);
    });
    EXPECT_EQ(h.finalPages, static_cast<size_t>(kPageCount));
}

// Every text of the pages' table reaches its control, the birds page's group
// box (its first unnumbered control) included.
TEST(ConfigDialog, EveryPageTextReachesItsControl) {
    using namespace control;
    struct PageText {
        int page, control;
        const char16_t* key;
    };
    const PageText texts[] = {
        {128, kIntroText, u"infotxt"},         {128, kLinkButton, u"hyperlink_txt"},
        {201, kBoidTypeGroup, u"boidtype"},     {201, kBoidCountGroup, u"boidcount"},
        {207, kFishTypeGroup, u"fishtype"},     {207, kFishCountGroup, u"fishcount"},
        {206, kBirdTypeGroup, u"birdtype"},     {210, kAnimalsTypeGroup, u"animalstype"},
        {211, kDiverseTypeGroup, u"diversetype"}, {203, kSkyGroup, u"skytext"},
        {203, kCloudyRadio, u"cloudy"},         {203, kCloudlessRadio, u"cloudless"},
        {204, kCameraGroup, u"cameratext"},     {204, kSpeedLabel, u"scrollspeed"},
        {204, kRestTopLabel, u"resttime_top"},  {204, kRestBottomLabel, u"resttime_bottom"},
        {205, kSoundGroup, u"soundtext"},       {205, kSoundCheck, u"on_off"},
    };
    Harness h;
    std::u16string file = u"[GER]\r\n";
    for (const PageText& text : texts) file += std::u16string(text.key) + u" = {<" + text.key + u">}\r\n";
    const std::vector<uint8_t> bytes = utf16(file);
    h.language.open(bytes.data(), bytes.size());
    h.run([&](FakeDialogLayer& l, DialogHandle main) {
        for (const PageText& text : texts)
            EXPECT_EQ(l.text(l.first(text.page), text.control), u"<" + std::u16string(text.key) + u">")
                << text.page << " " << text.control;
        h.cancel(main);
    });
}

// Each trackbar spans its setting's offered range, one position per step, and
// its ends store the ends of that range.
TEST(ConfigDialog, TrackbarsSpanTheSettingsOfferedRanges) {
    struct Track {
        int page, control;
        int32_t SaverSettings::*setting;
    };
    const Track tracks[] = {{201, control::kBoidTrack, &SaverSettings::BoidCount},
                            {207, control::kFishTrack, &SaverSettings::FishCount},
                            {204, control::kSpeedTrack, &SaverSettings::CameraSpeed},
                            {204, control::kRestTopTrack, &SaverSettings::CameraFixTop},
                            {204, control::kRestBottomTrack, &SaverSettings::CameraFixBottom}};
    for (const Track& track : tracks) {
        const SettingRange& offered = SaverSettings::row(track.setting).offered;
        for (const bool highEnd : {false, true}) {
            Harness h;
            h.run([&](FakeDialogLayer& l, DialogHandle main) {
                const DialogHandle page = l.first(track.page);
                EXPECT_EQ(l.control(page, track.control).trackMin * offered.step, offered.lowest) << track.control;
                EXPECT_EQ(l.control(page, track.control).trackMax * offered.step, offered.highest) << track.control;
                l.moveTrack(page, track.control, highEnd ? l.control(page, track.control).trackMax
                                                         : l.control(page, track.control).trackMin);
                h.ok(main);
            });
            EXPECT_EQ(h.target.*track.setting, highEnd ? offered.highest : offered.lowest) << track.control;
        }
    }
}

TEST(ConfigDialog, PagesStartFromTheSettingsAndCommandsEditTheWorkingCopy) {
    Harness h;
    h.target.BoidCount = 12;
    h.target.FishCount = 7;
    h.target.BirdGull = false;
    h.target.SkyType = 1;
    h.target.CameraPos = 2;
    h.target.CameraSpeed = 6;
    h.target.CameraFixTop = 45;
    h.target.CameraFixBottom = 70;  // beyond the trackbar: shown at its end, kept unless moved
    h.target.SoundOn = true;
    h.target.BoidModel = 3;
    const int result = h.run([&](FakeDialogLayer& l, DialogHandle main) {
        const DialogHandle boid = l.first(201), fish = l.first(207), birds = l.first(206);
        const DialogHandle sky = l.first(203), camera = l.first(204), sound = l.first(205);
        EXPECT_EQ(l.trackPos(boid, control::kBoidTrack), 2);
        EXPECT_EQ(l.text(boid, control::kBoidReadout), u"12");
        l.moveTrack(boid, control::kBoidTrack, 3);
        EXPECT_EQ(l.text(boid, control::kBoidReadout), u"15");

        EXPECT_EQ(l.control(fish, control::kFishTrack).trackMax, 20);
        EXPECT_EQ(l.trackPos(fish, control::kFishTrack), 7);
        EXPECT_EQ(l.text(fish, control::kFishReadout), u"7");
        l.moveTrack(fish, control::kFishTrack, 18);
        EXPECT_EQ(l.text(fish, control::kFishReadout), u"18");

        EXPECT_FALSE(l.isChecked(birds, control::kGullCheck));
        EXPECT_EQ(l.text(birds, control::kBirdTypeGroup), u"Vogelarten");  // the group box, from "birdtype"
        // No "gulls" text in this language file: the page's title names the box.
        EXPECT_EQ(l.control(birds, control::kGullCheck).accessibleName, u"V\u00f6gel");
        EXPECT_EQ(l.control(birds, control::kGullCheck).toolTip, u"V\u00f6gel");
        l.click(birds, control::kGullCheck);

        EXPECT_FALSE(l.isChecked(sky, control::kCloudyRadio));
        EXPECT_TRUE(l.isChecked(sky, control::kCloudlessRadio));
        l.click(sky, control::kCloudyRadio);

        EXPECT_EQ(l.selectedItem(camera, control::kCameraChoice), 2);
        ASSERT_EQ(l.control(camera, control::kCameraChoice).items.size(), 4u);
        EXPECT_EQ(l.control(camera, control::kCameraChoice).items[0].first, u"auto");
        EXPECT_EQ(l.text(camera, control::kRestTopLabel), u"Verweildauer oben:");
        for (int id : {control::kSpeedTrack, control::kRestTopTrack, control::kRestBottomTrack, control::kSpeedLabel, control::kRestTopLabel, control::kRestBottomLabel, control::kSpeedMinus, control::kRestTopMinus, control::kRestBottomMinus, control::kSpeedPlus, control::kRestTopPlus, control::kRestBottomPlus})
            EXPECT_FALSE(l.control(camera, id).visible) << id;
        EXPECT_EQ(l.trackPos(camera, control::kSpeedTrack), 6);
        EXPECT_EQ(l.trackPos(camera, control::kRestTopTrack), 45);
        EXPECT_EQ(l.trackPos(camera, control::kRestBottomTrack), 60);
        l.pickItem(camera, control::kCameraChoice, 0);
        for (int id : {control::kSpeedTrack, control::kRestTopTrack, control::kRestBottomTrack, control::kSpeedLabel, control::kRestTopLabel, control::kRestBottomLabel, control::kSpeedMinus, control::kRestTopMinus, control::kRestBottomMinus, control::kSpeedPlus, control::kRestTopPlus, control::kRestBottomPlus})
            EXPECT_TRUE(l.control(camera, id).visible) << id;
        l.moveTrack(camera, control::kSpeedTrack, 9);
        l.moveTrack(camera, control::kRestTopTrack, 5);

        EXPECT_TRUE(l.isChecked(sound, control::kSoundCheck));
        l.click(sound, control::kSoundCheck);
        h.ok(main);
    });
    EXPECT_EQ(result, 1);
    EXPECT_EQ(h.stores, 1);
    EXPECT_EQ(h.target.BoidCount, 15);
    EXPECT_EQ(h.target.FishCount, 18);
    EXPECT_TRUE(h.target.BirdGull);
    EXPECT_EQ(h.target.SkyType, 0);
    EXPECT_EQ(h.target.CameraPos, 0);
    EXPECT_EQ(h.target.CameraSpeed, 9);
    EXPECT_EQ(h.target.CameraFixTop, 5);
    EXPECT_EQ(h.target.CameraFixBottom, 70);
    EXPECT_FALSE(h.target.SoundOn);
    EXPECT_EQ(h.target.BoidModel, 3);
}

TEST(ConfigDialog, OutOfRangeValuesShowNothingSelectedAndStayUntouched) {
    Harness h;
    h.target.SkyType = 5;
    h.target.CameraPos = 7;
    h.run([&](FakeDialogLayer& l, DialogHandle main) {
        EXPECT_FALSE(l.isChecked(l.first(203), control::kCloudyRadio));
        EXPECT_FALSE(l.isChecked(l.first(203), control::kCloudlessRadio));
        EXPECT_EQ(l.selectedItem(l.first(204), control::kCameraChoice), -1);
        EXPECT_FALSE(l.control(l.first(204), control::kSpeedTrack).visible);
        l.click(l.first(203), control::kCloudlessRadio);  // a radio click that is not the checked one changes the value
        h.ok(main);
    });
    EXPECT_EQ(h.target.SkyType, 1);
    EXPECT_EQ(h.target.CameraPos, 7);
}

TEST(ConfigDialog, CancelKeepsTheTargetAndStoresNothing) {
    Harness h;
    h.target.FishCount = 4;
    const SaverSettings before = h.target;
    const int result = h.run([&](FakeDialogLayer& l, DialogHandle main) {
        l.moveTrack(l.first(207), control::kFishTrack, 19);
        l.click(l.first(205), control::kSoundCheck);
        l.pickItem(l.first(204), control::kCameraChoice, 3);
        h.cancel(main);
    });
    EXPECT_EQ(result, 2);
    EXPECT_EQ(h.stores, 0);
    EXPECT_EQ(h.target.FishCount, before.FishCount);
    EXPECT_EQ(h.target.SoundOn, before.SoundOn);
    EXPECT_EQ(h.target.CameraPos, before.CameraPos);
    EXPECT_EQ(h.working.FishCount, 19);  // only the working copy saw the change
}

TEST(ConfigDialog, StoreFailureKeepsTheDialogOpenWithAMessage) {
    Harness h;
    h.storeWorks = false;
    const int result = h.run([&](FakeDialogLayer& l, DialogHandle main) {
        h.ok(main);
        EXPECT_FALSE(l.at(main).ended);
        ASSERT_EQ(l.messages.size(), 1u);
        EXPECT_EQ(l.messages[0], u"Nicht gespeichert");
        h.storeWorks = true;
        h.ok(main);
    });
    EXPECT_EQ(result, 1);
    EXPECT_EQ(h.stores, 2);
}

TEST(ConfigDialog, LinkButtonOpensTheHyperlink) {
    Harness h;
    h.run([&](FakeDialogLayer& l, DialogHandle main) {
        l.click(l.first(128), control::kLinkButton);
        h.cancel(main);
    });
    ASSERT_EQ(h.layer.openedUris.size(), 1u);
    EXPECT_EQ(h.layer.openedUris[0], "https://reef.example/");
}

// A plain file name is a document shipped with the program: the first folder
// holding it gives a file:// address (a build tree's program folder before the
// installed documentation folder); without one nothing is opened.
TEST(ConfigDialog, LinkToAShippedDocumentOpensItsFile) {
    const test::TempFolder folder;
    const fs::path root = folder.path();
    const fs::path program = root / "lib" / "reefsaver", docs = root / "share" / "reef docs";
    fs::create_directories(program);
    fs::create_directories(docs);
    std::ofstream(docs / "README.md") << "# ReefSaver\n";
    fs::create_directory(program / "README.md");  // a folder of that name is no document
    struct Case {
        const char* what;
        std::vector<std::string> folders;
        std::vector<std::string> opened;
    };
    const std::string installed = "file://" + root.string() + "/share/reef%20docs/README.md";
    const Case cases[] = {
        {"installed", {program.string() + "/", program.string() + "/../../share/reef docs/"}, {installed}},
        {"missing", {program.string() + "/"}, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Harness h(true, u"hyperlink = {README.md}\r\ngulls = {M\u00f6wen}");
        h.documentFolders = c.folders;
        test::captureErrors();
        h.run([&](FakeDialogLayer& l, DialogHandle main) {
            l.click(l.first(dialog::kIntroPage), control::kLinkButton);
            EXPECT_EQ(l.control(l.first(dialog::kBirdsPage), control::kGullCheck).accessibleName, u"M\u00f6wen");
            h.cancel(main);
        });
        const std::string errors = test::capturedErrors();
        EXPECT_EQ(h.layer.openedUris, c.opened);
        EXPECT_EQ(errors.empty(), !c.opened.empty()) << errors;
    }
    // A build tree: the README beside the programs wins.
    std::ofstream(root / "lib" / "README.md") << "# ReefSaver\n";
    Harness h(true, u"hyperlink = {README.md}");
    h.documentFolders = {program.string() + "/../", docs.string() + "/"};
    h.run([&](FakeDialogLayer& l, DialogHandle main) {
        l.click(l.first(dialog::kIntroPage), control::kLinkButton);
        h.cancel(main);
    });
    ASSERT_EQ(h.layer.openedUris.size(), 1u);
    EXPECT_EQ(h.layer.openedUris[0], "file://" + (root / "lib" / "README.md").string());
}

TEST(ConfigDialog, WorksWithoutLanguageTextsAndWithPagesThatCannotBeBuilt) {
    Harness h(false);
    h.layer.failingTemplates = {207, 139};
    h.layer.bitmapExists = [](const std::string&) { return false; };
    h.tree.add("default_fish", "a", "fishA", "fish");
    const int result = h.run([&](FakeDialogLayer& l, DialogHandle main) {
        EXPECT_EQ(l.at(main).title, u"Einstellungen");  // the template's caption stays
        for (const auto& item : l.control(main, control::kPageList).items) EXPECT_EQ(item.first, u"");
        EXPECT_EQ(l.first(207), 0u);
        l.pickItem(main, control::kPageList, 2);  // the fish page is missing: nothing is shown, nothing breaks
        l.pickItem(main, control::kPageList, 1);
        EXPECT_TRUE(l.at(l.first(201)).visible);
        EXPECT_EQ(l.control(l.first(128), control::kIntroPicture).bitmap, "");
        h.ok(main);
    });
    EXPECT_EQ(result, 1);
}

TEST(ConfigDialog, ListsTheSetsOfADeepInstallFolder) {
    Harness h;
    h.tree.deepen(4000);
    h.tree.add("default_fish", "a", "fishA", "fish");
    h.tree.add("default_diverse", "b", "turtle", "animal");
    ConfigDialog* dialog = nullptr;
    h.run(
        [&](FakeDialogLayer& l, DialogHandle main) {
            EXPECT_EQ(l.control(l.first(128), control::kIntroPicture).bitmap, h.tree.path() + "intro.bmp");
            const SetPages& pages = dialog->setPages();
            ASSERT_EQ(pages.entries(SetPages::Fish).size(), 1u);
            EXPECT_EQ(pages.entries(SetPages::Fish)[0].id, u"fishA");
            EXPECT_NE(l.control(pages.entries(SetPages::Fish)[0].window, control::kSetIcon).bitmap, "");
            ASSERT_EQ(pages.entries(SetPages::Animals).size(), 1u);
            h.cancel(main);
        },
        &dialog);
}

// A language file saved as UTF-8 cannot be read (the texts are UTF-16): every
// text it should give is empty, and every caption the template carries stays.
TEST(ConfigDialog, ALanguageFileInUtf8KeepsTheTemplatesCaptions) {
    Harness h(false);
    const std::string utf8 = "[GER]\r\ncaption = {Settings}\r\ncancel = {Cancel}\r\nOK = {Okay}\r\n"
                             "cloudy = {cloudy}\r\nresttime_top = {Rest at the top:}\r\n";
    const test::TempFolder folder;
    std::ofstream(folder.file("Language.dat"), std::ios::binary) << utf8;
    ASSERT_TRUE(h.language.open(folder.file("Language.dat")));
    h.run([&](FakeDialogLayer& l, DialogHandle main) {
        EXPECT_EQ(l.at(main).title, u"Einstellungen");
        EXPECT_EQ(l.text(main, control::kOk), u"OK");
        EXPECT_EQ(l.text(main, control::kCancel), u"Abbrechen");
        EXPECT_EQ(l.text(main, control::kScreenSettingsButton), u"Bildschirmeinstellungen");
        EXPECT_EQ(l.text(l.first(203), control::kCloudyRadio), u"bew\u00f6lkt");
        EXPECT_EQ(l.text(l.first(204), control::kRestTopLabel), u"Verweildauer oben:");
        EXPECT_EQ(l.text(l.first(205), control::kSoundCheck), u"ein/aus");
        h.cancel(main);
    });
}

TEST(ConfigDialog, NoDialogAtAllIsReported) {
    Harness h;
    h.layer.cannotShow = true;
    EXPECT_EQ(h.run([](FakeDialogLayer&, DialogHandle) {}), -1);
    EXPECT_EQ(h.stores, 0);
}

}  // namespace
}  // namespace reef
