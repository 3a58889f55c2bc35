// Profile-file reads and writes on the real file system.
#pragma once

#include "platform/win32/windows_only.h"

#include "platform/files.h"

namespace q7::win32 {

class Win32Files final : public Files {
public:
  FileResult readPrefix(std::u16string_view path, void* buffer, size_t size, size_t* got) override;
  FileResult replaceWith(std::u16string_view path, const void* data, size_t size) override;
  std::u16string shortPath(std::u16string_view path) override;
};

} // namespace q7::win32
