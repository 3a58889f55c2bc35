#include "companions/monitor/process_end_watch.h"

namespace q7::monitor {

ProcessEndWatch::ProcessEndWatch(DWORD processId, HWND window, UINT message)
    : processId_(processId), window_(window), message_(message), process_(OpenProcess(SYNCHRONIZE, FALSE, processId)) {
  if (!process_ || !RegisterWaitForSingleObject(&wait_, process_.get(), &ProcessEndWatch::ended, this, INFINITE,
                                                WT_EXECUTEONLYONCE)) {
    wait_ = nullptr;
    PostMessageW(window_, message_, processId_, 0);
  }
}

ProcessEndWatch::~ProcessEndWatch() {
  if (wait_) UnregisterWaitEx(wait_, INVALID_HANDLE_VALUE); // waits for a callback that runs now
}

void CALLBACK ProcessEndWatch::ended(void* self, BOOLEAN) {
  const auto* watch = static_cast<const ProcessEndWatch*>(self);
  PostMessageW(watch->window_, watch->message_, watch->processId_, 0);
}

} // namespace q7::monitor
