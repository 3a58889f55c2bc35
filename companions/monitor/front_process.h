// What the monitor learns of the process behind a window: whether it runs elevated, and so
// whether the system hides its keys from our hook.
#pragma once

#include "platform/win32/windows_only.h"

#include "monitor/elevation_notice.h"

namespace q7::monitor {

FrontProcess frontProcess(HWND wnd);
bool weAreElevated();
// The window in front belongs to a process above ours: our hook sees none of its keys.
bool keysHiddenInFront();

} // namespace q7::monitor
