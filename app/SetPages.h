// The four set pages of the configuration dialog (fish, boid, animals,
// diverse): each lists the set folders of its category as small entry dialogs
// with the set's icon and a check box (a radio button on the animals page),
// keeps the working copy's per-set flags in step with the clicks, and scrolls
// the entries with the page's scroll bar.
#pragma once

#include <array>
#include <cstddef>
#include <string>
#include <vector>

#include "platform/DialogLayer.h"

namespace reef {

class DirectoryLister;
class ProfileReader;
class SetSelection;

// One listed set.
struct SetEntry {
    DialogHandle window = 0;  // the entry dialog inside the page's container
    std::u16string id;        // the set id from its descriptor
    std::u16string name;      // the name a person reads: the descriptor's, else the id
    int x = 0;                // unscrolled position in the container, pixels
    int y = 0;
};

class SetPages {
public:
    enum Page { Fish = 0, Boid = 1, Animals = 2, Diverse = 3 };
    static constexpr size_t kPageCount = 4;

    // Entries are laid out in a grid of these pixel steps.
    static constexpr int kColumnStep = 140;
    static constexpr int kColumnOffset = 20;
    static constexpr int kRowStep = 50;
    // The containers sit at this pixel position inside their pages.
    static constexpr int kContainerX = 15;
    static constexpr int kContainerY = 30;
    static constexpr size_t kMaxIdLength = 127;

    // fishSets is the dialog's working copy of the per-set flags.
    SetPages(DialogLayer& layer, const DirectoryLister& lister, SetSelection& fishSets);

    // The language of the set names: a descriptor's "name_<section>" (in
    // lower case, "name_ger") is preferred to its "name".
    void setLanguage(const std::string& section);
    // The three scanned folders, each ending in a separator.
    void setFolders(const std::string& additional, const std::string& defaultFish, const std::string& defaultDiverse);

    // Entry dialogs get entryProcedure, which hands their commands back to handleEntryCommand.
    void fillFishAndBoidPages(DialogHandle fishPage, DialogHandle boidPage, DialogProcedure* entryProcedure);
    void fillAnimalsPage(DialogHandle animalsPage, DialogProcedure* entryProcedure);
    void fillDiversePage(DialogHandle diversePage, DialogProcedure* entryProcedure);

    // Reads one set folder; when its category matches, creates its entry in the
    // container at grid place index and fills `entry`. Every folder read adds
    // its id to the flags (enabled when it was unknown).
    bool addSetEntry(const std::string& folder, const std::string& name, DialogHandle container,
                     const std::u16string& category, SetEntry& entry, size_t index, int columns,
                     DialogProcedure* entryProcedure);

    // A command from an entry dialog; false when window is no set entry.
    bool handleEntryCommand(DialogHandle window, int controlId);
    // A set page's scroll bar; false when controlId is none of theirs.
    bool handleScroll(int controlId, ScrollCode code, int trackPos);
    // Checks the animal entry at index and enables its set alone among the animal sets.
    void selectAnimal(size_t index);

    const std::vector<SetEntry>& entries(Page page) const { return m_pages[page].entries; }
    // The scroll bar maximum a page gets for a number of entries.
    static int scrollMaximum(Page page, size_t entryCount);
    // True when a scroll bar with this state can move at all.
    static bool canScroll(const ScrollInfo& info);

private:
    struct PageState {
        DialogHandle window = 0;     // the page, which holds the scroll bar
        DialogHandle container = 0;  // the entries' parent
        std::vector<SetEntry> entries;
    };

    DialogHandle makeContainer(DialogHandle page, int containerTemplate);
    void scanInto(const std::vector<std::string>& folders, Page page, const std::u16string& category, int columns,
                  DialogProcedure* entryProcedure, bool selectAnimals);
    void setUpScrollBar(Page page);
    std::u16string displayName(ProfileReader& descriptor, const std::u16string& id) const;

    DialogLayer& m_layer;
    const DirectoryLister& m_lister;
    SetSelection& m_fishSets;
    std::u16string m_localNameKey;
    std::string m_additionalFolder;
    std::string m_defaultFishFolder;
    std::string m_defaultDiverseFolder;
    std::array<PageState, kPageCount> m_pages;
};

}  // namespace reef
