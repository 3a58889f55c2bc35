// The monitor's hands: a low-level keyboard hook on a thread of its own that acts on the current
// profile, and a macro player on another. The window thread hands it new settings and states;
// the hook reads them under a short lock. The hook thread also watches that the hook stays in
// place (raw input reports every physical key; see HookWatchdog) and installs it again when the
// system dropped it.
#pragma once

#include "platform/win32/windows_only.h"

#include <atomic>
#include <condition_variable>
#include <future>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "monitor/held_keys.h"
#include "monitor/hook_watchdog.h"
#include "monitor/key_actions.h"
#include "monitor/macro_schedule.h"

namespace q7::monitor {

// dwExtraInfo of every key this monitor sends: the hook passes such keys on untouched.
constexpr ULONG_PTR kOurInput = 0x51374D4E; // 'Q7MN'

// Sends one key press or release as a keyboard would: its virtual key, its scan code in the
// layout of the program in front and the extended flag, marked as ours.
void sendKey(uint8_t vk, bool release);

// Every key the monitor sends goes through here, so that it knows what it holds down.
class KeyOutput {
public:
  void send(uint8_t vk, bool release);
  // A physical key that the hook passed on unchanged.
  void passed(uint8_t vk, bool release);
  // Releases the key if the monitor holds it down.
  void releaseIfHeld(uint8_t vk);
  // Releases every key the monitor holds down, never one the user holds.
  void releaseAll();
  // Releases the modifiers the user holds, for a macro to play exactly its own keys; returns them.
  std::vector<uint8_t> liftModifiers();
  // Presses again those of the lifted modifiers that the user still holds.
  void restoreModifiers(const std::vector<uint8_t>& lifted);

private:
  std::mutex mutex_;
  HeldKeys held_;
};

class MacroPlayer {
public:
  explicit MacroPlayer(KeyOutput& output);
  ~MacroPlayer(); // stops the macro (its keys released) and ends the thread

  void play(MacroScript script, int position);
  // Stops the macro of position (any macro for -1), also one that has not started yet.
  void stop(int position = -1);
  int playing() const { return playing_.load(); }

private:
  void run();
  KeyOutput& output_;
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
  // window receives kStartProgram with a heap-allocated path (std::wstring*) to start, and
  // kHookState whenever the hook was installed or could not be.
  // refusals: for tests, the number of first installs that act as if the system refused them.
  explicit KeyEngine(HWND window, int refusals = 0);
  ~KeyEngine(); // releases every key the monitor holds and removes the hook

  // Whether the hook was in place when the constructor returned.
  bool installed() const { return installed_; }

  // New settings (null: none, every key passes). A running macro stops, held keys are released.
  void setKeys(std::shared_ptr<const ProfileKeys> keys);
  // While the hook library reports keys (a key is recorded or captured) or the user paused, every
  // key passes unchanged; both stop a running macro and release the keys the monitor holds.
  void setHookReporting(bool on);
  void setPaused(bool on);
  // Releases every key the monitor holds down (the session locks, the system suspends).
  void releaseAll();
  // Installs the hook again (the session was unlocked, the system resumed).
  void reinstall();
  // Removes the hook without telling the watchdog, as the system does when a call took too long.
  void dropHookForTest();

  static constexpr UINT kStartProgram = WM_APP + 10;
  // wParam a HookState; lParam the HookReason of an install, or the system's error code.
  static constexpr UINT kHookState = WM_APP + 11;
  enum HookState : WPARAM { kFailed = 0, kInstalled = 1, kNoWatchdog = 2 }; // kFailed: a retry follows
  enum HookReason : LPARAM { kFirst = 0, kHookLost = 1, kAsked = 2, kRetry = 3 };

private:
  static LRESULT CALLBACK hookProc(int code, WPARAM wParam, LPARAM lParam) noexcept;
  static LRESULT CALLBACK sinkProc(HWND wnd, UINT message, WPARAM wParam, LPARAM lParam) noexcept;
  bool handle(const KBDLLHOOKSTRUCT& k);
  void hookThread(std::promise<bool>& started);
  bool install(LPARAM reason);
  void reinstallNow(LPARAM reason);
  void releaseHeld();
  void rawInput(HRAWINPUT input);
  void armWatch();
  void watchTimer();
  void post(UINT message);

  HWND window_;
  std::mutex mutex_;
  std::shared_ptr<const ProfileKeys> keys_;
  std::atomic<bool> reporting_{false}, paused_{false};
  KeyOutput output_;
  std::unique_ptr<MacroPlayer> player_;
  // Hook thread only:
  KeyActions actions_;
  HookWatchdog watchdog_;
  HHOOK hook_ = nullptr;
  HWND sink_ = nullptr; // raw input and timers of the hook thread
  bool watchArmed_ = false;

  int refusals_ = 0;
  bool installed_ = false;
  std::atomic<DWORD> threadId_{0};
  std::thread thread_;
};

} // namespace q7::monitor
