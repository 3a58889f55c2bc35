// HID.exe: our monitor. It owns the hidden window "Q7PrismoMon" that the configuration program
// talks to, logs what it receives, answers every "settings saved" with the acknowledgement, and
// relays messages that a user or a test hands it to the main window.
//
//   HID.exe [--log FILE] [--ack-delay MS] [--no-ack]   run the monitor (one per logon)
//   HID.exe --post MSG WPARAM LPARAM                    have the running monitor post to the main window
//   HID.exe --quit                                      end the running monitor
// The environment variables Q7MON_LOG, Q7MON_ACK_DELAY and Q7MON_NO_ACK do the same as the options,
// so that a monitor started by the program without arguments can be steered too.
#include "platform/win32/windows_only.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <cwchar>
#include <string>

#include "monitor/messages.h"
#include "monitor/monitor_link.h"
#include "platform/win32/handles.h"

namespace {

using namespace q7;

constexpr UINT_PTR kAckTimer = 1;

struct Options {
  std::wstring logPath;
  int ackDelayMs = 0;
  bool noAck = false;
  bool post = false;
  bool quit = false;
  long long postValues[3] = {0, 0, 0};
};

struct Monitor {
  Options options;
  HWND mainWindow = nullptr; // from the last 1538
  ULONGLONG startTick = GetTickCount64();
  int pendingAcks = 0;
} g_monitor;

std::wstring env(const wchar_t* name) {
  wchar_t buf[1024];
  DWORD n = GetEnvironmentVariableW(name, buf, 1024);
  return (n > 0 && n < 1024) ? std::wstring(buf, n) : std::wstring();
}

void logLine(const char* what, UINT message, WPARAM wParam, LPARAM lParam) {
  if (g_monitor.options.logPath.empty()) return;
  char line[160];
  const int n = std::snprintf(line, sizeof line, "%llu %s %u %llu %lld\r\n",
                              static_cast<unsigned long long>(GetTickCount64() - g_monitor.startTick), what, message,
                              static_cast<unsigned long long>(wParam), static_cast<long long>(lParam));
  // Opened per line so that a reader sees every line as soon as it is written.
  win32::UniqueFile f(CreateFileW(g_monitor.options.logPath.c_str(), FILE_APPEND_DATA,
                                  FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL,
                                  nullptr));
  if (!f) return;
  DWORD written = 0;
  WriteFile(f.get(), line, static_cast<DWORD>(n), &written, nullptr);
}

void postToMain(UINT message, WPARAM wParam, LPARAM lParam) {
  HWND target = g_monitor.mainWindow;
  if (target && IsWindow(target)) PostMessageW(target, message, wParam, lParam);
}

void acknowledge() { postToMain(msg::kSaveAcknowledged, 0, 0); }

LRESULT CALLBACK monitorProc(HWND wnd, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
  case msg::kAnnounceWindow:
    logLine("recv", message, wParam, lParam);
    g_monitor.mainWindow = reinterpret_cast<HWND>(wParam);
    return 0;
  case msg::kSettingsSaved:
    logLine("recv", message, wParam, lParam);
    if (g_monitor.options.noAck) return 0;
    if (g_monitor.options.ackDelayMs <= 0) {
      acknowledge();
    } else {
      ++g_monitor.pendingAcks;
      SetTimer(wnd, kAckTimer, static_cast<UINT>(g_monitor.options.ackDelayMs), nullptr);
    }
    return 0;
  case WM_TIMER:
    if (wParam == kAckTimer) {
      KillTimer(wnd, kAckTimer);
      for (; g_monitor.pendingAcks > 0; --g_monitor.pendingAcks) acknowledge();
    }
    return 0;
  case WM_COPYDATA: {
    const auto* cd = reinterpret_cast<const COPYDATASTRUCT*>(lParam);
    if (!cd || cd->dwData != msg::kMonitorPostTag || cd->cbData != 3 * sizeof(long long) || !cd->lpData) return FALSE;
    long long v[3];
    std::memcpy(v, cd->lpData, sizeof v);
    logLine("post", static_cast<UINT>(v[0]), static_cast<WPARAM>(v[1]), static_cast<LPARAM>(v[2]));
    postToMain(static_cast<UINT>(v[0]), static_cast<WPARAM>(v[1]), static_cast<LPARAM>(v[2]));
    return TRUE;
  }
  case WM_CLOSE:
    DestroyWindow(wnd);
    return 0;
  case WM_DESTROY:
    PostQuitMessage(0);
    return 0;
  default:
    if (message >= WM_USER) {
      logLine("recv", message, wParam, lParam);
      return 0;
    }
    return DefWindowProcW(wnd, message, wParam, lParam);
  }
}

Options parse(int argc, wchar_t** argv) {
  Options o;
  o.logPath = env(L"Q7MON_LOG");
  if (!env(L"Q7MON_ACK_DELAY").empty()) o.ackDelayMs = _wtoi(env(L"Q7MON_ACK_DELAY").c_str());
  o.noAck = !env(L"Q7MON_NO_ACK").empty();
  for (int i = 1; i < argc; ++i) {
    const std::wstring a = argv[i];
    if (a == L"--log" && i + 1 < argc) {
      o.logPath = argv[++i];
    } else if (a == L"--ack-delay" && i + 1 < argc) {
      o.ackDelayMs = _wtoi(argv[++i]);
    } else if (a == L"--no-ack") {
      o.noAck = true;
    } else if (a == L"--quit") {
      o.quit = true;
    } else if (a == L"--post" && i + 3 < argc) {
      o.post = true;
      for (long long& v : o.postValues) v = std::wcstoll(argv[++i], nullptr, 0);
    }
  }
  return o;
}

int relay(const Options& o) {
  HWND monitor = FindWindowW(nullptr, L"Q7PrismoMon");
  if (!monitor) return 1;
  if (o.quit) return PostMessageW(monitor, WM_CLOSE, 0, 0) ? 0 : 1;
  COPYDATASTRUCT cd{msg::kMonitorPostTag, sizeof o.postValues, const_cast<long long*>(o.postValues)};
  return SendMessageW(monitor, WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&cd)) ? 0 : 1;
}

} // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, LPWSTR, int) {
  const Options options = parse(__argc, __wargv);
  if (options.post || options.quit) return relay(options);

  // One monitor per logon: a second copy ends at once.
  win32::UniqueHandle single(CreateMutexW(nullptr, FALSE, L"Q7PrismoMon.Instance"));
  if (!single || GetLastError() == ERROR_ALREADY_EXISTS) return 0;

  g_monitor.options = options;
  WNDCLASSEXW wc{};
  wc.cbSize = sizeof wc;
  wc.lpfnWndProc = monitorProc;
  wc.hInstance = instance;
  wc.lpszClassName = L"Q7PrismoMonClass";
  if (!RegisterClassExW(&wc)) return 1;
  // A hidden top-level window: message-only windows cannot be found by title.
  HWND wnd = CreateWindowExW(WS_EX_TOOLWINDOW, wc.lpszClassName, win32::wide(kMonitorTitle), WS_POPUP, 0, 0, 0, 0,
                             nullptr, nullptr, instance, nullptr);
  if (!wnd) return 1;
  logLine("start", 0, 0, 0);
  MSG m;
  while (GetMessageW(&m, nullptr, 0, 0) > 0) DispatchMessageW(&m);
  return 0;
}
