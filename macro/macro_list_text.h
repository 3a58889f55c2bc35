// The texts of the macro list's lines, shared by recording, the editor's list rebuild and the
// list's painter. A line is the key name, then (once its pause is known) the pause written with
// "%s        %d %s"; a key just recorded shows its name and two blanks until its pause follows.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "keys/key_record.h"
#include "macro/macro_list_bitmaps.h"
#include "platform/keyboard_text.h"

namespace q7 {

inline constexpr int kArrowDown = IDB_MACRO_ARROW_DOWN;
inline constexpr int kArrowUp = IDB_MACRO_ARROW_UP;
inline constexpr int kTickedBox = IDB_MACRO_TICKED;
inline constexpr int kUntickedBox = IDB_MACRO_UNTICKED;

struct MacroListLine {
  std::u16string text;
  int itemData; // kArrowDown for a press, kArrowUp for a release

  bool operator==(const MacroListLine&) const = default;
};

constexpr int arrowFor(bool pressed) { return pressed ? kArrowDown : kArrowUp; }

// A key event's line while its pause is not yet known: the name and two blanks.
std::u16string recordingLineText(std::u16string_view keyName);
// A line's text once its pause is known: text, eight blanks, the pause and " MS".
std::u16string lineTextWithPause(std::u16string_view text, uint32_t pauseMs);

// What the painter shows of a line's text: the key part is what stands before the first two
// consecutive blanks, trimmed (nothing without two blanks); the pause part is the last ten
// characters of a text longer than twelve that does not begin with "MS".
std::u16string_view painterKeyPart(std::u16string_view text);
std::u16string_view painterPausePart(std::u16string_view text);

// The list's lines for a record: a key event starts a line, a pause completes the line before it.
// A record with exactly one event shows no line. Reads no event beyond the 340 slots.
std::vector<MacroListLine> macroListLines(const KeyRecord& record, KeyboardText& keyboard);

} // namespace q7
