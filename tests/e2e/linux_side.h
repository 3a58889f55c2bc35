// What a test or benchmark running under Wine reaches of the Linux machine beneath it: the
// process table under Z:\proc and physical keys typed through the X server with xdotool.
#pragma once

#include "platform/win32/windows_only.h"

#include <functional>
#include <string>

namespace q7::e2e {

// A whole small file, also one of /proc (whose size reads as 0); empty when it cannot be read.
std::string readWholeFile(const std::wstring& path);
// The Linux process id (as text) of the Wine process of this prefix that runs image (Wine names
// the process after the Windows program it runs); empty when there is none.
std::wstring linuxProcessOf(const char* image);
// The times the Linux process gave up the processor of its own accord, over all its threads: each
// wakeup of a thread that then waits again counts one.
long long voluntarySwitches(const std::wstring& linuxPid);
// Runs xdotool with the arguments (e.g. L"key --delay 40 a b") and waits for it, calling pump(ms)
// meanwhile so that the caller's windows take their keys; false when it could not run or did not
// end within 10 s. Keys reach the program whose Wine window has the X focus, and every low-level
// hook, as physical input.
bool xdotool(const std::wstring& args, const std::function<void(DWORD)>& pump);

} // namespace q7::e2e
