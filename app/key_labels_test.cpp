#include "app/key_labels.h"

#include <gtest/gtest.h>

#include <climits>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "app/keyboard_layout_tables.h"
#include "app/us_keyboard_text.h"
#include "tests/fakes/german_keyboard_text.h"

namespace q7 {
namespace {

std::string utf8(const std::u16string& text) {
  std::string out;
  for (char16_t c : text) {
    if (c < 0x80) {
      out += static_cast<char>(c);
    } else if (c < 0x800) {
      out += static_cast<char>(0xC0 | (c >> 6));
      out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
      out += static_cast<char>(0xE0 | (c >> 12));
      out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
      out += static_cast<char>(0x80 | (c & 0x3F));
    }
  }
  return out;
}

// A keyboard whose every key gives one chosen byte, or nothing; it remembers what was asked.
struct OneByteKeyboard final : KeyboardText {
  std::optional<uint8_t> byte;
  std::vector<uint8_t> asked;
  std::optional<uint8_t> unshiftedCharacter(uint8_t vk) override {
    asked.push_back(vk);
    return byte;
  }
};

// Expected captions per position; nullptr marks a hidden position.
using Captions = std::vector<const char16_t*>;
constexpr const char16_t* H = nullptr;

Captions operator+(Captions a, const Captions& b) {
  a.insert(a.end(), b.begin(), b.end());
  return a;
}

const Captions kTopRow = {u"Esc", u"F1", u"F2",  u"F3",  u"F4",  u"F5",     u"F6",      u"F7",
                          u"F8",  u"F9", u"F10", u"F11", u"F12", u"Prt Sc", u"ScrLock", u"Pause"};
const Captions kDigitRow = {u"`", u"1", u"2", u"3", u"4", u"5", u"6", u"7", u"8", u"9", u"0", u"-", u"="};
const Captions kNavigation = {u"Insert", u"Home", u"Pg Up", u"Numlock", u"(/)", u"(*)", u"(-)"};
const Captions kQRow = {u"Q", u"W", u"E", u"R", u"T", u"Y", u"U", u"I", u"O", u"P", u"{", u"}"};
const Captions kDeleteRow = {u"Delete", u"End", u"Pg Dn", u"(7)", u"(8)", u"(9)"};
const Captions kARow = {u"A", u"S", u"D", u"F", u"G", u"H", u"J", u"K", u"L", u";", u"'"};
const Captions kZRow = {u"Z", u"X", u"C", u"V", u"B", u"N", u"M", u",", u".", u"/"};
const Captions kAnsiBottom = {u"Enter", u"LCtrl", H,       u"LAlt", u"Space", u"RAlt", H,
                              u"App",   u"RCtrl", u"Left", u"Down", u"Right", u"(0)",  u"(.)"};

TEST(KeyLabels, CaptionOfEveryPositionWithAUsLayout) {
  const Captions ansi = kTopRow + kDigitRow + Captions{u"BKSP"} + kNavigation + Captions{u"Tab"} + kQRow +
                        Captions{u"\\"} + kDeleteRow + Captions{u"(+)", u"Caps"} + kARow +
                        Captions{u"Enter", u"(4)", u"(5)", u"(6)", u"LShift"} + kZRow +
                        Captions{u"RShift", u"Up", u"(1)", u"(2)", u"(3)"} + kAnsiBottom + Captions(10, H);
  const Captions iso = kTopRow + kDigitRow + Captions{u"BKSP"} + kNavigation + Captions{u"Tab"} + kQRow + kDeleteRow +
                       Captions{u"(+)", u"Caps"} + kARow +
                       Captions{u"#", u"Enter", u"(4)", u"(5)", u"(6)", u"LShift", u"|"} + kZRow +
                       Captions{u"RShift", u"Up", u"(1)", u"(2)", u"(3)"} + kAnsiBottom + Captions(9, H);
  const Captions japanese = kTopRow + kDigitRow + Captions{u"", u"BKSP"} + kNavigation + Captions{u"Tab"} + kQRow +
                            kDeleteRow + Captions{u"(+)", u"Caps"} + kARow +
                            Captions{u"#", u"Enter", u"(4)", u"(5)", u"(6)", u"LShift"} + kZRow +
                            Captions{u"\\",
                                     u"RShift",
                                     u"Up",
                                     u"(1)",
                                     u"(2)",
                                     u"(3)",
                                     u"Enter",
                                     u"LCtrl",
                                     H,
                                     u"LAlt",
                                     u"\u7121\u53D8\u63DB",
                                     u"Space",
                                     u"\u53D8\u63DB",
                                     u"\u30AB\u30BF/\u3072\u3089",
                                     u"RAlt",
                                     H,
                                     u"App",
                                     u"RCtrl",
                                     u"Left",
                                     u"Down",
                                     u"Right",
                                     u"(0)",
                                     u"(.)"} +
                            Captions(5, H);
  const struct {
    KeyLayout layout;
    const Captions& captions;
  } cases[] = {{KeyLayout::Ansi, ansi}, {KeyLayout::Iso, iso}, {KeyLayout::Japanese, japanese}};
  UsKeyboardText us;
  for (const auto& c : cases) {
    ASSERT_EQ(c.captions.size(), size_t(kKeyCount));
    const KeyLabels labels(c.layout, false, us);
    for (int k = 0; k < kKeyCount; ++k) {
      SCOPED_TRACE("layout " + std::to_string(int(c.layout)) + " position " + std::to_string(k));
      EXPECT_EQ(keyVisible(c.layout, k), c.captions[k] != nullptr);
      if (c.captions[k]) {
        EXPECT_EQ(utf8(labels.keyCaption(k)), utf8(c.captions[k]));
      }
    }
  }
}

TEST(KeyLabels, CaptionsChosenByTheLanguageCode) {
  const struct {
    const char16_t* language;
    int position;
    const char16_t* caption;
  } cases[] = {
      {u"EN", 0, u"Esc"}, {u"UK", 69, u"#"},      {u"JP", 96, u"\u7121\u53D8\u63DB"},
      {u"EN", 50, u"\\"}, {u"FR", 50, u"Delete"}, {u"JP", 50, u"}"},
      {u"GE", 43, u"Z"},  {u"GE", 75, u"Y"},      {u"GE", 68, u"\u00D6"},
      {u"GE", 50, u"\\"}, {u"DE", 43, u"Y"},      {u"DE", 76, u"Z"},
      {u"DE", 67, u";"},  {u"de", 43, u"Y"},
  };
  UsKeyboardText us;
  for (const auto& c : cases) {
    const auto labels = KeyLabels::forLanguage(c.language, us);
    EXPECT_EQ(utf8(labels.keyCaption(c.position)), utf8(c.caption)) << utf8(c.language) << " position " << c.position;
  }
  for (int position : {-1, kKeyCount, INT_MIN, INT_MAX})
    EXPECT_EQ(KeyLabels(KeyLayout::Iso, false, us).keyCaption(position), u"") << position;
}

TEST(KeyLabels, FixedNamesIgnoreTheLayout) {
  const struct {
    uint32_t code;
    const char16_t* name;
  } cases[] = {
      {0x08, u"BKSP"},
      {0x0D, u"Enter"},
      {0x2B, u"Enter"},
      {0x6C, u"Enter"},
      {0x0C, u"Clr"},
      {0x13, u"Pause"},
      {0x21, u"Pg Up"},
      {0x22, u"Pg Dn"},
      {0x2C, u"Prt Sc"},
      {0x2F, u"Help"},
      {0x5C, u"RWin"},
      {0x60, u"(0)"},
      {0x69, u"(9)"},
      {0x6E, u"(.)"},
      {0x6F, u"(/)"},
      {0x70, u"F1"},
      {0x7B, u"F12"},
      {0x90, u"Numlock"},
      {0x91, u"ScrLock"},
      {0xA5, u"RAlt"},
      {0xDC, u"\\"},
      {1005, u"\\"},
      {0xEB, u"#"},
      {1003, u"#"},
      {0xEC, u"|"},
      {1004, u"|"},
      {0xEF, u"\u7121\u53D8\u63DB"},
      {1007, u"\u7121\u53D8\u63DB"},
      {0xF0, u"\u53D8\u63DB"},
      {1008, u"\u53D8\u63DB"},
      {0xF1, u"\u30AB\u30BF/\u3072\u3089"},
      {1009, u"\u30AB\u30BF/\u3072\u3089"},
      {0xFF, u""},
      // The whole code counts: a code above a byte is never its low byte, and the program's own
      // codes without a fixed name have no character.
      {0x10D, u""},
      {0x141, u""},
      {0x1FF, u""},
      {1002, u""},
      {1006, u""},
      {1012, u""},
      {0xFFFFFFFF, u""},
  };
  OneByteKeyboard keyboard;
  keyboard.byte = 'x';
  for (bool german : {false, true}) {
    const KeyLabels labels(KeyLayout::Ansi, german, keyboard);
    for (const auto& c : cases) EXPECT_EQ(utf8(labels.keyName(c.code)), utf8(c.name)) << std::hex << c.code;
  }
  EXPECT_TRUE(keyboard.asked.empty());
}

TEST(KeyLabels, GermanLegendsOnlyWithGE) {
  const struct {
    uint32_t code;
    const char16_t* german;
    const char16_t* other;
  } cases[] = {
      {0x59, u"Z", u"Y"}, {0x5A, u"Y", u"Z"},      {0xBA, u"\u00D6", u";"}, {0xBE, u"'", u"."},
      {0xBF, u".", u"/"}, {0xDB, u"\u00DC", u"{"}, {0xDD, u"+", u"}"},      {0xDE, u"\u00C4", u"'"},
  };
  test::GermanKeyboardText germanSystem;
  for (const char16_t* language : {u"GE", u"DE", u"EN", u"ge", u""}) {
    const auto labels = KeyLabels::forLanguage(language, germanSystem);
    const bool german = std::u16string_view(language) == u"GE";
    EXPECT_EQ(labels.germanLegends(), german);
    for (const auto& c : cases)
      EXPECT_EQ(utf8(labels.keyName(c.code)), utf8(german ? c.german : c.other))
          << utf8(language) << " " << std::hex << c.code;
  }
  EXPECT_EQ(KeyLabels::forLanguage(u"GE", germanSystem).layout(), KeyLayout::Ansi);
}

TEST(KeyLabels, OtherKeysTakeTheSystemLayoutsCharacter) {
  const struct {
    uint32_t code;
    const char16_t* us;
    const char16_t* german;
  } cases[] = {
      {0x41, u"A", u"A"}, {0x51, u"Q", u"Q"}, {0x31, u"1", u"1"},  {0xBD, u"-", u"-"},
      {0xBC, u",", u","}, {0xBB, u"=", u"+"}, {0xE2, u"\\", u"<"}, {0xC0, u"`", u"\u00F6"},
      {0x11, u"", u""},   {0x7C, u"", u""},   {0x00, u"", u""},
  };
  UsKeyboardText us;
  test::GermanKeyboardText german;
  const KeyLabels onUs(KeyLayout::Ansi, false, us), onGerman(KeyLayout::Iso, false, german);
  for (const auto& c : cases) {
    EXPECT_EQ(utf8(onUs.keyName(c.code)), utf8(c.us)) << std::hex << c.code;
    EXPECT_EQ(utf8(onGerman.keyName(c.code)), utf8(c.german)) << std::hex << c.code;
  }
}

TEST(KeyLabels, LayoutByteBecomesOneCharacter) {
  const struct {
    std::optional<uint8_t> byte;
    const char16_t* name;
  } cases[] = {
      {std::nullopt, u""}, {0x00, u""}, {'q', u"Q"},       {'z', u"Z"},       {'Q', u"Q"},       {'5', u"5"},
      {'{', u"{"},         {'`', u"`"}, {0xE9, u"\u00E9"}, {0xDF, u"\u00DF"}, {0xFF, u"\u00FF"},
  };
  for (const auto& c : cases) {
    OneByteKeyboard keyboard;
    keyboard.byte = c.byte;
    EXPECT_EQ(utf8(KeyLabels(KeyLayout::Ansi, false, keyboard).keyName(0x4B)), utf8(c.name))
        << (c.byte ? int(*c.byte) : -1);
    EXPECT_EQ(keyboard.asked, std::vector<uint8_t>{0x4B});
  }
}

// Answers every lookup with "<section/key>" and counts the lookups.
int lookups = 0;
std::u16string markedLookup(std::u16string_view section, std::u16string_view key) {
  ++lookups;
  std::u16string marked(u"<");
  marked.append(section).append(u"/").append(key).append(u">");
  return marked;
}

template <size_t N> void put(char16_t (&field)[N], std::u16string_view text) {
  std::fill(field, field + N, u'\0');
  std::copy(text.begin(), text.begin() + std::min(text.size(), N), field);
}

TEST(KeyLabels, FunctionTextOfEachKind) {
  const struct {
    const char* what;
    uint8_t kind;
    void (*fill)(KeyRecord&);
    std::u16string text;
    int lookups;
  } cases[] = {
      {"default", 0, [](KeyRecord&) {}, u"", 0},
      {"single key A", 1, [](KeyRecord& r) { r.setSingleKeyVk(0x41); }, u"A", 0},
      {"single key stored as a byte", 1, [](KeyRecord& r) { r.setSingleKeyVk(235); }, u"#", 0},
      {"single key 0xFF", 1, [](KeyRecord& r) { r.setSingleKeyVk(0xFF); }, u"", 0},
      {"named macro", 2, [](KeyRecord& r) { put(r.MacroName, u"Combo"); }, u"Combo", 0},
      {"unnamed macro", 2, [](KeyRecord&) {}, u"<MAIN/MACRO>", 1},
      {"macro name without end", 2, [](KeyRecord& r) { put(r.MacroName, std::u16string(260, u'n')); },
       std::u16string(260, u'n'), 0},
      {"program", 9, [](KeyRecord& r) { put(r.ProgramPath, u"C:\\Games\\game.exe"); }, u"C:\\Games\\game.exe", 0},
      {"program path filling the field", 9, [](KeyRecord& r) { put(r.ProgramPath, std::u16string(130, u'p')); },
       std::u16string(130, u'p'), 0},
      {"program without path", 9, [](KeyRecord&) {}, u"", 0},
      {"program over a former macro", 9,
       [](KeyRecord& r) {
         put(r.MacroName, u"Old");
         r.EventCount = 4;
         put(r.ProgramPath, u"run.exe");
       },
       u"run.exe", 0},
      {"disabled", 10, [](KeyRecord&) {}, u"<MAIN/DISABLE>", 1},
      {"disabled with leftovers", 10, [](KeyRecord& r) { put(r.MacroName, u"Old"); }, u"<MAIN/DISABLE>", 1},
      {"kind 3", 3, [](KeyRecord& r) { put(r.MacroName, u"x"); }, u"", 0},
      {"kind 5", 5, [](KeyRecord&) {}, u"", 0},
      {"kind 8", 8, [](KeyRecord&) {}, u"", 0},
      {"kind 11", 11, [](KeyRecord&) {}, u"", 0},
      {"kind 255", 255, [](KeyRecord& r) { put(r.ProgramPath, u"x"); }, u"", 0},
  };
  UsKeyboardText us;
  const KeyLabels labels(KeyLayout::Iso, false, us);
  for (const auto& c : cases) {
    auto record = std::make_unique<KeyRecord>();
    std::memset(record.get(), 0, sizeof(KeyRecord));
    std::memset(record->reserved2, 0x41, sizeof(record->reserved2)); // text past a field would show
    record->Kind = c.kind;
    c.fill(*record);
    lookups = 0;
    EXPECT_EQ(utf8(labels.keyFunctionText(*record, markedLookup)), utf8(c.text)) << c.what;
    EXPECT_EQ(lookups, c.lookups) << c.what;
  }
}

TEST(KeyLabels, FunctionTextWithoutALookup) {
  UsKeyboardText us;
  KeyRecord record{};
  record.Kind = 10;
  EXPECT_EQ(KeyLabels(KeyLayout::Ansi, false, us).keyFunctionText(record, nullptr), u"");
}

TEST(KeyLabels, LegendsOfTheGeneratedKeyCaps) {
  const auto ansi = keyLegends(KeyLayout::Ansi), german = keyLegends(KeyLayout::Ansi, true);
  const auto japanese = keyLegends(KeyLayout::Japanese);
  EXPECT_EQ(ansi[0], u"Esc");
  EXPECT_EQ(ansi[43], u"Y");
  EXPECT_EQ(german[43], u"Z");
  EXPECT_EQ(ansi[92], u"");  // hidden Left Windows
  EXPECT_EQ(ansi[105], u""); // hidden, code 0 like Pause
  EXPECT_EQ(japanese[99], u"\u30AB\u30BF/\u3072\u3089");
  EXPECT_EQ(keyLegends(KeyLayout::Iso)[75], u"|");
}

} // namespace
} // namespace q7
