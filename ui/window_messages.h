// The window messages that stay inside the program: between a window and its skinned controls.
#pragma once

#include <cstdint>

namespace q7::msg {

constexpr uint32_t kCrleditKeyUp = 5122; // 0x1402 WM_CRLEDIT_KEYUP from a coloured edit to its parent
// A parent hands a child's own request back to the child as this base plus the request's number
// (WM_DRAWITEM of a skinned button, WM_CTLCOLOREDIT / WM_CTLCOLORSTATIC of a coloured edit).
constexpr uint32_t kReflectBase = 0x2000;
// 0x8101 (WM_APP + 0x101): the macro editor's test play has an event due, posted by its timer thread.
constexpr uint32_t kTestPlayDue = 0x8101;
// 0x8102: in keyboard use, a key for a skinned window that the key filter does not handle itself
// (wParam the virtual key, lParam the focused control); the window answers 1 when it acted on it.
constexpr uint32_t kKeyboardKey = 0x8102;

} // namespace q7::msg
