#include "companions/monitor/key_engine.h"

#include "companions/monitor/system_clock.h"

#include <utility>

namespace q7::monitor {

namespace {

KeyEngine* g_engine = nullptr; // the hook procedure has no context of its own

class SentKeys final : public MacroKeys {
public:
  void key(uint8_t vk, bool release) override { sendKey(vk, release); }
};

} // namespace

void sendKey(uint8_t vk, bool release) {
  const SendableKey k = sendableKey(vk);
  INPUT in{};
  in.type = INPUT_KEYBOARD;
  in.ki.wVk = k.vk;
  in.ki.wScan = static_cast<WORD>(MapVirtualKeyW(k.vk, MAPVK_VK_TO_VSC));
  in.ki.dwFlags = (k.extended ? KEYEVENTF_EXTENDEDKEY : 0) | (release ? KEYEVENTF_KEYUP : 0);
  in.ki.dwExtraInfo = kOurInput;
  SendInput(1, &in, sizeof in);
}

MacroPlayer::MacroPlayer() : stopEvent_(CreateEventW(nullptr, TRUE, FALSE, nullptr)), thread_([this] { run(); }) {}

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
  SentKeys keys;
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
    {
      const PlayingMacro timing(clock.pauseTimer());
      playMacro(script, clock, keys, stop_);
    }
    playing_ = -1;
  }
}

KeyEngine::KeyEngine(HWND programWindow) : programWindow_(programWindow) {
  g_engine = this;
  thread_ = std::thread([this] { hookThread(); });
  // The hook is in place (or failed) before the monitor goes on.
  for (int i = 0; i < 500 && threadId_.load() == 0; ++i) Sleep(2);
}

KeyEngine::~KeyEngine() {
  player_.stop();
  if (const DWORD id = threadId_.load()) PostThreadMessageW(id, WM_QUIT, 0, 0);
  if (thread_.joinable()) thread_.join();
  g_engine = nullptr;
}

void KeyEngine::setKeys(std::shared_ptr<const ProfileKeys> keys) {
  {
    std::lock_guard lock(mutex_);
    keys_ = std::move(keys);
  }
  player_.stop();
}

void KeyEngine::setPaused(bool on) {
  paused_ = on;
  if (on) player_.stop();
}

void KeyEngine::hookThread() {
  MSG m;
  PeekMessageW(&m, nullptr, WM_USER, WM_USER, PM_NOREMOVE); // the thread's queue exists before anyone posts to it
  hook_ = SetWindowsHookExW(WH_KEYBOARD_LL, hookProc, GetModuleHandleW(nullptr), 0);
  SetThreadPriority(GetCurrentThread(), THREAD_PRIORITY_TIME_CRITICAL);
  threadId_ = GetCurrentThreadId();
  while (GetMessageW(&m, nullptr, 0, 0) > 0) DispatchMessageW(&m);
  if (hook_) UnhookWindowsHookEx(hook_);
  hook_ = nullptr;
}

LRESULT CALLBACK KeyEngine::hookProc(int code, WPARAM wParam, LPARAM lParam) {
  if (code == HC_ACTION && g_engine && g_engine->handle(*reinterpret_cast<const KBDLLHOOKSTRUCT*>(lParam))) return 1;
  return CallNextHookEx(nullptr, code, wParam, lParam);
}

bool KeyEngine::handle(const KBDLLHOOKSTRUCT& k) {
  const KeyEvent event{keyOfHookEvent(static_cast<uint8_t>(k.vkCode & 0xFF), (k.flags & LLKHF_EXTENDED) != 0),
                       (k.flags & LLKHF_UP) != 0, k.dwExtraInfo == kOurInput};
  if (event.ours) return false;
  std::shared_ptr<const ProfileKeys> keys;
  {
    std::lock_guard lock(mutex_);
    keys = keys_;
  }
  const KeyDecision d = actions_.decide(event, keys.get(), reporting_ || paused_, player_.playing());
  switch (d.effect) {
  case KeyEffect::Pass:
    return false;
  case KeyEffect::Swallow:
    return true;
  case KeyEffect::SendKey:
    sendKey(d.vk, event.release);
    return true;
  case KeyEffect::PlayMacro:
    if (keys) player_.play(macroScript(keys->records[d.position]), d.position);
    return true;
  case KeyEffect::StopMacro:
    player_.stop(d.position);
    return true;
  case KeyEffect::StartProgram:
    if (keys) {
      const auto& path = keys->records[d.position].ProgramPath;
      size_t n = 0;
      while (n < std::size(path) && path[n]) ++n;
      auto* text = new std::wstring(reinterpret_cast<const wchar_t*>(path), n);
      if (!PostMessageW(programWindow_, kStartProgram, 0, reinterpret_cast<LPARAM>(text))) delete text;
    }
    return true;
  }
  return false;
}

} // namespace q7::monitor
