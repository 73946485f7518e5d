#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "app/SetPages.h"
#include "engine/FilePath.h"
#include "FakeDialogLayer.h"
#include "platform/PosixDirectoryLister.h"
#include "res/ControlIds.h"
#include "res/DialogTemplates.h"
#include "scene/SetSelection.h"
#include "testsupport/SetTree.h"

namespace reef {
namespace {

namespace fs = std::filesystem;
using test::FakeDialogLayer;

// Set folders on disk and the four pages on a fake layer.
struct SetBench {
    // Builds the four pages and fills them as the main dialog does.
    void fill() {
        layer.bitmapExists = [](const std::string& path) { return fs::exists(nativePath(path)); };
        pages.setFolders(tree.setFolder("additional"), tree.setFolder("default_fish"), tree.setFolder("default_diverse"));
        fishPage = layer.createChild(dialog::kFishPage, 1, nullptr);
        boidPage = layer.createChild(dialog::kBoidPage, 1, nullptr);
        animalsPage = layer.createChild(dialog::kAnimalsPage, 1, nullptr);
        diversePage = layer.createChild(dialog::kDiversePage, 1, nullptr);
        pages.fillFishAndBoidPages(fishPage, boidPage, &procedure);
        pages.fillAnimalsPage(animalsPage, &procedure);
        pages.fillDiversePage(diversePage, &procedure);
    }
    // Clicks an entry's check box or radio button; the command goes to the pages.
    void clickEntry(const SetEntry& entry, int controlId) {
        FakeDialogLayer::Control& c = layer.control(entry.window, controlId);
        c.checked = c.kind == ControlKind::CheckBox ? !c.checked : true;
        EXPECT_TRUE(pages.handleEntryCommand(entry.window, controlId));
    }
    bool checked(const SetEntry& entry, int controlId) { return layer.isChecked(entry.window, controlId); }

