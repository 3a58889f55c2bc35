#include "companions/monitor/system_clock.h"

#include <timeapi.h>

namespace q7::monitor {

namespace {

#ifndef CREATE_WAITABLE_TIMER_HIGH_RESOLUTION
constexpr DWORD CREATE_WAITABLE_TIMER_HIGH_RESOLUTION = 0x2; // Windows 10 1803 and later
#endif

} // namespace

SystemClock::SystemClock(HANDLE stopEvent, const std::atomic<bool>& stop)
    : stopEvent_(stopEvent), stop_(stop), timer_(*this) {
  QueryPerformanceFrequency(&frequency_);
}

int64_t SystemClock::nowMicros() {
  LARGE_INTEGER t;
  QueryPerformanceCounter(&t);
  return t.QuadPart / frequency_.QuadPart * 1000000 + t.QuadPart % frequency_.QuadPart * 1000000 / frequency_.QuadPart;
}

bool SystemClock::createHighResolutionTimer() {
  waitTimer_.reset(CreateWaitableTimerExW(nullptr, nullptr, CREATE_WAITABLE_TIMER_HIGH_RESOLUTION, TIMER_ALL_ACCESS));
  if (waitTimer_) return true;
  // Refused (older systems reject the flag): an ordinary timer, made finer while a macro plays.
  waitTimer_.reset(CreateWaitableTimerExW(nullptr, nullptr, 0, TIMER_ALL_ACCESS));
  return false;
}

bool SystemClock::waitFor(int64_t micros) {
  if (!waitTimer_) // no timer at all: the stop event's own timeout
    return WaitForSingleObject(stopEvent_, static_cast<DWORD>((micros + 999) / 1000)) != WAIT_OBJECT_0;
  LARGE_INTEGER due;
  due.QuadPart = -micros * 10; // relative, in units of 100 ns
  if (!SetWaitableTimer(waitTimer_.get(), &due, 0, nullptr, nullptr, FALSE))
    return WaitForSingleObject(stopEvent_, static_cast<DWORD>((micros + 999) / 1000)) != WAIT_OBJECT_0;
  const HANDLE handles[] = {stopEvent_, waitTimer_.get()};
  return WaitForMultipleObjects(2, handles, FALSE, INFINITE) != WAIT_OBJECT_0;
}

bool SystemClock::raiseResolution() { return timeBeginPeriod(1) == TIMERR_NOERROR; }

void SystemClock::restoreResolution() { timeEndPeriod(1); }

} // namespace q7::monitor
