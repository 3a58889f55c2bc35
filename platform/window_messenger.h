// Window messages to another process's top-level window, found by its title.
#pragma once

#include <cstdint>
#include <string_view>

namespace q7 {

using WindowHandle = uintptr_t; // 0 = no window

class WindowMessenger {
public:
  virtual ~WindowMessenger() = default;
  virtual WindowHandle findWindow(std::u16string_view title) = 0;
  virtual bool post(WindowHandle window, uint32_t message, uintptr_t wParam, intptr_t lParam) = 0;
};

} // namespace q7
