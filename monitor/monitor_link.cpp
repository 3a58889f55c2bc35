#include "monitor/monitor_link.h"

#include "monitor/messages.h"

namespace q7 {

WindowHandle MonitorLink::findMonitor() { return messenger_.findWindow(kMonitorTitle); }

bool MonitorLink::postToMonitor(uint32_t message, uintptr_t wParam, intptr_t lParam) {
  const WindowHandle monitor = findMonitor();
  if (monitor == 0) return false;
  messenger_.post(monitor, message, wParam, lParam);
  return true;
}

void MonitorLink::announceWindow(WindowHandle mainWindow) { postToMonitor(msg::kAnnounceWindow, mainWindow, 0); }

void MonitorLink::announceGone() { postToMonitor(msg::kAnnounceWindow, 0, 0); }

void MonitorLink::notifyProfile(int profile) { postToMonitor(msg::kProfileShown, static_cast<uintptr_t>(profile), 0); }

bool MonitorLink::notifySaved(int profile) { return postToMonitor(msg::kSettingsSaved, 1, profile); }

} // namespace q7
