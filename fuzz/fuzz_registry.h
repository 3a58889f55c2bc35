// A registry for the fuzzer: the same semantics as the test fakes' in-memory registry as the store
// uses it (keys to open or create, values read into their slots, shorter ones zero-filled), kept in
// hash maps so that a save's 22,000 writes cost little beside the controller's own work.
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
    auto k = keys_.find(std::u16string(path));
    return k == keys_.end() ? nullptr : std::make_unique<Key>(k->second);
  }
  std::unique_ptr<RegistryKey> create(std::u16string_view path) override {
    return std::make_unique<Key>(keys_[std::u16string(path)]);
  }

private:
  using Values = std::unordered_map<std::u16string, std::vector<uint8_t>>;
  struct Key final : RegistryKey {
    explicit Key(Values& v) : values(v) {}
    bool read(std::u16string_view name, void* slot, size_t size) override {
      auto v = values.find(std::u16string(name));
      if (v == values.end()) return false;
      const size_t n = std::min(size, v->second.size());
      std::memcpy(slot, v->second.data(), n);
      std::memset(static_cast<uint8_t*>(slot) + n, 0, size - n);
      return true;
    }
    uint32_t write(std::u16string_view name, const void* data, size_t size) override {
      auto* b = static_cast<const uint8_t*>(data);
      values[std::u16string(name)].assign(b, b + size);
      return 0;
    }
    Values& values;
  };
  std::unordered_map<std::u16string, Values> keys_;
};

} // namespace q7::fuzz
