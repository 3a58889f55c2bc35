// Splits XML text into nodes, one at a time: tags, processing instructions, comments, CDATA
// sections, declarations, text and white space, or an error node where the text cannot be split.
#pragma once

#include <cstdint>
#include <string_view>

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

// The node that begins at pos (pos < text.size(), text.size() < 2^32). Text and white space run
// up to the next "<" or the end; every other node that reaches the end unfinished is an error
// node up to the end. An error node for a "<" that cannot begin a node covers only that "<".
Node nextNode(std::u16string_view text, uint32_t pos);

// The name of a start or end tag: from after "<" (or "</") up to the first space, tab, CR, LF,
// "/" or ">".
inline std::u16string_view tagName(std::u16string_view text, const Node& node) {
  return text.substr(node.start + (node.kind == NodeKind::EndTag ? 2 : 1), node.nameLength);
}

} // namespace q7::xml
