#include "text/open_elements.h"

#include <algorithm>
#include <random>

namespace q7::xml {

namespace {

constexpr uint64_t kMersenne61 = (uint64_t(1) << 61) - 1;

uint64_t mulMod(uint64_t a, uint64_t b) {
  const unsigned __int128 p = static_cast<unsigned __int128>(a) * b;
  uint64_t r = uint64_t(p & kMersenne61) + uint64_t(p >> 61);
  if (r >= kMersenne61) r -= kMersenne61;
  return r;
}

bool continuesName(char16_t c) { return c == u'=' || c == u'[' || c == u']'; }

uint64_t step(uint64_t h, uint64_t base, char16_t c) {
  h = mulMod(h, base) + c + 1;
  return h >= kMersenne61 ? h - kMersenne61 : h;
}

// Name hashes use a base drawn once per process, so colliding names cannot be prepared in a file.
uint64_t processBase() {
  static const uint64_t base = [] {
    std::random_device device;
    const uint64_t r = (uint64_t(device()) << 32) ^ device();
    return (r % (kMersenne61 - 1000)) + 500;
  }();
  return base;
}

} // namespace

OpenElements::OpenElements(std::u16string_view text)
    : text_(text), strayBudget_(2 * uint64_t(text.size()) + 4096), base_(processBase()) {}

void OpenElements::grow() {
  const size_t capacity = 2 * capacity_ + 6;
  auto grown = std::make_unique_for_overwrite<Entry[]>(capacity);
  std::copy(entries_, entries_ + size_, grown.get());
  grown_ = std::move(grown);
  entries_ = grown_.get();
  capacity_ = capacity;
}

uint64_t OpenElements::hashOf(std::u16string_view s) const {
  uint64_t h = 0;
  for (char16_t c : s) h = step(h, base_, c);
  return h;
}

// An entry is found under the hash of its whole name and of every prefix that is followed by
// "=", "[" or "]": exactly the end tag names that close it.
void OpenElements::addKeys(uint32_t position) {
  Entry& e = entries_[position];
  e.firstKey = uint32_t(keys_.size());
  const std::u16string_view n = name(e);
  auto add = [&](uint64_t hash) {
    uint32_t& head = heads_[hash];
    keys_.push_back({hash, position, head});
    head = uint32_t(keys_.size());
  };
  uint64_t h = 0;
  for (char16_t c : n) {
    if (continuesName(c)) add(h);
    h = step(h, base_, c);
  }
  add(h);
}

void OpenElements::useNameIndex() {
  if (indexed_) return;
  indexed_ = true;
  for (uint32_t i = 0; i < size_; ++i) addKeys(i);
}

int64_t OpenElements::findClosedElsewhere(std::u16string_view endName) {
  if (indexed_) {
    const auto it = heads_.find(hashOf(endName));
    if (it == heads_.end()) return -1;
    for (uint32_t k = it->second; k != 0; k = keys_[k - 1].below) {
      const uint32_t position = keys_[k - 1].entry;
      if (endTagCloses(name(entries_[position]), endName)) return position;
    }
    return -1;
  }
  for (size_t i = size_; i-- > 0;)
    if (endTagCloses(name(entries_[i]), endName)) return int64_t(i);
  // Nothing closed and nothing popped: this walk is pure cost.
  strayWork_ += size_ * (uint64_t(endName.size()) + 1);
  if (strayWork_ > strayBudget_) useNameIndex();
  return -1;
}

void OpenElements::dropKeysFrom(size_t count) {
  const uint32_t firstKey = entries_[count].firstKey;
  while (keys_.size() > firstKey) {
    const Key& k = keys_.back();
    if (k.below) {
      heads_[k.hash] = k.below;
    } else {
      heads_.erase(k.hash);
    }
    keys_.pop_back();
  }
}

} // namespace q7::xml
