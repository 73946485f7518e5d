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

}  // namespace reef::texts
