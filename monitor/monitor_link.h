// The link to the monitor process: its window is looked up by title before every message, and
// nothing is sent when it is missing.
#pragma once

#include <cstdint>

#include "platform/window_messenger.h"

namespace q7 {

inline constexpr char16_t kMonitorTitle[] = u"Q7PrismoMon";

class MonitorLink {
public:
  explicit MonitorLink(WindowMessenger& messenger) : messenger_(messenger) {}

  WindowHandle findMonitor();
  void announceWindow(WindowHandle mainWindow); // 1538 with the handle
  void announceGone();                          // 1538 with 0
  void notifyProfile(int profile);              // 1542
  bool notifySaved(int profile);                // 2026 with wParam 1; false when no monitor was found

private:
  bool postToMonitor(uint32_t message, uintptr_t wParam, intptr_t lParam);
  WindowMessenger& messenger_;
};

} // namespace q7
