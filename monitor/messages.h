// The window messages that cross process boundaries: between the program and its monitor, from
// outside programs to the main window, and from the keyboard hook library. The program, the
// monitor and the hook library all take their numbers from here.
#pragma once

#include <cstdint>

#include "platform/hook_protocol.h"

namespace q7::msg {

// To the monitor window "Q7PrismoMon".
constexpr uint32_t kAnnounceWindow = 1538; // 0x602: wParam main window handle, or 0 when it is gone
constexpr uint32_t kProfileShown = 1542;   // 0x606: wParam the profile now shown
constexpr uint32_t kSettingsSaved = 2026;  // 0x7EA: wParam 1, lParam ProfileCurrent; answered by 13317
// From the hook library whenever its status changes: wParam the status (1 while it reports keys,
// that is while a key is recorded or captured), lParam the id of the process that loaded it.
// While it is 1 the monitor passes every key on unchanged.
constexpr uint32_t kHookStatus = 1560; // 0x618

// To the main window from outside (above all from the monitor).
constexpr uint32_t kEndProcess = 5001;        // 0x1389: end at once, exit code 0
constexpr uint32_t kSwitchProfile = 1537;     // 0x601: wParam profile (6 means 0), lParam 12345 = do not echo
constexpr uint32_t kNoEcho = 12345;           // lParam of kSwitchProfile
constexpr uint32_t kSaveAcknowledged = 13317; // 0x3405: settings read; enable the main window
constexpr uint32_t kDeviceNotice = 13316;     // 0x3404: show the device notice, then close
constexpr uint32_t kRelease = 1544;           // 0x608: with wParam 16, enable and deselect
constexpr uint32_t kMacroStored = 1552;       // 0x610: wParam 16 as 1544; 0x3400 / 0x612 from the macro editor
constexpr uint32_t kReleaseParam = 16;
constexpr uint32_t kMacroStoredParam = 0x3400;
constexpr uint32_t kMacroStoredParam2 = 0x612;
constexpr uint32_t kKeyCommand = 1281;      // 0x501: lParam high word action, low byte kind
constexpr uint32_t kOpenMacroEditor = 1555; // 0x613

// From the hook library to the window it reports to: wParam vk, lParam 0x80 on release.
constexpr uint32_t kHookKey = hook::kReport; // WM_HOOKKEY

// Our monitor, for tests only (honoured when it runs with --test-messages): removes its keyboard
// hook without telling it, as the system does when a hook call takes too long.
constexpr uint32_t kTestRemoveHook = 1600; // 0x640

// Our monitor: "HID.exe --post" hands (message, wParam, lParam) to the running monitor in a
// WM_COPYDATA with this tag and three 64-bit values; the monitor posts it to the main window.
constexpr uintptr_t kMonitorPostTag = 0x51375043; // 'Q7PC'

} // namespace q7::msg
