// An in-memory registry with the semantics of the real one as the store uses it, and a log of
// what was done to it.
#pragma once

#include <algorithm>
#include <cstring>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "platform/registry.h"

namespace q7::test {

class MemoryRegistry final : public Registry {
public:
  using Values = std::map<std::u16string, std::vector<uint8_t>, std::less<>>;

  std::map<std::u16string, Values> keys;                   // path -> values
  std::set<std::u16string> unopenable;                     // paths that can be neither opened nor created
  std::set<std::u16string, std::less<>> unwritable;        // value names whose writes fail (access denied)
  size_t writeCount = 0;                                   // values written
  std::u16string firstWrite;                               // "path|name" of the first value written
  std::map<std::u16string, int, std::less<>> writesByName; // how often each value name was written
  std::vector<std::u16string> created;                     // paths created, in order

  std::unique_ptr<RegistryKey> open(std::u16string_view path) override {
    const std::u16string p(path);
    if (unopenable.count(p) || !keys.count(p)) {
      lastFailure = unopenable.count(p) ? kAccessDenied : kNotFound;
      return nullptr;
    }
    return std::make_unique<Key>(*this, p);
  }
  std::unique_ptr<RegistryKey> create(std::u16string_view path) override {
    const std::u16string p(path);
    if (unopenable.count(p)) {
      lastFailure = kAccessDenied;
      return nullptr;
    }
    if (!keys.count(p)) {
      keys[p];
      created.push_back(p);
    }
    return std::make_unique<Key>(*this, p);
  }

  uint32_t lastError() const override { return lastFailure; }

  static constexpr uint32_t kNotFound = 2;     // ERROR_FILE_NOT_FOUND
  static constexpr uint32_t kAccessDenied = 5; // ERROR_ACCESS_DENIED
  uint32_t lastFailure = 0;

  void clearLog() {
    writeCount = 0;
    firstWrite.clear();
    writesByName.clear();
  }
  bool wrote(std::u16string_view name) const { return writesByName.count(name) != 0; }

  const std::vector<uint8_t>* value(const std::u16string& path, std::u16string_view name) const {
    auto k = keys.find(path);
    if (k == keys.end()) return nullptr;
    auto v = k->second.find(std::u16string_view(name));
    return v == k->second.end() ? nullptr : &v->second;
  }

private:
  struct Key final : RegistryKey {
    Key(MemoryRegistry& r, std::u16string p) : reg(r), path(std::move(p)), values(reg.keys[path]) {}
    bool read(std::u16string_view name, void* slot, size_t size) override {
      auto found = values.find(name);
      if (found == values.end()) return false;
      const std::vector<uint8_t>* v = &found->second;
      const size_t n = std::min(size, v->size());
      std::memcpy(slot, v->data(), n);
      std::memset(static_cast<uint8_t*>(slot) + n, 0, size - n);
      return true;
    }
    uint32_t write(std::u16string_view name, const void* data, size_t size) override {
      if (reg.unwritable.count(name)) return kAccessDenied;
      auto* b = static_cast<const uint8_t*>(data);
      // Overwrite in place: the same value is rewritten by every save.
      auto v = values.find(name);
      if (v == values.end()) v = values.emplace(std::u16string(name), std::vector<uint8_t>()).first;
      v->second.assign(b, b + size);
      if (reg.writeCount++ == 0) reg.firstWrite = path + u"|" + std::u16string(name);
      auto n = reg.writesByName.find(name);
      if (n == reg.writesByName.end()) n = reg.writesByName.emplace(std::u16string(name), 0).first;
      ++n->second;
      return 0;
    }
    uint32_t remove(std::u16string_view name) override {
      if (reg.unwritable.count(name)) return kAccessDenied;
      auto v = values.find(name);
      if (v != values.end()) values.erase(v);
      return 0;
    }
    MemoryRegistry& reg;
    std::u16string path;
    Values& values; // map nodes stay where they are while the key is open
  };
};

} // namespace q7::test
