#include "app/SetPages.h"

#include <cctype>

#include "core/DiagnosticTexts.h"
#include "core/Diagnostics.h"
#include "engine/FilePath.h"
#include "engine/WideText.h"
#include "res/ControlIds.h"
#include "res/DialogTemplates.h"
#include "scene/DebugOutput.h"
#include "scene/DirectoryLister.h"
#include "scene/ProfileReader.h"
#include "scene/SetCatalog.h"
#include "scene/SetSelection.h"

namespace reef {

namespace {

constexpr int kScrollPage = 50;
constexpr size_t kIconCapacity = 512;
constexpr size_t kFieldCapacity = 128;

struct PageParameters {
    int scrollBar;
    int columns;
    // The scroll maximum is (entries / perRow) * 50 - overhang.
    int overhang;
};

constexpr PageParameters kParameters[SetPages::kPageCount] = {
    {control::kFishScrollBar, 2, 47},
    {control::kBoidScrollBar, 1, 69},
    {control::kAnimalsScrollBar, 2, 47},
    {control::kDiverseScrollBar, 2, 47},
};

}  // namespace

SetPages::SetPages(DialogLayer& layer, const DirectoryLister& lister, SetSelection& fishSets)
    : m_layer(layer), m_lister(lister), m_fishSets(fishSets) {}

void SetPages::setLanguage(const std::string& section) {
    std::string key = "name_" + section;
    for (char& c : key) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    m_localNameKey = fromUtf8(key);
}

void SetPages::setFolders(const std::string& additional, const std::string& defaultFish,
                          const std::string& defaultDiverse) {
    m_additionalFolder = additional;
    m_defaultFishFolder = defaultFish;
    m_defaultDiverseFolder = defaultDiverse;
}

int SetPages::scrollMaximum(Page page, size_t entryCount) {
    const PageParameters& p = kParameters[page];
    return static_cast<int>(entryCount / static_cast<size_t>(p.columns)) * kScrollPage - p.overhang;
}

bool SetPages::canScroll(const ScrollInfo& info) { return clampScrollPosition(info, info.max) > info.min; }

DialogHandle SetPages::makeContainer(DialogHandle page, int containerTemplate) {
    if (page == 0) return 0;
    const DialogHandle container = m_layer.createChild(containerTemplate, page, nullptr);
    if (container == 0) return 0;
    m_layer.moveDialog(container, kContainerX, kContainerY);
    m_layer.showDialog(container, true);
    return container;
}

void SetPages::fillFishAndBoidPages(DialogHandle fishPage, DialogHandle boidPage, DialogProcedure* entryProcedure) {
    PageState& fish = m_pages[Fish];
    PageState& boid = m_pages[Boid];
    fish.window = fishPage;
    boid.window = boidPage;
    fish.container = makeContainer(fishPage, dialog::kFishContainer);
    boid.container = makeContainer(boidPage, dialog::kBoidContainer);
    for (const std::string& folder : {m_defaultFishFolder, m_additionalFolder}) {
        for (const std::string& name : m_lister.list(folder)) {
            SetEntry entry;
            if (fish.container != 0 && addSetEntry(folder, name, fish.container, u"fish", entry, fish.entries.size(),
                                                   kParameters[Fish].columns, entryProcedure))
                fish.entries.push_back(entry);
            entry = SetEntry{};
            if (boid.container != 0 && addSetEntry(folder, name, boid.container, u"boid", entry, boid.entries.size(),
                                                   kParameters[Boid].columns, entryProcedure))
                boid.entries.push_back(entry);
        }
    }
    setUpScrollBar(Fish);
    setUpScrollBar(Boid);
}

void SetPages::fillAnimalsPage(DialogHandle animalsPage, DialogProcedure* entryProcedure) {
    m_pages[Animals].window = animalsPage;
    m_pages[Animals].container = makeContainer(animalsPage, dialog::kAnimalContainer);
    if (m_pages[Animals].container == 0) return;
    scanInto({m_defaultDiverseFolder, m_additionalFolder}, Animals, u"animal", kParameters[Animals].columns,
             entryProcedure, true);
    setUpScrollBar(Animals);
}

void SetPages::fillDiversePage(DialogHandle diversePage, DialogProcedure* entryProcedure) {
    m_pages[Diverse].window = diversePage;
    m_pages[Diverse].container = makeContainer(diversePage, dialog::kAnimalContainer);
    if (m_pages[Diverse].container == 0) return;
    scanInto({m_defaultDiverseFolder, m_additionalFolder}, Diverse, u"diverse", kParameters[Diverse].columns,
             entryProcedure, false);
    setUpScrollBar(Diverse);
}

// The last enabled animal set found wins; the first one found is chosen when none is enabled.
void SetPages::scanInto(const std::vector<std::string>& folders, Page page, const std::u16string& category,
                        int columns, DialogProcedure* entryProcedure, bool selectAnimals) {
    PageState& state = m_pages[page];
    for (const std::string& folder : folders) {
        for (const std::string& name : m_lister.list(folder)) {
            SetEntry entry;
            if (!addSetEntry(folder, name, state.container, category, entry, state.entries.size(), columns,
                             entryProcedure))
                continue;
            state.entries.push_back(entry);
            if (!selectAnimals) continue;
            const size_t index = state.entries.size() - 1;
            if (index == 0 || m_fishSets.isSetEnabled(entry.id) != 0) selectAnimal(index);
        }
    }
}

void SetPages::setUpScrollBar(Page page) {
    PageState& state = m_pages[page];
    if (state.window == 0) return;
    ScrollInfo info;
    info.min = 0;
    info.page = kScrollPage;
    info.pos = 0;
    info.trackPos = 0;
    info.max = scrollMaximum(page, state.entries.size());
    m_layer.setScrollInfo(state.window, kParameters[page].scrollBar, info);
    // When the entries fit, the maximum lies below the page and the bar could
    // not move: it is shown greyed rather than looking usable.
    m_layer.enableControl(state.window, kParameters[page].scrollBar, canScroll(info));
}

bool SetPages::addSetEntry(const std::string& folder, const std::string& name, DialogHandle container,
                           const std::u16string& category, SetEntry& entry, size_t index, int columns,
                           DialogProcedure* entryProcedure) {
    const std::string setFolder = folder + name + "\\";
    debugOutput(fromUtf8(setFolder));

    ProfileReader descriptor;
    descriptor.open(setFolder + "info.ini");
    // The saver refuses such a set; the dialog does not offer it either.
    const std::string refusal = SetCatalog::pastLimits(descriptor);
    if (!refusal.empty()) {
        reportf(Channel::Error, texts::kSetPageRefused, nativePath(setFolder).c_str(), refusal.c_str());
        return false;
    }
    std::u16string icon, id, type, setCategory;
    descriptor.getString(u"settings", u"icon", icon, kIconCapacity);
    descriptor.getString(u"common", u"id", id, kFieldCapacity);
    descriptor.getString(u"saver", u"type", type, kFieldCapacity);
    descriptor.getString(u"settings", u"category", setCategory, kFieldCapacity);

    m_fishSets.addSet(id, 1);  // a set seen for the first time starts enabled
    entry.id = truncateWide(id, kMaxIdLength);
    if (setCategory != category) return false;
    entry.name = displayName(descriptor, entry.id);

    const bool radio = category == u"animal";
    entry.window = m_layer.createChild(radio ? dialog::kAnimalEntry : dialog::kSetEntry, container, entryProcedure);
    if (entry.window == 0) return false;
    const int column = static_cast<int>(index % static_cast<size_t>(columns));
    const int row = static_cast<int>(index / static_cast<size_t>(columns));
    entry.x = column * kColumnStep + kColumnOffset;
    entry.y = row * kRowStep;
    m_layer.moveDialog(entry.window, entry.x, entry.y);
    m_layer.showDialog(entry.window, true);

    m_layer.setBitmap(entry.window, control::kSetIcon, setFolder + toUtf8(icon));
    // The entry shows no text of its own: its name is the tooltip of the icon
    // and the check box, and what a screen reader says for the check box.
    const int choiceControl = radio ? control::kSetRadio : control::kSetCheck;
    m_layer.setAccessibleName(entry.window, choiceControl, entry.name);
    m_layer.setToolTip(entry.window, control::kSetIcon, entry.name);
    m_layer.setToolTip(entry.window, choiceControl, entry.name);
    if (!radio) m_layer.setChecked(entry.window, control::kSetCheck, m_fishSets.isSetEnabled(entry.id) != 0);
    return true;
}

std::u16string SetPages::displayName(ProfileReader& descriptor, const std::u16string& id) const {
    std::u16string name;
    if (!m_localNameKey.empty()) descriptor.getString(u"common", m_localNameKey, name, kFieldCapacity);
    if (name.empty()) descriptor.getString(u"common", u"name", name, kFieldCapacity);
    return name.empty() ? id : truncateWide(name, kMaxIdLength);
}

bool SetPages::handleEntryCommand(DialogHandle window, int controlId) {
    for (size_t page = 0; page < kPageCount; ++page) {
        std::vector<SetEntry>& entries = m_pages[page].entries;
        for (size_t index = 0; index < entries.size(); ++index) {
            if (entries[index].window != window) continue;
            if (page == Animals) {
                if (controlId == control::kSetRadio) selectAnimal(index);
            } else if (controlId == control::kSetCheck) {
                const bool checked = m_layer.isChecked(window, control::kSetCheck);
                m_fishSets.setSetEnabled(entries[index].id, checked ? 1 : 0);
            }
            return true;
        }
    }
    return false;
}

// NOTE: the other entries are switched off before the chosen one is switched
// on, so a set listed twice (in the default and the additional folder) stays
// enabled when either of its entries is chosen.
void SetPages::selectAnimal(size_t index) {
    std::vector<SetEntry>& entries = m_pages[Animals].entries;
    if (index >= entries.size()) return;
    for (size_t other = 0; other < entries.size(); ++other) {
        if (other == index) continue;
        m_layer.setChecked(entries[other].window, control::kSetRadio, false);
        m_fishSets.setSetEnabled(entries[other].id, 0);
    }
    m_layer.setChecked(entries[index].window, control::kSetRadio, true);
    m_fishSets.setSetEnabled(entries[index].id, 1);
}

bool SetPages::handleScroll(int controlId, ScrollCode code, int trackPos) {
    for (size_t page = 0; page < kPageCount; ++page) {
        if (kParameters[page].scrollBar != controlId) continue;
        PageState& state = m_pages[page];
        if (state.window == 0) return true;
        const ScrollInfo info = m_layer.scrollInfo(state.window, controlId);
        int pos = info.pos;
        switch (code) {
        case ScrollCode::LineUp: pos -= 1; break;
        case ScrollCode::LineDown: pos += 1; break;
        case ScrollCode::PageUp: pos -= info.page; break;
        case ScrollCode::PageDown: pos += info.page; break;
        case ScrollCode::ThumbPosition:
        case ScrollCode::ThumbTrack: pos = trackPos; break;
        case ScrollCode::Top: pos = info.min; break;
        case ScrollCode::Bottom: pos = info.max; break;
        case ScrollCode::EndScroll: break;
        }
        pos = m_layer.setScrollPos(state.window, controlId, pos);
        for (const SetEntry& entry : state.entries) m_layer.moveDialog(entry.window, entry.x, entry.y - pos);
        return true;
    }
    return false;
}

}  // namespace reef
