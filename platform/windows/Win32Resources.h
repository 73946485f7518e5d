// The resource numbers the Windows programs' resource script and the window
// layer share. Plain macros: the resource compiler reads this file through the
// C preprocessor, which knows no C++ constants.
#pragma once

// The program icon (the window class's icon; Explorer and the screensaver list show it).
#define REEF_PROGRAM_ICON_RESOURCE 101
