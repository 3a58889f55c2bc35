// The floor of the monitor benchmark: the least a keyboard monitor can be. A hidden window titled
// "BareMonitor", one low-level keyboard hook that only passes each key on, and a tray icon.
// It ends on WM_CLOSE.
#include "platform/win32/windows_only.h"

#include <shellapi.h>

namespace {

LRESULT CALLBACK passOn(int code, WPARAM wParam, LPARAM lParam) {
  return CallNextHookEx(nullptr, code, wParam, lParam);
}

LRESULT CALLBACK proc(HWND wnd, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_CLOSE) {
    DestroyWindow(wnd);
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
  wc.lpszClassName = L"BareMonitorClass";
  RegisterClassW(&wc);
  HWND wnd = CreateWindowExW(WS_EX_TOOLWINDOW, wc.lpszClassName, L"BareMonitor", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr,
                             instance, nullptr);
  if (!wnd) return 1;
  HHOOK hook = SetWindowsHookExW(WH_KEYBOARD_LL, passOn, instance, 0);
  if (!hook) return 1;
  NOTIFYICONDATAW icon{};
  icon.cbSize = sizeof icon;
  icon.hWnd = wnd;
  icon.uID = 1;
  icon.uFlags = NIF_ICON | NIF_TIP | NIF_MESSAGE;
  icon.uCallbackMessage = WM_APP + 20;
  icon.hIcon = LoadIconW(nullptr, IDI_APPLICATION);
  lstrcpyW(icon.szTip, L"Bare monitor");
  const bool added = Shell_NotifyIconW(NIM_ADD, &icon) != FALSE;
  MSG m;
  while (GetMessageW(&m, nullptr, 0, 0) > 0) DispatchMessageW(&m);
  if (added) Shell_NotifyIconW(NIM_DELETE, &icon);
  UnhookWindowsHookEx(hook);
  return 0;
}
