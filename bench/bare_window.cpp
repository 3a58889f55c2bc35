// The floor for the program's start: a bare Win32 window that paints itself once and shows.
#include "platform/win32/windows_only.h"

namespace {
LRESULT CALLBACK proc(HWND wnd, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_PAINT) {
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(wnd, &ps);
    HBRUSH b = CreateSolidBrush(RGB(0x12, 0x34, 0x56));
    FillRect(dc, &ps.rcPaint, b);
    DeleteObject(b);
    EndPaint(wnd, &ps);
    return 0;
  }
  if (message == WM_DESTROY) {
    PostQuitMessage(0);
    return 0;
  }
  return DefWindowProcW(wnd, message, wParam, lParam);
}
} // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, LPWSTR, int) {
  WNDCLASSW wc{};
  wc.lpfnWndProc = proc;
  wc.hInstance = instance;
  wc.lpszClassName = L"BareWindow";
  RegisterClassW(&wc);
  HWND wnd = CreateWindowExW(0, L"BareWindow", L"Bare", WS_POPUP | WS_VISIBLE, 0, 0, 1000, 720, nullptr, nullptr,
                             instance, nullptr);
  UpdateWindow(wnd);
  MSG m;
  while (GetMessageW(&m, nullptr, 0, 0) > 0) DispatchMessageW(&m);
  return 0;
}
