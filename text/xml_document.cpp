#include "text/xml_document.h"

#include <algorithm>

#include "platform/file_bytes.h"
#include "text/open_elements.h"
#include "text/xml_encoding.h"
#include "text/xml_references.h"
#include "text/xml_tokenizer.h"

namespace q7 {

using xml::Node;
using xml::NodeKind;

XmlDocument::XmlDocument() = default;
XmlDocument::~XmlDocument() = default;

bool XmlDocument::load(std::u16string_view path) {
  ReadOnlyFile file;
  if (!file.open(path) || file.size() > kMaxFileBytes) return false;
  const size_t size = size_t(file.size());
  auto bytes = std::make_unique_for_overwrite<char[]>(size ? size : 1);
  // The detection block first, then everything after it in one read.
  const size_t block = std::min(size, xml::kDetectionBlock);
  if (!file.read(bytes.get(), block) || !file.read(bytes.get() + block, size - block)) return false;
  setText(xml::decodeXmlBytes(bytes.get(), size));
  return true;
}

void XmlDocument::setText(std::u16string text) {
  text_ = std::move(text);
  segments_.clear(); // no index until parse
  capacity_ = 0;
  used_ = 0;
  position_ = {};
  wellFormed_ = false;
}

// The index lives in segments of at most kSegmentRecords records; only the last one can be
// partial, and growing it copies at most one segment.
void XmlDocument::resetIndex(uint64_t reserve) {
  used_ = 0;
  if (segments_.size() != 1 || capacity_ < reserve) {
    segments_.clear();
    capacity_ = 0;
    lastSegmentRecords_ = kSegmentRecords;
    growIndex(reserve);
  }
  at(appendRecord()) = ElementRecord{0, uint32_t(text_.size()), 0, 0, 0, 0, 0, 0};
}

void XmlDocument::growIndex(uint64_t target) {
  while (capacity_ < target) {
    const uint32_t last = lastSegmentRecords_;
    if (last < kSegmentRecords) {
      const uint32_t size = uint32_t(std::min<uint64_t>(kSegmentRecords, last + (target - capacity_)));
      auto grown = std::make_unique_for_overwrite<ElementRecord[]>(size);
      std::copy(segments_.back().get(), segments_.back().get() + last, grown.get());
      segments_.back() = std::move(grown);
      lastSegmentRecords_ = size;
      capacity_ += size - last;
    } else {
      const uint32_t size = uint32_t(std::min<uint64_t>(kSegmentRecords, target - capacity_));
      segments_.push_back(std::make_unique_for_overwrite<ElementRecord[]>(size));
      lastSegmentRecords_ = size;
      capacity_ += size;
    }
  }
}

uint32_t XmlDocument::appendRecord() {
  if (used_ == capacity_) growIndex(capacity_ + std::max<uint64_t>(1, capacity_ / 2)); // by half
  return used_++;
}

// Appends child as the last child of parent. The parent's last child is kept beside it while it
// is open (parentLastChild); the first child's previous-sibling link is set to the last child
// when the parent is finished (finishChildren).
inline void XmlDocument::appendChild(uint32_t parent, uint32_t& parentLastChild, uint32_t child) {
  ElementRecord& c = at(child);
  c.parent = parent;
  c.nextSibling = 0;
  if (parentLastChild == 0) {
    at(parent).firstChild = child;
    c.levelAndFlags |= ElementRecord::kFirstChild;
  } else {
    at(parentLastChild).nextSibling = child;
    c.previousSibling = parentLastChild;
  }
  parentLastChild = child;
}

inline void XmlDocument::finishChildren(uint32_t element, uint32_t lastChild) {
  if (lastChild != 0) at(at(element).firstChild).previousSibling = lastChild;
}

// An element that no end tag closed: it keeps only its start tag and its children follow it as
// its siblings. The element is always the last child of its parent here, because everything
// opened after it lies inside it; elements are handled from the outermost, so each child moves
// once, straight to its final parent.
void XmlDocument::notEnded(uint32_t element, uint32_t elementLastChild, uint32_t& parentLastChild) {
  setIllFormed();
  ElementRecord& x = at(element);
  x.levelAndFlags |= ElementRecord::kNotEnded;
  const uint32_t firstMoved = x.firstChild;
  if (firstMoved == 0) return;
  const uint32_t parent = x.parent;
  movedChildren_ = true;
  x.firstChild = 0;
  x.nextSibling = firstMoved;
  ElementRecord& moved = at(firstMoved);
  moved.previousSibling = element;
  moved.levelAndFlags &= ~ElementRecord::kFirstChild;
  for (uint32_t c = firstMoved; c != 0; c = at(c).nextSibling) at(c).parent = parent;
  parentLastChild = elementLastChild;
}

namespace {

bool sameUnits(const char16_t* a, const char16_t* b, size_t n) {
  for (size_t i = 0; i < n; ++i) // names are short: no call to memcmp
    if (a[i] != b[i]) return false;
  return true;
}

} // namespace

// The end tag at [endStart, endStart + endLength) closes element.
inline void XmlDocument::closeElement(uint32_t element, uint32_t endStart, uint32_t endLength) {
  ElementRecord& e = at(element);
  if (endLength > ElementRecord::kMaxEndTag) {
    e.levelAndFlags |= ElementRecord::kOversized;
    setIllFormed();
  } else {
    e.tagLengths |= endLength << 22;
  }
  e.length = endStart + endLength - e.start;
}

bool XmlDocument::parse() {
  position_ = {};
  wellFormed_ = false;
  const size_t n = text_.size();
  resetIndex(n / 64 + 8);
  if (n == 0) return false;
  if (n >= UINT32_MAX) {
    setIllFormed(); // offsets are 32-bit; load never makes such a text
    return false;
  }

  xml::OpenElements open(text_);
  uint32_t documentLastChild = 0;
  movedChildren_ = false;
  const char16_t* t = text_.data();
  for (uint32_t pos = 0; pos < n;) {
    if (t[pos] != u'<') {
      pos = uint32_t(xml::findLessThan(text_, pos)); // text and white space leave the index alone
      continue;
    }
    if (pos + 1 < n && t[pos + 1] == u'/' && !open.empty()) {
      // Most end tags close the innermost element and are written just like its name.
      const xml::OpenElements::Entry& top = open.top();
      const uint32_t length = top.nameLength + 3;
      if (uint64_t(pos) + length <= n && t[pos + length - 1] == u'>' &&
          sameUnits(t + pos + 2, t + top.nameStart, top.nameLength)) {
        finishChildren(top.record, top.lastChild);
        closeElement(top.record, pos, length);
        open.popTo(open.size() - 1);
        pos += length;
        continue;
      }
    }
    const Node node = xml::nextNode(text_, pos);
    pos = node.end();
    switch (node.kind) {
    case NodeKind::StartTag: {
      const uint32_t r = appendRecord();
      ElementRecord& e = at(r);
      const uint32_t level = uint32_t(std::min<size_t>(open.size(), ElementRecord::kLevelMask));
      e = ElementRecord{node.start, node.length, std::min(node.length, ElementRecord::kMaxStartTag), level, 0, 0, 0, 0};
      if (node.length > ElementRecord::kMaxStartTag) {
        e.levelAndFlags |= ElementRecord::kOversized;
        setIllFormed();
      }
      if (open.empty()) {
        appendChild(0, documentLastChild, r);
      } else {
        appendChild(open.top().record, open.top().lastChild, r);
      }
      if (!node.empty) open.push(r, node.start + 1, node.nameLength);
      break;
    }
    case NodeKind::EndTag: {
      const int64_t k = open.findClosed(xml::tagName(text_, node));
      if (k < 0) {
        setIllFormed(); // a stray end tag is ignored
        break;
      }
      xml::OpenElements::Entry& closed = open[size_t(k)];
      for (size_t j = size_t(k) + 1; j < open.size(); ++j) {
        notEnded(open[j].record, open[j].lastChild, closed.lastChild);
      }
      finishChildren(closed.record, closed.lastChild);
      closeElement(closed.record, node.start, node.length);
      open.popTo(size_t(k));
      break;
    }
    case NodeKind::Error:
      setIllFormed();
      break;
    default:
      break;
    }
  }
  for (size_t j = 0; j < open.size(); ++j) notEnded(open[j].record, open[j].lastChild, documentLastChild);
  finishChildren(0, documentLastChild);

  // Moving the children of unended elements changed depths: set the levels again (parents
  // precede their children).
  for (uint32_t i = 1; movedChildren_ && i < used_; ++i) {
    ElementRecord& e = at(i);
    const uint32_t level = e.parent == 0 ? 0 : std::min<uint32_t>(at(e.parent).level() + 1, ElementRecord::kLevelMask);
    e.levelAndFlags = (e.levelAndFlags & ~ElementRecord::kLevelMask) | level;
  }

  const ElementRecord& document = at(0);
  wellFormed_ =
      !document.has(ElementRecord::kIllFormed) && document.firstChild != 0 && at(document.firstChild).nextSibling == 0;
  return wellFormed_;
}

namespace {

// The element's name for searching runs from after "<" to the first of these.
bool endsSearchName(char16_t c) {
  switch (c) {
  case u' ':
  case u'\t':
  case u'\r':
  case u'\n':
  case u'<':
  case u'>':
  case u'=':
  case u'\\':
  case u'/':
  case u'?':
  case u'!':
  case u'"':
  case u'\'':
  case u';':
    return true;
  default:
    return false;
  }
}

// The given name may go on after the element's name with one of these.
bool endsGivenName(char16_t c) { return c == u' ' || c == u'=' || c == u'/' || c == u'[' || c == u']'; }

} // namespace

bool XmlDocument::nameMatches(const ElementRecord& e, std::u16string_view given) const {
  const char16_t* tag = text_.data() + e.start + 1;
  const size_t limit = e.startTagLength() - 1; // units after "<"; the last one is ">"
  for (size_t k = 0;; ++k) {
    const bool elementEnds = k >= limit || endsSearchName(tag[k]);
    if (k == given.size()) return elementEnds;
    if (elementEnds) return endsGivenName(given[k]);
    if (tag[k] != given[k]) return false;
  }
}

bool XmlDocument::findChildElement(std::u16string_view name) {
  if (used_ == 0) return false; // not parsed
  if (position_.current == 0) {
    position_ = {0, at(0).firstChild, 0};
    if (position_.current == 0) return false;
  }
  uint32_t c = position_.child ? at(position_.child).nextSibling : at(position_.current).firstChild;
  for (; c != 0; c = at(c).nextSibling) {
    if (nameMatches(at(c), name)) {
      position_.child = c;
      return true;
    }
  }
  return false;
}

bool XmlDocument::intoElement() {
  if (position_.current == 0 || position_.child == 0) return false;
  position_ = {position_.current, position_.child, 0};
  return true;
}

std::u16string XmlDocument::childData() const {
  std::u16string out;
  if (position_.child == 0) return out;
  const ElementRecord& e = at(position_.child);
  if (e.firstChild != 0 || e.has(ElementRecord::kOversized)) return out;
  const uint32_t from = e.start + e.startTagLength();
  const uint32_t to = e.start + e.length - e.endTagLength();
  if (to <= from) return out;
  const std::u16string_view content = std::u16string_view(text_).substr(from, to - from);
  if (content.find(u'<') == std::u16string_view::npos) {
    xml::appendDecoded(content, out);
    return out;
  }
  for (uint32_t pos = 0; pos < content.size();) {
    const Node node = xml::nextNode(content, pos);
    pos = node.end();
    if (node.kind == NodeKind::Text) {
      xml::appendDecoded(content.substr(node.start, node.length), out);
    } else if (node.kind == NodeKind::CData && node.length > 12) {
      out.append(content.substr(node.start + 9, node.length - 12)); // inside "<![CDATA[" and "]]>"
    }
  }
  return out;
}

} // namespace q7
