// The active keyboard layout's characters through MapVirtualKeyW and ToAscii.
#pragma once

#include "platform/win32/windows_only.h"

#include "platform/keyboard_text.h"

namespace q7::win32 {

class Win32KeyboardText final : public KeyboardText {
public:
  std::optional<uint8_t> unshiftedCharacter(uint8_t vk) override;
};

} // namespace q7::win32
