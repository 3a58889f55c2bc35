// The one table from a control's handle to the command it stands for, filled as a window makes
// its controls and asked when a control reports a command. A command is the window's own number
// (its enum), with an argument (a profile, a key position, a slot).
#pragma once

#include "platform/win32/windows_only.h"

#include <unordered_map>

namespace q7 {

struct ControlCommand {
  int command = 0;
  int argument = 0;
};

class ControlCommands {
public:
  // A control made again gets a new handle: bind it again. Binding a handle again replaces its command.
  void bind(HWND control, int command, int argument = 0) {
    if (control) table_[control] = {command, argument};
  }
  template <typename Enum> void bind(HWND control, Enum command, int argument = 0) {
    bind(control, static_cast<int>(command), argument);
  }
  // Null for a handle that stands for no command.
  const ControlCommand* find(HWND control) const {
    const auto at = table_.find(control);
    return at == table_.end() ? nullptr : &at->second;
  }
  void clear() { table_.clear(); }

private:
  std::unordered_map<HWND, ControlCommand> table_;
};

} // namespace q7
