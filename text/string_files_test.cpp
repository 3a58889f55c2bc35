// The string files we ship: each is well-formed for our own reader, names its language and holds
// a non-empty text for every key the program looks up, short enough for the place it is shown.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "text/string_lookup.h"
#include "text/xml_document.h"

namespace q7 {
namespace {

constexpr const char16_t* kLanguages[] = {u"EN", u"UK", u"DE", u"FR", u"JP"};

struct Key {
  std::u16string_view section, key;
};

const std::vector<Key>& programKeys() {
  static const std::vector<Key> keys = [] {
    std::vector<Key> out;
    auto add = [&](std::u16string_view section, std::initializer_list<std::u16string_view> names) {
      for (auto name : names) out.push_back({section, name});
    };
    add(u"MAIN", {u"NAME", u"LANG", u"EXPORT", u"IMPORT", u"OK", u"CANCEL", u"APPLY", u"PCMODE", u"PROFILE",
                  u"RESETPROFILE", u"MACRO", u"SINGLEKEY", u"APP", u"SYNC", u"DISABLE", u"DEFAULT"});
    add(u"MACRO",
        {u"MACRONAME",  u"RECORD",   u"DELAYTIME",       u"REPEAT",     u"STOP",    u"UP",         u"DOWN",
         u"COPY",       u"DELETE",   u"INSERTSINGLEKEY", u"INSERTCOPY", u"SELECT",  u"SELECTNONE", u"SETTING",
         u"SELDELAY",   u"ALLDELAY", u"ALLDELAY2",       u"REPEAT1",    u"REPEAT2", u"REPEAT3",    u"REPEAT35",
         u"DELAYTIMES", u"TITLE",    u"SINGLEKEY",       u"CURRENT",    u"ASSIGN"});
    // The macro editor's test play, context menu, clipboard notices and text errors.
    add(u"MACRO", {u"TEST", u"UNDO", u"REDO", u"COPYTEXT", u"PASTETEXT", u"TESTTIME", u"CLIPREFUSED", u"NOCLIPTEXT",
                   u"TEXTLINE", u"TEXTERR1", u"TEXTERR2", u"TEXTERR3", u"TEXTERR4", u"TEXTERR5", u"TEXTERR6",
                   u"TEXTERR7", u"TEXTERR8", u"TEXTERR9"});
    add(u"OTHER", {u"SYNC1", u"SYNC2"});
    add(u"SYNC", {u"Init"});
    add(u"WARNING",
        {u"WARNING", u"DEFAULT", u"DEFAULT1", u"DEFAULT3", u"LEAVE1", u"LEAVE2", u"LEAVE3", u"DISABLE", u"DISABLE2",
         u"DEVICE", u"SAVE", u"SAVE1", u"DELAYWARN", u"MAXWARN", u"Del", u"YES", u"NO", u"PATHLONG"});
    add(u"Wholekey", {u"Adj1", u"OK", u"Cancel", u"Default", u"R", u"G", u"B"});
    add(u"key", {u"key_title"});
    add(u"ABOUT", {u"TITLE", u"COMPANY"});
    // The names accessibility tools read for controls without a caption, and the forms of key names.
    add(u"ACCESS", {u"CLOSE", u"MINIMISE", u"HELP", u"WEBHOME", u"WEBSOCIAL1", u"WEBSOCIAL2", u"SUPPORT", u"LOGO",
                    u"BROWSE", u"KEYDISABLED", u"KEYMACRO", u"KEYMACRO0", u"KEYSINGLE", u"KEYPROGRAM", u"KEYOTHER"});
    return out;
  }();
  return keys;
}

std::u16string filePath(std::u16string_view code) {
  return std::u16string(Q7_STRINGS_DIR) + u"/Strings." + std::u16string(code) + u".xml";
}

std::string narrow(std::u16string_view s) {
  std::string out;
  for (char16_t c : s) out += c < 0x80 ? char(c) : '?';
  return out;
}

class StringFiles : public ::testing::TestWithParam<const char16_t*> {
protected:
  void SetUp() override { setStringFilePath(filePath(GetParam())); }
  void TearDown() override { setStringFilePath(u""); }
};

TEST_P(StringFiles, AreWellFormedAndHoldEveryKey) {
  XmlDocument doc;
  ASSERT_TRUE(doc.load(filePath(GetParam())));
  ASSERT_TRUE(doc.parse());
  EXPECT_EQ(lookupString(u"MAIN", u"LANG"), GetParam());
  for (const Key& k : programKeys()) {
    const std::u16string text = lookupString(k.section, k.key);
    EXPECT_FALSE(text.empty()) << narrow(k.section) << "/" << narrow(k.key);
    EXPECT_EQ(text.find_first_of(u"\r\n\t"), std::u16string::npos) << narrow(k.section) << "/" << narrow(k.key);
  }
  const std::u16string title = lookupString(u"MAIN", u"NAME");
  EXPECT_NE(title.find(u"Q7 Prismo"), std::u16string::npos);
  EXPECT_EQ(lookupString(u"ABOUT", u"COMPANY"), u"Vortan");
}

// A rough width of a text in pixels: Arial-like advance widths in em, wide East Asian characters
// a full em. Good enough to catch a caption that plainly overflows its rectangle.
enum Face { Arial, ArialBold, Calibri, CalibriBold, BankGothic };

double emWidth(char16_t c) {
  if (c == u' ') return 0.28;
  if (std::u16string_view(u"ijl|!.,:;'").find(c) != std::u16string_view::npos) return 0.23;
  if (std::u16string_view(u"ftrI()[]-").find(c) != std::u16string_view::npos) return 0.34;
  if (c == u'm' || c == u'M' || c == u'W') return 0.86;
  if (c == u'w') return 0.72;
  if (c >= u'A' && c <= u'Z') return 0.68;
  if (c >= u'0' && c <= u'9') return 0.56;
  if (c < 0x80) return 0.53;
  if (c >= 0xFF61 && c <= 0xFF9F) return 0.5; // half-width katakana
  if (c >= 0x2E80) return 1.0;
  return 0.58;
}

double pixels(std::u16string_view text, double height, Face face) {
  double em = 0;
  for (char16_t c : text) em += face == BankGothic ? (c >= 0x2E80 ? 1.0 : c == u' ' ? 0.3 : 0.78) : emWidth(c);
  const double factor = face == ArialBold ? 1.08 : face == Calibri ? 0.9 : face == CalibriBold ? 0.95 : 1.0;
  return em * height * factor;
}

struct Caption {
  std::u16string_view section, key;
  int width, height;
  Face face;
  std::u16string_view languages = u""; // where this rectangle and height apply; empty: everywhere
  std::u16string_view suffix = u"";    // drawn after the text
};

TEST_P(StringFiles, CaptionsFitTheirRectangles) {
  const std::u16string_view code = GetParam();
  // clang-format off
  const Caption captions[] = {
      {u"MAIN", u"EXPORT", 80, 14, ArialBold, u"EN UK FR"},  {u"MAIN", u"EXPORT", 80, 11, ArialBold, u"DE"},
      {u"MAIN", u"EXPORT", 80, 12, ArialBold, u"JP"},        {u"MAIN", u"IMPORT", 78, 14, ArialBold, u"EN UK FR"},
      {u"MAIN", u"IMPORT", 78, 11, ArialBold, u"DE"},        {u"MAIN", u"IMPORT", 78, 12, ArialBold, u"JP"},
      {u"MAIN", u"OK", 80, 14, ArialBold},                   {u"MAIN", u"CANCEL", 79, 14, ArialBold, u"EN UK DE FR"},
      {u"MAIN", u"CANCEL", 79, 12, ArialBold, u"JP"},        {u"MAIN", u"APPLY", 92, 14, ArialBold, u"EN UK DE FR"},
      {u"MAIN", u"APPLY", 92, 12, ArialBold, u"JP"},         {u"MAIN", u"PCMODE", 87, 14, ArialBold},
      {u"MAIN", u"PROFILE", 86, 14, ArialBold, u"", u" 5"},  {u"MAIN", u"RESETPROFILE", 77, 13, Arial, u"EN"},
      {u"MAIN", u"RESETPROFILE", 77, 11, Arial, u"UK DE FR"}, {u"MAIN", u"RESETPROFILE", 77, 9, Arial, u"JP"},
      {u"MAIN", u"MACRO", 98, 15, ArialBold},                {u"MAIN", u"SINGLEKEY", 97, 15, ArialBold, u"EN UK DE"},
      {u"MAIN", u"SINGLEKEY", 107, 15, ArialBold, u"FR"},    {u"MAIN", u"SINGLEKEY", 104, 15, ArialBold, u"JP"},
      {u"MAIN", u"APP", 102, 15, ArialBold, u"EN UK DE FR"}, {u"MAIN", u"APP", 102, 12, ArialBold, u"JP"},
      {u"MAIN", u"SYNC", 98, 15, ArialBold, u"EN UK FR JP"}, {u"MAIN", u"SYNC", 98, 10, ArialBold, u"DE"},
      // Macro editor.
      {u"MACRO", u"TEST", 54, 12, Arial},
      {u"MAIN", u"DISABLE", 97, 15, ArialBold},              {u"MAIN", u"DEFAULT", 97, 15, ArialBold},
      // Macro editor: buttons and labels, headings.
      {u"MACRO", u"UP", 43, 12, Arial},          {u"MACRO", u"DOWN", 45, 12, Arial},
      {u"MACRO", u"SELECT", 66, 12, Arial},      {u"MACRO", u"SELECTNONE", 67, 12, Arial},
      {u"MACRO", u"DELETE", 63, 12, Arial},      {u"MACRO", u"COPY", 61, 12, Arial},
      {u"MACRO", u"INSERTSINGLEKEY", 129, 12, Arial}, {u"MACRO", u"INSERTCOPY", 127, 12, Arial},
      {u"MACRO", u"SETTING", 42, 11, Arial},     {u"MACRO", u"SELDELAY", 161, 11, Arial},
      {u"MACRO", u"DELAYTIMES", 96, 11, Arial},  {u"MACRO", u"ALLDELAY", 169, 11, Arial},
      {u"MACRO", u"ALLDELAY2", 79, 11, Arial, u"FR"}, {u"MACRO", u"ALLDELAY2", 99, 11, Arial, u"JP"},
      {u"MACRO", u"REPEAT1", 57, 11, Arial},     {u"MACRO", u"REPEAT2", 180, 11, Arial},
      {u"MACRO", u"REPEAT3", 169, 11, Arial},    {u"MACRO", u"REPEAT35", 169, 11, Arial, u"FR"},
      {u"MACRO", u"RECORD", 153, 15, Calibri},   {u"MACRO", u"STOP", 125, 11, Arial},
      {u"MACRO", u"MACRONAME", 70, 15, Calibri, u"EN UK DE JP"}, {u"MACRO", u"MACRONAME", 95, 13, Calibri, u"FR"},
      {u"MACRO", u"DELAYTIME", 141, 15, Calibri}, {u"MACRO", u"REPEAT", 138, 15, Calibri},
      // Single-key dialog.
      {u"MACRO", u"TITLE", 136, 14, BankGothic}, {u"MACRO", u"SINGLEKEY", 108, 12, Calibri},
      {u"MACRO", u"INSERTSINGLEKEY", 230, 14, BankGothic},
      {u"MACRO", u"CURRENT", 46, 13, Arial, u"EN UK DE FR"}, {u"MACRO", u"CURRENT", 46, 11, Arial, u"JP"},
      {u"MACRO", u"ASSIGN", 46, 13, Arial, u"EN UK DE FR"},  {u"MACRO", u"ASSIGN", 55, 10, Arial, u"JP"},
      // Linked programs dialog.
      {u"SYNC", u"Init", 68, 13, Arial},
      // Warning dialog: the large layout (kinds 0 and 1) and the small one.
      {u"WARNING", u"WARNING", 134, 18, BankGothic}, {u"WARNING", u"DEFAULT", 134, 18, BankGothic},
      {u"WARNING", u"DEFAULT1", 260, 16, Calibri},   {u"WARNING", u"DEFAULT3", 144, 16, Calibri},
      {u"WARNING", u"DISABLE", 260, 16, Calibri},    {u"WARNING", u"DISABLE2", 144, 16, Calibri},
      {u"WARNING", u"DEVICE", 295, 18, CalibriBold}, {u"WARNING", u"SAVE", 295, 18, CalibriBold},
      {u"WARNING", u"SAVE1", 275, 18, CalibriBold},  {u"WARNING", u"DELAYWARN", 295, 18, CalibriBold},
      {u"WARNING", u"MAXWARN", 295, 18, CalibriBold}, {u"WARNING", u"LEAVE1", 295, 18, CalibriBold},
      {u"WARNING", u"LEAVE2", 275, 18, CalibriBold}, {u"WARNING", u"LEAVE3", 295, 18, CalibriBold},
      {u"WARNING", u"YES", 52, 13, Arial},           {u"WARNING", u"NO", 51, 13, Arial},
      // Colour editor.
      {u"key", u"key_title", 120, 15, Arial},   {u"Wholekey", u"Adj1", 165, 15, Arial},
      {u"Wholekey", u"OK", 66, 13, Arial},      {u"Wholekey", u"Cancel", 66, 13, Arial},
      {u"Wholekey", u"Default", 106, 15, Arial}, {u"Wholekey", u"R", 13, 15, Arial},
      {u"Wholekey", u"G", 15, 15, Arial},       {u"Wholekey", u"B", 12, 15, Arial},
  };
  // clang-format on
  for (const Caption& c : captions) {
    if (!c.languages.empty() && c.languages.find(code) == std::u16string_view::npos) continue;
    const std::u16string text = lookupString(c.section, c.key) + std::u16string(c.suffix);
    EXPECT_LE(pixels(text, c.height, c.face), c.width) << narrow(c.section) << "/" << narrow(c.key);
  }
  // The linked-programs heading is both texts in one rectangle.
  const std::u16string heading = lookupString(u"OTHER", u"SYNC1") + lookupString(u"OTHER", u"SYNC2");
  EXPECT_LE(pixels(heading, 13, Calibri), 306);
}

INSTANTIATE_TEST_SUITE_P(Languages, StringFiles, ::testing::ValuesIn(kLanguages),
                         [](const auto& info) { return narrow(info.param); });

} // namespace
} // namespace q7
