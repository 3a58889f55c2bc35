// The macro editor's texts beyond its captions: the context menu, test play's times, the notices
// about the system's clipboard and the reasons a pasted text is refused. Each is a key of section
// "MACRO" of the string file; a string file without the key gets the English text given here.
#pragma once

#include <iterator>
#include <string_view>

#include "macro/macro_text_form.h"

namespace q7::macro_editor {

struct EditorText {
  std::u16string_view key;
  std::u16string_view english;
};

inline constexpr EditorText kTestCaption{u"TEST", u"Test"};
inline constexpr EditorText kMenuUndo{u"UNDO", u"Undo"};
inline constexpr EditorText kMenuRedo{u"REDO", u"Redo"};
inline constexpr EditorText kMenuCopyText{u"COPYTEXT", u"Copy all as text"};
inline constexpr EditorText kMenuPasteText{u"PASTETEXT", u"Paste text"};
// %1 the played time, %2 the stored time, in milliseconds.
inline constexpr EditorText kTestTimes{u"TESTTIME", u"(played %1 ms, stored %2 ms)"};
inline constexpr EditorText kClipboardRefused{u"CLIPREFUSED", u"The clipboard could not take the text."};
inline constexpr EditorText kNoClipboardText{u"NOCLIPTEXT", u"There is no text on the clipboard."};
// %1 the line number, %2 the reason.
inline constexpr EditorText kTextErrorLine{u"TEXTLINE", u"The text was not pasted. Line %1: %2"};

// The reason of each TextError, in its order.
inline constexpr EditorText kTextErrors[] = {
    {u"TEXTERR1", u"a line must start with press, release, pause or raw."},
    {u"TEXTERR2", u"unknown key name."},
    {u"TEXTERR3", u"a pause must be a number from 0 to 65535."},
    {u"TEXTERR4", u"raw needs six bytes of two hex digits each."},
    {u"TEXTERR5", u"a pause must follow each key event."},
    {u"TEXTERR6", u"a key event must come before each pause."},
    {u"TEXTERR7", u"the last key event has no pause after it."},
    {u"TEXTERR8", u"a macro holds at most 340 events."},
    {u"TEXTERR9", u"the text holds no events."},
};
static_assert(std::size(kTextErrors) == static_cast<size_t>(TextError::NoEvents) + 1);

constexpr const EditorText& textErrorReason(TextError error) { return kTextErrors[static_cast<size_t>(error)]; }

} // namespace q7::macro_editor
