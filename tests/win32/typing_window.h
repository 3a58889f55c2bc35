// A window of a monitor test with an edit field that has the keyboard (and the X) focus, so that
// physical keys typed through the X server with xdotool reach it through the monitor's hook.
#pragma once

#include <gtest/gtest.h>

#include "platform/win32/windows_only.h"

#include <optional>
#include <string>
#include <vector>

#include "../e2e/linux_side.h"

namespace q7 {

struct Arrival {
  UINT message; // WM_KEYDOWN or WM_KEYUP
  WPARAM vk;
  LONG time; // the input's own time stamp (ms), unaffected by when this thread gets round to it
};

// A top-level window with an edit field that has the keyboard focus. Key messages of the edit
// are timed as they arrive; messages of WM_USER and above posted to the window are kept.
class TypingWindow {
public:
  // Shown and given the focus at once unless front is false (then focus() does it).
  explicit TypingWindow(bool front = true) {
    WNDCLASSW wc{};
    wc.lpfnWndProc = DefWindowProcW;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = L"Q7TypingWindow";
    RegisterClassW(&wc);
    wnd = CreateWindowExW(0, wc.lpszClassName, L"Typing", WS_OVERLAPPEDWINDOW, 100, 100, 400, 200, nullptr, nullptr,
                          wc.hInstance, nullptr);
    edit = CreateWindowExW(0, L"EDIT", L"", WS_CHILD | WS_VISIBLE | WS_BORDER, 10, 10, 300, 30, wnd, nullptr,
                           wc.hInstance, nullptr);
    s_self = this;
    editProc_ = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrW(edit, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&TypingWindow::editProc)));
    if (front) focus();
  }
  ~TypingWindow() {
    DestroyWindow(wnd);
    s_self = nullptr;
  }
  void focus() {
    ShowWindow(wnd, SW_SHOW);
    SetForegroundWindow(wnd);
    SetFocus(edit);
    pump(100);
  }
  void pump(DWORD ms) {
    const ULONGLONG end = GetTickCount64() + ms;
    for (;;) {
      MSG m;
      while (PeekMessageW(&m, nullptr, 0, 0, PM_REMOVE)) {
        if (m.hwnd == wnd && m.message >= WM_USER) posted.push_back(m);
        TranslateMessage(&m);
        DispatchMessageW(&m);
      }
      const ULONGLONG now = GetTickCount64();
      if (now >= end) return;
      MsgWaitForMultipleObjects(0, nullptr, FALSE, static_cast<DWORD>(end - now), QS_ALLINPUT);
    }
  }
  // Waits (pumping) until a message of at least WM_USER arrives at the window (with wParam, when given).
  bool waitPosted(UINT message, DWORD ms) { return waitPosted(message, std::nullopt, ms); }
  bool waitPosted(UINT message, std::optional<WPARAM> wParam, DWORD ms) {
    const ULONGLONG end = GetTickCount64() + ms;
    while (GetTickCount64() < end) {
      for (const MSG& m : posted)
        if (m.message == message && (!wParam || m.wParam == *wParam)) return true;
      pump(10);
    }
    return false;
  }
  std::wstring text() const {
    wchar_t buf[256] = {};
    GetWindowTextW(edit, buf, 256);
    return buf;
  }
  // Types on the keyboard, as a user does: xdotool's arguments, such as L"key a s" or
  // L"keydown a". This window pumps its messages while xdotool runs.
  void xdotool(const std::wstring& args) {
    EXPECT_TRUE(e2e::xdotool(args, [this](DWORD ms) { pump(ms); }))
        << "xdotool " << std::string(args.begin(), args.end());
    pump(200);
  }
  // Presses and releases each key in turn, with a pause between keys.
  void type(const std::wstring& keys) { xdotool(L"key --delay 40 " + keys); }
  // A key as another program sends it (SendInput).
  static void send(WORD vk, bool release) {
    INPUT in{};
    in.type = INPUT_KEYBOARD;
    in.ki.wVk = vk;
    in.ki.wScan = static_cast<WORD>(MapVirtualKeyW(vk, MAPVK_VK_TO_VSC));
    in.ki.dwFlags = release ? KEYEVENTF_KEYUP : 0;
    SendInput(1, &in, sizeof in);
  }

  HWND wnd = nullptr, edit = nullptr;
  std::vector<Arrival> arrivals;
  std::vector<MSG> posted;

private:
  static LRESULT CALLBACK editProc(HWND w, UINT m, WPARAM wp, LPARAM lp) {
    if (s_self && (m == WM_KEYDOWN || m == WM_KEYUP)) s_self->arrivals.push_back({m, wp, GetMessageTime()});
    return CallWindowProcW(s_self->editProc_, w, m, wp, lp);
  }
  static inline TypingWindow* s_self = nullptr;
  WNDPROC editProc_ = nullptr;
};

} // namespace q7
