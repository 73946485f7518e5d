// The fixed texts of the diagnostic lines, each written once. The lines marked
// "loader failure" say that an asset was left out; the test scripts read that
// list from this file (testsupport/loader_failures.sh), so keep each such
// text on one line with its mark.
#pragma once

namespace reef::texts {

// Standard output.
inline constexpr char kTextureFailed[] = "Texture::loadBMP SDL_LoadBMP %s failed";  // loader failure
inline constexpr char kModelOpenFailed[] = "QModel::loadMD3 fopen %s failed";  // loader failure
// A model file that is there but inconsistent or too large to hold: the file, then why.
inline constexpr char kModelRefused[] = "QModel::loadMD3 %s: %s";  // loader failure
inline constexpr char kModelWithoutFrames[] = "NumFrames <= 0";  // loader failure
inline constexpr char kFrameBeyondModel[] = "frame >= NumFrames";  // loader failure
inline constexpr char kHeightMapFailed[] = "Could not load height map: %s";  // loader failure
inline constexpr char kHeightMapNotGrey[] = "sdlsurf->format->BytesPerPixel != 1";  // loader failure
inline constexpr char kLoopSoundMissing[] = "music == 0";  // loader failure
inline constexpr char kLoopSoundMissingAtPlay[] = "music == 0 (playMusic)";  // loader failure
inline constexpr char kEffectMissing[] = "sc.chunk == NULL";  // loader failure
inline constexpr char kSoundReplaced[] = "if sound - delete sound";
inline constexpr char kSoundCreated[] = "new sound";
inline constexpr char kSoundStarting[] = "sound initialize";

// Standard error.
inline constexpr char kSdlStartFailed[] = "SDL konnte nicht initialisiert werden: %s";
// An asset file that exists but could not be read: the loader, the file, why.
inline constexpr char kFileNotRead[] = "%s: %s not read: %s";  // loader failure
inline constexpr char kSoundOutOfMemory[] = "Sound %s: out of memory";  // loader failure
inline constexpr char kSetRefused[] = "SetCatalog: %s: %s; set skipped";
// The settings dialog's list of sets: the set's folder, then why.
inline constexpr char kSetPageRefused[] = "SetPages: %sinfo.ini: %s; set skipped";
// A picture a dialog would show: the file, then why it is not shown.
inline constexpr char kDialogPictureRefused[] = "Dialog picture %s not shown: %s";
inline constexpr char kDialogPictureUndecoded[] = "cannot be decoded";
// The settings file could not be read or written as asked.
inline constexpr char kSettingsFileProblem[] = "ReefSaver: %s";
// Written directly, without a diagnostic line's memory, when memory ran out.
inline constexpr char kOutOfMemory[] = "ReefSaver: out of memory; the saver ends";
// A problem that ends or refuses what was asked, shown also in a box where one can be seen.
inline constexpr char kError[] = "Error: %s";
inline constexpr char kXServerLost[] = "Error: the connection to the X server was lost; the saver ends.";
// The display-mode watchdog, after a saver that ended without putting the mode back.
inline constexpr char kModeRestoredByWatchdog[] = "The saver ended without restoring the display mode; it is restored.";
inline constexpr char kModeNotRestoredByWatchdog[] = "Error: the saver's previous display mode could not be restored.";
// The next saver, finding the mode a killed saver (and its watchdog) left behind.
inline constexpr char kLeftModeRestored[] = "A saver that was killed had left the display mode changed; it is restored.";
inline constexpr char kLeftModeNotRestored[] = "Error: the display mode a killed saver left behind could not be restored.";

}  // namespace reef::texts
