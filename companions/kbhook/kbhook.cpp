// KBHook.dll: a low-level keyboard hook that reports key transitions to one window as WM_HOOKKEY
// (wParam the virtual-key code, lParam 0x80 for a release) while its status is 1. Every key is
// passed on to other programs. Each change of the status is posted to our monitor's window, so
// that the monitor passes the physical keys through while they are recorded or captured.
#include "platform/win32/windows_only.h"

#include "monitor/messages.h"
#include "monitor/monitor_link.h"

namespace {

HMODULE g_module = nullptr;
HHOOK g_hook = nullptr;
HWND g_target = nullptr;
volatile LONG g_status = 0;

LRESULT CALLBACK keyboardProc(int code, WPARAM wParam, LPARAM lParam) {
  if (code == HC_ACTION && g_status == 1 && g_target) {
    const auto* k = reinterpret_cast<const KBDLLHOOKSTRUCT*>(lParam);
    PostMessageW(g_target, q7::msg::kHookKey, k->vkCode, (k->flags & LLKHF_UP) ? 0x80 : 0);
  }
  return CallNextHookEx(g_hook, code, wParam, lParam);
}

void setStatus(LONG status) {
  if (InterlockedExchange(&g_status, status) == status) return;
  if (HWND monitor = FindWindowW(nullptr, reinterpret_cast<const wchar_t*>(q7::kMonitorTitle)))
    PostMessageW(monitor, q7::msg::kHookStatus, static_cast<WPARAM>(status),
                 static_cast<LPARAM>(GetCurrentProcessId()));
}

} // namespace

extern "C" {

__declspec(dllexport) BOOL installhook(HWND window) {
  g_target = window;
  if (!g_hook) g_hook = SetWindowsHookExW(WH_KEYBOARD_LL, keyboardProc, g_module, 0);
  return g_hook != nullptr;
}

__declspec(dllexport) void removehook() {
  setStatus(0);
  if (g_hook) UnhookWindowsHookEx(g_hook);
  g_hook = nullptr;
  g_target = nullptr;
}

__declspec(dllexport) void SetHookStatus(int status) { setStatus(status == 1 ? 1 : 0); }

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
  if (reason == DLL_PROCESS_ATTACH) g_module = instance;
  if (reason == DLL_PROCESS_DETACH && g_hook) UnhookWindowsHookEx(g_hook);
  return TRUE;
}

} // extern "C"
