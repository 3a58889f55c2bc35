#include "companions/monitor/key_engine.h"

#include "companions/monitor/front_process.h"
#include "companions/monitor/system_clock.h"

#include <algorithm>
#include <memory>
#include <utility>

namespace q7::monitor {

namespace {

KeyEngine* g_engine = nullptr; // the hook procedure has no context of its own

// A macro's keys. Once it was told to stop, it only lets go of what it pressed, and only of keys
// that the monitor still holds: a release of everything may have come first.
class OutputKeys final : public MacroKeys {
public:
  OutputKeys(KeyOutput& output, const std::atomic<bool>& stop) : output_(output), stop_(stop) {}
  void key(uint8_t vk, bool release) override {
    if (release && stop_.load())
      output_.releaseIfHeld(vk);
    else
      output_.send(vk, release);
  }

private:
  KeyOutput& output_;
  const std::atomic<bool>& stop_;
};

// Thread messages to the hook thread.
constexpr UINT kReleaseAllMessage = WM_APP + 1;
constexpr UINT kReinstallMessage = WM_APP + 2;
constexpr UINT kDropHookMessage = WM_APP + 3;
// Timers of the hook thread's window.
constexpr UINT_PTR kWatchTimer = 1;
constexpr UINT_PTR kRetryTimer = 2;
constexpr UINT kRetryMs = 5000;

// By place, as the watchdog compares keys: scan code + 256 with the extended flag.
uint32_t placeOf(uint32_t scan, bool extended) { return (scan & 0xFF) + (extended ? 256 : 0); }

} // namespace

void sendKey(uint8_t vk, bool release) {
  const SendableKey k = sendableKey(vk);
  // The scan code of the layout that the receiving program uses; an E0 prefix is the extended flag.
  const HKL layout = GetKeyboardLayout(GetWindowThreadProcessId(GetForegroundWindow(), nullptr));
  UINT scan = MapVirtualKeyExW(k.vk, MAPVK_VK_TO_VSC_EX, layout);
  if (scan == 0) scan = MapVirtualKeyExW(k.vk, MAPVK_VK_TO_VSC, layout);
  if (k.padScan) scan = k.padScan; // the same in every layout, and some layouts do not map the pad
  const bool extended = k.extended || (scan & 0xFF00) == 0xE000;
  INPUT in{};
  in.type = INPUT_KEYBOARD;
  in.ki.wVk = k.vk;
  in.ki.wScan = static_cast<WORD>(scan & 0xFF);
  in.ki.dwFlags = (extended ? KEYEVENTF_EXTENDEDKEY : 0) | (release ? KEYEVENTF_KEYUP : 0);
  in.ki.dwExtraInfo = kOurInput;
  SendInput(1, &in, sizeof in);
}

void KeyOutput::send(uint8_t vk, bool release) {
  {
    std::lock_guard lock(mutex_);
    held_.sent(vk, release);
  }
  sendKey(vk, release);
}

void KeyOutput::passed(uint8_t vk, bool release) {
  std::lock_guard lock(mutex_);
  held_.passed(vk, release);
}

void KeyOutput::releaseIfHeld(uint8_t vk) {
  {
    std::lock_guard lock(mutex_);
    if (!held_.holds(vk)) return;
    held_.sent(vk, true);
  }
  sendKey(vk, true);
}

void KeyOutput::releaseAll() {
  std::vector<uint8_t> keys;
  {
    std::lock_guard lock(mutex_);
    keys = held_.releaseAll();
  }
  for (uint8_t vk : keys) sendKey(vk, true);
}

std::vector<uint8_t> KeyOutput::liftModifiers() {
  std::vector<uint8_t> lifted;
  {
    std::lock_guard lock(mutex_);
    lifted = held_.userModifiers();
  }
  for (uint8_t vk : lifted) sendKey(vk, true);
  return lifted;
}

void KeyOutput::restoreModifiers(const std::vector<uint8_t>& lifted) {
  std::vector<uint8_t> again;
  {
    std::lock_guard lock(mutex_);
    again = held_.stillHeld(lifted);
  }
  for (uint8_t vk : again) sendKey(vk, false);
}

MacroPlayer::MacroPlayer(KeyOutput& output)
    : output_(output), stopEvent_(CreateEventW(nullptr, TRUE, FALSE, nullptr)), thread_([this] { run(); }) {}

MacroPlayer::~MacroPlayer() {
  {
    std::lock_guard lock(mutex_);
    quit_ = true;
    next_.reset();
    stop_ = true;
    SetEvent(stopEvent_);
  }
  wake_.notify_all();
  thread_.join();
  CloseHandle(stopEvent_);
}

void MacroPlayer::play(MacroScript script, int position) {
  {
    std::lock_guard lock(mutex_);
    next_ = std::move(script);
    nextPosition_ = position;
    stop_ = true; // a macro that plays now ends; the new one starts after it released its keys
    SetEvent(stopEvent_);
  }
  wake_.notify_all();
}

void MacroPlayer::stop(int position) {
  std::lock_guard lock(mutex_);
  if (next_ && (position < 0 || nextPosition_ == position)) next_.reset();
  if (position < 0 || playing_.load() == position) {
    stop_ = true;
    SetEvent(stopEvent_);
  }
}

void MacroPlayer::run() {
  SetThreadPriority(GetCurrentThread(), THREAD_PRIORITY_TIME_CRITICAL); // pauses kept to the millisecond
  MSG m;
  PeekMessageW(&m, nullptr, 0, 0, PM_NOREMOVE); // the thread's input state exists before the first key
  OutputKeys keys(output_, stop_);
  SystemClock clock(stopEvent_, stop_);
  for (;;) {
    MacroScript script;
    {
      std::unique_lock lock(mutex_);
      wake_.wait(lock, [this] { return quit_ || next_.has_value(); });
      if (quit_) return;
      script = std::move(*next_);
      next_.reset();
      playing_ = nextPosition_;
      stop_ = false;
      ResetEvent(stopEvent_);
    }
    // The macro plays exactly its own keys: the user's modifiers are up while it plays.
    const std::vector<uint8_t> lifted = output_.liftModifiers();
    {
      const PlayingMacro timing(clock.pauseTimer());
      playMacro(script, clock, keys, stop_);
    }
    output_.restoreModifiers(lifted);
    playing_ = -1;
  }
}

KeyEngine::KeyEngine(HWND window, int refusals)
    : window_(window), player_(std::make_unique<MacroPlayer>(output_)), refusals_(refusals) {
  g_engine = this;
  std::promise<bool> started;
  std::future<bool> result = started.get_future();
  thread_ = std::thread([this, &started] { hookThread(started); });
  installed_ = result.get(); // the hook is in place (or failed) before the monitor goes on
}

KeyEngine::~KeyEngine() {
  player_->stop(); // the macro stops and releases its keys
  // The hook goes first (the hook procedure asks the player what it plays); the hook thread then
  // releases every key the monitor holds.
  if (const DWORD id = threadId_.load()) PostThreadMessageW(id, WM_QUIT, 0, 0);
  if (thread_.joinable()) thread_.join();
  g_engine = nullptr;
  player_.reset();
}

void KeyEngine::post(UINT message) {
  if (const DWORD id = threadId_.load()) PostThreadMessageW(id, message, 0, 0);
}

void KeyEngine::setKeys(std::shared_ptr<const ProfileKeys> keys) {
  {
    std::lock_guard lock(mutex_);
    keys_ = std::move(keys);
  }
  releaseAll();
}

void KeyEngine::setHookReporting(bool on) {
  reporting_ = on;
  if (on) releaseAll(); // a macro playing now would be recorded
}

void KeyEngine::setPaused(bool on) {
  paused_ = on;
  if (on) releaseAll();
}

void KeyEngine::releaseAll() {
  player_->stop();
  post(kReleaseAllMessage);
}

void KeyEngine::reinstall() { post(kReinstallMessage); }

void KeyEngine::dropHookForTest() { post(kDropHookMessage); }

void KeyEngine::releaseHeld() {
  actions_.keysReleased();
  output_.releaseAll();
}

bool KeyEngine::install(LPARAM reason) {
  DWORD error = ERROR_ACCESS_DENIED;
  if (refusals_ > 0) {
    --refusals_;
  } else {
    hook_ = SetWindowsHookExW(WH_KEYBOARD_LL, hookProc, GetModuleHandleW(nullptr), 0);
    error = hook_ ? 0 : GetLastError();
  }
  if (hook_) {
    KillTimer(sink_, kRetryTimer);
  } else {
    SetTimer(sink_, kRetryTimer, kRetryMs, nullptr); // tried again until it works
  }
  PostMessageW(window_, kHookState, hook_ ? 1 : 0, hook_ ? reason : static_cast<LPARAM>(error));
  return hook_ != nullptr;
}

void KeyEngine::reinstallNow(LPARAM reason) {
  // A dropped hook's handle is stale; removing it again is harmless.
  if (hook_) UnhookWindowsHookEx(hook_);
  hook_ = nullptr;
  releaseHeld();
  actions_.forget();
  watchdog_.reset();
  install(reason);
}

void KeyEngine::hookThread(std::promise<bool>& started) {
  MSG m;
  PeekMessageW(&m, nullptr, WM_USER, WM_USER, PM_NOREMOVE); // the thread's queue exists before anyone posts to it
  SetThreadPriority(GetCurrentThread(), THREAD_PRIORITY_TIME_CRITICAL);
  WNDCLASSW wc{};
  wc.lpfnWndProc = sinkProc;
  wc.hInstance = GetModuleHandleW(nullptr);
  wc.lpszClassName = L"Q7PrismoMonHook";
  RegisterClassW(&wc);
  const win32::UniqueWindow sink(
      CreateWindowExW(0, wc.lpszClassName, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, wc.hInstance, nullptr));
  sink_ = sink.get();
  // Raw input reports every physical key even when another program is in front: the watchdog's eyes.
  const RAWINPUTDEVICE keyboard{1, 6, RIDEV_INPUTSINK, sink_};
  const bool watching = sink_ && RegisterRawInputDevices(&keyboard, 1, sizeof keyboard);
  threadId_ = GetCurrentThreadId();
  started.set_value(install(kFirst)); // started is gone after this
  if (!watching) PostMessageW(window_, kHookState, kNoWatchdog, static_cast<LPARAM>(GetLastError()));
  while (GetMessageW(&m, nullptr, 0, 0) > 0) {
    if (m.hwnd) {
      DispatchMessageW(&m);
    } else if (m.message == kReleaseAllMessage) {
      releaseHeld();
    } else if (m.message == kReinstallMessage) {
      reinstallNow(kAsked);
    } else if (m.message == kDropHookMessage && hook_) {
      UnhookWindowsHookEx(hook_); // the handle stays: the watchdog has to find out
    }
  }
  if (hook_) UnhookWindowsHookEx(hook_);
  hook_ = nullptr;
  releaseHeld();
  sink_ = nullptr;
}

LRESULT CALLBACK KeyEngine::sinkProc(HWND wnd, UINT message, WPARAM wParam, LPARAM lParam) noexcept {
  KeyEngine* engine = g_engine;
  if (engine && wnd == engine->sink_) {
    if (message == WM_INPUT) {
      engine->rawInput(reinterpret_cast<HRAWINPUT>(lParam));
      return DefWindowProcW(wnd, message, wParam, lParam); // the system's own cleanup of the input
    }
    if (message == WM_TIMER && wParam == kWatchTimer) {
      engine->watchTimer();
      return 0;
    }
    if (message == WM_TIMER && wParam == kRetryTimer) {
      KillTimer(wnd, kRetryTimer);
      if (!engine->hook_) engine->install(kRetry);
      return 0;
    }
  }
  return DefWindowProcW(wnd, message, wParam, lParam);
}

void KeyEngine::rawInput(HRAWINPUT input) {
  RAWINPUT raw{};
  UINT size = sizeof raw;
  if (GetRawInputData(input, RID_INPUT, &raw, &size, sizeof(RAWINPUTHEADER)) == static_cast<UINT>(-1)) return;
  if (raw.header.dwType != RIM_TYPEKEYBOARD) return;
  const RAWKEYBOARD& k = raw.data.keyboard;
  // Presses of real keys only: no releases, no Pause (E1), no overrun or the keyboard's own fake shifts.
  if ((k.Flags & (RI_KEY_BREAK | RI_KEY_E1)) || k.MakeCode == 0 || k.MakeCode >= 0xFF || k.VKey == 0xFF) return;
  watchdog_.rawKey(static_cast<int64_t>(GetTickCount64()), placeOf(k.MakeCode, (k.Flags & RI_KEY_E0) != 0));
  armWatch();
}

void KeyEngine::armWatch() {
  const int64_t next = watchdog_.nextCheck();
  if (next < 0 || watchArmed_) return;
  const int64_t wait = std::max<int64_t>(next - static_cast<int64_t>(GetTickCount64()), 0) + 1;
  watchArmed_ = SetTimer(sink_, kWatchTimer, static_cast<UINT>(wait), nullptr) != 0;
}

void KeyEngine::watchTimer() {
  KillTimer(sink_, kWatchTimer);
  watchArmed_ = false;
  if (watchdog_.hookLost(static_cast<int64_t>(GetTickCount64()))) {
    if (keysHiddenInFront()) {
      watchdog_.reset(); // the system hid the keys from every hook that is not elevated
    } else {
      reinstallNow(kHookLost);
    }
  }
  armWatch();
}

LRESULT CALLBACK KeyEngine::hookProc(int code, WPARAM wParam, LPARAM lParam) noexcept {
  bool swallow = false;
  if (code == HC_ACTION && lParam) {
    try {
      if (KeyEngine* engine = g_engine) swallow = engine->handle(*reinterpret_cast<const KBDLLHOOKSTRUCT*>(lParam));
    } catch (...) {
      swallow = false; // whatever went wrong, the key goes on
    }
  }
  return swallow ? 1 : CallNextHookEx(nullptr, code, wParam, lParam);
}

bool KeyEngine::handle(const KBDLLHOOKSTRUCT& k) {
  const bool injected = (k.flags & LLKHF_INJECTED) != 0;
  const KeyEvent event{static_cast<uint8_t>(k.vkCode & 0xFF),  (k.flags & LLKHF_UP) != 0,
                       injected && k.dwExtraInfo == kOurInput, k.scanCode,
                       (k.flags & LLKHF_EXTENDED) != 0,        injected};
  if (!event.release && !(k.scanCode & kSystemInsertedScan))
    watchdog_.hookKey(static_cast<int64_t>(GetTickCount64()), placeOf(k.scanCode, event.extended));
  if (event.ours) return false;
  std::shared_ptr<const ProfileKeys> keys;
  {
    std::lock_guard lock(mutex_);
    keys = keys_;
  }
  const KeyDecision d = actions_.decide(event, keys.get(), reporting_ || paused_, player_->playing());
  switch (d.effect) {
  case KeyEffect::Pass:
    if (!injected) output_.passed(event.vk, event.release);
    return false;
  case KeyEffect::Swallow:
    return true;
  case KeyEffect::SendKey:
    output_.send(d.vk, event.release);
    return true;
  case KeyEffect::PlayMacro:
    if (keys) player_->play(macroScript(keys->records[d.position]), d.position);
    return true;
  case KeyEffect::StopMacro:
    player_->stop(d.position);
    return true;
  case KeyEffect::StartProgram:
    if (keys) {
      const auto& path = keys->records[d.position].ProgramPath;
      size_t n = 0;
      while (n < std::size(path) && path[n]) ++n;
      auto text = std::make_unique<std::wstring>(reinterpret_cast<const wchar_t*>(path), n);
      if (PostMessageW(window_, kStartProgram, 0, reinterpret_cast<LPARAM>(text.get()))) text.release();
    }
    return true;
  }
  return false;
}

} // namespace q7::monitor
