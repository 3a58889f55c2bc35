// The tick counter of GetTickCount, and a millisecond clock from the performance counter.
#pragma once

#include "platform/win32/windows_only.h"

#include "platform/clock.h"

namespace q7::win32 {

class Win32Clock final : public Clock {
public:
  uint32_t milliseconds() override { return GetTickCount(); }
};

// Milliseconds from the performance counter: finer than the tick counter, which on Windows moves in
// steps of 10 to 16 ms.
class PreciseClock final : public Clock {
public:
  PreciseClock() {
    LARGE_INTEGER f{};
    QueryPerformanceFrequency(&f);
    frequency_ = f.QuadPart > 0 ? f.QuadPart : 1;
  }
  uint32_t milliseconds() override {
    LARGE_INTEGER now{};
    QueryPerformanceCounter(&now);
    return static_cast<uint32_t>(now.QuadPart / frequency_ * 1000 + now.QuadPart % frequency_ * 1000 / frequency_);
  }

private:
  LONGLONG frequency_ = 1;
};

} // namespace q7::win32
