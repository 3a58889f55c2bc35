// The same cases for both code page converters: MultiByteToWideChar in the Windows build,
// the direct decoders and iconv natively.
#include "platform/codepage.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace q7 {
namespace {

struct Case {
  const char* name;
  uint32_t codePage;
  std::string bytes;
  std::u16string text; // empty: the code page converts nothing
};

std::u16string convert(uint32_t cp, const std::string& bytes) {
  const size_t units = measureMultiByte(cp, bytes.data(), bytes.size());
  std::u16string out(units, u'\0');
  out.resize(convertMultiByte(cp, bytes.data(), bytes.size(), out.data(), out.size()));
  EXPECT_EQ(out.size(), units) << "measure and convert disagree for code page " << cp;
  return out;
}

TEST(CodePage, ConvertsTheCodePagesFilesDeclare) {
  const Case cases[] = {
      {"utf8 all lengths", 65001, "A\xC3\xA4\xE2\x82\xAC\xF0\x9F\x98\x80", u"A\u00E4\u20AC\U0001F600"},
      {"utf8 long ascii run", 65001, "<Strings><MAIN>ok</MAIN></Strings>", u"<Strings><MAIN>ok</MAIN></Strings>"},
      {"utf8 cut sequence", 65001, "a\xE4<b", u"a\uFFFD<b"},
      {"utf8 stray continuation", 65001, "\x80x", u"\uFFFDx"},
      {"utf8 cut at the end", 65001, "ab\xC3", u"ab\uFFFD"},
      {"windows-1252", 1252, "\x80\xE4\x9F\x8A", u"\u20AC\u00E4\u0178\u0160"},
      {"ansi is 1252 here", kAnsiCodePage, "a\xE4\x80", u"a\u00E4\u20AC"},
      {"latin-1", 28591, "\x80\xFF", u"\u0080\u00FF"},
      {"shift-jis", 932, "\x93\xFA\x96\x7B", u"\u65E5\u672C"},
      {"windows-1251", 1251, "\xCF\xF0\xE8", u"\u041F\u0440\u0438"},
      {"koi8-r", 20866, "\xF0\xD2\xC9", u"\u041F\u0440\u0438"},
      {"korean", 949, "\xC7\xD1", u"\uD55C"},
      {"utf-16 is not a byte code page", 1200, std::string("a\0b\0", 4), u""},
      {"unknown code page", 4242, "abc", u""},
  };
  for (const Case& c : cases) EXPECT_EQ(convert(c.codePage, c.bytes), c.text) << c.name;
}

TEST(CodePage, EmptyInputGivesNothing) {
  EXPECT_EQ(measureMultiByte(65001, "", 0), 0u);
  EXPECT_EQ(measureMultiByte(1252, "", 0), 0u);
}

TEST(CodePage, NeverWritesPastTheCapacity) {
  for (uint32_t cp : {65001u, 1252u, 932u}) {
    const std::string bytes = cp == 932 ? "\x93\xFA\x96\x7B\x93\xFA" : "abcdef";
    const size_t units = measureMultiByte(cp, bytes.data(), bytes.size());
    ASSERT_EQ(units, cp == 932 ? 3u : 6u);
    std::vector<char16_t> out(units, u'#');
    EXPECT_LE(convertMultiByte(cp, bytes.data(), bytes.size(), out.data(), units - 1), units - 1);
    EXPECT_EQ(out[units - 1], u'#') << cp;
  }
}

} // namespace
} // namespace q7
