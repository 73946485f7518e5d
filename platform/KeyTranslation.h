// X keysyms to the virtual-key codes of the window messages.
#pragma once

#include <cstdint>

namespace reef {

// The virtual-key code for an X keysym; 0 for keys without one.
uint32_t virtualKeyFromKeysym(unsigned long keysym);

}  // namespace reef
