// Whole-file reads and writes of a profile file, as the transfer needs them.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace q7 {

enum class FileResult {
  Done,
  CannotOpen, // the file could not be opened or created: nothing was read or changed
  Failed,     // a read or write failed during the transfer
};

class Files {
public:
  virtual ~Files() = default;
  // Reads up to size bytes from the start of an existing file into buffer; *got receives the count.
  virtual FileResult readPrefix(std::u16string_view path, void* buffer, size_t size, size_t* got) = 0;
  // Writes size bytes as the whole file. The old file at path stays as it was unless every byte
  // was written and flushed (a temporary file beside it replaces it at the end).
  virtual FileResult replaceWith(std::u16string_view path, const void* data, size_t size) = 0;
  // The short (8.3) form of an existing file's path, as the system gives it; empty when it has none
  // (the file is gone, or its volume keeps no short names).
  virtual std::u16string shortPath(std::u16string_view path) = 0;
};

} // namespace q7
