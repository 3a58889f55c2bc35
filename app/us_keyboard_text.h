// The characters of a US keyboard layout, for places without a system keyboard layout: the
// legends of the generated key caps and native tests.
#pragma once

#include "platform/keyboard_text.h"

namespace q7 {

class UsKeyboardText final : public KeyboardText {
public:
  std::optional<uint8_t> unshiftedCharacter(uint8_t vk) override;
};

} // namespace q7
