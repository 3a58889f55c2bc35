#include "app/us_keyboard_text.h"

namespace q7 {
namespace {

struct VkCharacter {
  uint8_t vk;
  uint8_t character;
};

// Keys other than the digits and letters that give a character without Shift.
constexpr VkCharacter kUsCharacters[] = {
    {0x08, 0x08}, {0x09, '\t'}, {0x0D, '\r'}, {0x1B, 0x1B}, {0x20, ' '},               // editing keys
    {0x6A, '*'},  {0x6B, '+'},  {0x6D, '-'},  {0x6E, '.'},  {0x6F, '/'},               // numeric pad
    {0xBA, ';'},  {0xBB, '='},  {0xBC, ','},  {0xBD, '-'},  {0xBE, '.'},  {0xBF, '/'}, // punctuation
    {0xC0, '`'},  {0xDB, '['},  {0xDC, '\\'}, {0xDD, ']'},  {0xDE, '\''}, {0xE2, '\\'},
};

} // namespace

std::optional<uint8_t> UsKeyboardText::unshiftedCharacter(uint8_t vk) {
  if (vk >= '0' && vk <= '9') return vk;
  if (vk >= 'A' && vk <= 'Z') return static_cast<uint8_t>(vk - 'A' + 'a');
  if (vk >= 0x60 && vk <= 0x69) return static_cast<uint8_t>(vk - 0x60 + '0'); // pad digits
  for (const auto& entry : kUsCharacters)
    if (entry.vk == vk) return entry.character;
  return std::nullopt;
}

} // namespace q7
