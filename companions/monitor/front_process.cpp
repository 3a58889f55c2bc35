#include "companions/monitor/front_process.h"

#include "platform/win32/handles.h"

namespace q7::monitor {

namespace {

bool tokenElevated(HANDLE process, bool& elevated) {
  HANDLE raw = nullptr;
  if (!OpenProcessToken(process, TOKEN_QUERY, &raw)) return false;
  win32::UniqueHandle token(raw);
  TOKEN_ELEVATION e{};
  DWORD n = 0;
  if (!GetTokenInformation(token.get(), TokenElevation, &e, sizeof e, &n)) return false;
  elevated = e.TokenIsElevated != 0;
  return true;
}

} // namespace

FrontProcess frontProcess(HWND wnd) {
  FrontProcess front;
  DWORD pid = 0;
  GetWindowThreadProcessId(wnd, &pid);
  if (pid == 0) return front;
  win32::UniqueHandle process(OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, pid));
  front.opened = static_cast<bool>(process);
  if (!process) {
    front.accessDenied = GetLastError() == ERROR_ACCESS_DENIED;
    return front;
  }
  front.tokenRead = tokenElevated(process.get(), front.elevated);
  return front;
}

bool weAreElevated() {
  static const bool self = [] {
    bool elevated = false;
    return tokenElevated(GetCurrentProcess(), elevated) && elevated;
  }();
  return self;
}

bool keysHiddenInFront() { return runsAboveUs(frontProcess(GetForegroundWindow()), weAreElevated()); }

} // namespace q7::monitor
