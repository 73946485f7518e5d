#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "FakeDialogLayer.h"
#include "app/ConfigDialog.h"
#include "engine/WideText.h"
#include "platform/PosixDirectoryLister.h"
#include "ui/DatReader.h"

namespace reef {
namespace {

namespace fs = std::filesystem;
using testing::FakeDialogLayer;

constexpr int kPageCount = 9;

// A folder tree of creature sets under a fresh temporary folder.
class SetTree {
public:
    SetTree() {
        char pattern[] = "/tmp/reef-config-XXXXXX";
        m_base = m_root = mkdtemp(pattern);
        for (const char* sub : {"sets/additional", "sets/default_fish", "sets/default_diverse"})
            fs::create_directories(m_root / sub);
    }
    ~SetTree() { fs::remove_all(m_base); }
    // Moves the install folder down until its path is at least length characters
    // long (each folder name within the file system's 255 bytes).
    void deepen(size_t length) {
        while (m_root.string().size() < length) m_root /= std::string(200, 'd');
        for (const char* sub : {"sets/additional", "sets/default_fish", "sets/default_diverse"})
            fs::create_directories(m_root / sub);
    }
    // A set folder with its descriptor (and an icon file unless told otherwise).
    void add(const std::string& where, const std::string& name, const std::string& id, const std::string& category,
             bool withIcon = true) {
        const fs::path folder = m_root / "sets" / where / name;
        fs::create_directories(folder);
        std::ofstream(folder / "info.ini") << "[common]\nid=" << id << "\n[saver]\ntype=fish\n[settings]\ncategory="
                                           << category << "\nicon=icon.bmp\n";
        if (withIcon) std::ofstream(folder / "icon.bmp") << "BM";
    }
    std::string install() const { return m_root.string() + "/"; }

private:
    fs::path m_base, m_root;
};

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
    SetTree tree;
    DatReader language;
    DatReader directory;
    SaverSettings target;
    int screenSettingsShown = 0;
    int stores = 0;
    bool storeWorks = true;

    explicit Harness(bool withTexts = true) {
        language.setSection("GER");
        directory.setSection("GER");
        if (!withTexts) return;
        const std::vector<uint8_t> text = utf16(
            u"[GER]\r\ncaption = {Einstellungen}\r\ncancel = {Abbrechen}\r\nOK = {OK}\r\nscreensettings = "
            u"{Bildschirm}\r\nintro = {Willkommen}\r\nfish = {Fische}\r\ncamera = {Kamera}\r\nautomatic = {auto}\r\n"
            u"top = {oben}\r\nmiddle = {Mitte}\r\nbottom = {unten}\r\nresttime_top = {Verweildauer oben:}\r\n"
            u"hyperlink = {https://reef.example/}\r\nsavefailed = {Nicht gespeichert}\r\n");
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
        dialog.setInstallFolder(tree.install());
        dialog.setAdditionalSetsFolder(tree.install() + "sets\\additional\\");
        dialog.setDefaultFishSetsFolder(tree.install() + "sets\\default_fish\\");
        dialog.setDefaultDiverseSetsFolder(tree.install() + "sets\\default_diverse\\");
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
    void ok(DialogHandle main) { layer.click(main, 1); }
    void cancel(DialogHandle main) { layer.click(main, 2); }

    size_t finalPages = 0;
    SaverSettings working;
};

TEST(ConfigDialog, MainDialogListsThePagesThenTheScreenSettingsAndShowsTheIntro) {
    Harness h;
    h.run([&](FakeDialogLayer& l, DialogHandle main) {
        EXPECT_EQ(l.at(main).title, u"Einstellungen");
        EXPECT_EQ(l.text(main, 2), u"Abbrechen");
        EXPECT_FALSE(l.control(main, 1006).visible);
        const auto& items = l.control(main, 1030).items;
        ASSERT_EQ(items.size(), 10u);
        EXPECT_EQ(items[0].first, u"Willkommen");
        EXPECT_EQ(items[2].first, u"Fische");
        EXPECT_EQ(items[1].first, u"");  // no "boid" text in this language file
        EXPECT_EQ(items[9].first, u"Bildschirm");
        EXPECT_EQ(l.selectedItem(main, 1030), 0);
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
        EXPECT_EQ(l.control(l.first(128), 1049).bitmap, h.tree.install() + "intro.bmp");

        l.pickItem(main, 1030, 7);
        EXPECT_TRUE(l.at(l.first(204)).visible);
        EXPECT_FALSE(l.at(l.first(128)).visible);
        // The tenth entry opens the screen settings once and keeps the camera page.
        l.pickItem(main, 1030, 9);
        l.pickItem(main, 1030, 9);
        EXPECT_EQ(h.screenSettingsShown, 1);
        EXPECT_TRUE(l.at(l.first(204)).visible);
        l.pickItem(main, 1030, 3);
        l.pickItem(main, 1030, 9);
        EXPECT_EQ(h.screenSettingsShown, 2);
        h.cancel(main);
    });
    EXPECT_EQ(h.finalPages, static_cast<size_t>(kPageCount));
}

// Each trackbar spans its setting's offered range, one position per step, and
// its ends store the ends of that range.
TEST(ConfigDialog, TrackbarsSpanTheSettingsOfferedRanges) {
    struct Track {
        int page, control;
        int32_t SaverSettings::*setting;
    };
    const Track tracks[] = {{201, 1013, &SaverSettings::BoidCount},
                            {207, 1055, &SaverSettings::FishCount},
                            {204, 1023, &SaverSettings::CameraSpeed},
                            {204, 1024, &SaverSettings::CameraFixTop},
                            {204, 1034, &SaverSettings::CameraFixBottom}};
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
        EXPECT_EQ(l.trackPos(boid, 1013), 2);
        EXPECT_EQ(l.text(boid, 1014), u"12");
        l.moveTrack(boid, 1013, 3);
        EXPECT_EQ(l.text(boid, 1014), u"15");

        EXPECT_EQ(l.control(fish, 1055).trackMax, 20);
        EXPECT_EQ(l.trackPos(fish, 1055), 7);
        EXPECT_EQ(l.text(fish, 1056), u"7");
        l.moveTrack(fish, 1055, 18);
        EXPECT_EQ(l.text(fish, 1056), u"18");

        EXPECT_FALSE(l.isChecked(birds, 1010));
        l.click(birds, 1010);

        EXPECT_FALSE(l.isChecked(sky, 1031));
        EXPECT_TRUE(l.isChecked(sky, 1032));
        l.click(sky, 1031);

        EXPECT_EQ(l.selectedItem(camera, 1012), 2);
        ASSERT_EQ(l.control(camera, 1012).items.size(), 4u);
        EXPECT_EQ(l.control(camera, 1012).items[0].first, u"auto");
        EXPECT_EQ(l.text(camera, 1028), u"Verweildauer oben:");
        for (int id : {1023, 1024, 1034, 1027, 1028, 1029, 1043, 1044, 1045, 1046, 1047, 1048})
            EXPECT_FALSE(l.control(camera, id).visible) << id;
        EXPECT_EQ(l.trackPos(camera, 1023), 6);
        EXPECT_EQ(l.trackPos(camera, 1024), 45);
        EXPECT_EQ(l.trackPos(camera, 1034), 60);
        l.pickItem(camera, 1012, 0);
        for (int id : {1023, 1024, 1034, 1027, 1028, 1029, 1043, 1044, 1045, 1046, 1047, 1048})
            EXPECT_TRUE(l.control(camera, id).visible) << id;
        l.moveTrack(camera, 1023, 9);
        l.moveTrack(camera, 1024, 5);

        EXPECT_TRUE(l.isChecked(sound, 1009));
        l.click(sound, 1009);
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
        EXPECT_FALSE(l.isChecked(l.first(203), 1031));
        EXPECT_FALSE(l.isChecked(l.first(203), 1032));
        EXPECT_EQ(l.selectedItem(l.first(204), 1012), -1);
        EXPECT_FALSE(l.control(l.first(204), 1023).visible);
        l.click(l.first(203), 1032);  // a radio click that is not the checked one changes the value
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
        l.moveTrack(l.first(207), 1055, 19);
        l.click(l.first(205), 1009);
        l.pickItem(l.first(204), 1012, 3);
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
        l.click(l.first(128), 1008);
        h.cancel(main);
    });
    ASSERT_EQ(h.layer.openedUris.size(), 1u);
    EXPECT_EQ(h.layer.openedUris[0], "https://reef.example/");
}

