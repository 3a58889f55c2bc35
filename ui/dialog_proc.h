// The one dialog procedure of every dialog class: recovers the object from the WM_INITDIALOG
// parameter, checks that it belongs to this window and forwards to its handle() member. No
// exception crosses into the system's code.
#pragma once

#include "platform/win32/windows_only.h"

namespace q7 {

// T needs members `HWND wnd_` and `INT_PTR handle(UINT, WPARAM, LPARAM)`, reachable from here
// (declare `friend INT_PTR CALLBACK dialogProcOf<T>(HWND, UINT, WPARAM, LPARAM);`).
template <typename T> INT_PTR CALLBACK dialogProcOf(HWND wnd, UINT message, WPARAM wParam, LPARAM lParam) {
  T* self = nullptr;
  if (message == WM_INITDIALOG) {
    self = reinterpret_cast<T*>(lParam);
    if (self) self->wnd_ = wnd;
    SetWindowLongPtrW(wnd, DWLP_USER, lParam);
  } else {
    self = reinterpret_cast<T*>(GetWindowLongPtrW(wnd, DWLP_USER));
  }
  if (!self || self->wnd_ != wnd) return FALSE;
  try {
    return self->handle(message, wParam, lParam);
  } catch (...) {
    return FALSE;
  }
}

// An empty dialog template for DialogBoxIndirectParamW: the window is sized, shaped and filled in
// code. DLGTEMPLATE is packed to 2 bytes; a template must start on a DWORD boundary.
struct alignas(4) EmptyDialogTemplate {
  DLGTEMPLATE header;
  WORD menu = 0, windowClass = 0, title = 0;
};

// True for Enter or Escape going to the dialog or one of its controls: the keys that the dialog
// manager would turn into OK and Cancel, which the program's dialogs keep for themselves.
inline bool isEnterOrEscapeFor(HWND dialog, const MSG& m, bool alsoKeyUp) {
  const bool key = m.message == WM_KEYDOWN || (alsoKeyUp && m.message == WM_KEYUP);
  return dialog && key && (m.wParam == VK_RETURN || m.wParam == VK_ESCAPE) &&
         (m.hwnd == dialog || IsChild(dialog, m.hwnd));
}

} // namespace q7
