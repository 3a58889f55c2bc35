// The stack of elements whose end tag has not come yet, and the search for the nearest one that
// an end tag closes. The search walks the stack from the top; once end tags that close nothing
// have cost more than the text's length in walking, it switches to an index of the open names,
// so that crafted input (deep nesting and many stray end tags) stays linear.
#pragma once

#include <cstdint>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace q7::xml {

// True when an end tag named endName closes a start tag named startName: the names are equal, or
// the start tag's name continues after endName with "=", "[" or "]".
bool endTagCloses(std::u16string_view startName, std::u16string_view endName);

class OpenElements {
public:
  struct Entry {
    uint32_t record;
    uint32_t nameStart;
    uint32_t nameLength;
    uint32_t firstKey; // index of its first key in keys_ (indexed search only)
  };

  explicit OpenElements(std::u16string_view text);

  bool empty() const { return entries_.empty(); }
  size_t size() const { return entries_.size(); }
  const Entry& operator[](size_t i) const { return entries_[i]; }
  const Entry& top() const { return entries_.back(); }

  void push(uint32_t record, uint32_t nameStart, uint32_t nameLength);
  // Position (from the bottom) of the nearest open element closed by an end tag named name;
  // -1 when there is none.
  int64_t findClosed(std::u16string_view name);
  // Keeps the first `count` entries.
  void popTo(size_t count);

  // Switches to the indexed search now (otherwise it happens when walking gets expensive).
  void useNameIndex();
  bool usesNameIndex() const { return indexed_; }

private:
  struct Key {
    uint64_t hash;
    uint32_t entry; // position in entries_
    uint32_t below; // 1 + index of the previous key with the same hash, 0 if none
  };
  std::u16string_view name(const Entry& e) const { return text_.substr(e.nameStart, e.nameLength); }
  void addKeys(uint32_t position);
  uint64_t hashOf(std::u16string_view s) const;

  std::u16string_view text_;
  std::vector<Entry> entries_;
  bool indexed_ = false;
  uint64_t strayWork_ = 0;
  uint64_t strayBudget_;
  uint64_t base_;
  std::vector<Key> keys_;
  std::unordered_map<uint64_t, uint32_t> heads_; // hash -> 1 + index of its newest key
};

} // namespace q7::xml
