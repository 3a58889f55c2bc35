// The key names against Wine's keyboard layout: the characters come from MapVirtualKeyW and
// ToAscii of the running system.
#include <gtest/gtest.h>

#include "app/key_labels.h"
#include "platform/win32/win32_keyboard_text.h"

namespace q7 {
namespace {

TEST(Win32KeyboardText, CharactersOfKeysPressedAlone) {
  win32::Win32KeyboardText keyboard;
  // Letters and digits give the same unshifted character in every Latin layout.
  EXPECT_EQ(keyboard.unshiftedCharacter('A'), uint8_t('a'));
  EXPECT_EQ(keyboard.unshiftedCharacter('Q'), uint8_t('q'));
  EXPECT_EQ(keyboard.unshiftedCharacter('1'), uint8_t('1'));
  EXPECT_EQ(keyboard.unshiftedCharacter(0x20), uint8_t(' '));
  // Keys without a character.
  for (uint8_t vk : {0x11, 0x10, 0x70, 0x7C, 0x00}) EXPECT_EQ(keyboard.unshiftedCharacter(vk), std::nullopt) << int(vk);
}

TEST(Win32KeyboardText, TypedWithTheKeysHeld) {
  win32::Win32KeyboardText keyboard;
  KeyState none{}, shift{};
  shift[0x10] = shift[0xA0] = 0x80;
  const struct {
    uint8_t vk;
    const KeyState& state;
    std::u16string typed;
  } cases[] = {
      {'A', none, u"a"},   {'A', shift, u"A"}, {'Q', shift, u"Q"},
      {0x20, shift, u" "}, {0x74, none, u""}, // F5 types nothing
      {0x10, shift, u""},
  };
  for (const auto& c : cases) EXPECT_EQ(keyboard.typed(c.vk, c.state), c.typed) << int(c.vk);
  // Typing leaves the thread's own keyboard state as it was: A alone still types a.
  EXPECT_EQ(keyboard.typed('A', none), u"a");
}

TEST(Win32KeyboardText, NamesFromTheSystemLayout) {
  win32::Win32KeyboardText keyboard;
  const auto labels = KeyLabels::forLanguage(u"EN", keyboard);
  EXPECT_EQ(labels.keyName(0x41), u"A");
  EXPECT_EQ(labels.keyName(0x4D), u"M");
  EXPECT_EQ(labels.keyName(0x37), u"7");
  EXPECT_EQ(labels.keyName(0x11), u"");
  EXPECT_EQ(labels.keyCaption(59), u"A"); // ANSI A key
  EXPECT_EQ(labels.keyCaption(0), u"Esc");
}

} // namespace
} // namespace q7
