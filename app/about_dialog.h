// The About window: the product's title and maker, from the string file.
#pragma once

#include "platform/win32/windows_only.h"

namespace q7 {

class CAboutDlg {
public:
  explicit CAboutDlg(HINSTANCE instance) : instance_(instance) {}
  INT_PTR runModal(HWND owner);

private:
  static INT_PTR CALLBACK dialogProc(HWND wnd, UINT message, WPARAM wParam, LPARAM lParam);
  HINSTANCE instance_;
};

} // namespace q7
