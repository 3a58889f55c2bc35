#include "app/accessible_names.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "app/us_keyboard_text.h"

namespace q7 {
namespace {

std::u16string noStrings(std::u16string_view, std::u16string_view) { return {}; }

// A string file that words the key names its own way, and has texts only in ACCESS and MAIN.
std::u16string ownStrings(std::u16string_view section, std::u16string_view key) {
  if (section == u"ACCESS" && key == u"KEYDISABLED") return u"%1 (aus)";
  if (section == u"ACCESS" && key == u"KEYMACRO") return u"Makro %2 auf %1";
  if (section == u"MAIN" && key == u"DISABLE") return u"Deaktivieren";
  return {};
}

// A crafted text that names its parts over and over.
std::u16string floodStrings(std::u16string_view section, std::u16string_view key) {
  if (section == u"ACCESS" && key == u"KEYDISABLED") return std::u16string(5000, u'x') + u"%1%1%1%1%1%1%1%1%2%2%2%2%";
  return {};
}

int positionOf(const KeyLabels& labels, std::u16string_view caption) {
  for (int k = 0; k < kKeyCount; ++k)
    if (labels.keyCaption(k) == caption) return k;
  return -1;
}

struct NameCase {
  const char* what;
  const char16_t* label;
  KeyKind kind;
  const char16_t* macroName;
  uint8_t targetVk;
  const char16_t* program;
  TextLookup lookup;
  const char16_t* expected;
};

const NameCase kNameCases[] = {
    {"own function: the label alone", u"Q", KeyKind::Default, u"", 0, u"", noStrings, u"Q"},
    {"disabled", u"Q", KeyKind::Disabled, u"", 0, u"", noStrings, u"Q, disabled"},
    {"named macro", u"F1", KeyKind::Macro, u"Reload", 0, u"", noStrings, u"F1, macro Reload"},
    {"unnamed macro", u"F1", KeyKind::Macro, u"", 0, u"", noStrings, u"F1, macro"},
    {"another key", u"Caps Lock", KeyKind::SingleKey, u"", 0x1B, u"", noStrings, u"Caps Lock, sends Esc"},
    {"a program", u"F5", KeyKind::Program, u"", 0, u"C:\\Tools\\calc.exe", noStrings,
     u"F5, starts C:\\Tools\\calc.exe"},
    {"unknown kind byte", u"Q", static_cast<KeyKind>(7), u"", 0, u"", noStrings, u"Q, assigned"},
    {"the string file's wording", u"Q", KeyKind::Disabled, u"", 0, u"", ownStrings, u"Q (aus)"},
    {"the string file's word order", u"F1", KeyKind::Macro, u"Reload", 0, u"", ownStrings, u"Makro Reload auf F1"},
    {"a text the file lacks falls back to English", u"F5", KeyKind::Program, u"", 0, u"x.exe", ownStrings,
     u"F5, starts x.exe"},
    {"a hidden position has no name", u"", KeyKind::Disabled, u"", 0, u"", noStrings, u""},
};

TEST(KeyAccessibleName, LabelAndFunctionOfEachKind) {
  UsKeyboardText us;
  const KeyLabels labels(KeyLayout::Ansi, false, us);
  for (const NameCase& c : kNameCases) {
    SCOPED_TRACE(c.what);
    KeyRecord record{};
    record.Kind = static_cast<uint8_t>(c.kind);
    std::u16string_view name(c.macroName), program(c.program);
    std::copy(name.begin(), name.end(), record.MacroName);
    std::copy(program.begin(), program.end(), record.ProgramPath);
    if (c.kind == KeyKind::SingleKey) record.setSingleKeyVk(c.targetVk);
    const std::u16string target = labels.keyFunctionText(record, c.lookup);
    EXPECT_EQ(keyAccessibleName(c.label, record, target, c.lookup), std::u16string(c.expected));
  }
}

TEST(KeyAccessibleName, FollowsTheKeysOwnLabelAndAFullMacroName) {
  UsKeyboardText us;
  const KeyLabels labels(KeyLayout::Ansi, false, us);
  const int q = positionOf(labels, u"Q");
  ASSERT_GE(q, 0);
  KeyRecord record{};
  record.Kind = static_cast<uint8_t>(KeyKind::Macro);
  // A name that fills its whole field has no terminator: it is read to the field's end.
  std::fill(std::begin(record.MacroName), std::end(record.MacroName), u'm');
  const std::u16string name =
      keyAccessibleName(labels.keyCaption(q), record, labels.keyFunctionText(record, noStrings), noStrings);
  EXPECT_EQ(name, u"Q, macro " + std::u16string(std::size(record.MacroName), u'm'));
}

TEST(FillAccessText, PutsEachPartInAtMostTwiceAndKeepsOtherText) {
  EXPECT_EQ(fillAccessText(u"%1 and %2", u"Q", u"Esc"), u"Q and Esc");
  EXPECT_EQ(fillAccessText(u"100% %3 %", u"Q", u"Esc"), u"100% %3 %");
  EXPECT_EQ(fillAccessText(u"%1%1%1%2%2%2", u"Q", u"E"), u"QQEE");
  KeyRecord record{};
  record.Kind = static_cast<uint8_t>(KeyKind::Disabled);
  const std::u16string label(200, u'L');
  const std::u16string name = keyAccessibleName(label, record, u"", floodStrings);
  EXPECT_EQ(name.size(), 5000u + 2 * label.size() + 1);
}

TEST(AccessText, StringFileFirstThenEnglish) {
  EXPECT_EQ(accessText(access_text::kKeyDisabled, ownStrings), u"%1 (aus)");
  EXPECT_EQ(accessText(access_text::kClose, ownStrings), u"Close");
  EXPECT_EQ(accessText(access_text::kClose, nullptr), u"Close");
}

} // namespace
} // namespace q7
