#include "macro/macro_text_form.h"

#include <gtest/gtest.h>

#include <cstring>
#include <set>
#include <string>

namespace q7 {
namespace {

std::u16string u16(const std::string& s) { return std::u16string(s.begin(), s.end()); }

std::vector<MacroEvent> roundTrip(const std::vector<MacroEvent>& events) {
  const TextParse parsed = parseMacroText(macroEventsText(events.data(), events.size()));
  EXPECT_FALSE(parsed.error) << "line " << parsed.errorLine;
  return parsed.events;
}

bool sameBytes(const std::vector<MacroEvent>& a, const std::vector<MacroEvent>& b) {
  return a.size() == b.size() && std::memcmp(a.data(), b.data(), a.size() * sizeof(MacroEvent)) == 0;
}

TEST(MacroTextForm, EveryKeyCodeHasOneNameThatReadsBack) {
  std::set<std::u16string> names;
  std::vector<MacroEvent> events;
  for (int vk = 0; vk < 256; ++vk) {
    const std::u16string name = textKeyName(static_cast<uint8_t>(vk));
    ASSERT_FALSE(name.empty()) << vk;
    EXPECT_EQ(name.find_first_of(u" \t#"), std::u16string::npos) << vk;
    EXPECT_EQ(textKeyCode(name), vk) << vk;
    names.insert(name);
    // Every code pressed and released, each with a pause of its own length.
    events.push_back(keyEvent(static_cast<uint8_t>(vk), false));
    events.push_back(pauseEvent(static_cast<uint16_t>(vk * 257)));
    if (events.size() == kMaxMacroEvents || vk == 255) {
      EXPECT_TRUE(sameBytes(roundTrip(events), events)) << "up to " << vk;
      events.clear();
    }
  }
  EXPECT_EQ(names.size(), 256u); // unique, whatever the letter case
  std::set<std::u16string> folded;
  for (std::u16string n : names) {
    for (char16_t& c : n)
      if (c >= u'a' && c <= u'z') c = static_cast<char16_t>(c - u'a' + u'A');
    folded.insert(n);
  }
  EXPECT_EQ(folded.size(), 256u);
}

TEST(MacroTextForm, NamesAndLines) {
  const struct {
    uint8_t vk;
    const char* name;
  } cases[] = {{0xA0, "LShift"}, {0x41, "A"},       {0x31, "1"},           {0x6C, "NumEnter"},
               {0x0D, "Enter"},  {0x2B, "Execute"}, {0x2C, "PrintScreen"}, {0xBA, "Semicolon"},
               {0x60, "Num0"},   {0xE5, "VK_E5"},   {0x00, "VK_00"},       {0x74, "F5"}};
  for (const auto& c : cases) EXPECT_EQ(textKeyName(c.vk), u16(c.name)) << int{c.vk};

  const MacroEvent events[] = {keyEvent(0xA0, false), pauseEvent(20), keyEvent(0x41, true), pauseEvent(65535)};
  EXPECT_EQ(macroEventsText(events, 4), u"press LShift\r\npause 20\r\nrelease A\r\npause 65535\r\n");
}

TEST(MacroTextForm, ReadsCommentsBlanksCaseAndLineEnds) {
  const TextParse parsed =
      parseMacroText(u"# shared macro\n\n  PRESS lshift   # hold it\r\n\tpause 020\r\nrelease a\npause 0\n# end");
  ASSERT_FALSE(parsed.error) << parsed.errorLine;
  const std::vector<MacroEvent> expected = {keyEvent(0xA0, false), pauseEvent(20), keyEvent(0x41, true), pauseEvent(0)};
  EXPECT_TRUE(sameBytes(parsed.events, expected));
}

TEST(MacroTextForm, EventsTheEditorDoesNotWriteComeBackByteForByte) {
  const std::vector<MacroEvent> odd = {
      {0x41, 0x00, 0x80, 0x00, 0}, // usage missing
      {0x00, 0xFF, 0x00, 0x07, 9}, // pause with a reserved byte set
      {0x41, 0x04, 0x81, 0x00, 0}, // unknown state
      {0x12, 0xFF, 0x00, 0x00, 3}, // pause with a key code
      {0x41, 0x04, 0x80, 0x00, 5}, // key event with a length
      pauseEvent(1),
  };
  const std::u16string text = macroEventsText(odd.data(), odd.size());
  EXPECT_NE(text.find(u"raw 41 00 80 00 00 00"), std::u16string::npos);
  EXPECT_TRUE(sameBytes(roundTrip(odd), odd));
  // A release whose press was deleted is a line the editor holds: accepted as it is.
  EXPECT_FALSE(parseMacroText(u"release A\npause 0").error);
}

std::u16string lines(int keyLines) {
  std::u16string text;
  for (int i = 0; i < keyLines; ++i) text += u"press A\npause 1\n";
  return text;
}

TEST(MacroTextForm, EachErrorWithItsLine) {
  const struct {
    std::u16string text;
    TextError error;
    int line;
  } cases[] = {
      {u"press A\npause 20\nhold B\npause 1", TextError::UnknownWord, 3},
      {u"press Foo\npause 1", TextError::UnknownKey, 1},
      {u"press\npause 1", TextError::UnknownKey, 1},
      {u"press A B\npause 1", TextError::UnknownKey, 1},
      {u"press VK_G1\npause 1", TextError::UnknownKey, 1},
      {u"press A\npause 65536", TextError::PauseOutOfRange, 2},
      {u"press A\npause -1", TextError::PauseOutOfRange, 2},
      {u"press A\npause 2x", TextError::PauseOutOfRange, 2},
      {u"press A\npause 100000", TextError::PauseOutOfRange, 2},
      {u"press A\npause", TextError::PauseOutOfRange, 2},
      {u"raw 41 04\npause 1", TextError::BadRawEvent, 1},
      {u"raw 41 04 80 00 00 0G\npause 1", TextError::BadRawEvent, 1},
      {u"press A\n# comment\npress B\npause 1", TextError::PauseExpected, 3},
      {u"pause 5\npress A\npause 1", TextError::KeyExpected, 1},
      {u"press A\npause 5\npause 5", TextError::KeyExpected, 3},
      {u"press A\npause 5\n# end\npress B\n\n", TextError::MissingPause, 4},
      {lines(171), TextError::TooManyEvents, 341},
      {u"# nothing but a comment\n\n", TextError::NoEvents, 3},
      {u"", TextError::NoEvents, 1},
  };
  for (const auto& c : cases) {
    const TextParse parsed = parseMacroText(c.text);
    ASSERT_TRUE(parsed.error) << std::string(c.text.begin(), c.text.end());
    EXPECT_EQ(*parsed.error, c.error) << std::string(c.text.begin(), c.text.end());
    EXPECT_EQ(parsed.errorLine, c.line) << std::string(c.text.begin(), c.text.end());
    EXPECT_TRUE(parsed.events.empty());
  }
  // The most a macro holds is accepted.
  const TextParse full = parseMacroText(lines(170));
  EXPECT_FALSE(full.error);
  EXPECT_EQ(full.events.size(), kMaxMacroEvents);
}

} // namespace
} // namespace q7
