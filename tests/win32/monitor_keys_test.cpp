// Our monitor acting on saved settings, end to end: settings are written to the registry as the
// program stores them, HID.exe runs, and a small window of this test with an edit field receives
// real input (SendInput) through the monitor's keyboard hook.
#include <gtest/gtest.h>

#include "platform/win32/windows_only.h"

#include <algorithm>
#include <string>
#include <vector>

#include "../e2e/driver.h"
#include "keys/key_layout.h"
#include "keys/key_record.h"
#include "monitor/key_actions.h"
#include "monitor/messages.h"
#include "text/string_lookup.h"

namespace q7 {
namespace {

struct Arrival {
  UINT message; // WM_KEYDOWN or WM_KEYUP
  WPARAM vk;
  LONG time; // the input's own time stamp (ms), unaffected by when this thread gets round to it
};

// A top-level window with an edit field that has the keyboard focus. Key messages of the edit
// are timed as they arrive; messages of WM_USER and above posted to the window are kept.
class TypingWindow {
public:
  // Shown and given the focus at once unless front is false (then focus() does it).
  explicit TypingWindow(bool front = true) {
    WNDCLASSW wc{};
    wc.lpfnWndProc = DefWindowProcW;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = L"MonitorKeysTest";
    RegisterClassW(&wc);
    wnd = CreateWindowExW(0, wc.lpszClassName, L"Typing", WS_OVERLAPPEDWINDOW, 100, 100, 400, 200, nullptr, nullptr,
                          wc.hInstance, nullptr);
    edit = CreateWindowExW(0, L"EDIT", L"", WS_CHILD | WS_VISIBLE | WS_BORDER, 10, 10, 300, 30, wnd, nullptr,
                           wc.hInstance, nullptr);
    s_self = this;
    editProc_ = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrW(edit, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&TypingWindow::editProc)));
    if (front) focus();
  }
  ~TypingWindow() {
    DestroyWindow(wnd);
    s_self = nullptr;
  }
  void focus() {
    ShowWindow(wnd, SW_SHOW);
    SetForegroundWindow(wnd);
    SetFocus(edit);
    pump(100);
  }
  void pump(DWORD ms) {
    const ULONGLONG end = GetTickCount64() + ms;
    for (;;) {
      MSG m;
      while (PeekMessageW(&m, nullptr, 0, 0, PM_REMOVE)) {
        if (m.hwnd == wnd && m.message >= WM_USER) posted.push_back(m);
        TranslateMessage(&m);
        DispatchMessageW(&m);
      }
      const ULONGLONG now = GetTickCount64();
      if (now >= end) return;
      MsgWaitForMultipleObjects(0, nullptr, FALSE, static_cast<DWORD>(end - now), QS_ALLINPUT);
    }
  }
  // Waits (pumping) until a message of at least WM_USER arrives at the window.
  bool waitPosted(UINT message, DWORD ms) {
    const ULONGLONG end = GetTickCount64() + ms;
    while (GetTickCount64() < end) {
      for (const MSG& m : posted)
        if (m.message == message) return true;
      pump(10);
    }
    return false;
  }
  std::wstring text() const {
    wchar_t buf[256] = {};
    GetWindowTextW(edit, buf, 256);
    return buf;
  }
  // Presses and releases each key in turn, as a user types.
  void type(const std::vector<WORD>& keys) {
    for (WORD vk : keys) {
      key(vk, false);
      pump(30);
      key(vk, true);
      pump(30);
    }
    pump(200);
  }
  static void key(WORD vk, bool release) {
    INPUT in{};
    in.type = INPUT_KEYBOARD;
    in.ki.wVk = vk;
    in.ki.wScan = static_cast<WORD>(MapVirtualKeyW(vk, MAPVK_VK_TO_VSC));
    in.ki.dwFlags = release ? KEYEVENTF_KEYUP : 0;
    SendInput(1, &in, sizeof in);
  }

