#include "text/xml_references.h"

#include <gtest/gtest.h>

#include <string>

namespace q7::xml {
namespace {

std::u16string decoded(std::u16string_view in) {
  std::u16string out = u"[";
  appendDecoded(in, out);
  return out;
}

TEST(XmlReferences, DecodesNumbersAndNames) {
  const std::pair<std::u16string_view, std::u16string_view> cases[] = {
      {u"&auml;", u"\u00E4"},
      {u"&Auml;", u"\u00C4"},
      {u"&AUML;", u"\u00C4"}, // matches neither exactly: the capitalised one
      {u"&aUml;", u"\u00C4"},
      {u"&larr;&lArr;&LARR;", u"\u2190\u21D0\u21D0"},
      {u"&dagger;&Dagger;&DAGGER;", u"\u2020\u2021\u2021"},
      {u"&yuml;&Yuml;&YUML;", u"\u00FF\u0178\u0178"},
      {u"&prime;&Prime;", u"\u2032\u2033"},
      {u"&sigma;&Sigma;&sigmaf;&SIGMAF;", u"\u03C3\u03A3\u03C2\u03C2"},
      {u"&AMP;&Lt;&gt;&quot;&apos;&APOS;", u"&<>\"''"},
      {u"&nbsp;&euro;&thetasym;&alefsym;&diams;&hearts;&zwj;&rsaquo;",
       u"\u00A0\u20AC\u03D1\u2135\u2666\u2665\u200D\u203A"},
      {u"&#65;&#x42;&#X43;&#0068;", u"ABCD"},
      {u"&#x1F600;", u"\U0001F600"},
      {u"&#1114111;", u"\U0010FFFF"},
      {u"x &amp;amp; y", u"x &amp; y"},
      {u"&&amp;", u"&&"},
      {u"a & b", u"a & b"},
      {u"&#38;#38;", u"&#38;"},
      // Not references: copied as written.
      {u"&#0;", u"&#0;"},
      {u"&#x0000;", u"&#x0000;"},
      {u"&nosuch;", u"&nosuch;"},
      {u"&abcdefghij;", u"&abcdefghij;"}, // ten letters
      {u"&#;&#x;&;", u"&#;&#x;&;"},
      {u"&#12a;&#xg;", u"&#12a;&#xg;"},
      {u"&#1114112;&#x110000;&#xFFFFFFF;", u"&#1114112;&#x110000;&#xFFFFFFF;"},
      {u"&#123456789;", u"&#123456789;"},
      {u"&a\u00E4;", u"&a\u00E4;"},
      {u"&amp", u"&amp"},
      {u"&", u"&"},
  };
  for (const auto& [in, out] : cases)
    EXPECT_EQ(decoded(in), u"[" + std::u16string(out)) << std::string(in.begin(), in.end());
}

TEST(XmlReferences, NineCharacterNamesAreTheLongestCandidates) {
  EXPECT_EQ(decoded(u"&#x10FFFF;"), u"[\U0010FFFF");     // "#x10FFFF" is 8 units
  EXPECT_EQ(decoded(u"&#01114111;"), u"[\U0010FFFF");    // 9 units
  EXPECT_EQ(decoded(u"&#001114111;"), u"[&#001114111;"); // 10 units
}

TEST(XmlReferences, EntityTableSpotChecks) {
  const std::pair<std::u16string_view, uint32_t> cases[] = {
      {u"nbsp", 160},  {u"yuml", 255},    {u"fnof", 402},   {u"Omega", 937}, {u"omega", 969},   {u"piv", 982},
      {u"bull", 8226}, {u"weierp", 8472}, {u"crarr", 8629}, {u"sdot", 8901}, {u"rang", 9002},   {u"loz", 9674},
      {u"quot", 34},   {u"OElig", 338},   {u"circ", 710},   {u"tilde", 732}, {u"permil", 8240}, {u"image", 8465},
  };
  for (const auto& [name, cp] : cases) EXPECT_EQ(entityCodePoint(name), cp) << std::string(name.begin(), name.end());
  EXPECT_FALSE(entityCodePoint(u"nbs"));
  EXPECT_FALSE(entityCodePoint(u""));
}

} // namespace
} // namespace q7::xml
