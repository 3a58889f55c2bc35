// CKeyvaneApp: one copy of the program per user, GDI+ for its lifetime, the main window run modally.
#pragma once

#include "platform/win32/windows_only.h"

namespace q7 {

class CKeyvaneApp {
public:
  explicit CKeyvaneApp(HINSTANCE instance) : instance_(instance) {}
  // Returns the process exit code.
  int run();

private:
  HINSTANCE instance_;
};

} // namespace q7
