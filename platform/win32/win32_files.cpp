#include "platform/win32/win32_files.h"

#include <algorithm>
#include <string>

#include "platform/win32/handles.h"

namespace q7::win32 {

namespace {
constexpr DWORD kChunk = 1 << 20; // ReadFile and WriteFile take a DWORD count
}

FileResult Win32Files::readPrefix(std::u16string_view path, void* buffer, size_t size, size_t* got) {
  *got = 0;
  const std::wstring p(path.begin(), path.end());
  UniqueFile f(
      CreateFileW(p.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!f) return FileResult::CannotOpen;
  auto* out = static_cast<BYTE*>(buffer);
  while (*got < size) {
    DWORD n = 0;
    const DWORD want = static_cast<DWORD>(std::min<size_t>(kChunk, size - *got));
    if (!ReadFile(f.get(), out + *got, want, &n, nullptr)) return FileResult::Failed;
    if (n == 0) break; // end of file
    *got += n;
  }
  return FileResult::Done;
}

FileResult Win32Files::replaceWith(std::u16string_view path, const void* data, size_t size) {
  const std::wstring target(path.begin(), path.end());
  const std::wstring temp = target + L".part";
  {
    UniqueFile f(CreateFileW(temp.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_ALWAYS,
                             FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!f) return FileResult::CannotOpen;
    const auto* in = static_cast<const BYTE*>(data);
    size_t done = 0;
    bool ok = true;
    while (ok && done < size) {
      DWORD n = 0;
      const DWORD want = static_cast<DWORD>(std::min<size_t>(kChunk, size - done));
      ok = WriteFile(f.get(), in + done, want, &n, nullptr) && n == want;
      done += n;
    }
    ok = ok && FlushFileBuffers(f.get());
    if (!ok) {
      f.reset();
      DeleteFileW(temp.c_str());
      return FileResult::Failed;
    }
  }
  // Only a complete file takes the target's place.
  if (!MoveFileExW(temp.c_str(), target.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
    DeleteFileW(temp.c_str());
    return FileResult::CannotOpen;
  }
  return FileResult::Done;
}

std::u16string Win32Files::shortPath(std::u16string_view path) {
  const std::wstring p(path.begin(), path.end());
  const DWORD needed = GetShortPathNameW(p.c_str(), nullptr, 0); // with the terminator
  if (needed == 0) return {};
  std::wstring out(needed, L'\0');
  const DWORD n = GetShortPathNameW(p.c_str(), out.data(), needed);
  if (n == 0 || n >= needed) return {};
  return std::u16string(out.begin(), out.begin() + n);
}

} // namespace q7::win32
