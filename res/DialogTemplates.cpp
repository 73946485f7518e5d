#include "res/DialogTemplates.h"

#include <array>

namespace reef {

namespace {

using K = ControlKind;

// Main dialog: the page list on the left, the pages at pixel (133, 11), the buttons below.
constexpr ControlTemplate kMainControls[] = {
    {1030, K::ListView, {7, 7, 75, 160}, "", kStyleBorder},
    {1006, K::PushButton, {91, 169, 102, 14}, "Bildschirm Einstellungen", kStyleHidden},
    {1, K::DefaultPushButton, {222, 169, 50, 14}, "OK"},
    {2, K::PushButton, {274, 169, 50, 14}, "Abbrechen"},
};

constexpr ControlTemplate kIntroControls[] = {
    {1049, K::Bitmap, {51, 7, 129, 96}, "", kStyleBorder},
    {1035, K::CentredLabel, {7, 107, 221, 26},
     "Lust auf mehr?\nEinen phantastischen Einblick in das Unterwasserleben bietet die Vollversion des "
     "Bildschimschoners \"Marevo\"."},
    {1008, K::FlatPushButton, {64, 138, 104, 14}, "reefsaver.example.org"},
};

constexpr ControlTemplate kBoidControls[] = {
    {1036, K::GroupBox, {7, 7, 219, 84}, "Art"},
    {1066, K::VerticalScrollBar, {216, 11, 10, 79}},
    {1037, K::GroupBox, {7, 96, 219, 57}, "Anzahl"},
    {1013, K::Trackbar, {33, 116, 100, 21}, "", kStyleTicks},
    {1014, K::NumberReadout, {141, 125, 12, 14}},
};

constexpr ControlTemplate kFishControls[] = {
    {1052, K::GroupBox, {7, 7, 202, 103}, "Arten"},
    {1053, K::VerticalScrollBar, {216, 11, 10, 97}},
    {1054, K::GroupBox, {7, 113, 219, 39}, "Anzahl"},
    {1055, K::Trackbar, {25, 124, 100, 21}, "", kStyleTicks},
    {1056, K::NumberReadout, {128, 133, 12, 14}},
};

constexpr ControlTemplate kBirdsControls[] = {
    {kUnnumbered, K::GroupBox, {7, 25, 219, 50}, "Arten"},
    {kUnnumbered, K::Bitmap, {31, 42, 44, 21}, "gull_icon.bmp", kStyleSunken},
    {1010, K::CheckBox, {20, 49, 10, 8}},
};

constexpr ControlTemplate kAnimalsControls[] = {
    {1069, K::GroupBox, {7, 7, 202, 145}, "Arten"},
    {1070, K::VerticalScrollBar, {216, 11, 10, 141}},
};

constexpr ControlTemplate kDiverseControls[] = {
    {1072, K::GroupBox, {7, 7, 202, 145}, "Arten"},
    {1073, K::VerticalScrollBar, {216, 11, 10, 141}},
};

constexpr ControlTemplate kSkyControls[] = {
    {1040, K::GroupBox, {7, 25, 219, 50}, "Himmel"},
    {1031, K::RadioButton, {36, 42, 92, 10}, "bewölkt"},
    {1032, K::RadioButton, {36, 59, 94, 10}, "wolkenlos"},
};

constexpr ControlTemplate kCameraControls[] = {
    {1041, K::GroupBox, {7, 25, 219, 95}, "Kamera"},
    {1012, K::DropDownList, {15, 39, 78, 72}},
    {1027, K::Label, {15, 66, 74, 8}, "Scroll-Geschwindigkeit:"},
    {1043, K::Label, {99, 66, 8, 8}, "-"},
    {1046, K::Label, {169, 66, 8, 8}, "+"},
    {1023, K::Trackbar, {103, 65, 65, 12}},
    {1028, K::Label, {15, 81, 62, 8}, "Verweildauer oben:"},
    {1044, K::Label, {99, 82, 8, 8}, "-"},
    {1047, K::Label, {169, 82, 8, 8}, "+"},
    {1024, K::Trackbar, {103, 81, 65, 12}},
    {1029, K::Label, {15, 98, 64, 8}, "Verweildauer unten:"},
    {1045, K::Label, {99, 97, 8, 8}, "-"},
    {1048, K::Label, {169, 98, 8, 8}, "+"},
    {1034, K::Trackbar, {103, 97, 65, 12}},
};

constexpr ControlTemplate kSoundControls[] = {
    {1042, K::GroupBox, {7, 25, 219, 50}, "Sound"},
    {1009, K::CheckBox, {35, 46, 130, 10}, "ein/aus"},
};

// One listed set: its icon and a check box (138) or a radio button (213).
constexpr ControlTemplate kSetEntryControls[] = {
    {1051, K::Bitmap, {20, 2, 16, 14}, "", kStyleBorder},
    {1010, K::CheckBox, {6, 10, 10, 8}},
};
constexpr ControlTemplate kAnimalEntryControls[] = {
    {1051, K::Bitmap, {20, 2, 16, 14}, "", kStyleBorder},
    {1074, K::RadioButton, {5, 11, 10, 8}},
};

// The screen settings: display mode, colour depth and resolution, darkening the other monitors.
constexpr ControlTemplate kScreenSettingsControls[] = {
    {2009, K::GroupBox, {7, 7, 184, 102}, "Bildschirmmodus"},
    {1007, K::CheckBox, {15, 20, 170, 10}, "Aktuelle Auflösung beibehalten"},
    {2012, K::Label, {15, 40, 60, 8}, "Farbtiefe:"},
    {2013, K::DropDownList, {80, 37, 100, 60}},
    {2010, K::Label, {15, 61, 60, 8}, "Auflösung:"},
    {2011, K::DropDownList, {80, 58, 100, 90}},
    {1010, K::CheckBox, {15, 86, 170, 10}, "Weitere Bildschirme abdunkeln"},
    {1, K::DefaultPushButton, {87, 117, 50, 14}, "OK"},
    {2, K::PushButton, {141, 117, 50, 14}, "Abbrechen"},
};

constexpr std::array kTemplates = {
    DialogTemplate{dialog::kConfigMain, "Einstellungen", 331, 190, false, false, kMainControls},
    DialogTemplate{dialog::kIntroPage, "", 233, 159, true, true, kIntroControls},
    DialogTemplate{dialog::kSetEntry, "", 97, 32, true, false, kSetEntryControls},
    DialogTemplate{dialog::kFishContainer, "", 178, 87, true, false, {}},
    DialogTemplate{dialog::kScreenSettings, "Bildschirm Einstellungen", 198, 137, false, false,
                   kScreenSettingsControls},
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
