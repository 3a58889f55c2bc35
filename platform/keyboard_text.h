// The character that the system's active keyboard layout gives a key: the last resort of the
// program's key names.
#pragma once

#include <cstdint>
#include <optional>

namespace q7 {

class KeyboardText {
public:
  virtual ~KeyboardText() = default;
  // The low byte of the first character the active layout produces for virtual key vk pressed
  // alone (no Shift, no Caps Lock, no other key held), in the system's code page; nothing when the
  // key produces no character.
  virtual std::optional<uint8_t> unshiftedCharacter(uint8_t vk) = 0;
};

} // namespace q7
