#include "text/xml_encoding.h"

#include <gtest/gtest.h>

#include <string>

#include "text/test_files.h"
#include "text/xml_document.h"

namespace q7::xml {
namespace {

using namespace std::string_literals;

std::u16string decode(std::string bytes) { return decodeXmlBytes(bytes.data(), bytes.size()); }

// "<r>ä</r>" as UTF-16 units of either byte order, optionally with the mark.
std::string utf16(std::u16string_view text, bool bigEndian, bool mark) {
  std::string out = mark ? (bigEndian ? "\xFE\xFF"s : "\xFF\xFE"s) : ""s;
  for (char16_t u : text) {
    const char hi = char(u >> 8), lo = char(u & 0xFF);
    out += bigEndian ? std::string{hi, lo} : std::string{lo, hi};
  }
  return out;
}

struct Case {
  const char* name;
  std::string bytes;
  std::u16string text;
};

TEST(XmlEncoding, EveryWayOfReadingBytes) {
  const std::string latin1Decl = "<?xml version='1.0' encoding='windows-1252'?>";
  const Case cases[] = {
      {"utf-8 with mark", "\xEF\xBB\xBF<r>\xC3\xA4</r>", u"<r>\u00E4</r>"},
      {"utf-8 without mark", "<r>\xC3\xA4</r>", u"<r>\u00E4</r>"},
      {"utf-16le with mark", utf16(u"<r>\u00E4\u65E5</r>", false, true), u"<r>\u00E4\u65E5</r>"},
      {"utf-16be with mark", utf16(u"<r>\u00E4\u65E5</r>", true, true), u"<r>\u00E4\u65E5</r>"},
      {"utf-16le without mark, ascii", utf16(u"<r>x</r>", false, false), u"<r>x</r>"},
      {"utf-16be without mark, ascii", utf16(u"<r>x</r>", true, false), u"<r>x</r>"},
      {"utf-16 odd last byte dropped", utf16(u"<r/>", false, true) + "!", u"<r/>"},
      {"zero units of utf-16 removed", utf16(u"<r>\0x</r>"s, false, true), u"<r>x</r>"},
      {"zero bytes removed", "<r>\0a\0</r>"s, u"<r>a</r>"},
      {"latin-1 fails the utf-8 test", " <r>\xE4</r>", u" <r>\u00E4</r>"},
      {"no mark but valid utf-8", " <r>\xC3\xA4</r>", u" <r>\u00E4</r>"},
      {"starts with < so utf-8 regardless", "<r>\xE4</r>", u"<r>\uFFFD</r>"},
      {"declared windows-1252", latin1Decl + "<r>\x80</r>",
       u"<?xml version='1.0' encoding='windows-1252'?><r>\u20AC</r>"},
      {"declared utf-8 after white space", " <?xml version=\"1.0\" encoding=\"UTF-8\"?>\xC3\xA4",
       u" <?xml version=\"1.0\" encoding=\"UTF-8\"?>\u00E4"},
      {"declared name not in the table", "<?xml encoding='x-nosuch'?>\xC3\xA4",
       u"<?xml encoding='x-nosuch'?>\u00C3\u00A4"},
      {"declared name compared ignoring case", "<?xml encoding='SHIFT_JIS'?>\x93\xFA",
       u"<?xml encoding='SHIFT_JIS'?>\u65E5"},
      {"html meta charset",
       "<html><head><meta http-equiv=\"Content-Type\" content=\"text/html; charset=windows-1251\">"
       "</head>\xCF</html>",
       u"<html><head><meta http-equiv=\"Content-Type\" content=\"text/html; charset=windows-1251\">"
       u"</head>\u041F</html>"},
      {"meta outside html is not looked at",
       "<r><meta http-equiv='Content-Type' content='charset=windows-1251'/>\xCF</r>",
       u"<r><meta http-equiv='Content-Type' content='charset=windows-1251'/>\uFFFD</r>"},
      {"declaration beyond the first block", std::string(1100, ' ') + "<?xml encoding='windows-1251'?>\xCF",
       std::u16string(1100, u' ') + u"<?xml encoding='windows-1251'?>\u00CF"},
      {"declared utf-16 without a mark", "<?xml version='1.0' encoding='utf-16'?><r/>", u""},
      {"declared unicodefffe without a mark", "<?xml encoding='unicodeFFFE'?><r/>", u""},
      {"declared UTF-32", "<?xml encoding='UTF-32LE'?><r/>", u""},
      {"utf-32 only in capitals is refused", "<?xml encoding='utf-32'?>\xE4", u"<?xml encoding='utf-32'?>\u00E4"},
      {"empty file", "", u""},
      {"only a mark", "\xEF\xBB\xBF", u""},
  };
  for (const Case& c : cases) EXPECT_EQ(decode(c.bytes), c.text) << c.name;
}

TEST(XmlEncoding, TableNamesSelectTheirCodePages) {
  const std::pair<std::u16string_view, uint32_t> known[] = {
      {u"ebcdic-cp-us", 37},
      {u"ISO-8859-1", 28591},
      {u"Latin1", 28591},
      {u"l9", 28605},
      {u"x-mac-ce", 10029},
      {u"_iso-2022-jp$sio", 50222},
      {u"iso_8859-1:1987", 28591},
      {u"cp500", 775},
      {u"unicodefffe", 1201},
      {u"US-ASCII", 20127},
      {u"ks_c_5601-1987", 949},
      {u"extended_unix_code_packed_format_for_japanese", 51932},
      {u"x-unicode-2-0-utf-8", 65001},
  };
  for (const auto& [name, cp] : known) EXPECT_EQ(tableCodePage(name), cp) << std::string(name.begin(), name.end());
  for (std::u16string_view missing : {u"", u"utf8", u"latin-1", u"windows-1252 ", u"UTF-32"})
    EXPECT_FALSE(tableCodePage(missing)) << std::string(missing.begin(), missing.end());
}

TEST(XmlEncoding, Utf8TestLooksOnlyAtSequenceShapes) {
  const std::pair<std::string, bool> cases[] = {
      {"", true},
      {"plain", true},
      {"\xC3\xA4", true},
      {"\xE2\x82\xAC", true},
      {"\xF0\x9F\x98\x80", true},
      {"\x80\x80", true},
      {"\xED\xA0\x80", true},
      {"\xC3", false},
      {"\xC3"
       "a",
       false},
      {"\xE2\x82", false},
      {"\xF0\x9F\x98"
       "a",
       false},
      {"\xB8\x80", false},
      {"\xF8\x80\x80\x80", false},
      {"a\xFF", false},
  };
  for (const auto& [bytes, passes] : cases)
    EXPECT_EQ(passesUtf8Test(reinterpret_cast<const unsigned char*>(bytes.data()), bytes.size()), passes) << bytes;
}

TEST(XmlEncoding, DeclarationsFoundAndMissed) {
  const std::pair<std::u16string_view, std::optional<std::u16string>> cases[] = {
      {u"<?xml version='1.0' encoding='ISO-8859-2'?><r/>", u"ISO-8859-2"},
      {u"<?XML ENCODING = \"x\" ?>", u"x"},
      {u"<!-- note --><?xml encoding='a'?>", u"a"},
      {u"<?other encoding='a'?><?xml encoding='b'?>", u"b"},
      {u"<?xml version='1.0'?><?xml encoding='a'?>", std::nullopt},
      {u"<r/><?xml encoding='a'?>", std::nullopt},
      {u"<?xml encoding=''?>", u""},
      {u"<HTML><HEAD><META HTTP-EQUIV=Content-Type CONTENT=\"text/html; charset=koi8-r\"></HEAD>", u"koi8-r"},
      {u"<!DOCTYPE html><html><meta name='x' content='charset=a'><meta http-equiv='content-type' "
       u"content='text/html;charset = b;x'>",
       u"b"},
      {u"<html><meta http-equiv='Content-Type' content='text/html'>"
       u"<meta http-equiv='Content-Type' content='charset=b'>",
       std::nullopt},
      {u"<html><head></head><meta http-equiv='Content-Type' content='charset=b'>", std::nullopt},
      {u"<html><meta http-equiv='Content-Type' content='charset=b'", std::nullopt}, // cut off by the block's end
  };
  for (const auto& [block, expected] : cases)
    EXPECT_EQ(declaredEncoding(block), expected) << std::string(block.begin(), block.end());
}

TEST(XmlEncoding, LoadReadsTheFileThroughTheSameRules) {
  test::TempFile file;
  const std::string big = "<?xml version='1.0' encoding='windows-1251'?><r>" + std::string(5000, 'x') + "\xCF</r>";
  file.write(big);
  XmlDocument doc;
  ASSERT_TRUE(doc.load(file.path()));
  EXPECT_EQ(doc.text().size(), big.size());
  EXPECT_EQ(doc.text().substr(doc.text().size() - 5), u"\u041F</r>");
  EXPECT_TRUE(doc.parse());

  file.write("");
  ASSERT_TRUE(doc.load(file.path()));
  EXPECT_TRUE(doc.text().empty());
  EXPECT_FALSE(doc.parse());

  file.remove();
  EXPECT_FALSE(doc.load(file.path()));
  EXPECT_FALSE(doc.load(u""));
}

} // namespace
} // namespace q7::xml
