// HookLibrary: the keyboard hook library KBHook.dll, loaded for as long as a window that records or
// captures keys lives. The library reports key transitions to an installed window as WM_HOOKKEY
// while its status is 1. Each call is skipped when the library or its entry point is missing, so a
// window without the library still works; it just hears no keys.
#pragma once

#include "platform/win32/windows_only.h"

#include <string>

#include "platform/win32/handles.h"

namespace q7::win32 {

class HookLibrary {
public:
  // Where the load writes its trace lines (the library's path, then "HookDll IN" or "Error:%d").
  using Trace = void (*)(const wchar_t* line);

  // Loads "KBHook.dll" from the program's folder.
  HookLibrary();
  // Loads "KBHook.dll" from folder (with its trailing backslash).
  explicit HookLibrary(const std::wstring& folder, Trace trace = OutputDebugStringW);
  HookLibrary(const HookLibrary&) = delete;
  HookLibrary& operator=(const HookLibrary&) = delete;
  // Status 0, the hook removed, the library unloaded.
  ~HookLibrary();

  bool loaded() const { return static_cast<bool>(module_); }
  // Reports go to window from now on; repeating it with the same window is harmless.
  void install(HWND window);
  // 1: deliver reports; 0: deliver none.
  void setStatus(int status);
  // Stops watching the keyboard.
  void remove();

private:
  using Install = BOOL(__cdecl*)(HWND);
  using Remove = void(__cdecl*)();
  using SetStatus = void(__cdecl*)(int);

  UniqueLibrary module_;
  Install install_ = nullptr;
  Remove remove_ = nullptr;
  SetStatus setStatus_ = nullptr;
};

} // namespace q7::win32
