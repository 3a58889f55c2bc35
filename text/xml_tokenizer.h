// Splits XML text into nodes, one at a time: tags, processing instructions, comments, CDATA
// sections, declarations, text and white space, or an error node where the text cannot be split.
#pragma once

#include <bit>
#include <cstdint>
#include <cstring>
#include <string_view>
#ifdef __SSE2__
#include <emmintrin.h>
#endif

namespace q7::xml {

enum class NodeKind : uint8_t {
  StartTag,
  EndTag,
  ProcessingInstruction,
  Comment,
  CData,
  DocumentType,
  Declaration, // <!ELEMENT, <!ATTLIST, <!ENTITY, <!NOTATION
  Text,
  WhiteSpace,
  Error,
};

struct Node {
  NodeKind kind;
  bool empty = false;      // start tags: ends with "/>" and has no end tag
  uint32_t start = 0;      // offset of the first unit
  uint32_t length = 0;     // units; never 0
  uint32_t nameLength = 0; // start and end tags: units of the tag name (see tagName)

  uint32_t end() const { return start + length; }
};

inline bool isSpace(char16_t c) { return c == u' ' || c == u'\t' || c == u'\r' || c == u'\n'; }

// Space, tab, CR, LF, "/", ">", double quote and apostrophe: the units that end a tag name
// or need a closer look inside a tag.
inline bool endsPlainName(char16_t c) {
  constexpr uint64_t kSet = (1ull << ' ') | (1ull << '\t') | (1ull << '\r') | (1ull << '\n') | (1ull << '/') |
                            (1ull << '>') | (1ull << '"') | (1ull << '\'');
  return c < 64 && ((kSet >> c) & 1);
}

// Offset of the first `unit` in text[from, text.size()), or text.size(); eight units at a time
// where SSE2 is there (every x86-64 build), four otherwise.
inline size_t findUnit(std::u16string_view text, size_t from, char16_t unit) {
  const size_t n = text.size();
  const char16_t* t = text.data();
  size_t i = from;
#ifdef __SSE2__
  const __m128i wanted = _mm_set1_epi16(short(unit));
  for (; i + 8 <= n; i += 8) {
    const __m128i units = _mm_loadu_si128(reinterpret_cast<const __m128i*>(t + i));
    const unsigned found = unsigned(_mm_movemask_epi8(_mm_cmpeq_epi16(units, wanted)));
    if (found) return i + size_t(std::countr_zero(found) / 2);
  }
#else
  const uint64_t lanes = 0x0001000100010001ull * unit;
  for (; i + 4 <= n; i += 4) {
    uint64_t w;
    std::memcpy(&w, t + i, 8);
    const uint64_t v = w ^ lanes; // a zero lane is the unit
    const uint64_t found = (v - 0x0001000100010001ull) & ~v & 0x8000800080008000ull;
    if (found) return i + size_t(std::countr_zero(found) / 16); // the lowest flag is exact
  }
#endif
  while (i < n && t[i] != unit) ++i;
  return i;
}

inline size_t findLessThan(std::u16string_view text, size_t from) { return findUnit(text, from, u'<'); }

// Offset of the first unit in text[from, text.size()) that ends a plain tag name (endsPlainName),
// or text.size(). Names are short: a plain loop beats vector compares here.
inline size_t findPlainNameEnd(std::u16string_view text, size_t from) {
  size_t i = from;
  while (i < text.size() && !endsPlainName(text[i])) ++i;
  return i;
}

// Any node; nextNode below takes the plain tags "<name>" and "</name>" itself.
Node nextNodeInGeneral(std::u16string_view text, uint32_t pos);

// The node that begins at pos (pos < text.size(), text.size() < 2^32). Text and white space run
// up to the next "<" or the end; every other node that reaches the end unfinished is an error
// node up to the end. An error node for a "<" that cannot begin a node covers only that "<".
inline Node nextNode(std::u16string_view text, uint32_t pos) {
  const size_t n = text.size();
  if (text[pos] == u'<' && pos + 1 < n) {
    const char16_t c = text[pos + 1];
    const bool end = c == u'/';
    if (end || (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z')) {
      const uint32_t i = uint32_t(findPlainNameEnd(text, pos + (end ? 2 : 1)));
      if (i < n && text[i] == u'>') {
        const uint32_t nameStart = pos + (end ? 2 : 1);
        return Node{end ? NodeKind::EndTag : NodeKind::StartTag, false, pos, i + 1 - pos, i - nameStart};
      }
    }
  }
  return nextNodeInGeneral(text, pos);
}

// The name of a start or end tag: from after "<" (or "</") up to the first space, tab, CR, LF,
// "/" or ">".
inline std::u16string_view tagName(std::u16string_view text, const Node& node) {
  return text.substr(node.start + (node.kind == NodeKind::EndTag ? 2 : 1), node.nameLength);
}

} // namespace q7::xml
