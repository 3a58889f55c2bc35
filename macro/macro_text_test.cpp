#include "macro/macro_key_names.h"
#include "macro/macro_list_text.h"

#include <gtest/gtest.h>

#include "fakes/german_keyboard_text.h"
#include "macro/macro_model.h"

namespace q7 {
namespace {

// A US layout's unshifted characters for the few keys these tests name through the layout.
class UsKeys final : public KeyboardText {
public:
  std::optional<uint8_t> unshiftedCharacter(uint8_t vk) override {
    ++asked;
    if (vk >= 'A' && vk <= 'Z') return static_cast<uint8_t>(vk - 'A' + 'a');
    if (vk >= '0' && vk <= '9') return vk;
    if (vk == 0xBA) return ';';
    if (vk == 0xDE) return '\'';
    return std::nullopt;
  }
  int asked = 0;
};

TEST(MacroKeyName, FixedNamesLayoutCharactersAndNothing) {
  UsKeys us;
  const struct {
    uint8_t vk;
    const char16_t* name;
  } cases[] = {
      {0x41, u"A"},
      {0x5A, u"Z"},
      {0x31, u"1"},
      {0xBA, u";"},
      {0xDE, u"'"},
      {0x6C, u"\\"},
      {0x2B, u"Enter"},
      {0x0D, u"Enter"},
      {0xFF, u""},
      {0x00, u""},
      {0x7C, u""}, // F13: the layout gives no character
      {0x01, u"LeftButton"},
      {0x02, u"RightButton"},
      {0x04, u"MiddleButton"},
      {0x2C, u"PrtSrn"},
      {0x2A, u"Print"},
      {0x10, u"Shift"},
      {0xA5, u"RAlt"},
      {0x91, u"ScrollLock"},
      {0x5D, u"App"},
      {0x60, u"(0)"},
      {0x69, u"(9)"},
      {0x6A, u"(*)"},
      {0x6B, u"(+)"},
      {0x6D, u"(-)"},
      {0x6E, u"(.)"},
      {0x6F, u"(/)"},
      {0x70, u"F1"},
      {0x7B, u"F12"},
      {0x22, u"PgDown"},
  };
  for (const auto& c : cases) EXPECT_EQ(macroKeyName(c.vk, us), std::u16string(c.name)) << std::hex << int(c.vk);
}

TEST(MacroKeyName, FixedNamesNeverAskTheLayout) {
  UsKeys us;
  for (uint8_t vk : {0x01, 0x2B, 0x60, 0x6C, 0xA0, 0xFF}) macroKeyName(vk, us);
  EXPECT_EQ(us.asked, 0);
}

TEST(MacroKeyName, OtherLayoutsGiveTheirOwnCharacters) {
  test::GermanKeyboardText german;
  EXPECT_EQ(macroKeyName(0x41, german), u"A");
  EXPECT_EQ(macroKeyName(0xBA, german), u"\u00FC"); // only a ... z are raised to capitals
  EXPECT_EQ(macroKeyName(0xDE, german), u"\u00E4");
  EXPECT_EQ(macroKeyName(0xDC, german), u"") << "a dead key gives nothing";
  EXPECT_EQ(macroKeyName(0x6E, german), u"(.)") << "the fixed names stay whatever the layout";
}

TEST(MacroListText, LineTexts) {
  EXPECT_EQ(recordingLineText(u"A"), u"A  ");
  EXPECT_EQ(lineTextWithPause(u"A  ", 130), u"A          130 MS") << "a recorded line: ten blanks";
  EXPECT_EQ(lineTextWithPause(u"A", 0), u"A        0 MS") << "a rebuilt line: eight blanks";
  EXPECT_EQ(lineTextWithPause(u"", 65535), u"        65535 MS");
}

TEST(MacroListText, PainterParts) {
  const struct {
    const char16_t* text;
    const char16_t* key;
    const char16_t* pause;
  } cases[] = {
      {u"A  ", u"A", u""},                               // recording, pause not yet known
      {u"A", u"", u""},                                  // rebuilt last line without its pause
      {u"RightButton  ", u"RightButton", u"htButton  "}, // 13 characters: its tail shows as pause
      {u"ScrollLock        12750 MS", u"ScrollLock", u"  12750 MS"},
      {u"A          130 MS", u"A", u"    130 MS"},
      {u"  Tab  ", u"", u""},              // two leading blanks: nothing before them
      {u"MS          130 MS", u"MS", u""}, // a text beginning "MS" shows no pause
      {u"", u"", u""},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(painterKeyPart(c.text), std::u16string_view(c.key)) << (&c - cases);
    EXPECT_EQ(painterPausePart(c.text), std::u16string_view(c.pause));
  }
}

TEST(MacroListText, LinesOfARecord) {
  UsKeys us;
  KeyRecord r{};
  EXPECT_TRUE(macroListLines(r, us).empty());
  appendKey(r, 0x41, false);
  EXPECT_TRUE(macroListLines(r, us).empty()) << "one event shows no line";
  appendPause(r, 130);
  appendKey(r, 0x41, true);
  const std::vector<MacroListLine> unfinished = {{u"A        130 MS", kArrowDown}, {u"A", kArrowUp}};
  EXPECT_EQ(macroListLines(r, us), unfinished);
  appendPause(r, 0);
  const std::vector<MacroListLine> done = {{u"A        130 MS", kArrowDown}, {u"A        0 MS", kArrowUp}};
  EXPECT_EQ(macroListLines(r, us), done);
}

TEST(MacroListText, EachKeyIsNamedOncePerList) {
  UsKeys us;
  KeyRecord r{};
  for (uint8_t vk : {'A', 'A', 'B', 'A', 'B'}) {
    appendKey(r, vk, false);
    appendPause(r, 20);
  }
  EXPECT_EQ(macroListLines(r, us).size(), 5u);
  EXPECT_EQ(us.asked, 2);
}

TEST(MacroListText, CraftedRecordsReadWithinTheirSlots) {
  UsKeys us;
  KeyRecord r{};
  appendPause(r, 7); // a pause with no key before it
  appendKey(r, 0x42, true);
  appendKey(r, 0x43, false); // two keys in a row
  appendPause(r, 9);
  const std::vector<MacroListLine> lines = {{u"B", kArrowUp}, {u"C        9 MS", kArrowDown}};
  EXPECT_EQ(macroListLines(r, us), lines);

  KeyRecord full{};
  for (int i = 0; i < kMaxMacroLines; ++i) {
    appendKey(full, 0x41, false);
    appendPause(full, 1);
  }
  full.EventCount = 0xFFFFFFFF; // claims more than the slots hold
  EXPECT_EQ(macroListLines(full, us).size(), 170u);
  full.EventCount = 341;
  EXPECT_EQ(macroListLines(full, us).size(), 170u);
}

} // namespace
} // namespace q7
