// The system's clipboard as text (CF_UNICODETEXT).
#pragma once

#include "platform/win32/windows_only.h"

#include <optional>
#include <string>

namespace q7::win32 {

// Replaces the clipboard's contents with text; false when the clipboard refused.
bool putClipboardText(HWND owner, const std::u16string& text);
// The clipboard's text; nothing when it holds none or could not be opened.
std::optional<std::u16string> clipboardText(HWND owner);

} // namespace q7::win32
