// The configuration dialog: a list of pages on the left and one page at a
// time on the right, editing a working copy of the saver settings. OK hands
// the copy back (and has the application store it), Cancel discards it. The
// tenth list entry opens the screen settings instead of a page.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "app/SaverSettings.h"
#include "app/SetPages.h"
#include "platform/DialogLayer.h"

namespace reef {

class DatReader;
class DirectoryLister;

// One page of the list.
struct PageEntry {
    std::u16string title;     // from the language file
    DialogHandle window = 0;  // once created
    int templateId = 0;
};

// What the dialog asks of the application.
struct ConfigActions {
    // Runs the screen settings dialog modally over owner.
    std::function<void(DialogHandle owner)> showScreenSettings;
    // Stores the accepted settings; false when they could not be stored.
    std::function<bool()> storeSettings;
};

class ConfigDialog {
public:
    // Pixel position of every page in the main dialog.
    static constexpr int kPageX = 133;
    static constexpr int kPageY = 11;
    static constexpr size_t kMaxTitleLength = 127;
    static constexpr size_t kMaxLinkBytes = 255;

    ConfigDialog(DialogLayer& layer, const DirectoryLister& lister);
    ConfigDialog(const ConfigDialog&) = delete;
    ConfigDialog& operator=(const ConfigDialog&) = delete;

    void setApplication(ConfigActions actions) { m_actions = std::move(actions); }
    void setLanguage(DatReader* language) { m_language = language; }
    void setDirectory(DatReader* directory) { m_directory = directory; }
    // The language section the texts were chosen for ("ENG", "GER"): the set names follow it.
    void setLanguageSection(const std::string& section) { m_setPages.setLanguage(section); }
    void setInstallFolder(const std::string& folder);
    // Where the welcome page's link looks for a document named by a plain file
    // name ("README.md") rather than an address, in this order.
    void setDocumentFolders(std::vector<std::string> folders) { m_documentFolders = std::move(folders); }
    void setAdditionalSetsFolder(const std::string& folder);
    void setDefaultFishSetsFolder(const std::string& folder);
    void setDefaultDiverseSetsFolder(const std::string& folder);
    // Remembers target and copies it into the working copy.
    void bind(SaverSettings& target);
    // Builds the page table and runs the main dialog: 1 for OK, 2 for Cancel,
    // -1 when the dialog could not be shown.
    int run(DialogHandle owner);

    const SaverSettings& settings() const { return m_settings; }
    const std::vector<PageEntry>& pages() const { return m_pages; }
    int currentPage() const { return m_currentPage; }
    const SetPages& setPages() const { return m_setPages; }

private:
    // The main dialog's procedure.
    class MainProcedure : public DialogProcedure {
    public:
        explicit MainProcedure(ConfigDialog& owner) : m_owner(owner) {}
        void onInitDialog(DialogHandle dialog) override { m_owner.initMain(dialog); }
        void onCommand(DialogHandle dialog, int controlId) override { m_owner.mainCommand(dialog, controlId); }
        void onItemChanged(DialogHandle dialog, int controlId) override { m_owner.itemChanged(dialog, controlId); }

    private:
        ConfigDialog& m_owner;
    };
    // The procedure of every page and every set entry.
    class PageProcedure : public DialogProcedure {
    public:
        explicit PageProcedure(ConfigDialog& owner) : m_owner(owner) {}
        void onInitDialog(DialogHandle dialog) override { m_owner.initPage(dialog); }
        void onCommand(DialogHandle dialog, int controlId) override { m_owner.pageCommand(dialog, controlId); }
        void onHorizontalScroll(DialogHandle dialog, int controlId) override { m_owner.trackbarMoved(dialog, controlId); }
        void onVerticalScroll(DialogHandle, int controlId, ScrollCode code, int trackPos) override {
            m_owner.m_setPages.handleScroll(controlId, code, trackPos);
        }

    private:
        ConfigDialog& m_owner;
    };

    void initMain(DialogHandle dialog);
    void mainCommand(DialogHandle dialog, int controlId);
    void itemChanged(DialogHandle dialog, int controlId);
    void showPage(int index, DialogHandle owner);
    void initPage(DialogHandle page);
    void initCameraPage(DialogHandle page);
    void showCameraControls(DialogHandle page, bool visible);
    void pageCommand(DialogHandle page, int controlId);
    void trackbarMoved(DialogHandle page, int controlId);
    void showNumber(DialogHandle page, int controlId, int value);
    void initTrack(DialogHandle page, int controlId, int32_t SaverSettings::*setting, int readoutId);
    DialogHandle pageWindow(int templateId) const;
    const std::u16string& text(const char* key);
    std::string linkTarget(const std::string& link) const;

    DialogLayer& m_layer;
    SaverSettings m_settings;
    SaverSettings* m_target = nullptr;
    ConfigActions m_actions;
    int m_currentPage = -1;
    std::vector<PageEntry> m_pages;
    std::string m_installFolder;
    std::vector<std::string> m_documentFolders;
    std::string m_additionalSetsFolder;
    std::string m_defaultFishSetsFolder;
    std::string m_defaultDiverseSetsFolder;
    DatReader* m_language = nullptr;
    DatReader* m_directory = nullptr;
    SetPages m_setPages;
    MainProcedure m_mainProcedure{*this};
    PageProcedure m_pageProcedure{*this};
};

}  // namespace reef
