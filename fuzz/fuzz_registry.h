// A registry for the fuzzer: the same semantics as the test fakes' in-memory registry as the store
// uses it (keys to open or create, values read into their slots, shorter ones zero-filled), made
// cheap for a save's 22,000 writes, which come in the same order every time.
#pragma once

#include <algorithm>
#include <cstring>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

#include "platform/registry.h"

namespace q7::fuzz {

class FuzzRegistry final : public Registry {
public:
  std::unique_ptr<RegistryKey> open(std::u16string_view path) override {
    auto k = keys_.find(path);
    return k == keys_.end() ? nullptr : std::make_unique<Key>(k->second);
  }
  std::unique_ptr<RegistryKey> create(std::u16string_view path) override {
    auto k = keys_.find(path);
    if (k == keys_.end()) k = keys_.emplace(std::u16string(path), Values()).first;
    return std::make_unique<Key>(k->second);
  }

private:
  // Looked up by the caller's view of a name, without building a string.
  struct NameHash {
    using is_transparent = void;
    size_t operator()(std::u16string_view s) const { return std::hash<std::u16string_view>{}(s); }
  };
  template <typename T> using ByName = std::unordered_map<std::u16string, T, NameHash, std::equal_to<>>;

  struct Value {
    std::u16string name;
    std::vector<uint8_t> bytes;
  };
  // A key's values in the order first written, with an index by name. A save writes them in that
  // same order again, so the entry after the last one used is tried before the index.
  struct Values {
    std::vector<Value> list;
    ByName<size_t> index;
    size_t next = 0;

    static bool same(std::u16string_view a, std::u16string_view b) {
      return a.size() == b.size() && std::memcmp(a.data(), b.data(), a.size() * sizeof(char16_t)) == 0;
    }
    Value* find(std::u16string_view name) {
      if (next < list.size() && same(list[next].name, name)) return &list[next++];
      auto i = index.find(name);
      if (i == index.end()) return nullptr;
      next = i->second + 1;
      return &list[i->second];
    }
    Value& findOrAdd(std::u16string_view name) {
      if (Value* v = find(name)) return *v;
      index.emplace(std::u16string(name), list.size());
      list.push_back({std::u16string(name), {}});
      next = list.size();
      return list.back();
    }
  };

  struct Key final : RegistryKey {
    explicit Key(Values& v) : values(v) {}
    bool read(std::u16string_view name, void* slot, size_t size) override {
      const Value* v = values.find(name);
      if (!v) return false;
      const size_t n = std::min(size, v->bytes.size());
      if (n != 0) std::memcpy(slot, v->bytes.data(), n);
      std::memset(static_cast<uint8_t*>(slot) + n, 0, size - n);
      return true;
    }
    uint32_t write(std::u16string_view name, const void* data, size_t size) override {
      std::vector<uint8_t>& bytes = values.findOrAdd(name).bytes;
      // memcpy rather than assign: under AddressSanitizer a memmove is a byte-by-byte loop.
      bytes.resize(size);
      if (size != 0) std::memcpy(bytes.data(), data, size);
      return 0;
    }
    Values& values;
  };
  ByName<Values> keys_;
};

} // namespace q7::fuzz
