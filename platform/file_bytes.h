// Reading a whole file as bytes: opened once, its size taken, then read in as few calls as possible.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

namespace q7 {

class ReadOnlyFile {
public:
  ReadOnlyFile() = default;
  ~ReadOnlyFile();
  ReadOnlyFile(const ReadOnlyFile&) = delete;
  ReadOnlyFile& operator=(const ReadOnlyFile&) = delete;

  // Opens path for binary reading (shared with writers); false when it cannot be opened.
  [[nodiscard]] bool open(std::u16string_view path);
  // Size in bytes of the opened file.
  [[nodiscard]] uint64_t size() const { return size_; }
  // Reads exactly count bytes from the current position; false on an error or a short read.
  [[nodiscard]] bool read(void* into, size_t count);

private:
  intptr_t handle_ = -1;
  uint64_t size_ = 0;
};

} // namespace q7
