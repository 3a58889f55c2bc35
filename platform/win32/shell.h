// The program's folder and the shell's "open", the one way the program starts its monitor and
// opens web pages and its help file.
#pragma once

#include "platform/win32/windows_only.h"

#include <string>
#include <string_view>

namespace q7::win32 {

// The folder of the running program, with its trailing backslash; empty when it cannot be told.
std::wstring programFolder();
// Hands target (a program, a file or a web address) to the shell's "open".
void openWithShell(std::wstring_view target, int show = SW_SHOWNORMAL);
void openWithShell(std::u16string_view target);

} // namespace q7::win32
