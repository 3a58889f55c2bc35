// A constant table of ASCII names, found without regard to ASCII case through buckets chosen by
// the sum of the lowercased name's units. Built at compile time.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string_view>

namespace q7::xml {

constexpr char16_t asciiLower(char16_t c) { return c >= u'A' && c <= u'Z' ? char16_t(c + 32) : c; }

constexpr bool equalsIgnoringAsciiCase(std::u16string_view a, std::u16string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i)
    if (asciiLower(a[i]) != asciiLower(b[i])) return false;
  return true;
}

struct NamedValue {
  std::u16string_view name;
  uint32_t value;
};

template <size_t N, size_t Buckets> class NameTable {
public:
  static constexpr size_t bucketOf(std::u16string_view name) {
    size_t sum = 0;
    for (char16_t c : name) sum += asciiLower(c);
    return sum % Buckets;
  }

  constexpr explicit NameTable(const std::array<NamedValue, N>& entries) : entries_(entries) {
    // Counting sort of the entries by bucket, stable so that table order is kept within a bucket.
    std::array<uint16_t, Buckets + 1> count{};
    for (const NamedValue& e : entries_) ++count[bucketOf(e.name) + 1];
    for (size_t b = 0; b < Buckets; ++b) count[b + 1] += count[b];
    begin_ = count;
    for (size_t i = 0; i < N; ++i) order_[count[bucketOf(entries_[i].name)]++] = uint16_t(i);
  }

  // Calls visit(entry) for every entry whose name equals name without regard to ASCII case,
  // in table order.
  template <typename Visit> constexpr void forEachMatch(std::u16string_view name, Visit visit) const {
    const size_t b = bucketOf(name);
    for (size_t k = begin_[b]; k < begin_[b + 1]; ++k) {
      const NamedValue& e = entries_[order_[k]];
      if (equalsIgnoringAsciiCase(e.name, name)) visit(e);
    }
  }

  constexpr const std::array<NamedValue, N>& entries() const { return entries_; }

  // Number of entry pairs whose names are equal ignoring ASCII case (exactly equal when exact).
  constexpr size_t countPairs(bool exact) const {
    size_t pairs = 0;
    for (size_t i = 0; i < N; ++i)
      for (size_t j = i + 1; j < N; ++j)
        pairs +=
            exact ? entries_[i].name == entries_[j].name : equalsIgnoringAsciiCase(entries_[i].name, entries_[j].name);
    return pairs;
  }
  constexpr bool allNamed() const {
    for (const NamedValue& e : entries_)
      if (e.name.empty() || e.value == 0) return false;
    return true;
  }

private:
  std::array<NamedValue, N> entries_;
  std::array<uint16_t, Buckets + 1> begin_{};
  std::array<uint16_t, N> order_{};
};

} // namespace q7::xml
