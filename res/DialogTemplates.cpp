#include "res/DialogTemplates.h"

#include "res/ControlIds.h"

#include <array>

namespace reef {

namespace {

using K = ControlKind;
namespace C = control;

// Main dialog: the page list on the left, the pages at pixel (133, 11), the buttons below.
constexpr ControlTemplate kMainControls[] = {
    {C::kPageList, K::ListView, {7, 7, 75, 160}, "", kStyleBorder},
    {C::kScreenSettingsButton, K::PushButton, {91, 169, 102, 14}, "Bildschirmeinstellungen", kStyleHidden},
    {C::kOk, K::DefaultPushButton, {222, 169, 50, 14}, "OK"},
    {C::kCancel, K::PushButton, {274, 169, 50, 14}, "Abbrechen"},
};

constexpr ControlTemplate kIntroControls[] = {
    {C::kIntroPicture, K::Bitmap, {51, 7, 129, 96}, "", kStyleBorder},
    {C::kIntroText, K::CentredLabel, {7, 107, 221, 26},
     "Lust auf mehr?\nEinen phantastischen Einblick in das Unterwasserleben bietet die Vollversion des "
     "Bildschimschoners \"Marevo\"."},
    {C::kLinkButton, K::FlatPushButton, {64, 138, 104, 14}, "Anleitung (README)"},
};

constexpr ControlTemplate kBoidControls[] = {
    {C::kBoidTypeGroup, K::GroupBox, {7, 7, 219, 84}, "Art"},
    {C::kBoidScrollBar, K::VerticalScrollBar, {216, 11, 10, 79}},
    {C::kBoidCountGroup, K::GroupBox, {7, 96, 219, 57}, "Anzahl"},
    {C::kBoidTrack, K::Trackbar, {33, 116, 100, 21}, "", kStyleTicks},
    {C::kBoidReadout, K::NumberReadout, {141, 125, 12, 14}},
};

constexpr ControlTemplate kFishControls[] = {
    {C::kFishTypeGroup, K::GroupBox, {7, 7, 202, 103}, "Arten"},
    {C::kFishScrollBar, K::VerticalScrollBar, {216, 11, 10, 97}},
    {C::kFishCountGroup, K::GroupBox, {7, 113, 219, 39}, "Anzahl"},
    {C::kFishTrack, K::Trackbar, {25, 124, 100, 21}, "", kStyleTicks},
    {C::kFishReadout, K::NumberReadout, {128, 133, 12, 14}},
};

constexpr ControlTemplate kBirdsControls[] = {
    {C::kBirdTypeGroup, K::GroupBox, {7, 25, 219, 50}, "Arten"},
    {kUnnumbered, K::Bitmap, {31, 42, 44, 21}, "gull_icon.bmp", kStyleSunken},
    {C::kGullCheck, K::CheckBox, {20, 49, 10, 8}},
};

constexpr ControlTemplate kAnimalsControls[] = {
    {C::kAnimalsTypeGroup, K::GroupBox, {7, 7, 202, 145}, "Arten"},
    {C::kAnimalsScrollBar, K::VerticalScrollBar, {216, 11, 10, 141}},
};

constexpr ControlTemplate kDiverseControls[] = {
    {C::kDiverseTypeGroup, K::GroupBox, {7, 7, 202, 145}, "Arten"},
    {C::kDiverseScrollBar, K::VerticalScrollBar, {216, 11, 10, 141}},
};

constexpr ControlTemplate kSkyControls[] = {
    {C::kSkyGroup, K::GroupBox, {7, 25, 219, 50}, "Himmel"},
    {C::kCloudyRadio, K::RadioButton, {36, 42, 92, 10}, "bewölkt"},
    {C::kCloudlessRadio, K::RadioButton, {36, 59, 94, 10}, "wolkenlos"},
};

constexpr ControlTemplate kCameraControls[] = {
    {C::kCameraGroup, K::GroupBox, {7, 25, 219, 95}, "Kamera"},
    {C::kCameraChoice, K::DropDownList, {15, 39, 78, 72}},
    {C::kSpeedLabel, K::Label, {15, 66, 74, 8}, "Scroll-Geschwindigkeit:"},
    {C::kSpeedMinus, K::Label, {99, 66, 8, 8}, "-"},
    {C::kSpeedPlus, K::Label, {169, 66, 8, 8}, "+"},
    {C::kSpeedTrack, K::Trackbar, {103, 65, 65, 12}},
    {C::kRestTopLabel, K::Label, {15, 81, 62, 8}, "Verweildauer oben:"},
    {C::kRestTopMinus, K::Label, {99, 82, 8, 8}, "-"},
    {C::kRestTopPlus, K::Label, {169, 82, 8, 8}, "+"},
    {C::kRestTopTrack, K::Trackbar, {103, 81, 65, 12}},
    {C::kRestBottomLabel, K::Label, {15, 98, 64, 8}, "Verweildauer unten:"},
    {C::kRestBottomMinus, K::Label, {99, 97, 8, 8}, "-"},
    {C::kRestBottomPlus, K::Label, {169, 98, 8, 8}, "+"},
    {C::kRestBottomTrack, K::Trackbar, {103, 97, 65, 12}},
};

constexpr ControlTemplate kSoundControls[] = {
    {C::kSoundGroup, K::GroupBox, {7, 25, 219, 50}, "Sound"},
    {C::kSoundCheck, K::CheckBox, {35, 46, 130, 10}, "ein/aus"},
};

// One listed set: its icon and a check box (138) or a radio button (213).
constexpr ControlTemplate kSetEntryControls[] = {
    {C::kSetIcon, K::Bitmap, {20, 2, 16, 14}, "", kStyleBorder},
    {C::kSetCheck, K::CheckBox, {6, 10, 10, 8}},
};
constexpr ControlTemplate kAnimalEntryControls[] = {
    {C::kSetIcon, K::Bitmap, {20, 2, 16, 14}, "", kStyleBorder},
    {C::kSetRadio, K::RadioButton, {5, 11, 10, 8}},
};

// The screen settings: display mode, colour depth and resolution, darkening the other monitors.
constexpr ControlTemplate kScreenSettingsControls[] = {
    {C::kDisplayModeGroup, K::GroupBox, {7, 7, 184, 102}, "Bildschirmmodus"},
    {C::kLeaveResolution, K::CheckBox, {15, 20, 170, 10}, "Aktuelle Auflösung beibehalten"},
    {C::kDepthLabel, K::Label, {15, 40, 60, 8}, "Farbtiefe:"},
    {C::kDepthList, K::DropDownList, {80, 37, 100, 60}},
    {C::kResolutionLabel, K::Label, {15, 61, 60, 8}, "Auflösung:"},
    {C::kResolutionList, K::DropDownList, {80, 58, 100, 90}},
    {C::kShadeSecondary, K::CheckBox, {15, 86, 170, 10}, "Weitere Bildschirme abdunkeln"},
    {C::kOk, K::DefaultPushButton, {87, 117, 50, 14}, "OK"},
    {C::kCancel, K::PushButton, {141, 117, 50, 14}, "Abbrechen"},
};

constexpr std::array kTemplates = {
    DialogTemplate{dialog::kConfigMain, "Einstellungen", 331, 190, false, false, kMainControls},
    DialogTemplate{dialog::kIntroPage, "", 233, 159, true, true, kIntroControls},
    DialogTemplate{dialog::kSetEntry, "", 97, 32, true, false, kSetEntryControls},
    DialogTemplate{dialog::kFishContainer, "", 178, 87, true, false, {}},
    DialogTemplate{dialog::kScreenSettings, "Bildschirmeinstellungen", 198, 137, false, false,
                   kScreenSettingsControls, "MS Shell Dlg"},
    DialogTemplate{dialog::kBoidPage, "", 233, 159, true, true, kBoidControls},
    DialogTemplate{dialog::kSkyPage, "", 233, 159, true, true, kSkyControls},
    DialogTemplate{dialog::kCameraPage, "", 233, 159, true, true, kCameraControls},
    DialogTemplate{dialog::kSoundPage, "", 233, 159, true, true, kSoundControls},
    DialogTemplate{dialog::kBirdsPage, "", 233, 159, true, true, kBirdsControls},
    DialogTemplate{dialog::kFishPage, "", 233, 159, true, true, kFishControls},
    DialogTemplate{dialog::kBoidContainer, "", 178, 69, true, false, {}},
    DialogTemplate{dialog::kAnimalsPage, "", 233, 159, true, true, kAnimalsControls},
    DialogTemplate{dialog::kDiversePage, "", 233, 159, true, true, kDiverseControls},
    DialogTemplate{dialog::kAnimalContainer, "", 178, 129, true, false, {}},
    DialogTemplate{dialog::kAnimalEntry, "", 97, 32, true, false, kAnimalEntryControls},
};

}  // namespace

const DialogTemplate* findDialogTemplate(int id) {
    for (const DialogTemplate& t : kTemplates)
        if (t.id == id) return &t;
    return nullptr;
}

}  // namespace reef
