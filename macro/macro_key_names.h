// The names of the keys in the macro editor's list: a fixed English name for the keys without a
// printable character, the active keyboard layout's character for every other key.
#pragma once

#include <cstdint>
#include <string>

#include "platform/keyboard_text.h"

namespace q7 {

// The name of virtual-key code vk (the low byte a macro stores). Code 0xFF and a code for which the
// layout has no character give the empty text; a letter is named in upper case.
std::u16string macroKeyName(uint8_t vk, KeyboardText& keyboard);

} // namespace q7
