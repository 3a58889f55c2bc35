#include "text/xml_encoding.h"

#include <array>
#include <cstring>

#include "platform/codepage.h"
#include "text/name_table.h"
#include "text/xml_tokenizer.h"

namespace q7::xml {

namespace {

// Encoding names as web browsers and Windows know them, with their Windows code pages.
// clang-format off
constexpr std::array<NamedValue, 254> kEncodingNames{{
    {u"ebcdic-cp-us", 37}, {u"x-ebcdic-arabic", 420}, {u"437", 437}, {u"codepage437", 437}, {u"cp437", 437},
    {u"cspc8", 437}, {u"ibm437", 437}, {u"asmo-708", 708}, {u"dos-720", 720}, {u"ibm737", 737},
    {u"cp500", 775}, {u"ibm775", 775}, {u"ibm850", 850}, {u"cp852", 852}, {u"ibm852", 852}, {u"ibm857", 857},
    {u"ibm861", 861}, {u"dos-862", 862}, {u"cp866", 866}, {u"ibm866", 866}, {u"ibm869", 869}, {u"cp870", 870},
    {u"dos-874", 874}, {u"iso-8859-11", 874}, {u"tis-620", 874}, {u"windows-874", 874},
    {u"x-ebcdic-greekmodern", 875}, {u"csshiftjis", 932}, {u"cswindows31j", 932}, {u"ms_kanji", 932},
    {u"shift-jis", 932}, {u"shift_jis", 932}, {u"x-ms-cp932", 932}, {u"x-sjis", 932}, {u"chinese", 936},
    {u"cn-gb", 936}, {u"csgb2312", 936}, {u"csgb231280", 936}, {u"csiso58gb231280", 936}, {u"gb2312", 936},
    {u"gb2312-80", 936}, {u"gb231280", 936}, {u"gb_2312-80", 936}, {u"gbk", 936}, {u"iso-ir-58", 936},
    {u"csksc56011987", 949}, {u"euc-kr", 949}, {u"iso-ir-149", 949}, {u"korean", 949}, {u"ks_c_5601", 949},
    {u"ks_c_5601-1987", 949}, {u"ks_c_5601-1989", 949}, {u"ks_c_5601_1987", 949}, {u"ksc5601", 949},
    {u"ksc_5601", 949}, {u"big5", 950}, {u"cn-big5", 950}, {u"csbig5", 950}, {u"x-x-big5", 950},
    {u"cp1026", 1026}, {u"x-ebcdic-cp-us-euro", 1140}, {u"x-ebcdic-denmarknorway-euro", 1142},
    {u"x-ebcdic-finlandsweden-euro", 1143}, {u"x-ebcdic-france", 1143}, {u"x-ebcdic-germany-euro", 1143},
    {u"x-ebcdic-italy-euro", 1144}, {u"x-ebcdic-spain-euro", 1145}, {u"x-ebcdic-uk-euro", 1146},
    {u"x-ebcdic-france-euro", 1147}, {u"x-ebcdic-international-euro", 1148},
    {u"x-ebcdic-icelandic-euro", 1149}, {u"unicode", 1200}, {u"utf-16", 1200}, {u"unicodefffe", 1201},
    {u"windows-1250", 1250}, {u"x-cp1250", 1250}, {u"windows-1251", 1251}, {u"x-cp1251", 1251},
    {u"iso-ir-6", 1252}, {u"us", 1252}, {u"windows-1252", 1252}, {u"x-ansi", 1252}, {u"windows-1253", 1253},
    {u"windows-1254", 1254}, {u"iso_8859-8-i", 1255}, {u"windows-1255", 1255}, {u"cp1256", 1256},
    {u"windows-1256", 1256}, {u"windows-1257", 1257}, {u"windows-1258", 1258}, {u"johab", 1361},
    {u"macintosh", 10000}, {u"x-mac-japanese", 10001}, {u"x-mac-chinesetrad", 10002},
    {u"x-mac-korean", 10003}, {u"x-mac-arabic", 10004}, {u"x-mac-hebrew", 10005}, {u"x-mac-greek", 10006},
    {u"x-mac-cyrillic", 10007}, {u"x-mac-chinesesimp", 10008}, {u"x-mac-ce", 10029},
    {u"x-mac-icelandic", 10079}, {u"x-mac-turkish", 10081}, {u"x-chinese-cns", 20000},
    {u"x-chinese-eten", 20002}, {u"x-ia5", 20105}, {u"x-ia5-german", 20106}, {u"x-ia5-swedish", 20107},
    {u"x-ia5-norwegian", 20108}, {u"ansi_x3.4-1968", 20127}, {u"ansi_x3.4-1986", 20127}, {u"ascii", 20127},
    {u"cp367", 20127}, {u"csascii", 20127}, {u"ibm367", 20127}, {u"iso-ir-6us", 20127}, {u"iso646-us", 20127},
    {u"iso_646.irv:1991", 20127}, {u"us-ascii", 20127}, {u"x-ebcdic-germany", 20273},
    {u"x-ebcdic-denmarknorway", 20277}, {u"x-ebcdic-finlandsweden", 20278}, {u"x-ebcdic-italy", 20280},
    {u"x-ebcdic-spain", 20284}, {u"x-ebcdic-uk", 20285}, {u"x-ebcdic-japanesekatakana", 20290},
    {u"x-ebcdic-greek", 20423}, {u"x-ebcdic-hebrew", 20424}, {u"x-ebcdic-koreanextended", 20833},
    {u"x-ebcdic-thai", 20838}, {u"cskoi8r", 20866}, {u"koi", 20866}, {u"koi8", 20866}, {u"koi8-r", 20866},
    {u"koi8r", 20866}, {u"x-ebcdic-icelandic", 20873}, {u"x-ebcdic-cyrillicrussian", 20880},
    {u"x-ebcdic-turkish", 20905}, {u"x-ebcdic-cyrillicserbianbulgarian", 21025}, {u"koi8-ru", 21866},
    {u"koi8-u", 21866}, {u"cp819", 28591}, {u"ibm819", 28591}, {u"iso-8859-1", 28591}, {u"iso-ir-100", 28591},
    {u"iso8859-1", 28591}, {u"iso_8859-1", 28591}, {u"iso_8859-1:1987", 28591}, {u"l1", 28591},
    {u"latin1", 28591}, {u"csisolatin2", 28592}, {u"iso-8859-2", 28592}, {u"iso-ir-101", 28592},
    {u"iso8859-2", 28592}, {u"iso_8859-2", 28592}, {u"iso_8859-2:1987", 28592}, {u"l2", 28592},
    {u"latin2", 28592}, {u"csiso", 28593}, {u"iso-8859-3", 28593}, {u"iso-ir-109", 28593},
    {u"iso_8859-3", 28593}, {u"iso_8859-3:1988", 28593}, {u"l3", 28593}, {u"latin3", 28593},
    {u"csisolatin4", 28594}, {u"iso-8859-4", 28594}, {u"iso-ir-110", 28594}, {u"iso_8859-4", 28594},
    {u"iso_8859-4:1988", 28594}, {u"l4", 28594}, {u"latin4", 28594}, {u"csisolatin5", 28595},
    {u"csisolatincyrillic", 28595}, {u"cyrillic", 28595}, {u"iso-8859-5", 28595}, {u"iso-ir-144", 28595},
    {u"iso_8859-5", 28595}, {u"iso_8859-5:1988", 28595}, {u"l5", 28595}, {u"arabic", 28596},
    {u"csisolatinarabic", 28596}, {u"ecma-114", 28596}, {u"iso-8859-6", 28596}, {u"iso-ir-127", 28596},
    {u"iso_8859-6", 28596}, {u"iso_8859-6:1987", 28596}, {u"csisolatingreek", 28597}, {u"ecma-118", 28597},
    {u"elot_928", 28597}, {u"greek", 28597}, {u"greek8", 28597}, {u"iso-8859-7", 28597},
    {u"iso-ir-126", 28597}, {u"iso_8859-7", 28597}, {u"iso_8859-7:1987", 28597}, {u"csisolatinhebrew", 28598},
    {u"hebrew", 28598}, {u"iso-8859-8", 28598}, {u"iso-ir-138", 28598}, {u"iso_8859-8", 28598},
    {u"iso_8859-8:1988", 28598}, {u"visual", 28598}, {u"iso-8859-9", 28599}, {u"iso-ir-148", 28599},
    {u"iso_8859-9", 28599}, {u"iso_8859-9:1989", 28599}, {u"latin5", 28599}, {u"iso-8859-15", 28605},
    {u"iso_8859-15", 28605}, {u"l9", 28605}, {u"latin9", 28605}, {u"x-europa", 29001},
    {u"iso-8859-8-i", 38598}, {u"logical", 38598}, {u"iso-2022-jp", 50220}, {u"_iso-2022-jp", 50221},
    {u"csiso2022jp", 50221}, {u"_iso-2022-jp$sio", 50222}, {u"csiso2022kr", 50225}, {u"iso-2022-kr", 50225},
    {u"x-ebcdic-japaneseandkana", 50930}, {u"x-ebcdic-japaneseanduscanada", 50933},
    {u"x-ebcdic-koreanandkoreanextended", 50933}, {u"x-ebcdic-simplifiedchinese", 50935},
    {u"x-ebcdic-traditionalchinese", 50937}, {u"x-ebcdic-japaneseandjapaneselatin", 50939},
    {u"cseucpkdfmtjapanese", 51932}, {u"euc-jp", 51932},
    {u"extended_unix_code_packed_format_for_japanese", 51932}, {u"x-euc", 51932}, {u"x-euc-jp", 51932},
    {u"euc-cn", 51936}, {u"x-euc-cn", 51936}, {u"cseuckr", 51949}, {u"hz-gb-2312", 52936},
    {u"x-iscii-de", 57002}, {u"x-iscii-be", 57003}, {u"x-iscii-ta", 57004}, {u"x-iscii-te", 57005},
    {u"x-iscii-as", 57006}, {u"x-iscii-or", 57007}, {u"x-iscii-ka", 57008}, {u"x-iscii-ma", 57009},
    {u"x-iscii-gu", 57010}, {u"x-iscii-pa", 57011}, {u"csunicode11utf7", 65000},
    {u"unicode-1-1-utf-7", 65000}, {u"utf-7", 65000}, {u"x-unicode-2-0-utf-7", 65000},
    {u"unicode-1-1-utf-8", 65001}, {u"unicode-2-0-utf-8", 65001}, {u"utf-8", 65001},
    {u"x-unicode-2-0-utf-8", 65001},
}};
// clang-format on
constexpr NameTable<254, 150> kEncodings(kEncodingNames);
static_assert(kEncodings.allNamed() && kEncodings.countPairs(false) == 0, "254 distinct names");

constexpr size_t kMaxEncodingName = 99;

bool startsWithIgnoringAsciiCase(std::u16string_view s, std::u16string_view prefix) {
  return s.size() >= prefix.size() && equalsIgnoringAsciiCase(s.substr(0, prefix.size()), prefix);
}

// Length of the run of ASCII bytes at the start of p[0, n), eight bytes at a time.
size_t asciiRun(const unsigned char* p, size_t n) {
  size_t j = 0;
  for (uint64_t w; j + 8 <= n && (std::memcpy(&w, p + j, 8), !(w & 0x8080808080808080ull));) j += 8;
  while (j < n && p[j] < 0x80) ++j;
  return j;
}

// The detection block is decoded only to find a declaration in it: a plain UTF-8 decoder, with
// U+FFFD for every byte it cannot place. out has room for n units (never more are needed).
size_t decodeUtf8Block(const unsigned char* p, size_t n, char16_t* out) {
  size_t k = 0;
  for (size_t i = 0; i < n;) {
    const size_t run = asciiRun(p + i, n - i);
    for (size_t m = 0; m < run; ++m) out[k + m] = p[i + m];
    k += run;
    i += run;
    if (i >= n) break;
    const unsigned b = p[i];
    const int more = (b & 0xE0) == 0xC0 ? 1 : (b & 0xF0) == 0xE0 ? 2 : (b & 0xF8) == 0xF0 ? 3 : -1;
    uint32_t cp = more == 1 ? (b & 0x1F) : more == 2 ? (b & 0x0F) : (b & 0x07);
    bool ok = more > 0 && i + more < n;
    for (int m = 1; ok && m <= more; ++m) {
      ok = (p[i + m] & 0xC0) == 0x80;
      cp = (cp << 6) | (p[i + m] & 0x3F);
    }
    if (!ok) {
      out[k++] = u'\uFFFD';
      ++i;
    } else if (cp >= 0x10000) {
      cp -= 0x10000;
      out[k++] = char16_t(0xD800 + (cp >> 10));
      out[k++] = char16_t(0xDC00 + (cp & 0x3FF));
      i += more + 1;
    } else {
      out[k++] = char16_t(cp);
      i += more + 1;
    }
  }
  return k;
}

// The value of the attribute `wanted` (name compared without regard to ASCII case) among the
// attributes in `inner`, the part of a tag after its name. Values may be quoted or bare.
std::optional<std::u16string_view> attribute(std::u16string_view inner, std::u16string_view wanted) {
  size_t i = 0;
  const size_t n = inner.size();
  while (i < n) {
    while (i < n && (isSpace(inner[i]) || inner[i] == u'/')) ++i;
    const size_t nameStart = i;
    while (i < n && !isSpace(inner[i]) && inner[i] != u'=' && inner[i] != u'/' && inner[i] != u'>' && inner[i] != u'?')
      ++i;
    const std::u16string_view name = inner.substr(nameStart, i - nameStart);
    if (name.empty() && i < n && inner[i] != u'=') {
      ++i; // a stray character between attributes
      continue;
    }
    while (i < n && isSpace(inner[i])) ++i;
    std::u16string_view value;
    if (i < n && inner[i] == u'=') {
      ++i;
      while (i < n && isSpace(inner[i])) ++i;
      if (i < n && (inner[i] == u'"' || inner[i] == u'\'')) {
        const char16_t quote = inner[i++];
        size_t close = inner.find(quote, i);
        if (close == std::u16string_view::npos) close = n;
        value = inner.substr(i, close - i);
        i = close < n ? close + 1 : n;
      } else {
        const size_t valueStart = i;
        while (i < n && !isSpace(inner[i])) ++i;
        value = inner.substr(valueStart, i - valueStart);
      }
    }
    if (!name.empty() && equalsIgnoringAsciiCase(name, wanted)) return value;
  }
  return std::nullopt;
}

// In a Content-Type value: the word after "charset" and "=".
std::optional<std::u16string> charsetOf(std::u16string_view content) {
  for (size_t at = 0; at + 7 <= content.size(); ++at) {
    if (!startsWithIgnoringAsciiCase(content.substr(at), u"charset")) continue;
    size_t i = at + 7;
    while (i < content.size() && isSpace(content[i])) ++i;
    if (i >= content.size() || content[i] != u'=') continue;
    ++i;
    while (i < content.size() && isSpace(content[i])) ++i;
    const size_t word = i;
    while (i < content.size() && !isSpace(content[i]) && content[i] != u';' && content[i] != u',' &&
           content[i] != u'"' && content[i] != u'\'')
      ++i;
    if (i > word) return std::u16string(content.substr(word, i - word));
  }
  return std::nullopt;
}

// How the bytes after the mark become text.
struct Decoding {
  enum Kind { CodePage, Empty } kind = CodePage;
  uint32_t codePage = kAnsiCodePage;
};

Decoding decodingFor(const std::optional<std::u16string>& encoding) {
  if (!encoding) return {Decoding::CodePage, kAnsiCodePage};
  // UTF-32 is not read. A name that the detection block let us read as 8-bit text cannot
  // describe the file truthfully, so like a mark-less "utf-16" the file gives an empty text.
  if (encoding->starts_with(u"UTF-32")) return {Decoding::Empty};
  const std::optional<uint32_t> cp = tableCodePage(*encoding);
  if (!cp) return {Decoding::CodePage, kAnsiCodePage};
  // UTF-16 declared by a file without a mark: its bytes are not 16-bit units.
  if (*cp == 1200 || *cp == 1201) return {Decoding::Empty};
  return {Decoding::CodePage, *cp};
}

std::u16string decodeUtf16(const unsigned char* p, size_t units, bool bigEndian) {
  std::u16string text;
  text.resize(units);
  size_t k = 0;
  for (size_t i = 0; i < units; ++i, p += 2) {
    const char16_t u = bigEndian ? char16_t(p[0] << 8 | p[1]) : char16_t(p[1] << 8 | p[0]);
    text[k] = u;
    k += u != 0;
  }
  text.resize(k);
  return text;
}

// Removes every zero byte in place; returns the new size.
size_t removeZeroBytes(char* p, size_t n) {
  char* zero = static_cast<char*>(std::memchr(p, 0, n));
  if (!zero) return n;
  size_t k = size_t(zero - p);
  for (size_t i = k + 1; i < n; ++i)
    if (p[i] != 0) p[k++] = p[i];
  return k;
}

} // namespace

std::optional<uint32_t> tableCodePage(std::u16string_view name) {
  if (name.size() > kMaxEncodingName) return std::nullopt;
  std::optional<uint32_t> found;
  kEncodings.forEachMatch(name, [&](const NamedValue& e) {
    if (!found) found = e.value;
  });
  return found;
}

bool passesUtf8Test(const unsigned char* p, size_t n) {
  for (size_t i = 0; i < n;) {
    i += asciiRun(p + i, n - i);
    if (i >= n) break;
    const unsigned b = p[i];
    size_t length;
    if (!(b & 0x20)) {
      length = 2;
    } else if (!(b & 0x10)) {
      length = 3;
    } else if (!(b & 0x08)) {
      length = 4;
    } else {
      return false;
    }
    if (n - i < length) return false;
    for (size_t k = 1; k < length; ++k)
      if (!(p[i + k] & 0x80)) return false;
    i += length;
  }
  return true;
}

namespace {

// The search for a declared encoding; `decided` tells that a complete node settled it (rather
// than the end of the text), so a longer text with the same start would give the same answer.
struct Declaration {
  bool decided = false;
  std::optional<std::u16string> encoding;
};

Declaration findDeclaration(std::u16string_view block) {
  bool html = false;
  for (uint32_t pos = 0; pos < block.size();) {
    const Node node = nextNode(block, pos);
    pos = node.end();
    const std::u16string_view whole = block.substr(node.start, node.length);
    switch (node.kind) {
    case NodeKind::ProcessingInstruction: {
      // "<?" name ... "?>"
      const std::u16string_view body = whole.substr(2, whole.size() - 4);
      size_t nameEnd = 0;
      while (nameEnd < body.size() && !isSpace(body[nameEnd]) && body[nameEnd] != u'?') ++nameEnd;
      if (!equalsIgnoringAsciiCase(body.substr(0, nameEnd), u"xml")) break;
      if (auto value = attribute(body.substr(nameEnd), u"encoding")) return {true, std::u16string(*value)};
      return {true, std::nullopt};
    }
    case NodeKind::StartTag: {
      const std::u16string_view name = tagName(block, node);
      if (!html) {
        if (!equalsIgnoringAsciiCase(name, u"html")) return {true, std::nullopt};
        html = true;
        break;
      }
      if (!equalsIgnoringAsciiCase(name, u"meta")) break;
      const std::u16string_view inner = whole.substr(1 + name.size(), whole.size() - 2 - name.size());
      const auto equiv = attribute(inner, u"http-equiv");
      if (!equiv || !equalsIgnoringAsciiCase(*equiv, u"Content-Type")) break;
      const auto content = attribute(inner, u"content");
      return {true, content ? charsetOf(*content) : std::nullopt};
    }
    case NodeKind::EndTag:
      if (equalsIgnoringAsciiCase(tagName(block, node), u"head")) return {true, std::nullopt};
      break;
    default:
      break;
    }
  }
  return {};
}

// Most files settle the question in their first few dozen bytes, so a short start of the block is
// decoded and searched first; only when that leaves it open is the whole block decoded. The
// short start ends on a UTF-8 sequence boundary, so it decodes exactly like the block's start.
std::optional<std::u16string> declaredEncodingOfBlock(const unsigned char* p, size_t block) {
  char16_t units[kDetectionBlock];
  size_t start = block < 128 ? block : 128;
  while (start < block && (p[start] & 0xC0) == 0x80 && start < 131) ++start;
  if (start < block) {
    Declaration d = findDeclaration({units, decodeUtf8Block(p, start, units)});
    if (d.decided) return std::move(d.encoding);
  }
  return findDeclaration({units, decodeUtf8Block(p, block, units)}).encoding;
}

} // namespace

std::optional<std::u16string> declaredEncoding(std::u16string_view block) { return findDeclaration(block).encoding; }

std::u16string decodeXmlBytes(char* bytes, size_t size) {
  if (size == 0) return {};
  const auto* p = reinterpret_cast<const unsigned char*>(bytes);
  const size_t block = size < kDetectionBlock ? size : kDetectionBlock;

  if (block >= 2 && p[0] == 0xFF && p[1] == 0xFE) return decodeUtf16(p + 2, (size - 2) / 2, false);
  if (block >= 2 && p[0] == 0xFE && p[1] == 0xFF) return decodeUtf16(p + 2, (size - 2) / 2, true);

  std::optional<std::u16string> encoding;
  size_t skip = 0;
  if (block >= 3 && p[0] == 0xEF && p[1] == 0xBB && p[2] == 0xBF) {
    encoding = u"UTF-8";
    skip = 3;
  } else {
    encoding = declaredEncodingOfBlock(p, block);
    if (!encoding && p[0] == '<') encoding = u"UTF-8";
  }

  char* rest = bytes + skip;
  const size_t restSize = removeZeroBytes(rest, size - skip);
  if (!encoding && passesUtf8Test(reinterpret_cast<const unsigned char*>(rest), restSize)) encoding = u"UTF-8";

  const Decoding decoding = decodingFor(encoding);
  if (decoding.kind == Decoding::Empty || restSize == 0) return {};
  const size_t units = measureMultiByte(decoding.codePage, rest, restSize);
  if (units == 0) return {};
  std::u16string text;
  text.reserve(units + units / 100);
  text.resize(units);
  text.resize(convertMultiByte(decoding.codePage, rest, restSize, text.data(), units));
  return text;
}

} // namespace q7::xml