  HWND wnd = nullptr, edit = nullptr;
  std::vector<Arrival> arrivals;
  std::vector<MSG> posted;

private:
  static LRESULT CALLBACK editProc(HWND w, UINT m, WPARAM wp, LPARAM lp) {
    if (s_self && (m == WM_KEYDOWN || m == WM_KEYUP)) s_self->arrivals.push_back({m, wp, GetMessageTime()});
    return CallWindowProcW(s_self->editProc_, w, m, wp, lp);
  }
  static inline TypingWindow* s_self = nullptr;
  WNDPROC editProc_ = nullptr;
};

void writeValue(const std::wstring& path, const wchar_t* name, const void* data, DWORD size) {
  HKEY key = nullptr;
  ASSERT_EQ(RegCreateKeyExW(HKEY_CURRENT_USER, path.c_str(), 0, nullptr, 0, KEY_WRITE, nullptr, &key, nullptr), 0);
  RegSetValueExW(key, name, 0, REG_BINARY, static_cast<const BYTE*>(data), size);
  RegCloseKey(key);
}

const std::wstring kMain = L"Software\\VORTAN\\Q7";
std::wstring profileKey(int p) { return kMain + L"\\Profile" + std::to_wstring(p); }

// The key position that reports vk in the layout of the installed string file, as the monitor maps it.
int positionOf(uint8_t vk) {
  setStringFilePath(reinterpret_cast<const char16_t*>((e2e::distFolder() + L"Strings.xml").c_str()));
  ProfileKeys keys;
  keys.mapPositions(keyLayoutFor(lookupString(u"MAIN", u"LANG")));
  return keys.positionOfVk[vk];
}

void writeKey(int profile, uint8_t vk, const KeyRecord& record) {
  wchar_t name[16];
  swprintf(name, 16, L"Button%03d", positionOf(vk));
  writeValue(profileKey(profile), name, &record, sizeof record);
}

void writeCurrent(int profile) {
  const uint8_t p = static_cast<uint8_t>(profile);
  writeValue(kMain, L"ProfileCurrent", &p, 1);
}

KeyRecord singleKey(uint8_t target) {
  KeyRecord r{};
  r.Kind = 1;
  r.setSingleKeyVk(target);
  return r;
}

class MonitorKeys : public ::testing::Test {
protected:
  void startMonitor() {
    monitor = e2e::Process(e2e::distFolder() + L"HID.exe");
    const ULONGLONG end = GetTickCount64() + 20000;
    while (!(window = FindWindowW(nullptr, L"Q7PrismoMon")) && GetTickCount64() < end) Sleep(20);
    ASSERT_NE(window, nullptr);
  }
  void TearDown() override {
    if (monitor.started()) {
      e2e::Process(e2e::distFolder() + L"HID.exe", L"--quit").wait(5000);
      monitor.wait(5000);
    }
  }
  e2e::Process monitor;
  HWND window = nullptr;
};

TEST_F(MonitorKeys, RemappedKeyTypesItsTargetAndADisabledKeyNothing) {
  writeCurrent(1);
  writeKey(1, 'A', singleKey('B'));
  KeyRecord disabled{};
  disabled.Kind = 10;
  writeKey(1, 'S', disabled);
  startMonitor();
  TypingWindow typing;
  typing.type({'A', 'S', 'D'});
  EXPECT_EQ(typing.text(), L"bd");

  writeCurrent(0); // the PC mode: every key its own
  PostMessageW(window, msg::kSettingsSaved, 1, 0);
  typing.pump(300);
  typing.type({'A', 'S'});
  EXPECT_EQ(typing.text(), L"bdas");
}

