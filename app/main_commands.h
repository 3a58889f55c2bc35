// The main window's buttons as commands, the warning kinds it asks with, and its configured links.
#pragma once

#include "ui/dialog_result.h"

namespace q7 {

// Every button of the main window, in the order in which a clicked handle is matched.
enum class Command {
  Ok,
  Cancel,
  Apply,
  Close,
  Minimise,
  WebHome,
  WebSocial1,
  WebSocial2,
  Help,
  ResetProfile,
  Export,
  Import,
  Sync,
  Macro,
  SingleKey,
  App,
  Disable,
  Default,
  WholeKeyboardColour, // opens the colour editor on the current profile
  ProfileButton,       // with the button index 0 ... 5
  KeyButton,           // with the key position 0 ... 113
};

// The questions and notices of the warning dialog, by kind.
enum class Warning {
  Default = 0,     // make a key default again?
  Disable = 1,     // disable a key?
  Device = 2,      // the device went away
  Save = 3,        // save before leaving?
  DelayWarn = 4,   // a macro delay out of range
  MaxWarn = 5,     // the macro is full
  Leave = 6,       // save before switching profiles?
  LeaveEditor = 9, // leave the macro editor with changes?
};

// The maker's pages opened by the three link buttons.
inline constexpr char16_t kWebHome[] = u"https://www.vortan.example/q7-prismo";
inline constexpr char16_t kWebSocial1[] = u"https://social.example/vortan";
inline constexpr char16_t kWebSocial2[] = u"https://video.example/@vortan";
// The maker's support page, opened from the About window.
inline constexpr char16_t kWebSupport[] = u"https://www.vortan.example/q7-prismo/support";

} // namespace q7
