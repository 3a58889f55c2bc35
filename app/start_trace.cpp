#include "app/start_trace.h"

#include "platform/win32/windows_only.h"

#include <cstdio>
#include <iterator>

namespace q7::start_trace {

namespace {

struct Mark {
  const char* phase;
  double ms;
};
Mark g_marks[16];
int g_count = 0;
bool g_done = false;

double msSinceProcessStart() {
  FILETIME created{}, exited{}, kernel{}, user{}, now{};
  GetProcessTimes(GetCurrentProcess(), &created, &exited, &kernel, &user);
  GetSystemTimePreciseAsFileTime(&now);
  const auto ticks = [](FILETIME t) {
    return (static_cast<unsigned long long>(t.dwHighDateTime) << 32) | t.dwLowDateTime;
  };
  return static_cast<double>(ticks(now) - ticks(created)) / 10000.0; // 100 ns units
}

void append(const Mark* marks, int count) {
  wchar_t path[MAX_PATH] = {};
  const DWORD n = GetEnvironmentVariableW(L"Q7_START_TRACE", path, MAX_PATH);
  if (n == 0 || n >= MAX_PATH) return;
  if (std::FILE* f = _wfopen(path, L"ab")) {
    for (int i = 0; i < count; ++i) std::fprintf(f, "%s %.1f\n", marks[i].phase, marks[i].ms);
    std::fclose(f);
  }
}

} // namespace

void mark(const char* phase) {
  if (g_done) {
    // After the first paint (the profiles read in the background): written at once.
    const Mark late{phase, msSinceProcessStart()};
    append(&late, 1);
    return;
  }
  if (g_count == static_cast<int>(std::size(g_marks))) return;
  g_marks[g_count++] = {phase, msSinceProcessStart()};
}

void finish() {
  if (g_done) return;
  g_done = true;
  append(g_marks, g_count);
}

} // namespace q7::start_trace
