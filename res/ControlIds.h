// The control ids of every dialog template, named once for the templates, the
// dialogs that drive them and their tests. Different templates reuse numbers
// (1010 is the gull check box, a set entry's check box and the screen
// settings' shade box), so each name says which control it is.
#pragma once

#include "res/DialogTemplate.h"

namespace reef::control {

// Every dialog's buttons.
inline constexpr int kOk = 1;
inline constexpr int kCancel = 2;

// Main dialog (127).
inline constexpr int kPageList = 1030;
inline constexpr int kScreenSettingsButton = 1006;

// Intro page (128).
inline constexpr int kIntroPicture = 1049;
inline constexpr int kIntroText = 1035;
inline constexpr int kLinkButton = 1008;

// School page (201).
inline constexpr int kBoidTypeGroup = 1036;
inline constexpr int kBoidScrollBar = 1066;
inline constexpr int kBoidCountGroup = 1037;
inline constexpr int kBoidTrack = 1013;
inline constexpr int kBoidReadout = 1014;

// Fish page (207).
inline constexpr int kFishTypeGroup = 1052;
inline constexpr int kFishScrollBar = 1053;
inline constexpr int kFishCountGroup = 1054;
inline constexpr int kFishTrack = 1055;
inline constexpr int kFishReadout = 1056;

// Birds page (206): its group box is the first unnumbered control.
inline constexpr int kBirdTypeGroup = kUnnumbered;
inline constexpr int kGullCheck = 1010;

// Animals (210) and diverse (211) pages.
inline constexpr int kAnimalsTypeGroup = 1069;
inline constexpr int kAnimalsScrollBar = 1070;
inline constexpr int kDiverseTypeGroup = 1072;
inline constexpr int kDiverseScrollBar = 1073;

// Sky page (203).
inline constexpr int kSkyGroup = 1040;
inline constexpr int kCloudyRadio = 1031;
inline constexpr int kCloudlessRadio = 1032;

// Camera page (204): the choice, then speed and the two rest times, each a
// label, a "-" and a "+" beside its trackbar.
inline constexpr int kCameraGroup = 1041;
inline constexpr int kCameraChoice = 1012;
inline constexpr int kSpeedLabel = 1027;
inline constexpr int kSpeedMinus = 1043;
inline constexpr int kSpeedPlus = 1046;
inline constexpr int kSpeedTrack = 1023;
inline constexpr int kRestTopLabel = 1028;
inline constexpr int kRestTopMinus = 1044;
inline constexpr int kRestTopPlus = 1047;
inline constexpr int kRestTopTrack = 1024;
inline constexpr int kRestBottomLabel = 1029;
inline constexpr int kRestBottomMinus = 1045;
inline constexpr int kRestBottomPlus = 1048;
inline constexpr int kRestBottomTrack = 1034;

// Sound page (205).
inline constexpr int kSoundGroup = 1042;
inline constexpr int kSoundCheck = 1009;

// One listed set (138 with a check box, 213 with a radio button).
inline constexpr int kSetIcon = 1051;
inline constexpr int kSetCheck = 1010;
inline constexpr int kSetRadio = 1074;

// Screen settings (200).
inline constexpr int kDisplayModeGroup = 2009;
inline constexpr int kLeaveResolution = 1007;
inline constexpr int kDepthLabel = 2012;
inline constexpr int kDepthList = 2013;
inline constexpr int kResolutionLabel = 2010;
inline constexpr int kResolutionList = 2011;
inline constexpr int kShadeSecondary = 1010;

}  // namespace reef::control
