// What the system's active keyboard layout types for a key while other keys are held: the
// macro editor's test play shows a macro's keys this way, without sending any key anywhere.
#pragma once

#include <array>
#include <cstdint>
#include <string>

namespace q7 {

// One byte per virtual-key code, 0x80 for a key held down (the system's key-state form).
using KeyState = std::array<uint8_t, 256>;

class TypedText {
public:
  virtual ~TypedText() = default;
  // The characters vk types with the keys of state held; empty when it types none. A dead key
  // gives its own character and leaves nothing pending for the next key.
  virtual std::u16string typed(uint8_t vk, const KeyState& state) = 0;
};

} // namespace q7
