// The keyboard hook library's side of the contract that every window hearing keys through it
// relies on: the library's file, its three entry points and the message it reports a key with.
#pragma once

#include <cstdint>

namespace q7::hook {

inline constexpr const wchar_t* kLibraryFile = L"KBHook.dll"; // in the program's folder
inline constexpr const char* kInstall = "installhook";        // (window): reports go to window
inline constexpr const char* kRemove = "removehook";          // (): stop watching the keyboard
inline constexpr const char* kSetStatus = "SetHookStatus";    // (1 or 0): deliver reports or none

// WM_HOOKKEY, posted to the installed window for each key transition: wParam the virtual-key
// code, lParam kReleased for a release and 0 for a press.
inline constexpr uint32_t kReport = 0x40A;
inline constexpr uint32_t kReleased = 0x80;

} // namespace q7::hook
