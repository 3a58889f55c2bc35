// Timing a program's start and reading its memory from outside, for the benchmarks that start
// the program folder's programs.
#pragma once

#include "platform/win32/windows_only.h"

#include <chrono>
#include <string>
#include <vector>

#include "../tests/e2e/driver.h"

namespace q7::bench {

using Clock = std::chrono::steady_clock;
double ms(Clock::duration d);

// Private bytes and working set of a running process, in MB.
struct Memory {
  double privateMb = 0, workingSetMb = 0;
};
Memory memoryOf(DWORD processId);

double median(std::vector<double> v);

// Waits until the pixel at a client point of wnd is no longer `from`; returns false on timeout.
bool waitPixelChange(HWND wnd, int x, int y, COLORREF from, DWORD timeoutMs);

// Process start to a painted window: the window exists, is visible and its pixel at (x, y) is no
// longer black (or is `painted`, when given). The window and the running process are handed back.
double timeStart(const std::wstring& exe, int x, int y, HWND* mainOut, e2e::Process* keep,
                 const std::wstring& args = L"", COLORREF painted = CLR_INVALID);

} // namespace q7::bench
