// The floors for the program's start: a bare Win32 window that paints itself once and shows, and
// (with a count as its argument) the same window with that many owner-drawn child buttons, each
// painted once, as the main window has for its keys and controls.
#include "platform/win32/windows_only.h"

#include <algorithm>
#include <cstdlib>

namespace {

constexpr int kWidth = 1000, kHeight = 720;

LRESULT CALLBACK proc(HWND wnd, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
  case WM_PAINT: {
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(wnd, &ps);
    HBRUSH b = CreateSolidBrush(RGB(0x12, 0x34, 0x56));
    FillRect(dc, &ps.rcPaint, b);
    DeleteObject(b);
    EndPaint(wnd, &ps);
    return 0;
  }
  case WM_DRAWITEM: {
    const auto* item = reinterpret_cast<const DRAWITEMSTRUCT*>(lParam);
    HBRUSH b = CreateSolidBrush(RGB(0x40, 0x48, 0x58)); // the benchmark waits for this colour
    FillRect(item->hDC, &item->rcItem, b);
    DeleteObject(b);
    return TRUE;
  }
  case WM_DESTROY:
    PostQuitMessage(0);
    return 0;
  default:
    return DefWindowProcW(wnd, message, wParam, lParam);
  }
}

} // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, LPWSTR args, int) {
  const int children = args ? std::max(0, _wtoi(args)) : 0;
  WNDCLASSW wc{};
  wc.lpfnWndProc = proc;
  wc.hInstance = instance;
  wc.lpszClassName = L"BareWindow";
  RegisterClassW(&wc);
  HWND wnd =
      CreateWindowExW(0, L"BareWindow", L"Bare", WS_POPUP, 0, 0, kWidth, kHeight, nullptr, nullptr, instance, nullptr);
  // Children in rows of 20 keys' size over the window, as the keyboard lies over the main window.
  for (int i = 0; i < children; ++i) {
    const int x = 20 + (i % 20) * 48, y = 20 + (i / 20) * 48;
    CreateWindowExW(0, L"BUTTON", L"", WS_CHILD | WS_VISIBLE | BS_OWNERDRAW, x, y, 44, 44, wnd, nullptr, instance,
                    nullptr);
  }
  ShowWindow(wnd, SW_SHOW);
  UpdateWindow(wnd);
  MSG m;
  while (GetMessageW(&m, nullptr, 0, 0) > 0) DispatchMessageW(&m);
  return 0;
}
