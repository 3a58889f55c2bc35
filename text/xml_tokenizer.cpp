#include "text/xml_tokenizer.h"

namespace q7::xml {

namespace {

constexpr size_t npos = std::u16string_view::npos;

bool beginsStartTag(char16_t c) {
  return (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z') || c == u':' || c == u'_' || c >= 0x7B;
}

uint32_t nameEnd(std::u16string_view t, uint32_t from, uint32_t limit) {
  uint32_t i = from;
  while (i < limit && !isSpace(t[i]) && t[i] != u'/' && t[i] != u'>') ++i;
  return i;
}

// Offset of the first `unit` at or after from; npos if none.
size_t find(std::u16string_view t, size_t from, char16_t unit) {
  const size_t i = findUnit(t, from, unit);
  return i < t.size() ? i : npos;
}

// First ">" at or after from whose preceding units are a then b ("--", "]]"; a is 0 for just b).
size_t findCloser(std::u16string_view t, size_t from, char16_t a, char16_t b) {
  for (size_t i = from;; ++i) {
    i = find(t, i, u'>');
    if (i == npos) return npos;
    if (t[i - 1] == b && (a == 0 || t[i - 2] == a)) return i;
  }
}

} // namespace

Node nextNodeInGeneral(std::u16string_view t, uint32_t p) {
  const uint32_t n = uint32_t(t.size());
  auto node = [&](NodeKind kind, size_t endExclusive) { return Node{kind, false, p, uint32_t(endExclusive - p), 0}; };
  auto error = [&](size_t endExclusive) { return node(NodeKind::Error, endExclusive); };

  if (t[p] != u'<') {
    uint32_t q = p;
    while (q < n && isSpace(t[q])) ++q;
    if (q == n || t[q] == u'<') return node(NodeKind::WhiteSpace, q);
    return node(NodeKind::Text, findLessThan(t, q));
  }
  if (p + 1 >= n) return error(n);

  const char16_t c = t[p + 1];
  if (c == u'/') {
    const size_t gt = find(t, p + 2, u'>');
    if (gt == npos) return error(n);
    Node end = node(NodeKind::EndTag, gt + 1);
    end.nameLength = nameEnd(t, p + 2, uint32_t(gt)) - (p + 2);
    return end;
  }
  if (c == u'?') {
    const size_t gt = findCloser(t, p + 3, 0, u'?');
    return gt == npos ? error(n) : node(NodeKind::ProcessingInstruction, gt + 1);
  }
  if (c == u'!') {
    if (p + 2 >= n) return error(n);
    const char16_t d = t[p + 2];
    if (d == u'-' || d == u'[') {
      if (p + 3 >= n) return error(n);
      if (d == u'-') {
        if (t[p + 3] != u'-') return error(p + 1);
        const size_t gt = findCloser(t, p + 4, u'-', u'-'); // "<!-->" is a whole comment
        return gt == npos ? error(n) : node(NodeKind::Comment, gt + 1);
      }
      if (t[p + 3] != u'C') return error(p + 1);
      const size_t gt = findCloser(t, p + 6, u']', u']');
      return gt == npos ? error(n) : node(NodeKind::CData, gt + 1);
    }
    if (d == u'D') {
      // Ends at ">" outside quotes and outside nested "<...>" declarations.
      int depth = 0;
      char16_t quote = 0;
      for (uint32_t i = p + 3; i < n; ++i) {
        const char16_t ch = t[i];
        if (quote) {
          if (ch == quote) quote = 0;
        } else if (ch == u'"' || ch == u'\'') {
          quote = ch;
        } else if (ch == u'<') {
          ++depth;
        } else if (ch == u'>') {
          if (depth == 0) return node(NodeKind::DocumentType, i + 1);
          --depth;
        }
      }
      return error(n);
    }
    if (d == u'E' || d == u'A' || d == u'N') {
      const size_t gt = find(t, p + 3, u'>');
      return gt == npos ? error(n) : node(NodeKind::Declaration, gt + 1);
    }
    return error(p + 1);
  }
  if (!beginsStartTag(c)) return error(p + 1);

  // Start tag: the name, then up to ">" outside a value quoted right after "=".
  uint32_t i = p + 1;
  while (i < n && !endsPlainName(t[i])) ++i;
  uint32_t name = i;
  const bool quoteInName = i < n && (t[i] == u'"' || t[i] == u'\'');
  char16_t lastSignificant = t[i - 1];
  for (; i < n; ++i) {
    const char16_t ch = t[i];
    if (ch == u'>') break;
    if ((ch == u'"' || ch == u'\'') && lastSignificant == u'=') {
      const size_t close = find(t, i + 1, ch);
      if (close == npos) return error(n);
      i = uint32_t(close);
      lastSignificant = ch;
    } else if (!isSpace(ch)) {
      lastSignificant = ch;
    }
  }
  if (i >= n) return error(n);
  if (quoteInName) name = nameEnd(t, name, i); // a quote does not end the name
  Node start = node(NodeKind::StartTag, i + 1);
  start.nameLength = name - (p + 1);
  if (t[i - 1] == u'/') {
    // i - 1 >= p + 2 here: the unit after "<" begins a name, so it is not "/".
    const char16_t before = t[i - 2];
    start.empty = i - 1 == name || isSpace(before) || before == u'"' || before == u'\'';
  }
  return start;
}

} // namespace q7::xml
