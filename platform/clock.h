// The system's millisecond tick counter, which wraps after 49.7 days.
#pragma once

#include <cstdint>

namespace q7 {

class Clock {
public:
  virtual ~Clock() = default;
  virtual uint32_t milliseconds() = 0;
};

} // namespace q7
