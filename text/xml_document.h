// A lenient, non-validating XML reader: loads one file into UTF-16 text, indexes its elements
// without copying names or texts, gives the whole document one well-formed verdict and answers
// the few navigation questions the string lookup asks.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace q7 {

// One element (or, as record 0, the document). Eight 32-bit words.
struct ElementRecord {
  static constexpr uint32_t kLevelMask = 0xFFFF;
  static constexpr uint32_t kFirstChild = 1u << 16; // first child of its parent
  static constexpr uint32_t kNotEnded = 1u << 17;   // no end tag matched it
  static constexpr uint32_t kIllFormed = 1u << 18;  // record 0 only: the document is ill-formed
  static constexpr uint32_t kOversized = 1u << 19;  // a tag too long for the tag length fields
  static constexpr uint32_t kMaxStartTag = (1u << 22) - 1;
  static constexpr uint32_t kMaxEndTag = (1u << 10) - 1;

  uint32_t start;           // offset of the "<" of the start tag
  uint32_t length;          // up to the end of the end tag; the start tag's length without one
  uint32_t tagLengths;      // start-tag length in the low 22 bits, end-tag length (0: none) above
  uint32_t levelAndFlags;   // nesting level (root 0) in the low 16 bits, flags above
  uint32_t parent;          // 0 for the root
  uint32_t firstChild;      // 0 if none
  uint32_t nextSibling;     // 0 after the last child
  uint32_t previousSibling; // for a first child: the last child of the same parent

  uint32_t startTagLength() const { return tagLengths & kMaxStartTag; }
  uint32_t endTagLength() const { return tagLengths >> 22; }
  uint32_t level() const { return levelAndFlags & kLevelMask; }
  bool has(uint32_t flag) const { return (levelAndFlags & flag) != 0; }
};
static_assert(sizeof(ElementRecord) == 32);

class XmlDocument {
public:
  XmlDocument();
  ~XmlDocument();
  XmlDocument(const XmlDocument&) = delete;
  XmlDocument& operator=(const XmlDocument&) = delete;
  XmlDocument(XmlDocument&&) noexcept = default;
  XmlDocument& operator=(XmlDocument&&) noexcept = default;

  // Reads and decodes the file into the text (see decodeXmlBytes). False when the file cannot
  // be opened or read, or is larger than kMaxFileBytes.
  [[nodiscard]] bool load(std::u16string_view path);
  // Uses text as the document's text, as if a file had given it.
  void setText(std::u16string text);

  // Builds the index from the text and moves to the start; true when the document is well-formed:
  // nothing ill-formed met, and exactly one root element.
  bool parse();

  // Among the children of the current element (the root if there is none yet), the next one
  // named name after the current child (or the first one) becomes the current child.
  [[nodiscard]] bool findChildElement(std::u16string_view name);
  // Steps into the current child: the current element becomes the parent and the current child
  // the current element. False, with nothing changed, when there is no current child.
  bool intoElement();
  // The text of the current child: empty when there is none or it has child elements; otherwise
  // its content with references decoded and CDATA sections unwrapped, white space kept.
  [[nodiscard]] std::u16string childData() const;

  static constexpr uint64_t kMaxFileBytes = uint64_t(256) << 20; // larger files are refused
  const std::u16string& text() const { return text_; }
  uint32_t used() const { return used_; }                         // 0 until parse
  const ElementRecord& record(uint32_t i) const { return at(i); } // i < used()
  bool wellFormed() const { return wellFormed_; }
  struct Position {
    uint32_t parent = 0, current = 0, child = 0;
  };
  Position position() const { return position_; }

private:
  static constexpr uint32_t kSegmentBits = 16;
  static constexpr uint32_t kSegmentRecords = 1u << kSegmentBits; // 2 MiB of records

  ElementRecord& at(uint32_t i) { return segments_[i >> kSegmentBits][i & (kSegmentRecords - 1)]; }
  const ElementRecord& at(uint32_t i) const { return segments_[i >> kSegmentBits][i & (kSegmentRecords - 1)]; }
  void resetIndex(uint64_t reserve);
  void growIndex(uint64_t target);
  uint32_t appendRecord();
  void appendChild(uint32_t parent, uint32_t& parentLastChild, uint32_t child);
  void finishChildren(uint32_t element, uint32_t lastChild);
  void notEnded(uint32_t element, uint32_t elementLastChild, uint32_t& parentLastChild);
  void closeElement(uint32_t element, uint32_t endStart, uint32_t endLength);
  void setIllFormed() { at(0).levelAndFlags |= ElementRecord::kIllFormed; }
  bool nameMatches(const ElementRecord& element, std::u16string_view name) const;

  std::u16string text_;
  std::vector<std::unique_ptr<ElementRecord[]>> segments_; // all full but the last
  uint32_t lastSegmentRecords_ = 0;
  uint64_t capacity_ = 0;
  uint32_t used_ = 0;
  Position position_;
  bool movedChildren_ = false; // during parse: some unended element gave up its children
  bool wellFormed_ = false;
};

} // namespace q7
