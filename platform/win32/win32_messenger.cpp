#include "platform/win32/win32_messenger.h"

#include <string>

namespace q7::win32 {

WindowHandle Win32Messenger::findWindow(std::u16string_view title) {
  const std::wstring t(title.begin(), title.end());
  return reinterpret_cast<WindowHandle>(FindWindowW(nullptr, t.c_str()));
}

bool Win32Messenger::post(WindowHandle window, uint32_t message, uintptr_t wParam, intptr_t lParam) {
  return PostMessageW(reinterpret_cast<HWND>(window), message, wParam, lParam) != FALSE;
}

} // namespace q7::win32