TEST(ConfigDialog, WorksWithoutLanguageTextsAndWithPagesThatCannotBeBuilt) {
    Harness h(false);
    h.layer.failingTemplates = {207, 139};
    h.layer.bitmapExists = [](const std::string&) { return false; };
    h.tree.add("default_fish", "a", "fishA", "fish");
    const int result = h.run([&](FakeDialogLayer& l, DialogHandle main) {
        EXPECT_EQ(l.at(main).title, u"Einstellungen");  // the template's caption stays
        for (const auto& item : l.control(main, 1030).items) EXPECT_EQ(item.first, u"");
        EXPECT_EQ(l.first(207), 0u);
        l.pickItem(main, 1030, 2);  // the fish page is missing: nothing is shown, nothing breaks
        l.pickItem(main, 1030, 1);
        EXPECT_TRUE(l.at(l.first(201)).visible);
        EXPECT_EQ(l.control(l.first(128), 1049).bitmap, "");
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
            EXPECT_EQ(l.control(l.first(128), 1049).bitmap, h.tree.install() + "intro.bmp");
            const SetPages& pages = dialog->setPages();
            ASSERT_EQ(pages.entries(SetPages::Fish).size(), 1u);
            EXPECT_EQ(pages.entries(SetPages::Fish)[0].id, u"fishA");
            EXPECT_NE(l.control(pages.entries(SetPages::Fish)[0].window, 1051).bitmap, "");
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
    const fs::path file = fs::temp_directory_path() / ("reef-utf8-language-" + std::to_string(getpid()) + ".dat");
    std::ofstream(file, std::ios::binary) << utf8;
    ASSERT_TRUE(h.language.open(file.string()));
    fs::remove(file);
    h.run([&](FakeDialogLayer& l, DialogHandle main) {
        EXPECT_EQ(l.at(main).title, u"Einstellungen");
        EXPECT_EQ(l.text(main, 1), u"OK");
        EXPECT_EQ(l.text(main, 2), u"Abbrechen");
        EXPECT_EQ(l.text(main, 1006), u"Bildschirm Einstellungen");
        EXPECT_EQ(l.text(l.first(203), 1031), u"bew\u00f6lkt");
        EXPECT_EQ(l.text(l.first(204), 1028), u"Verweildauer oben:");
        EXPECT_EQ(l.text(l.first(205), 1009), u"ein/aus");
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