// Three plays of a macro; each pause is judged by its median over the plays, so that one moment of
// a busy machine cannot fail the test while a pause played wrongly every time still does.
TEST_F(MonitorKeys, MacroPlaysItsKeysWithTheirStoredPauses) {
  KeyRecord macro{};
  macro.Kind = 2;
  macro.RepeatCount = 2;
  const struct {
    uint8_t vk;
    bool press;
    uint16_t pause;
  } lines[] = {{'X', true, 120}, {'X', false, 60}, {'Y', true, 200}, {'Y', false, 0}};
  for (const auto& l : lines) {
    uint8_t* e = macro.Events + 6 * macro.EventCount;
    e[0] = l.vk;
    e[2] = l.press ? 0x80 : 0;
    e[7] = 0xFF;
    e[10] = l.pause & 0xFF;
    e[11] = l.pause >> 8;
    macro.EventCount += 2;
  }
  writeCurrent(1);
  writeKey(1, 'F', macro);
  startMonitor();
  TypingWindow typing;
  TypingWindow::key('F', false);
  TypingWindow::key('F', true);
  typing.pump(1600);
  EXPECT_EQ(typing.text(), L"xyxyxy");
  ASSERT_EQ(typing.arrivals.size(), 12u);
  const LONG want[] = {120, 60, 200};
  for (int k = 0; k < 3; ++k) {
    std::vector<LONG> pauses;
    for (int play = 0; play < 3; ++play)
      pauses.push_back(typing.arrivals[4 * play + k + 1].time - typing.arrivals[4 * play + k].time);
    std::sort(pauses.begin(), pauses.end());
    EXPECT_NEAR(pauses[1], want[k], 15) << "pause " << k << ": " << pauses[0] << " " << pauses[1] << " " << pauses[2];
  }
}

// A macro that holds X down for a long pause: the key comes up when the profile changes and when
// the monitor quits, long before the macro would have released it.
TEST_F(MonitorKeys, KeysAMacroHoldsAreReleasedWhenTheProfileChangesOrTheMonitorQuits) {
  KeyRecord macro{};
  macro.Kind = 2;
  macro.EventCount = 3;
  macro.Events[0] = 'X';
  macro.Events[2] = 0x80;
  macro.Events[7] = 0xFF;
  macro.Events[10] = 0x30; // 30,000 ms
  macro.Events[11] = 0x75;
  macro.Events[12] = 'X';
  writeCurrent(1);
  writeKey(1, 'F', macro);
  startMonitor();
  TypingWindow typing;
  auto xUps = [&] {
    int n = 0;
    for (const Arrival& a : typing.arrivals) n += a.message == WM_KEYUP && a.vk == 'X';
    return n;
  };
  auto waitXUps = [&](int n) {
    for (int i = 0; i < 100 && xUps() < n; ++i) typing.pump(20);
    return xUps();
  };
  TypingWindow::key('F', false);
  TypingWindow::key('F', true);
  typing.pump(300);
  EXPECT_EQ(typing.text(), L"x");
  EXPECT_EQ(xUps(), 0);
  PostMessageW(window, msg::kProfileShown, 2, 0);
  EXPECT_EQ(waitXUps(1), 1);

  PostMessageW(window, msg::kProfileShown, 1, 0);
  typing.pump(200);
  TypingWindow::key('F', false);
  TypingWindow::key('F', true);
  typing.pump(300);
  EXPECT_EQ(typing.text(), L"xx");
  EXPECT_EQ(xUps(), 1);
  EXPECT_EQ(e2e::Process(e2e::distFolder() + L"HID.exe", L"--quit").wait(5000), 0u);
  EXPECT_EQ(waitXUps(2), 2);
  EXPECT_EQ(monitor.wait(5000), 0u);
}

TEST_F(MonitorKeys, NewSettingsAreInForceBeforeTheAnswer) {
  writeCurrent(1);
  writeKey(1, 'A', singleKey('B'));
  startMonitor();
  TypingWindow typing;
  PostMessageW(window, msg::kAnnounceWindow, reinterpret_cast<WPARAM>(typing.wnd), 0);
  typing.type({'A'});
  writeKey(1, 'A', singleKey('C'));
  PostMessageW(window, msg::kSettingsSaved, 1, 1);
  ASSERT_TRUE(typing.waitPosted(msg::kSaveAcknowledged, 5000));
  typing.type({'A'}); // at once after the answer
  EXPECT_EQ(typing.text(), L"bc");
}

