// Keeps the loaded OpenGL driver (the DRI module) mapped until the process ends,
// in builds with AddressSanitizer only. Closing the display unloads the driver,
// and the leak check at exit then sees the driver's own unfreed blocks with no
// module to name them by, so the suppression list cannot match them and every
// run reports a "leak" in "<unknown module>". Without the sanitizer this does
// nothing.
#pragma once

namespace reef {

void keepGlDriverLoadedForLeakCheck();

}  // namespace reef
