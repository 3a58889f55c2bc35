// The characters of a German keyboard layout (code page 1252) for keys pressed alone, as a
// Windows system with that layout gives them. Its two dead keys (^ and ´) give nothing.
#pragma once

#include "platform/keyboard_text.h"

namespace q7::test {

class GermanKeyboardText final : public KeyboardText {
public:
  std::optional<uint8_t> unshiftedCharacter(uint8_t vk) override {
    struct VkCharacter {
      uint8_t vk, character;
    };
    static constexpr VkCharacter kGerman[] = {
        {0x08, 0x08}, {0x09, '\t'}, {0x0D, '\r'}, {0x1B, 0x1B}, {0x20, ' '},  {0x6A, '*'}, {0x6B, '+'},
        {0x6D, '-'},  {0x6E, ','},  {0x6F, '/'},  {0xBA, 0xFC}, {0xBB, '+'},  {0xBC, ','}, {0xBD, '-'},
        {0xBE, '.'},  {0xBF, '#'},  {0xC0, 0xF6}, {0xDB, 0xDF}, {0xDE, 0xE4}, {0xE2, '<'},
    };
    if (vk >= '0' && vk <= '9') return vk;
    if (vk >= 'A' && vk <= 'Z') return static_cast<uint8_t>(vk - 'A' + 'a');
    if (vk >= 0x60 && vk <= 0x69) return static_cast<uint8_t>(vk - 0x60 + '0');
    for (const auto& entry : kGerman)
      if (entry.vk == vk) return entry.character;
    return std::nullopt;
  }
};

} // namespace q7::test