TEST_F(MonitorKeys, TheProgramInFrontSwitchesToItsLinkedProfile) {
  wchar_t self[MAX_PATH];
  GetModuleFileNameW(nullptr, self, MAX_PATH);
  std::wstring name = self;
  name.erase(0, name.find_last_of(L'\\') + 1);
  wchar_t slot[130] = {};
  name.copy(slot, 129);
  writeCurrent(1);
  writeKey(1, 'A', singleKey('B'));
  writeKey(2, 'A', singleKey('E'));
  writeValue(profileKey(2), L"LinkExe3", slot, sizeof slot);
  startMonitor();
  TypingWindow typing(false);
  PostMessageW(window, msg::kAnnounceWindow, reinterpret_cast<WPARAM>(typing.wnd), 0);
  Sleep(300);     // the monitor has seen what was in front before this window
  typing.focus(); // now this program comes to the front
  ASSERT_TRUE(typing.waitPosted(msg::kSwitchProfile, 5000));
  for (const MSG& m : typing.posted) {
    if (m.message != msg::kSwitchProfile) continue;
    EXPECT_EQ(m.wParam, 2u);
    EXPECT_EQ(m.lParam, static_cast<LPARAM>(msg::kNoEcho));
  }
  typing.type({'A'});
  EXPECT_EQ(typing.text(), L"e");
}

TEST_F(MonitorKeys, WhileTheHookLibraryReportsKeysPassUnchanged) {
  writeCurrent(1);
  writeKey(1, 'A', singleKey('B'));
  startMonitor();
  TypingWindow typing;
  HMODULE lib = LoadLibraryW((e2e::distFolder() + L"KBHook.dll").c_str());
  ASSERT_NE(lib, nullptr);
  auto install = reinterpret_cast<BOOL (*)(HWND)>(reinterpret_cast<void*>(GetProcAddress(lib, "installhook")));
  auto remove = reinterpret_cast<void (*)()>(reinterpret_cast<void*>(GetProcAddress(lib, "removehook")));
  auto status = reinterpret_cast<void (*)(int)>(reinterpret_cast<void*>(GetProcAddress(lib, "SetHookStatus")));
  ASSERT_TRUE(install && remove && status);
  ASSERT_TRUE(install(typing.wnd));
  status(1); // recording: the physical key is recorded and typed
  typing.pump(300);
  typing.type({'A'});
  std::vector<WPARAM> reported;
  for (const MSG& m : typing.posted)
    if (m.message == msg::kHookKey) reported.push_back(m.wParam);
  EXPECT_EQ(reported, (std::vector<WPARAM>{'A', 'A'}));
  status(0);
  typing.pump(300);
  typing.type({'A'});
  EXPECT_EQ(typing.text(), L"ab");
  remove();
  FreeLibrary(lib);
}

TEST_F(MonitorKeys, AProgramKeyStartsItsProgram) {
  wchar_t system[MAX_PATH];
  GetSystemDirectoryW(system, MAX_PATH);
  const std::wstring notepad = std::wstring(system) + L"\\notepad.exe";
  KeyRecord program{};
  program.Kind = 9;
  notepad.copy(reinterpret_cast<wchar_t*>(program.ProgramPath), 129);
  writeCurrent(1);
  writeKey(1, 'G', program);
  startMonitor();
  TypingWindow typing;
  typing.type({'G'});
  EXPECT_EQ(typing.text(), L"");
  HWND started = nullptr;
  const ULONGLONG end = GetTickCount64() + 15000;
  while (!(started = FindWindowW(L"Notepad", nullptr)) && GetTickCount64() < end) typing.pump(50);
  ASSERT_NE(started, nullptr);
  PostMessageW(started, WM_CLOSE, 0, 0);
}

} // namespace
} // namespace q7
