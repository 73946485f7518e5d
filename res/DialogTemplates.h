// Every dialog template of the program, by number.
#pragma once

#include "res/DialogTemplate.h"

namespace reef {

// Template numbers.
namespace dialog {
inline constexpr int kConfigMain = 127;
inline constexpr int kIntroPage = 128;
inline constexpr int kSetEntry = 138;
inline constexpr int kFishContainer = 139;
inline constexpr int kScreenSettings = 200;
inline constexpr int kBoidPage = 201;
inline constexpr int kSkyPage = 203;
inline constexpr int kCameraPage = 204;
inline constexpr int kSoundPage = 205;
inline constexpr int kBirdsPage = 206;
inline constexpr int kFishPage = 207;
inline constexpr int kBoidContainer = 209;
inline constexpr int kAnimalsPage = 210;
inline constexpr int kDiversePage = 211;
inline constexpr int kAnimalContainer = 212;
inline constexpr int kAnimalEntry = 213;
}  // namespace dialog

// The template with that number; nullptr when there is none.
const DialogTemplate* findDialogTemplate(int id);

}  // namespace reef
