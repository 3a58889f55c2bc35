// Tells a window when a process ends, without polling: the system's wait thread waits on the
// process handle and posts one message when it is signalled.
#pragma once

#include "platform/win32/windows_only.h"

#include "platform/win32/handles.h"

namespace q7::monitor {

class ProcessEndWatch {
public:
  // Posts message (wParam = processId) to window once the process has ended; at once when it
  // cannot be opened, which means it is gone already.
  ProcessEndWatch(DWORD processId, HWND window, UINT message);
  ~ProcessEndWatch(); // no message after this returns
  ProcessEndWatch(const ProcessEndWatch&) = delete;
  ProcessEndWatch& operator=(const ProcessEndWatch&) = delete;

  DWORD processId() const { return processId_; }

private:
  static void CALLBACK ended(void* self, BOOLEAN timedOut);

  DWORD processId_;
  HWND window_;
  UINT message_;
  win32::UniqueHandle process_;
  HANDLE wait_ = nullptr;
};

} // namespace q7::monitor
