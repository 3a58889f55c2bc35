// The active keyboard layout's characters through MapVirtualKeyW and ToAscii, and what a key types
// with other keys held through ToUnicodeEx.
#pragma once

#include "platform/win32/windows_only.h"

#include "platform/keyboard_text.h"
#include "platform/typed_text.h"

namespace q7::win32 {

class Win32KeyboardText final : public KeyboardText, public TypedText {
public:
  std::optional<uint8_t> unshiftedCharacter(uint8_t vk) override;
  std::u16string typed(uint8_t vk, const KeyState& state) override;
};

} // namespace q7::win32
