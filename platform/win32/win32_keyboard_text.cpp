#include "platform/win32/win32_keyboard_text.h"

#include <algorithm>
#include <iterator>

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

std::u16string Win32KeyboardText::typed(uint8_t vk, const KeyState& state) {
  HKL layout = GetKeyboardLayout(0);
  const UINT scanCode = MapVirtualKeyExW(vk, MAPVK_VK_TO_VSC, layout);
  BYTE keys[256];
  std::copy(state.begin(), state.end(), keys);
  WCHAR chars[8] = {};
  const int produced = ToUnicodeEx(vk, scanCode, keys, chars, static_cast<int>(std::size(chars)), 0, layout);
  if (produced < 0) {
    // A dead key: its own character, and the pending accent taken out of the thread's keyboard state
    // again (a second press of it gives the accent alone), so the user's next key is untouched.
    WCHAR ignored[8] = {};
    ToUnicodeEx(vk, scanCode, keys, ignored, static_cast<int>(std::size(ignored)), 0, layout);
    return std::u16string(1, static_cast<char16_t>(chars[0]));
  }
  return std::u16string(chars, chars + produced);
}

} // namespace q7::win32
