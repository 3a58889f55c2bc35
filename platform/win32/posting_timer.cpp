#include "platform/win32/posting_timer.h"

namespace q7::win32 {

namespace {
#ifndef CREATE_WAITABLE_TIMER_HIGH_RESOLUTION
constexpr DWORD CREATE_WAITABLE_TIMER_HIGH_RESOLUTION = 0x00000002; // Windows 10 1803 and later
#endif
} // namespace

PostingTimer::PostingTimer(HWND target, UINT message) : target_(target), message_(message) {
  timer_.reset(CreateWaitableTimerExW(nullptr, nullptr, CREATE_WAITABLE_TIMER_HIGH_RESOLUTION, TIMER_ALL_ACCESS));
  if (!timer_) timer_.reset(CreateWaitableTimerW(nullptr, FALSE, nullptr)); // an older system
  quit_.reset(CreateEventW(nullptr, TRUE, FALSE, nullptr));
  if (!timer_ || !quit_) return;
  try {
    thread_ = std::thread([this] { run(); });
  } catch (...) {
    // No thread: running() tells.
  }
}

PostingTimer::~PostingTimer() {
  if (thread_.joinable()) {
    SetEvent(quit_.get());
    thread_.join();
  }
}

bool PostingTimer::arm(uint32_t inMs) {
  if (!running()) return false;
  LARGE_INTEGER due{};
  due.QuadPart = -static_cast<LONGLONG>(inMs) * 10000; // relative, in 100 ns
  return SetWaitableTimer(timer_.get(), &due, 0, nullptr, nullptr, FALSE) != FALSE;
}

void PostingTimer::cancel() {
  if (timer_) CancelWaitableTimer(timer_.get());
}

void PostingTimer::run() {
  // It only waits and posts: above the other threads, so that a busy machine delays the post least.
  SetThreadPriority(GetCurrentThread(), THREAD_PRIORITY_HIGHEST);
  const HANDLE waits[] = {quit_.get(), timer_.get()};
  for (;;) {
    const DWORD woke = WaitForMultipleObjects(2, waits, FALSE, INFINITE);
    if (woke != WAIT_OBJECT_0 + 1) return; // quit, or the wait failed
    PostMessageW(target_, message_, 0, 0);
  }
}

} // namespace q7::win32
