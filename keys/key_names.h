// The names of keys as the windows show them: the main window's key captions and single-key
// targets, and the single-key dialog's captured key.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "platform/keyboard_text.h"

namespace q7 {

// Language code "GE" (and only it, exactly) gives eight keys their German legends.
constexpr bool germanLegendsFor(std::u16string_view languageCode) { return languageCode == u"GE"; }

// Name of a virtual-key code (0 … 255) or of one of the program's own codes (1000 and more): a
// fixed name, else the active layout's character (keyboard) raised to upper case for a … z, else "".
std::u16string keyName(uint32_t code, bool germanLegends, KeyboardText& keyboard);

} // namespace q7
