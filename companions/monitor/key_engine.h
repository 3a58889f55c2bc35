// The monitor's hands: a low-level keyboard hook on a thread of its own that acts on the current
// profile, and a macro player on another. The window thread hands it new settings and states;
// the hook reads them under a short lock.
#pragma once

#include "platform/win32/windows_only.h"

#include <atomic>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <thread>

#include "monitor/key_actions.h"
#include "monitor/macro_schedule.h"

namespace q7::monitor {

// dwExtraInfo of every key this monitor sends: the hook passes such keys on untouched.
constexpr ULONG_PTR kOurInput = 0x51374D4E; // 'Q7MN'

// Sends one key press or release, marked as ours.
void sendKey(uint8_t vk, bool release);

class MacroPlayer {
public:
  MacroPlayer();
  ~MacroPlayer(); // stops the macro (its keys released) and ends the thread

  void play(MacroScript script, int position);
  // Stops the macro of position (any macro for -1), also one that has not started yet.
  void stop(int position = -1);
  int playing() const { return playing_.load(); }

private:
  void run();
  std::mutex mutex_;
  std::condition_variable wake_;
  std::optional<MacroScript> next_;
  int nextPosition_ = -1;
  bool quit_ = false;
  std::atomic<bool> stop_{false};
  std::atomic<int> playing_{-1};
  HANDLE stopEvent_;
  std::thread thread_;
};

class KeyEngine {
public:
  // programWindow receives kStartProgram with a heap-allocated path (std::wstring*) to start.
  explicit KeyEngine(HWND programWindow);
  ~KeyEngine(); // removes the hook and releases the macro's keys

  // New settings (null: none, every key passes). A running macro stops.
  void setKeys(std::shared_ptr<const ProfileKeys> keys);
  // While the hook library reports keys or the user paused, every key passes unchanged.
  void setHookReporting(bool on) { reporting_ = on; }
  void setPaused(bool on);

  static constexpr UINT kStartProgram = WM_APP + 10;

private:
  static LRESULT CALLBACK hookProc(int code, WPARAM wParam, LPARAM lParam);
  bool handle(const KBDLLHOOKSTRUCT& k);
  void hookThread();

  HWND programWindow_;
  std::mutex mutex_;
  std::shared_ptr<const ProfileKeys> keys_;
  std::atomic<bool> reporting_{false}, paused_{false};
  KeyActions actions_; // hook thread only
  MacroPlayer player_;
  HHOOK hook_ = nullptr;
  std::atomic<DWORD> threadId_{0};
  std::thread thread_;
};

} // namespace q7::monitor
