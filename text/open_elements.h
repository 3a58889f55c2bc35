// The stack of elements whose end tag has not come yet, and the search for the nearest one that
// an end tag closes. The search walks the stack from the top; once end tags that close nothing
// have cost more than the text's length in walking, it switches to an index of the open names,
// so that crafted input (deep nesting and many stray end tags) stays linear.
#pragma once

#include <cstdint>
#include <memory>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace q7::xml {

// True when an end tag named endName closes a start tag named startName: the names are equal, or
// the start tag's name continues after endName with "=", "[" or "]".
inline bool endTagCloses(std::u16string_view startName, std::u16string_view endName) {
  if (startName.size() < endName.size()) return false;
  for (size_t i = 0; i < endName.size(); ++i) // names are short: no call to memcmp
    if (startName[i] != endName[i]) return false;
  if (startName.size() == endName.size()) return true;
  const char16_t next = startName[endName.size()];
  return next == u'=' || next == u'[' || next == u']';
}

class OpenElements {
public:
  struct Entry {
    uint32_t record;
    uint32_t nameStart;
    uint32_t nameLength;
    uint32_t lastChild; // the record of its last child element so far, 0 if none
    uint32_t firstKey;  // index of its first key in keys_ (indexed search only)
  };

  explicit OpenElements(std::u16string_view text);
  OpenElements(const OpenElements&) = delete;
  OpenElements& operator=(const OpenElements&) = delete;

  bool empty() const { return size_ == 0; }
  size_t size() const { return size_; }
  Entry& operator[](size_t i) { return entries_[i]; }
  Entry& top() { return entries_[size_ - 1]; }

  void push(uint32_t record, uint32_t nameStart, uint32_t nameLength) {
    if (size_ == capacity_) grow();
    entries_[size_++] = {record, nameStart, nameLength, 0, 0};
    if (indexed_) addKeys(uint32_t(size_ - 1));
  }
  // Position (from the bottom) of the nearest open element closed by an end tag named name;
  // -1 when there is none. Mostly it is the innermost one.
  int64_t findClosed(std::u16string_view endName) {
    if (!indexed_ && size_ != 0 && endTagCloses(name(top()), endName)) return int64_t(size_ - 1);
    return findClosedElsewhere(endName);
  }
  // Keeps the first `count` entries.
  void popTo(size_t count) {
    if (count >= size_) return;
    if (indexed_) dropKeysFrom(count);
    size_ = count;
  }

  // Switches to the indexed search now (otherwise it happens when walking gets expensive).
  void useNameIndex();
  bool usesNameIndex() const { return indexed_; }

private:
  struct Key {
    uint64_t hash;
    uint32_t entry; // position in the stack
    uint32_t below; // 1 + index of the previous key with the same hash, 0 if none
  };
  std::u16string_view name(const Entry& e) const { return text_.substr(e.nameStart, e.nameLength); }
  void grow();
  int64_t findClosedElsewhere(std::u16string_view endName);
  void dropKeysFrom(size_t count);
  void addKeys(uint32_t position);
  uint64_t hashOf(std::u16string_view s) const;

  std::u16string_view text_;
  // Room for 6 entries to begin with, inside the object; then twice the size plus 6.
  Entry first_[6];
  std::unique_ptr<Entry[]> grown_;
  Entry* entries_ = first_;
  size_t size_ = 0;
  size_t capacity_ = 6;

  bool indexed_ = false;
  uint64_t strayWork_ = 0;
  uint64_t strayBudget_;
  uint64_t base_;
  std::vector<Key> keys_;
  std::unordered_map<uint64_t, uint32_t> heads_; // hash -> 1 + index of its newest key
};

} // namespace q7::xml
