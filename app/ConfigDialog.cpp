#include "app/ConfigDialog.h"

#include <array>
#include <filesystem>
#include <string_view>

#include "core/Diagnostics.h"
#include "engine/WideText.h"
#include "res/ControlIds.h"
#include "res/DialogTemplates.h"
#include "ui/DatReader.h"

namespace reef {

namespace {

using namespace control;

// The pages in list order: the language key of the list text and the template.
struct PageRow {
    const char* key;
    int templateId;
};
constexpr std::array<PageRow, 9> kPageTable = {{
    {"intro", dialog::kIntroPage},
    {"boid", dialog::kBoidPage},
    {"fish", dialog::kFishPage},
    {"birds", dialog::kBirdsPage},
    {"animals", dialog::kAnimalsPage},
    {"diverse", dialog::kDiversePage},
    {"sky", dialog::kSkyPage},
    {"camera", dialog::kCameraPage},
    {"sound", dialog::kSoundPage},
}};

// The controls whose text comes from the language file.
struct TextRow {
    int templateId;
    int controlId;
    const char* key;
};
constexpr TextRow kPageTexts[] = {
    {dialog::kIntroPage, kIntroText, "infotxt"},
    {dialog::kIntroPage, kLinkButton, "hyperlink_txt"},
    {dialog::kBoidPage, kBoidTypeGroup, "boidtype"},
    {dialog::kBoidPage, kBoidCountGroup, "boidcount"},
    {dialog::kFishPage, kFishTypeGroup, "fishtype"},
    {dialog::kFishPage, kFishCountGroup, "fishcount"},
    {dialog::kBirdsPage, kBirdTypeGroup, "birdtype"},
    {dialog::kAnimalsPage, kAnimalsTypeGroup, "animalstype"},
    {dialog::kDiversePage, kDiverseTypeGroup, "diversetype"},
    {dialog::kSkyPage, kSkyGroup, "skytext"},
    {dialog::kSkyPage, kCloudyRadio, "cloudy"},
    {dialog::kSkyPage, kCloudlessRadio, "cloudless"},
    {dialog::kCameraPage, kCameraGroup, "cameratext"},
    {dialog::kCameraPage, kSpeedLabel, "scrollspeed"},
    {dialog::kCameraPage, kRestTopLabel, "resttime_top"},
    {dialog::kCameraPage, kRestBottomLabel, "resttime_bottom"},
    {dialog::kSoundPage, kSoundGroup, "soundtext"},
    {dialog::kSoundPage, kSoundCheck, "on_off"},
};

// The camera speed and rest-time controls, shown only for the automatic camera.
constexpr int kCameraControls[] = {kSpeedTrack,   kRestTopTrack,  kRestBottomTrack, kSpeedLabel,
                                   kRestTopLabel, kRestBottomLabel, kSpeedMinus,    kRestTopMinus,
                                   kRestBottomMinus, kSpeedPlus,  kRestTopPlus,     kRestBottomPlus};
constexpr const char* kCameraChoices[] = {"automatic", "top", "middle", "bottom"};

// The trackbars: the setting each one moves over its offered range, and the
// number shown beside it (0 for none).
struct TrackRow {
    int templateId;
    int controlId;
    int32_t SaverSettings::*setting;
    int readoutId;
};
constexpr TrackRow kTracks[] = {
    {dialog::kBoidPage, kBoidTrack, &SaverSettings::BoidCount, kBoidReadout},
    {dialog::kFishPage, kFishTrack, &SaverSettings::FishCount, kFishReadout},
    {dialog::kCameraPage, kSpeedTrack, &SaverSettings::CameraSpeed, 0},
    {dialog::kCameraPage, kRestTopTrack, &SaverSettings::CameraFixTop, 0},
    {dialog::kCameraPage, kRestBottomTrack, &SaverSettings::CameraFixBottom, 0},
};

constexpr std::u16string_view kSaveFailedFallback =
    u"Die Einstellungen konnten nicht gespeichert werden: der Ordner der Einstellungsdatei ist nicht beschreibbar.";

// A file:// address for an absolute path, with every byte outside the
// unreserved set and '/' written as %XX.
std::string fileUri(const std::string& path) {
    static const char* const kHex = "0123456789ABCDEF";
    std::string uri = "file://";
    for (const unsigned char c : path) {
        const bool unreserved = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') ||
                                c == '/' || c == '-' || c == '_' || c == '.' || c == '~';
        if (unreserved) {
            uri += static_cast<char>(c);
        } else {
            uri += '%';
            uri += kHex[c >> 4];
            uri += kHex[c & 0xF];
        }
    }
    return uri;
}

}  // namespace

ConfigDialog::ConfigDialog(DialogLayer& layer, const DirectoryLister& lister)
    : m_layer(layer), m_setPages(layer, lister, m_settings.fishSets) {}

// Folders are kept whole, however deep the install folder lies.
void ConfigDialog::setInstallFolder(const std::string& folder) { m_installFolder = folder; }
void ConfigDialog::setAdditionalSetsFolder(const std::string& folder) { m_additionalSetsFolder = folder; }
void ConfigDialog::setDefaultFishSetsFolder(const std::string& folder) { m_defaultFishSetsFolder = folder; }
void ConfigDialog::setDefaultDiverseSetsFolder(const std::string& folder) { m_defaultDiverseSetsFolder = folder; }

void ConfigDialog::bind(SaverSettings& target) {
    m_target = &target;
    m_settings = target;
}

const std::u16string& ConfigDialog::text(const char* key) {
    static const std::u16string kEmpty;
    return m_language != nullptr ? m_language->lookup(key) : kEmpty;
}

int ConfigDialog::run(DialogHandle owner) {
    m_pages.clear();
    for (const PageRow& row : kPageTable)
        m_pages.push_back(PageEntry{truncateWide(text(row.key), kMaxTitleLength), 0, row.templateId});
    m_setPages.setFolders(m_additionalSetsFolder, m_defaultFishSetsFolder, m_defaultDiverseSetsFolder);
    return m_layer.runModal(dialog::kConfigMain, owner, m_mainProcedure);
}

// ---------------------------------------------------------------- main dialog

void ConfigDialog::initMain(DialogHandle dialog) {
    m_layer.setTitleCaption(dialog, text("caption"));
    m_layer.setCaption(dialog, kCancel, text("cancel"));
    m_layer.setCaption(dialog, kOk, text("OK"));
    m_layer.setCaption(dialog, kScreenSettingsButton, text("screensettings"));

    for (PageEntry& page : m_pages) {
        page.window = m_layer.createChild(page.templateId, dialog, &m_pageProcedure);
        if (page.window == 0) continue;
        m_layer.moveDialog(page.window, kPageX, kPageY);
        m_layer.showDialog(page.window, false);
    }

    m_layer.clearItems(dialog, kPageList);
    for (size_t index = 0; index < m_pages.size(); ++index)
        m_layer.addItem(dialog, kPageList, m_pages[index].title, static_cast<int>(index));
    m_layer.addItem(dialog, kPageList, text("screensettings"), static_cast<int>(m_pages.size()));
    m_layer.selectItem(dialog, kPageList, 0);

    m_setPages.fillFishAndBoidPages(pageWindow(dialog::kFishPage), pageWindow(dialog::kBoidPage), &m_pageProcedure);
    m_setPages.fillAnimalsPage(pageWindow(dialog::kAnimalsPage), &m_pageProcedure);
    m_setPages.fillDiversePage(pageWindow(dialog::kDiversePage), &m_pageProcedure);

    showPage(0, dialog);
}

void ConfigDialog::itemChanged(DialogHandle dialog, int controlId) {
    if (controlId != kPageList) return;
    const int selected = m_layer.selectedItem(dialog, kPageList);
    if (selected >= 0) showPage(selected, dialog);
}

void ConfigDialog::mainCommand(DialogHandle dialog, int controlId) {
    if (controlId == kOk) {
        if (m_target != nullptr) *m_target = m_settings;
        // The dialog stays open when the settings could not be stored, so the
        // choices are not lost and the user can fix the folder or cancel.
        if (m_actions.storeSettings && !m_actions.storeSettings()) {
            const std::u16string& message = text("savefailed");
            m_layer.showMessage(dialog, message.empty() ? kSaveFailedFallback : message, text("caption"));
            return;
        }
        m_layer.endDialog(dialog, kOk);
    } else if (controlId == kCancel) {
        m_layer.endDialog(dialog, kCancel);
    }
}

void ConfigDialog::showPage(int index, DialogHandle owner) {
    if (m_pages.empty() || index == m_currentPage) return;
    m_currentPage = index;
    if (index == static_cast<int>(m_pages.size())) {
        if (m_actions.showScreenSettings) m_actions.showScreenSettings(owner);
        return;
    }
    for (size_t other = 0; other < m_pages.size(); ++other) {
        if (m_pages[other].window != 0) m_layer.showDialog(m_pages[other].window, static_cast<int>(other) == index);
    }
}

DialogHandle ConfigDialog::pageWindow(int templateId) const {
    for (const PageEntry& page : m_pages)
        if (page.templateId == templateId) return page.window;
    return 0;
}

// ---------------------------------------------------------------- pages

void ConfigDialog::showNumber(DialogHandle page, int controlId, int value) {
    m_layer.setText(page, controlId, fromUtf8(std::to_string(value)));
}

void ConfigDialog::initPage(DialogHandle page) {
    const int templateId = m_layer.templateId(page);
    for (const TextRow& row : kPageTexts)
        if (row.templateId == templateId) m_layer.setCaption(page, row.controlId, text(row.key));
    for (const TrackRow& row : kTracks)
        if (row.templateId == templateId) initTrack(page, row.controlId, row.setting, row.readoutId);

    switch (templateId) {
    case dialog::kIntroPage: {
        const std::u16string picture = m_directory != nullptr ? m_directory->lookup("mainbitmap") : u"";
        m_layer.setBitmap(page, kIntroPicture, m_installFolder + toUtf8(picture));
        break;
    }
    case dialog::kBirdsPage: {
        m_layer.setChecked(page, kGullCheck, m_settings.BirdGull);
        // The check box has no text beside it, only the gull picture.
        const std::u16string& gulls = text("gulls").empty() ? text("birds") : text("gulls");
        m_layer.setAccessibleName(page, kGullCheck, gulls);
        m_layer.setToolTip(page, kGullCheck, gulls);
        break;
    }
    case dialog::kSkyPage:
        m_layer.setChecked(page, kCloudyRadio, m_settings.SkyType == 0);
        m_layer.setChecked(page, kCloudlessRadio, m_settings.SkyType == 1);
        break;
    case dialog::kCameraPage:
        initCameraPage(page);
        break;
    case dialog::kSoundPage:
        m_layer.setChecked(page, kSoundCheck, m_settings.SoundOn);
        break;
    default:
        break;
    }
}

void ConfigDialog::initCameraPage(DialogHandle page) {
    m_layer.clearItems(page, kCameraChoice);
    for (size_t index = 0; index < std::size(kCameraChoices); ++index)
        m_layer.addItem(page, kCameraChoice, text(kCameraChoices[index]), static_cast<int>(index));
    m_layer.selectItem(page, kCameraChoice, m_settings.CameraPos);
    showCameraControls(page, m_settings.CameraPos == 0);
}

// A trackbar over the setting's offered range, one position per step.
void ConfigDialog::initTrack(DialogHandle page, int controlId, int32_t SaverSettings::*setting, int readoutId) {
    const SettingRange& offered = SaverSettings::row(setting).offered;
    m_layer.setTrackRange(page, controlId, offered.lowest / offered.step, offered.highest / offered.step);
    m_layer.setTrackPos(page, controlId, m_settings.*setting / offered.step);
    if (readoutId != 0) showNumber(page, readoutId, m_settings.*setting);
}

void ConfigDialog::showCameraControls(DialogHandle page, bool visible) {
    for (int id : kCameraControls) m_layer.showControl(page, id, visible);
}

void ConfigDialog::pageCommand(DialogHandle page, int controlId) {
    if (m_setPages.handleEntryCommand(page, controlId)) return;
    switch (controlId) {
    case kLinkButton: {
        const std::string link = linkTarget(wideToNarrow(text("hyperlink"), kMaxLinkBytes));
        if (!link.empty()) m_layer.openUri(link);
        break;
    }
    case kSoundCheck:
        m_settings.SoundOn = m_layer.isChecked(page, kSoundCheck);
        break;
    case kGullCheck:
        m_settings.BirdGull = m_layer.isChecked(page, kGullCheck);
        break;
    case kCameraChoice:
        m_settings.CameraPos = m_layer.selectedItem(page, kCameraChoice);
        showCameraControls(page, m_settings.CameraPos == 0);
        break;
    case kCloudyRadio:
        if (m_layer.isChecked(page, kCloudyRadio)) m_settings.SkyType = 0;
        break;
    case kCloudlessRadio:
        if (m_layer.isChecked(page, kCloudlessRadio)) m_settings.SkyType = 1;
        break;
    default:
        break;
    }
}

// An address ("https://…", "file:///…") is opened as it is. A plain file name
// names a document that ships with the program: the first of the document
// folders that holds it gives a file:// address; nothing is opened when none does.
std::string ConfigDialog::linkTarget(const std::string& link) const {
    if (link.empty() || link.find("://") != std::string::npos) return link;
    for (const std::string& folder : m_documentFolders) {
        std::error_code error;
        const std::filesystem::path path = std::filesystem::canonical(std::filesystem::path(folder) / link, error);
        if (!error && std::filesystem::is_regular_file(path, error)) return fileUri(path.string());
    }
    reportf(Channel::Error, "Error: %s was not found beside the program or in its documentation folder", link.c_str());
    return {};
}

void ConfigDialog::trackbarMoved(DialogHandle page, int controlId) {
    for (const TrackRow& row : kTracks) {
        if (row.controlId != controlId) continue;
        m_settings.*row.setting = m_layer.trackPos(page, controlId) * SaverSettings::row(row.setting).offered.step;
        if (row.readoutId != 0) showNumber(page, row.readoutId, m_settings.*row.setting);
    }
}

}  // namespace reef