    test::SetTree tree;
    FakeDialogLayer layer;
    PosixDirectoryLister lister;
    SetSelection flags;
    SetPages pages{layer, lister, flags};
    DialogProcedure procedure;
    DialogHandle fishPage = 0, boidPage = 0, animalsPage = 0, diversePage = 0;
};

class SetPagesTest : public ::testing::Test, public SetBench {};

TEST_F(SetPagesTest, EachSetGoesToThePageOfItsCategoryWithItsIconAndFlag) {
    tree.add("default_fish", "a_fish", "fishA", "fish");
    tree.add("default_fish", "b_fish", "fishB", "fish", false);
    tree.add("default_fish", "c_school", "school", "boid");
    tree.addFolder("default_fish", "d_noinfo");
    tree.add("additional", "a_fish", "fishA", "fish");  // the same set again: listed twice, one flag
    tree.add("default_diverse", "ray", "manta", "diverse");
    flags.addSet(u"fishB", 0);
    fill();

    const auto& fish = pages.entries(SetPages::Fish);
    ASSERT_EQ(fish.size(), 3u);
    EXPECT_EQ(fish[0].id, u"fishA");
    EXPECT_EQ(fish[2].id, u"fishA");
    EXPECT_EQ((std::pair{fish[1].x, fish[1].y}), (std::pair{160, 0}));
    EXPECT_EQ((std::pair{fish[2].x, fish[2].y}), (std::pair{20, 50}));
    EXPECT_TRUE(checked(fish[0], control::kSetCheck));  // unknown until now: enabled
    EXPECT_FALSE(checked(fish[1], control::kSetCheck));
    EXPECT_NE(layer.control(fish[0].window, control::kSetIcon).bitmap, "");
    EXPECT_EQ(layer.control(fish[1].window, control::kSetIcon).bitmap, "");  // no icon file: no picture
    EXPECT_EQ(layer.control(fish[0].window, control::kSetCheck).accessibleName, u"fishA");  // no name: the id
    ASSERT_EQ(pages.entries(SetPages::Boid).size(), 1u);
    EXPECT_EQ(pages.entries(SetPages::Boid)[0].id, u"school");
    ASSERT_EQ(pages.entries(SetPages::Diverse).size(), 1u);
    EXPECT_TRUE(pages.entries(SetPages::Animals).empty());
    // Every folder read is known to the flags, even the one without a descriptor.
    EXPECT_EQ(flags.size(), 5u);
    EXPECT_EQ(flags.isSetEnabled(u""), 1);

    // Both entries of a set act on one flag.
    clickEntry(fish[2], control::kSetCheck);
    EXPECT_EQ(flags.isSetEnabled(u"fishA"), 0);
    clickEntry(fish[1], control::kSetCheck);
    EXPECT_EQ(flags.isSetEnabled(u"fishB"), 1);
    clickEntry(pages.entries(SetPages::Diverse)[0], control::kSetCheck);
    EXPECT_EQ(flags.isSetEnabled(u"manta"), 0);
    // Other commands of an entry are consumed without effect; other windows are not entries.
    EXPECT_TRUE(pages.handleEntryCommand(fish[0].window, control::kSetIcon));
    EXPECT_FALSE(pages.handleEntryCommand(fishPage, control::kSetCheck));
}

TEST(SetPages, AnimalPageChoosesOneSet) {
    struct Case {
        std::vector<uint8_t> enabled;  // stored flags of a, b, c; empty: none stored
        size_t chosen;
    };
    const Case cases[] = {{{0, 1, 0}, 1}, {{0, 0, 0}, 0}, {{1, 1, 1}, 2}, {{}, 2}};
    for (const Case& c : cases) {
        SetBench b;
        b.tree.add("default_diverse", "a", "turtle", "animal");
        b.tree.add("default_diverse", "b", "moray", "animal");
        b.tree.add("additional", "c", "clam", "animal");
        const char16_t* ids[] = {u"turtle", u"moray", u"clam"};
        for (size_t i = 0; i < c.enabled.size(); ++i) b.flags.addSet(ids[i], c.enabled[i]);
        b.fill();
        const auto& animals = b.pages.entries(SetPages::Animals);
        ASSERT_EQ(animals.size(), 3u);
        for (size_t i = 0; i < 3; ++i) {
            EXPECT_EQ(b.checked(animals[i], control::kSetRadio), i == c.chosen) << i;
            EXPECT_EQ(b.flags.isSetEnabled(ids[i]), i == c.chosen ? 1 : 0) << i;
        }
        b.clickEntry(animals[(c.chosen + 1) % 3], control::kSetRadio);
        int enabledCount = 0, checkedCount = 0;
        for (size_t i = 0; i < 3; ++i) {
            enabledCount += b.flags.isSetEnabled(ids[i]);
            checkedCount += b.checked(animals[i], control::kSetRadio);
        }
        EXPECT_EQ(enabledCount, 1);
        EXPECT_EQ(checkedCount, 1);
        EXPECT_EQ(b.flags.isSetEnabled(ids[(c.chosen + 1) % 3]), 1);
    }
}

TEST_F(SetPagesTest, AnimalSetListedTwiceStaysEnabledWhenEitherEntryIsChosen) {
    tree.add("default_diverse", "a", "turtle", "animal");
    tree.add("default_diverse", "b", "moray", "animal");
    tree.add("additional", "a", "turtle", "animal");
    fill();
    const auto& animals = pages.entries(SetPages::Animals);
    ASSERT_EQ(animals.size(), 3u);
    clickEntry(animals[0], control::kSetRadio);
    EXPECT_EQ(flags.isSetEnabled(u"turtle"), 1);
    EXPECT_EQ(flags.isSetEnabled(u"moray"), 0);
    clickEntry(animals[2], control::kSetRadio);
    EXPECT_EQ(flags.isSetEnabled(u"turtle"), 1);
}

// An entry shows no text: its set's name (in the dialog's language, else the
// descriptor's plain name, else the id) is the tooltip of its icon and its
// check box or radio button, and the name a screen reader gives the latter.
TEST(SetPages, EntriesAreNamedInTheDialogsLanguage) {
    struct Case {
        const char* language;
        const char* names;  // the descriptor's name lines
        std::u16string expected;
    };
    const Case cases[] = {
        {"GER", "name=Yellow tang\nname_ger=Gelber Segelflossendoktor\n", u"Gelber Segelflossendoktor"},
        {"ENG", "name=Yellow tang\nname_ger=Gelber Segelflossendoktor\n", u"Yellow tang"},
        {"GER", "name=Yellow tang\n", u"Yellow tang"},
        {"ENG", "NAME_ENG=Tang\nname=Yellow tang\n", u"Tang"},
        {"ENG", "", u"yellowtang"},
        {"GER", "name=\n", u"yellowtang"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(::testing::Message() << c.language << " " << c.names);
        SetBench b;
        b.tree.add("default_fish", "tang", "yellowtang", "fish", true, c.names);
        b.tree.add("default_diverse", "turtle", "yellowtang", "animal", true, c.names);  // named alike
        b.pages.setLanguage(c.language);
        b.fill();
        ASSERT_EQ(b.pages.entries(SetPages::Fish).size(), 1u);
        ASSERT_EQ(b.pages.entries(SetPages::Animals).size(), 1u);
        const SetEntry& fish = b.pages.entries(SetPages::Fish)[0];
        const SetEntry& animal = b.pages.entries(SetPages::Animals)[0];
        EXPECT_EQ(fish.name, c.expected);
        EXPECT_EQ(fish.id, u"yellowtang");  // the flag stays keyed by the id
        EXPECT_EQ(b.layer.control(fish.window, control::kSetCheck).accessibleName, c.expected);
        EXPECT_EQ(b.layer.control(fish.window, control::kSetCheck).toolTip, c.expected);
        EXPECT_EQ(b.layer.control(fish.window, control::kSetIcon).toolTip, c.expected);
        EXPECT_EQ(b.layer.control(animal.window, control::kSetRadio).accessibleName, c.expected);
        EXPECT_EQ(b.layer.control(animal.window, control::kSetRadio).toolTip, c.expected);
    }
}

// A scroll bar whose page holds every entry cannot move: it is greyed, and
// usable once the entries overflow the page.
TEST(SetPages, ScrollBarsAreGreyedWhileTheEntriesFit) {
    struct Case {
        int fish, boids, animals, diverse;
        bool scrolls;
    };
    // Fish, animals and diverse sets fill two columns of 50-pixel rows: three
    // fit (the maximum 3 is below the page of 50), four do not (53); one
    // column of boids: two fit (31), three do not (81).
    const Case cases[] = {{0, 0, 0, 0, false}, {3, 2, 3, 3, false}, {4, 3, 4, 4, true}, {7, 5, 9, 12, true}};
    for (const Case& c : cases) {
        SCOPED_TRACE(::testing::Message() << c.fish << " fish sets, " << c.boids << " schools");
        SetBench b;
        for (int i = 0; i < c.fish; ++i) b.tree.add("default_fish", "f" + std::to_string(i), "f" + std::to_string(i), "fish");
        for (int i = 0; i < c.boids; ++i) b.tree.add("additional", "b" + std::to_string(i), "b" + std::to_string(i), "boid");
        for (int i = 0; i < c.animals; ++i)
            b.tree.add("default_diverse", "a" + std::to_string(i), "a" + std::to_string(i), "animal");
        for (int i = 0; i < c.diverse; ++i)
            b.tree.add("default_diverse", "d" + std::to_string(i), "d" + std::to_string(i), "diverse");
        b.fill();
        const std::pair<DialogHandle, int> bars[] = {
            {b.fishPage, control::kFishScrollBar},
            {b.boidPage, control::kBoidScrollBar},
            {b.animalsPage, control::kAnimalsScrollBar},
            {b.diversePage, control::kDiverseScrollBar}};
        for (const auto& [page, bar] : bars) {
            EXPECT_EQ(b.layer.control(page, bar).enabled, c.scrolls) << bar;
            EXPECT_EQ(SetPages::canScroll(b.layer.scrollInfo(page, bar)), c.scrolls) << bar;
        }
    }
}

TEST_F(SetPagesTest, ScrollMaximaFollowTheEntryCount) {
    EXPECT_EQ(SetPages::scrollMaximum(SetPages::Fish, 0), -47);
    EXPECT_EQ(SetPages::scrollMaximum(SetPages::Fish, 1), -47);
    EXPECT_EQ(SetPages::scrollMaximum(SetPages::Fish, 2), 3);
    EXPECT_EQ(SetPages::scrollMaximum(SetPages::Fish, 7), 103);
    EXPECT_EQ(SetPages::scrollMaximum(SetPages::Boid, 0), -69);
    EXPECT_EQ(SetPages::scrollMaximum(SetPages::Boid, 1), -19);
    EXPECT_EQ(SetPages::scrollMaximum(SetPages::Boid, 2), 31);
    EXPECT_EQ(SetPages::scrollMaximum(SetPages::Diverse, 500), 12453);
}

TEST_F(SetPagesTest, ScrollingMovesTheEntriesWithinTheScrollRange) {
    for (int i = 0; i < 7; ++i) tree.add("default_fish", "f" + std::to_string(i), "fish" + std::to_string(i), "fish");
    fill();
    const auto& fish = pages.entries(SetPages::Fish);
    ASSERT_EQ(fish.size(), 7u);
    EXPECT_EQ(fish[6].y, 150);
    EXPECT_EQ(layer.scrollInfo(fishPage, control::kFishScrollBar).max, 103);

    auto scroll = [&](ScrollCode code, int track = 0) {
        EXPECT_TRUE(pages.handleScroll(control::kFishScrollBar, code, track));
        return layer.scrollInfo(fishPage, control::kFishScrollBar).pos;
    };
    EXPECT_EQ(scroll(ScrollCode::LineDown), 1);
    EXPECT_EQ(layer.at(fish[2].window).y, 49);
    EXPECT_EQ(scroll(ScrollCode::PageDown), 51);
    EXPECT_EQ(scroll(ScrollCode::PageDown), 54);  // max 103 less a page of 50, plus one
    EXPECT_EQ(scroll(ScrollCode::ThumbTrack, 20), 20);
    EXPECT_EQ(layer.at(fish[6].window).y, 130);
    EXPECT_EQ(scroll(ScrollCode::Bottom), 54);
    EXPECT_EQ(scroll(ScrollCode::Top), 0);
    EXPECT_EQ(scroll(ScrollCode::LineUp), 0);
    EXPECT_EQ(layer.at(fish[5].window).x, 160);
    EXPECT_FALSE(pages.handleScroll(1099, ScrollCode::LineDown, 0));

    // Pages with no entries: the scroll bar does nothing.
    EXPECT_TRUE(pages.handleScroll(control::kBoidScrollBar, ScrollCode::PageDown, 0));
    EXPECT_EQ(layer.scrollInfo(boidPage, control::kBoidScrollBar).pos, 0);
}

TEST_F(SetPagesTest, ManySetsAndLongIdsAreListedAndScrollable) {
    const std::string longId(300, 'x');
    tree.add("default_diverse", "long", longId, "diverse");
    for (int i = 0; i < 499; ++i) tree.add("additional", "d" + std::to_string(i), "d" + std::to_string(i), "diverse", false);
    fill();
    const auto& diverse = pages.entries(SetPages::Diverse);
    ASSERT_EQ(diverse.size(), 500u);
    EXPECT_EQ(diverse[0].id.size(), SetPages::kMaxIdLength);
    EXPECT_EQ(flags.isSetEnabled(diverse[0].id), 1);
    EXPECT_EQ(layer.scrollInfo(diversePage, control::kDiverseScrollBar).max, 12453);
    EXPECT_TRUE(pages.handleScroll(control::kDiverseScrollBar, ScrollCode::Bottom, 0));
    EXPECT_EQ(layer.at(diverse[499].window).y, 249 * 50 - 12404);
}

}  // namespace
}  // namespace reef
