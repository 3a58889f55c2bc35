// The one subclass procedure of the skinned controls: recovers the object from the subclass
// reference, checks that it belongs to this window, detaches it when the window goes and forwards
// every other message to its onMessage() member. No exception crosses into the system's code.
#pragma once

#include "platform/win32/windows_only.h"

#include <commctrl.h>

namespace q7 {

// T needs `HWND wnd_`, `void detach()` and `LRESULT onMessage(UINT, WPARAM, LPARAM)`, reachable
// from here (declare `template <typename U> friend LRESULT CALLBACK subclassProcOf(...)`).
template <typename T>
LRESULT CALLBACK subclassProcOf(HWND wnd, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR, DWORD_PTR ref) {
  auto* self = reinterpret_cast<T*>(ref);
  if (!self || self->wnd_ != wnd) return DefSubclassProc(wnd, message, wParam, lParam);
  if (message == WM_NCDESTROY) {
    self->detach();
    return DefSubclassProc(wnd, message, wParam, lParam);
  }
  try {
    return self->onMessage(message, wParam, lParam);
  } catch (...) {
    return 0;
  }
}

} // namespace q7
