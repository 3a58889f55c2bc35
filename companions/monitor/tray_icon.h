// The monitor's tray icon: the current profile's number on a small dark key, and a menu that
// offers the profiles, "open configuration", "pause" and "quit".
#pragma once

#include "platform/win32/windows_only.h"

#include <string>

#include "platform/win32/handles.h"

namespace q7::monitor {

class TrayIcon {
public:
  static constexpr UINT kCallback = WM_APP + 20; // the icon's mouse messages to the window
  // Menu command ids: a profile p is kProfileCommand + p.
  static constexpr UINT kProfileCommand = 100, kOpenCommand = 200, kPauseCommand = 201, kQuitCommand = 202;

  explicit TrayIcon(HWND window);
  ~TrayIcon();
  // Shows the profile (-1: no settings) and whether the monitor is paused.
  void show(int profile, bool paused);
  // Opens the menu at the mouse pointer; the choice arrives as WM_COMMAND.
  void openMenu(int profile, bool paused);
  // Shows text in a balloon beside the icon (nothing before the icon was added).
  void balloon(const std::wstring& text);

private:
  HWND window_;
  bool added_ = false;
  win32::UniqueIcon icon_;
};

} // namespace q7::monitor
