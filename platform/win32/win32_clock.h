// The tick counter of GetTickCount.
#pragma once

#include "platform/win32/windows_only.h"

#include "platform/clock.h"

namespace q7::win32 {

class Win32Clock final : public Clock {
public:
  uint32_t milliseconds() override { return GetTickCount(); }
};

} // namespace q7::win32
