// The monitor's speed as a user feels it, measured at a window of this program that receives
// real input (SendInput), in one run:
//   key delay: SendInput to the key's arrival at an edit field, without the monitor (floor) and
//              through the monitor's hook for a key that passes and for a remapped key;
//   macro pauses: each pause between two of a macro's keys as the window receives them, against its
//              stored length; floor: the same schedule sent from this process with a busy-wait;
//   reload: a "settings saved" (2026) to the monitor's answer (13317), which it posts after it read
//              the settings again; floor: the same registry reads done in this process.
// Run under Wine (or Windows) with the program folder's HID.exe able to start. Writes settings of
// its own into the registry of the prefix it runs in.
#include "platform/win32/windows_only.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "../tests/e2e/driver.h"
#include "keys/key_places.h"
#include "monitor/key_actions.h"
#include "monitor/messages.h"
#include "monitor/monitor_settings.h"
#include "platform/win32/win32_registry.h"

namespace {

using namespace q7;

LONGLONG nowMicros() {
  LARGE_INTEGER t, f;
  QueryPerformanceCounter(&t);
  QueryPerformanceFrequency(&f);
  return t.QuadPart / f.QuadPart * 1000000 + t.QuadPart % f.QuadPart * 1000000 / f.QuadPart;
}

double percentile(std::vector<double> v, double p) {
  if (v.empty()) return NAN;
  std::sort(v.begin(), v.end());
  return v[std::min(v.size() - 1, static_cast<size_t>(p * (v.size() - 1) + 0.5))];
}

std::vector<LONGLONG> g_downs; // arrival times of WM_KEYDOWN at the edit
std::vector<MSG> g_posted;
WNDPROC g_editProc = nullptr;
HWND g_wnd = nullptr;

LRESULT CALLBACK editProc(HWND w, UINT m, WPARAM wp, LPARAM lp) {
  if (m == WM_KEYDOWN) g_downs.push_back(nowMicros());
  return CallWindowProcW(g_editProc, w, m, wp, lp);
}

void pump(DWORD ms) {
  const ULONGLONG end = GetTickCount64() + ms;
  for (;;) {
    MSG m;
    while (PeekMessageW(&m, nullptr, 0, 0, PM_REMOVE)) {
      if (m.hwnd == g_wnd && m.message >= WM_USER) g_posted.push_back(m);
      TranslateMessage(&m);
      DispatchMessageW(&m);
    }
    const ULONGLONG now = GetTickCount64();
    if (now >= end) return;
    MsgWaitForMultipleObjects(0, nullptr, FALSE, static_cast<DWORD>(end - now), QS_ALLINPUT);
  }
}

void press(WORD vk, bool release) {
  INPUT in{};
  in.type = INPUT_KEYBOARD;
  in.ki.wVk = vk;
  in.ki.wScan = static_cast<WORD>(MapVirtualKeyW(vk, MAPVK_VK_TO_VSC));
  in.ki.dwFlags = release ? KEYEVENTF_KEYUP : 0;
  SendInput(1, &in, sizeof in);
}

// Milliseconds from SendInput to the press's arrival, n times.
std::vector<double> keyDelays(WORD vk, int n) {
  std::vector<double> d;
  for (int i = 0; i < n; ++i) {
    const size_t before = g_downs.size();
    const LONGLONG t0 = nowMicros();
    press(vk, false);
    const ULONGLONG end = GetTickCount64() + 1000;
    while (g_downs.size() == before && GetTickCount64() < end) pump(1);
    if (g_downs.size() > before) d.push_back((g_downs[before] - t0) / 1000.0);
    press(vk, true);
    pump(5);
    SendMessageW(GetFocus(), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L""));
  }
  return d;
}

void writeValue(const std::wstring& path, const wchar_t* name, const void* data, DWORD size) {
  HKEY k = nullptr;
  if (RegCreateKeyExW(HKEY_CURRENT_USER, path.c_str(), 0, nullptr, 0, KEY_WRITE, nullptr, &k, nullptr)) return;
  RegSetValueExW(k, name, 0, REG_BINARY, static_cast<const BYTE*>(data), size);
  RegCloseKey(k);
}

constexpr int kMacroLines = 160;
uint16_t pauseOf(int line) { return static_cast<uint16_t>(20 + 15 * (line % 3)); } // 20, 35, 50 ms

void writeSettings(int positionA, int positionF) {
  const std::wstring profile = L"Software\\VORTAN\\Q7\\Profile1";
  const uint8_t current = 1;
  writeValue(L"Software\\VORTAN\\Q7", L"ProfileCurrent", &current, 1);
  KeyRecord remap{};
  remap.Kind = 1;
  remap.setSingleKeyVk('B');
  wchar_t name[16];
  swprintf(name, 16, L"Button%03d", positionA);
  writeValue(profile, name, &remap, sizeof remap);
  KeyRecord macro{};
  macro.Kind = 2;
  for (int i = 0; i < kMacroLines; ++i) { // X down, X up, X down ... each followed by its pause
    uint8_t* e = macro.Events + 12 * i;
    e[0] = 'X';
    e[2] = i % 2 ? 0 : 0x80;
    e[7] = 0xFF;
    e[10] = pauseOf(i) & 0xFF;
    e[11] = pauseOf(i) >> 8;
  }
  macro.EventCount = 2 * kMacroLines;
  swprintf(name, 16, L"Button%03d", positionF);
  writeValue(profile, name, &macro, sizeof macro);
}

