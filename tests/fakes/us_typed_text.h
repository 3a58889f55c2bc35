// What a US keyboard layout types, for the keys tests use: letters, digits and a few signs with and
// without Shift, Enter and Tab as their control characters, Ctrl with a letter as its control
// character, and nothing for the other keys.
#pragma once

#include "platform/typed_text.h"

namespace q7::test {

class UsTypedText final : public TypedText {
public:
  std::u16string typed(uint8_t vk, const KeyState& state) override {
    ++asked;
    const bool shift = state[0x10] != 0;
    const bool ctrl = state[0x11] != 0;
    if (vk >= 'A' && vk <= 'Z') {
      if (ctrl) return std::u16string(1, static_cast<char16_t>(vk - 'A' + 1));
      return std::u16string(1, static_cast<char16_t>(shift ? vk : vk - 'A' + 'a'));
    }
    if (vk >= '0' && vk <= '9') return std::u16string(1, shift ? u")!@#$%^&*("[vk - '0'] : static_cast<char16_t>(vk));
    switch (vk) {
    case 0x20:
      return u" ";
    case 0x0D:
      return u"\r";
    case 0x09:
      return u"\t";
    case 0xBA:
      return shift ? u":" : u";";
    case 0xBF:
      return shift ? u"?" : u"/";
    default:
      return {};
    }
  }
  int asked = 0;
};

} // namespace q7::test
