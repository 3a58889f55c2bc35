// A window messenger that knows a fixed set of windows and records what is posted.
#pragma once

#include <functional>
#include <map>
#include <string>
#include <vector>

#include "platform/window_messenger.h"

namespace q7::test {

struct Posted {
  WindowHandle window;
  uint32_t message;
  uintptr_t wParam;
  intptr_t lParam;
  bool operator==(const Posted&) const = default;
};

class RecordingMessenger final : public WindowMessenger {
public:
  std::map<std::u16string, WindowHandle> windows;
  std::vector<Posted> posted;
  int lookups = 0;
  std::function<void()> onPost; // called as each message is posted

  WindowHandle findWindow(std::u16string_view title) override {
    ++lookups;
    auto w = windows.find(std::u16string(title));
    return w == windows.end() ? 0 : w->second;
  }
  bool post(WindowHandle window, uint32_t message, uintptr_t wParam, intptr_t lParam) override {
    posted.push_back({window, message, wParam, lParam});
    if (onPost) onPost();
    return true;
  }
};

} // namespace q7::test
