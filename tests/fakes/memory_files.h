// Files held in memory, with failures to order.
#pragma once

#include <cstring>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "platform/files.h"

namespace q7::test {

class MemoryFiles final : public Files {
public:
  std::map<std::u16string, std::vector<uint8_t>> files;
  std::set<std::u16string> unopenable;                 // cannot be opened or created
  std::set<std::u16string> failing;                    // a read or write fails half-way
  std::map<std::u16string, std::u16string> shortForms; // a path's short form; none when missing

  FileResult readPrefix(std::u16string_view path, void* buffer, size_t size, size_t* got) override {
    *got = 0;
    const std::u16string p(path);
    auto f = files.find(p);
    if (f == files.end() || unopenable.count(p)) return FileResult::CannotOpen;
    const size_t n = std::min(size, f->second.size());
    if (n == 0) return FileResult::Done; // an empty file
    if (failing.count(p)) {
      std::memcpy(buffer, f->second.data(), n / 2); // some bytes land before the failure
      return FileResult::Failed;
    }
    std::memcpy(buffer, f->second.data(), n);
    *got = n;
    return FileResult::Done;
  }
  FileResult replaceWith(std::u16string_view path, const void* data, size_t size) override {
    const std::u16string p(path);
    if (unopenable.count(p)) return FileResult::CannotOpen;
    if (failing.count(p)) return FileResult::Failed; // the old file stays
    // memcpy rather than assign: under AddressSanitizer a memmove is a byte-by-byte loop, and a
    // profile is 7 MB.
    std::vector<uint8_t>& file = files[p];
    file.resize(size);
    if (size != 0) std::memcpy(file.data(), data, size);
    return FileResult::Done;
  }
  std::u16string shortPath(std::u16string_view path) override {
    auto f = shortForms.find(std::u16string(path));
    return f == shortForms.end() ? std::u16string() : f->second;
  }
};

} // namespace q7::test
