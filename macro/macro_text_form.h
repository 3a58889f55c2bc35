// Macros as plain text, to share them and edit them in any text editor: one event a line,
//   press LShift
//   pause 20
//   release A
//   pause 0
// and comments from '#' to the end of the line. Key names come from a table of their own, one
// name per key code that does not depend on the keyboard layout or the language (the editor's list
// shows layout characters and repeats names); a code without a name is written VK_hh. An event
// whose bytes differ from what the editor itself writes (from a file or another program) is
// written as its six bytes, "raw 41 04 81 00 00 00", so that every macro comes back byte for byte.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "keys/macro_event.h"

namespace q7 {

// The text's name of virtual-key code vk: a name of the table or VK_hh.
std::u16string textKeyName(uint8_t vk);
// The code of a key name of the text (either spelling, any letter case); nothing for an unknown one.
std::optional<uint8_t> textKeyCode(std::u16string_view name);

// The text of events, one line each, every line ending in "\r\n" (as the system's clipboard and
// Notepad keep text).
std::u16string macroEventsText(const MacroEvent* events, size_t count);

enum class TextError {
  UnknownWord,     // a line that starts with none of press, release, pause, raw
  UnknownKey,      // press or release of a name that is not in the table
  PauseOutOfRange, // not a number of 0 ... 65,535
  BadRawEvent,     // raw without six bytes written as two hex digits each
  PauseExpected,   // a key event where its pause belongs
  KeyExpected,     // a pause with no key event before it
  MissingPause,    // the text ends after a key event
  TooManyEvents,   // more than the 340 events a macro holds
  NoEvents,        // nothing but blanks and comments
};

struct TextParse {
  std::vector<MacroEvent> events; // whole lines: key event, pause, key event, pause ...
  std::optional<TextError> error; // when set, events is empty
  int errorLine = 0;              // 1-based line of the text where the error stands
};

// Reads a whole text; the first error found stops it and nothing of the text is taken.
TextParse parseMacroText(std::u16string_view text);

} // namespace q7
