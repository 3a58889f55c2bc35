// The macro player's real clock: the performance counter, and waits on a high-resolution
// waitable timer where the system grants one (else an ordinary one with the timer resolution
// raised while a macro plays). A wait also ends at once when the player's stop event is set.
#pragma once

#include "platform/win32/windows_only.h"

#include <atomic>

#include "monitor/macro_schedule.h"
#include "monitor/pause_timer.h"
#include "platform/win32/handles.h"

namespace q7::monitor {

class SystemClock final : public MacroClock, private PauseTimerSystem {
public:
  SystemClock(HANDLE stopEvent, const std::atomic<bool>& stop);

  int64_t nowMicros() override;
  bool waitUntil(int64_t micros) override { return timer_.waitUntil(micros); }
  PauseTimer& pauseTimer() { return timer_; }

private:
  bool createHighResolutionTimer() override;
  bool waitFor(int64_t micros) override;
  void yield() override { Sleep(0); }
  bool stopRequested() override { return stop_.load(); }
  bool raiseResolution() override;
  void restoreResolution() override;

  HANDLE stopEvent_;
  const std::atomic<bool>& stop_;
  LARGE_INTEGER frequency_{};
  win32::UniqueHandle waitTimer_;
  PauseTimer timer_; // last: it asks for the timer as it is made
};

} // namespace q7::monitor
