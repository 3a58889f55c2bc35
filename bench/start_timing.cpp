#include "start_timing.h"

#include <psapi.h>

#include <algorithm>

namespace q7::bench {

double ms(Clock::duration d) { return std::chrono::duration<double, std::milli>(d).count(); }

Memory memoryOf(DWORD processId) {
  Memory m;
  if (HANDLE p = OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, processId)) {
    PROCESS_MEMORY_COUNTERS_EX c{};
    c.cb = sizeof c;
    if (GetProcessMemoryInfo(p, reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&c), sizeof c)) {
      // Wine leaves PrivateUsage at zero; the committed bytes (PagefileUsage) are the same figure.
      m.privateMb = (c.PrivateUsage ? c.PrivateUsage : c.PagefileUsage) / 1048576.0;
      m.workingSetMb = c.WorkingSetSize / 1048576.0;
    }
    CloseHandle(p);
  }
  return m;
}

double median(std::vector<double> v) {
  std::sort(v.begin(), v.end());
  return v[v.size() / 2];
}

bool waitPixelChange(HWND wnd, int x, int y, COLORREF from, DWORD timeoutMs) {
  const ULONGLONG end = GetTickCount64() + timeoutMs;
  // Polled with a pause: a busy loop would compete with the program for the Wine server.
  while (e2e::screenPixel(wnd, x, y) == from) {
    if (GetTickCount64() > end) return false;
    Sleep(1);
  }
  return true;
}

double timeStart(const std::wstring& exe, int x, int y, HWND* mainOut, e2e::Process* keep, const std::wstring& args,
                 COLORREF painted) {
  const auto t0 = Clock::now();
  e2e::Process p(exe, args);
  HWND wnd = nullptr;
  while (!(wnd = [&] {
    auto w = e2e::windowsOf(p.id());
    return w.empty() ? HWND(nullptr) : w.front();
  }()))
    Sleep(1);
  const COLORREF unpainted = RGB(0, 0, 0);
  if (painted == CLR_INVALID) {
    waitPixelChange(wnd, x, y, unpainted, 20000);
  } else {
    const ULONGLONG end = GetTickCount64() + 20000;
    while (e2e::screenPixel(wnd, x, y) != painted && GetTickCount64() < end) Sleep(1);
  }
  const double t = ms(Clock::now() - t0);
  if (mainOut) *mainOut = wnd;
  if (keep) *keep = std::move(p);
  return t;
}

} // namespace q7::bench
