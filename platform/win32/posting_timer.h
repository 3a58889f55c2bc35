// PostingTimer: a thread of its own waits on a waitable timer (high resolution where the system has
// it) and posts a message to a window when the timer is due. A window in a modal loop learns of a
// due time this way without polling, and more finely than SetTimer's steps of 10 ms and more.
#pragma once

#include "platform/win32/windows_only.h"

#include <cstdint>
#include <thread>

#include "platform/win32/handles.h"

namespace q7::win32 {

class PostingTimer {
public:
  // Posts message (wParam 0, lParam 0) to target when armed and due.
  PostingTimer(HWND target, UINT message);
  PostingTimer(const PostingTimer&) = delete;
  PostingTimer& operator=(const PostingTimer&) = delete;
  ~PostingTimer(); // the thread ends before the timer goes

  // False when the system gave no timer or thread: arm() then posts nothing.
  bool running() const { return thread_.joinable(); }
  // One post, inMs milliseconds from now; replaces an earlier arming that has not fired.
  bool arm(uint32_t inMs);
  void cancel();

private:
  void run();

  HWND target_;
  UINT message_;
  UniqueHandle timer_, quit_;
  std::thread thread_;
};

} // namespace q7::win32
