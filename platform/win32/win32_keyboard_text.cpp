#include "platform/win32/win32_keyboard_text.h"

namespace q7::win32 {

std::optional<uint8_t> Win32KeyboardText::unshiftedCharacter(uint8_t vk) {
  const UINT scanCode = MapVirtualKeyW(vk, MAPVK_VK_TO_VSC);
  BYTE state[256] = {}; // no Shift, no Caps Lock, nothing held
  WORD chars[2] = {};
  const int produced = ToAscii(vk, scanCode, state, chars, 0);
  // A dead key produces nothing yet but stays pending in the thread's keyboard state, where it
  // would change the next character the user types; pressing it once more releases it.
  if (produced <= 0 && (MapVirtualKeyW(vk, MAPVK_VK_TO_CHAR) & 0x80000000u) != 0) {
    WORD ignored[2] = {};
    ToAscii(vk, scanCode, state, ignored, 0);
  }
  if (produced <= 0) return std::nullopt;
  return static_cast<uint8_t>(chars[0] & 0xFF);
}

} // namespace q7::win32
