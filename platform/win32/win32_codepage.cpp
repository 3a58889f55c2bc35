// Code page conversion through MultiByteToWideChar; code page 0 is CP_ACP, the system's ANSI page.
#include "platform/win32/windows_only.h"

#include <climits>

#include "platform/codepage.h"

namespace q7 {

size_t measureMultiByte(uint32_t codePage, const char* bytes, size_t size) {
  if (size == 0 || size > INT_MAX) return 0;
  const int n = MultiByteToWideChar(codePage, 0, bytes, int(size), nullptr, 0);
  return n > 0 ? size_t(n) : 0;
}

size_t convertMultiByte(uint32_t codePage, const char* bytes, size_t size, char16_t* out, size_t capacity) {
  if (size == 0 || size > INT_MAX || capacity == 0) return 0;
  const int room = capacity > INT_MAX ? INT_MAX : int(capacity);
  const int n = MultiByteToWideChar(codePage, 0, bytes, int(size), reinterpret_cast<wchar_t*>(out), room);
  return n > 0 ? size_t(n) : 0;
}

} // namespace q7
