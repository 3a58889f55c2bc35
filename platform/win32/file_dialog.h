// The system's file-open and file-save dialogs as the program's windows show them.
#pragma once

#include "platform/win32/windows_only.h"

#include <optional>
#include <string>

namespace q7::win32 {

// Shows the dialog with filter (pairs of zero-ended texts), default extension ext (without its dot,
// also the initial name "*.ext"), initial folder and options; the chosen path, nothing on Cancel.
std::optional<std::u16string> fileDialog(HWND owner, bool save, const wchar_t* filter, const wchar_t* ext,
                                         const wchar_t* folder, DWORD flags);

} // namespace q7::win32
