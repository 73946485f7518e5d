#include "platform/KeyTranslation.h"

#include <X11/keysym.h>

#include "platform/WindowMessages.h"

namespace reef {

namespace {

struct KeyPair {
    unsigned long keysym;
    uint32_t virtualKey;
};

constexpr KeyPair kNamedKeys[] = {
    {XK_BackSpace, VK_BACK},     {XK_Tab, VK_TAB},           {XK_Clear, VK_CLEAR},
    {XK_Return, VK_RETURN},      {XK_KP_Enter, VK_RETURN},   {XK_Pause, VK_PAUSE},
    {XK_Escape, VK_ESCAPE},      {XK_space, VK_SPACE},       {XK_Prior, VK_PRIOR},
    {XK_Next, VK_NEXT},          {XK_End, VK_END},           {XK_Home, VK_HOME},
    {XK_Left, VK_LEFT},          {XK_Up, VK_UP},             {XK_Right, VK_RIGHT},
    {XK_Down, VK_DOWN},          {XK_Print, VK_PRINT},       {XK_Insert, VK_INSERT},
    {XK_Delete, VK_DELETE},      {XK_Help, VK_HELP},         {XK_Super_L, VK_LWIN},
    {XK_Super_R, VK_RWIN},       {XK_KP_Multiply, VK_MULTIPLY}, {XK_KP_Add, VK_ADD},
    {XK_KP_Separator, VK_SEPARATOR}, {XK_KP_Subtract, VK_SUBTRACT}, {XK_KP_Decimal, VK_DECIMAL},
    {XK_KP_Divide, VK_DIVIDE},   {XK_Num_Lock, VK_NUMLOCK},  {XK_Caps_Lock, VK_CAPITAL},
    {XK_Scroll_Lock, VK_SCROLL}, {XK_Shift_L, VK_LSHIFT},    {XK_Shift_R, VK_RSHIFT},
    {XK_Control_L, VK_LCONTROL}, {XK_Control_R, VK_RCONTROL}, {XK_Alt_L, VK_MENU},
    {XK_Alt_R, VK_MENU},         {XK_comma, VK_OEM_COMMA},   {XK_minus, VK_OEM_MINUS},
    {XK_period, VK_OEM_PERIOD},  {XK_KP_Home, VK_HOME},      {XK_KP_End, VK_END},
    {XK_KP_Up, VK_UP},           {XK_KP_Down, VK_DOWN},      {XK_KP_Left, VK_LEFT},
    {XK_KP_Right, VK_RIGHT},     {XK_KP_Prior, VK_PRIOR},    {XK_KP_Next, VK_NEXT},
    {XK_KP_Insert, VK_INSERT},   {XK_KP_Delete, VK_DELETE},
};

}  // namespace

uint32_t virtualKeyFromKeysym(unsigned long keysym) {
    if (keysym >= XK_a && keysym <= XK_z) return static_cast<uint32_t>('A' + (keysym - XK_a));
    if (keysym >= XK_A && keysym <= XK_Z) return static_cast<uint32_t>('A' + (keysym - XK_A));
    if (keysym >= XK_0 && keysym <= XK_9) return static_cast<uint32_t>('0' + (keysym - XK_0));
    if (keysym >= XK_KP_0 && keysym <= XK_KP_9) return VK_NUMPAD0 + static_cast<uint32_t>(keysym - XK_KP_0);
    if (keysym >= XK_F1 && keysym <= XK_F24) return VK_F1 + static_cast<uint32_t>(keysym - XK_F1);
    for (const KeyPair& pair : kNamedKeys)
        if (pair.keysym == keysym) return pair.virtualKey;
    return 0;
}

}  // namespace reef