// Errors in ms of the intervals between the key presses that arrived, against the stored schedule
// (a press every two lines: the sum of two pauses).
std::vector<double> pauseErrors(size_t from) {
  std::vector<double> e;
  for (size_t i = from + 1; i < g_downs.size(); ++i) {
    const int line = static_cast<int>(2 * (i - from - 1));
    const double want = pauseOf(line) + pauseOf(line + 1);
    e.push_back(std::fabs((g_downs[i] - g_downs[i - 1]) / 1000.0 - want));
  }
  return e;
}

void waitUntil(LONGLONG micros) {
  while (nowMicros() < micros) {
    if (micros - nowMicros() > 3000) Sleep(1);
  }
}

void report(const char* what, const std::vector<double>& v, double floorMedian) {
  std::printf("%-34s n=%3zu  median %7.3f ms  p99 %7.3f ms", what, v.size(), percentile(v, 0.5), percentile(v, 0.99));
  if (floorMedian > 0) std::printf("  (median %+.3f ms against the floor)", percentile(v, 0.5) - floorMedian);
  std::printf("\n");
}

} // namespace

int wmain() {
  ProfileKeys positions;
  positions.mapPositions(KeyLayout::Ansi); // the bench's prefix has the program folder's default language
  writeSettings(positions.positionOfVk['A'], positions.positionOfVk['F']);

  WNDCLASSW wc{};
  wc.lpfnWndProc = DefWindowProcW;
  wc.hInstance = GetModuleHandleW(nullptr);
  wc.lpszClassName = L"MonitorBench";
  RegisterClassW(&wc);
  g_wnd = CreateWindowExW(0, wc.lpszClassName, L"Bench", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 100, 100, 400, 200, nullptr,
                          nullptr, wc.hInstance, nullptr);
  HWND edit = CreateWindowExW(0, L"EDIT", L"", WS_CHILD | WS_VISIBLE | ES_AUTOHSCROLL, 10, 10, 300, 30, g_wnd, nullptr,
                              wc.hInstance, nullptr);
  g_editProc = reinterpret_cast<WNDPROC>(SetWindowLongPtrW(edit, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(editProc)));
  SetForegroundWindow(g_wnd);
  SetFocus(edit);
  pump(200);

  constexpr int kKeys = 300;
  const std::vector<double> bare = keyDelays('D', kKeys);

  e2e::Process monitor(e2e::distFolder() + L"HID.exe", L"--no-tray");
  HWND mon = nullptr;
  for (int i = 0; i < 1000 && !(mon = FindWindowW(nullptr, L"Q7PrismoMon")); ++i) Sleep(20);
  if (!mon) {
    std::printf("the monitor did not start\n");
    return 1;
  }
  PostMessageW(mon, msg::kAnnounceWindow, reinterpret_cast<WPARAM>(g_wnd), 0);
  pump(200);
  const std::vector<double> passed = keyDelays('D', kKeys);
  const std::vector<double> remapped = keyDelays('A', kKeys);

  // Macro pauses through the monitor.
  size_t from = g_downs.size();
  press('F', false);
  press('F', true);
  LONGLONG total = 0;
  for (int i = 0; i < kMacroLines; ++i) total += pauseOf(i);
  pump(static_cast<DWORD>(total + 500));
  const std::vector<double> played = pauseErrors(from);
  if (getenv("Q7_BENCH_VERBOSE"))
    for (double e : played) std::printf("%.2f ", e);
  // The same schedule sent from here: what a wait and SendInput alone give.
  from = g_downs.size();
  LONGLONG deadline = nowMicros();
  for (int i = 0; i < kMacroLines; ++i) {
    press('X', i % 2 != 0);
    pump(0); // timed as it arrives, before the wait
    deadline += pauseOf(i) * 1000;
    waitUntil(deadline);
  }
  pump(300);
  const std::vector<double> floorPlayed = pauseErrors(from);

  // Reload round trips, and the same reads done here.
  std::vector<double> reload, reads;
  for (int i = 0; i < 30; ++i) {
    g_posted.clear();
    const LONGLONG t0 = nowMicros();
    PostMessageW(mon, msg::kSettingsSaved, 1, 1);
    const ULONGLONG end = GetTickCount64() + 5000;
    bool answered = false;
    while (!answered && GetTickCount64() < end) {
      pump(1);
      for (const MSG& m : g_posted) answered |= m.message == msg::kSaveAcknowledged;
    }
    if (answered) reload.push_back((nowMicros() - t0) / 1000.0);
    win32::Win32Registry registry;
    const LONGLONG r0 = nowMicros();
    const int current = readCurrentProfile(registry);
    const LinkedPrograms links = readLinkedPrograms(registry);
    const auto keys = readProfileKeys(registry, current, KeyLayout::Ansi);
    reads.push_back((nowMicros() - r0) / 1000.0);
  }

  std::printf("Key press to the receiving window (SendInput to WM_KEYDOWN):\n");
  report("  without the monitor (floor)", bare, 0);
  report("  through the monitor, passed", passed, percentile(bare, 0.5));
  report("  through the monitor, remapped", remapped, percentile(bare, 0.5));
  std::printf("Macro pauses (error of each interval between presses, %d lines of 20/35/50 ms):\n", kMacroLines);
  report("  sent from here (floor)", floorPlayed, 0);
  report("  played by the monitor", played, 0);
  std::printf("Reload after 2026 (2026 posted to 13317 received):\n");
  report("  same reads in this process (floor)", reads, 0);
  report("  monitor round trip", reload, 0);
  std::printf("ratio reload/floor (median): %.2f\n", percentile(reload, 0.5) / percentile(reads, 0.5));

  e2e::Process(e2e::distFolder() + L"HID.exe", L"--quit").wait(5000);
  monitor.wait(5000);
  DestroyWindow(g_wnd);
  return 0;
}
