// Files through CreateFileW and ReadFile.
#include "platform/win32/windows_only.h"

#include <string>

#include "platform/file_bytes.h"

namespace q7 {

ReadOnlyFile::~ReadOnlyFile() {
  if (handle_ != -1) CloseHandle(reinterpret_cast<HANDLE>(handle_));
}

bool ReadOnlyFile::open(std::u16string_view path) {
  if (handle_ != -1 || path.empty() || path.find(u'\0') != std::u16string_view::npos) return false;
  const std::wstring name(path.begin(), path.end());
  HANDLE h = CreateFileW(name.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                         FILE_ATTRIBUTE_NORMAL | FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
  if (h == INVALID_HANDLE_VALUE) return false;
  LARGE_INTEGER size{};
  if (!GetFileSizeEx(h, &size)) {
    CloseHandle(h);
    return false;
  }
  handle_ = reinterpret_cast<intptr_t>(h);
  size_ = uint64_t(size.QuadPart);
  return true;
}

bool ReadOnlyFile::read(void* into, size_t count) {
  if (handle_ == -1) return false;
  auto* p = static_cast<char*>(into);
  while (count > 0) {
    const DWORD chunk = count > 0x40000000 ? 0x40000000 : DWORD(count);
    DWORD got = 0;
    if (!ReadFile(reinterpret_cast<HANDLE>(handle_), p, chunk, &got, nullptr) || got == 0) return false;
    p += got;
    count -= got;
  }
  return true;
}

} // namespace q7
