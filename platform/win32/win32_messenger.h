// Posting to top-level windows found by title.
#pragma once

#include "platform/win32/windows_only.h"

#include "platform/window_messenger.h"

namespace q7::win32 {

class Win32Messenger final : public WindowMessenger {
public:
  WindowHandle findWindow(std::u16string_view title) override;
  bool post(WindowHandle window, uint32_t message, uintptr_t wParam, intptr_t lParam) override;
};

} // namespace q7::win32
