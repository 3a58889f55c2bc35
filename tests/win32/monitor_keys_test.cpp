// Our monitor acting on saved settings, end to end: settings are written to the registry as the
// program stores them, HID.exe runs, and a small window of this test with an edit field receives
// physical keys, typed through the X server with xdotool, through the monitor's keyboard hook.
// (The monitor acts on physical input only: keys that a program sends pass it unchanged.)
#include <gtest/gtest.h>

#include "platform/win32/windows_only.h"

#include <algorithm>
#include <string>
#include <vector>

#include "../e2e/driver.h"
#include "typing_window.h"
#include "keys/key_layout.h"
#include "keys/key_record.h"
#include "monitor/hook_watchdog.h"
#include "monitor/key_actions.h"
#include "monitor/messages.h"
#include "text/string_lookup.h"

namespace q7 {
namespace {

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
  typing.type(L"a s d");
  EXPECT_EQ(typing.text(), L"bd");

  writeCurrent(0); // the PC mode: every key its own
  PostMessageW(window, msg::kSettingsSaved, 1, 0);
  typing.pump(300);
  typing.type(L"a s");
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
  typing.xdotool(L"key f");
  typing.pump(1400);
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
  typing.xdotool(L"key f");
  typing.pump(100);
  EXPECT_EQ(typing.text(), L"x");
  EXPECT_EQ(xUps(), 0);
  PostMessageW(window, msg::kProfileShown, 2, 0);
  EXPECT_EQ(waitXUps(1), 1);

  PostMessageW(window, msg::kProfileShown, 1, 0);
  typing.pump(200);
  typing.xdotool(L"key f");
  typing.pump(100);
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
  typing.type(L"a");
  writeKey(1, 'A', singleKey('C'));
  PostMessageW(window, msg::kSettingsSaved, 1, 1);
  ASSERT_TRUE(typing.waitPosted(msg::kSaveAcknowledged, 5000));
  typing.type(L"a"); // at once after the answer
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
  typing.type(L"a");
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
  typing.type(L"a");
  std::vector<WPARAM> reported;
  for (const MSG& m : typing.posted)
    if (m.message == msg::kHookKey) reported.push_back(m.wParam);
  EXPECT_EQ(reported, (std::vector<WPARAM>{'A', 'A'}));
  status(0);
  typing.pump(300);
  typing.type(L"a");
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
  typing.type(L"g");
  EXPECT_EQ(typing.text(), L"");
  HWND started = nullptr;
  const ULONGLONG end = GetTickCount64() + 15000;
  while (!(started = FindWindowW(L"Notepad", nullptr)) && GetTickCount64() < end) typing.pump(50);
  ASSERT_NE(started, nullptr);
  PostMessageW(started, WM_CLOSE, 0, 0);
}

KeyRecord disabledKey() {
  KeyRecord r{};
  r.Kind = 10;
  return r;
}

// The system removes a hook whose call took too long, without notice; the monitor finds out from
// the keys it then no longer sees, and installs it again.
TEST_F(MonitorKeys, ARemovedHookIsInstalledAgainAndARemappedKeyWorksAgain) {
  SetEnvironmentVariableW(L"Q7MON_TEST_MESSAGES", L"1");
  SetEnvironmentVariableW(L"Q7MON_LOG", e2e::monitorLogPath().c_str());
  DeleteFileW(e2e::monitorLogPath().c_str());
  writeCurrent(1);
  writeKey(1, 'A', singleKey('B'));
  startMonitor();
  SetEnvironmentVariableW(L"Q7MON_TEST_MESSAGES", nullptr);
  SetEnvironmentVariableW(L"Q7MON_LOG", nullptr);
  TypingWindow typing;
  typing.type(L"a");
  PostMessageW(window, msg::kTestRemoveHook, 0, 0);
  typing.pump(300);
  typing.type(L"a"); // no hook: the key goes on as it is, and the watchdog sees that
  typing.pump(2 * kHookGraceMs);
  typing.type(L"a");
  EXPECT_EQ(typing.text(), L"bab");
  int reinstalls = 0;
  for (const e2e::LogLine& l : e2e::readLog())
    reinstalls += l.kind == "hook" && l.wParam == 1 && l.lParam == 1; // installed after it was lost
  EXPECT_EQ(reinstalls, 1);
}

// A hook that the system refuses is told in the log (and the tray) and tried again until it works.
TEST_F(MonitorKeys, ARefusedHookIsReportedAndTriedAgain) {
  SetEnvironmentVariableW(L"Q7MON_TEST_HOOK_REFUSALS", L"1");
  SetEnvironmentVariableW(L"Q7MON_LOG", e2e::monitorLogPath().c_str());
  DeleteFileW(e2e::monitorLogPath().c_str());
  writeCurrent(1);
  writeKey(1, 'A', singleKey('B'));
  startMonitor();
  SetEnvironmentVariableW(L"Q7MON_TEST_HOOK_REFUSALS", nullptr);
  SetEnvironmentVariableW(L"Q7MON_LOG", nullptr);
  TypingWindow typing;
  auto hookLines = [] {
    std::vector<std::pair<unsigned long long, long long>> lines;
    for (const e2e::LogLine& l : e2e::readLog())
      if (l.kind == "hook") lines.emplace_back(l.wParam, l.lParam);
    return lines;
  };
  const ULONGLONG end = GetTickCount64() + 15000;
  while (hookLines().size() < 2 && GetTickCount64() < end) typing.pump(50);
  const auto lines = hookLines();
  std::string log;
  for (const e2e::LogLine& l : e2e::readLog())
    log += l.kind + " " + std::to_string(l.wParam) + " " + std::to_string(l.lParam) + "; ";
  ASSERT_EQ(lines.size(), 2u) << log;
  EXPECT_EQ(lines[0].first, 0u); // refused, with the system's error code
  EXPECT_EQ(lines[0].second, static_cast<long long>(ERROR_ACCESS_DENIED));
  EXPECT_EQ(lines[1].first, 1u); // installed on the retry
  EXPECT_EQ(lines[1].second, 3);
  typing.type(L"a");
  EXPECT_EQ(typing.text(), L"b");
}

// With Num Lock off the pad's 1 reports End without the extended flag: it is still pad 1.
TEST_F(MonitorKeys, ThePadsOneWithNumLockOffIsNotTheEndKey) {
  writeCurrent(1);
  writeKey(1, 0x23, disabledKey()); // End of the navigation block
  writeKey(1, 0x61, singleKey('B'));
  startMonitor();
  TypingWindow typing;
  ASSERT_FALSE(GetKeyState(VK_NUMLOCK) & 1) << "the test needs Num Lock off";
  typing.type(L"KP_End End KP_End");
  EXPECT_EQ(typing.text(), L"bb");
  for (const Arrival& a : typing.arrivals) EXPECT_NE(a.vk, static_cast<WPARAM>(VK_END));
}

TEST_F(MonitorKeys, AnotherProgramsInputPassesUnchanged) {
  writeCurrent(1);
  writeKey(1, 'A', singleKey('B'));
  startMonitor();
  TypingWindow typing;
  TypingWindow::send('A', false);
  TypingWindow::send('A', true);
  typing.pump(300);
  typing.type(L"a");
  EXPECT_EQ(typing.text(), L"ab");
}

// A key remapped to Left Shift, held while the monitor quits: the shift does not stay down.
TEST_F(MonitorKeys, QuittingWhileARemappedModifierIsHeldLeavesItReleased) {
  writeCurrent(1);
  writeKey(1, 'A', singleKey(VK_LSHIFT));
  startMonitor();
  TypingWindow typing;
  typing.xdotool(L"keydown a");
  const bool held = GetAsyncKeyState(VK_LSHIFT) & 0x8000;
  EXPECT_EQ(e2e::Process(e2e::distFolder() + L"HID.exe", L"--quit").wait(5000), 0u);
  EXPECT_EQ(monitor.wait(5000), 0u);
  typing.pump(300);
  const bool stillHeld = GetAsyncKeyState(VK_LSHIFT) & 0x8000;
  typing.xdotool(L"keyup a");
  EXPECT_TRUE(held);
  EXPECT_FALSE(stillHeld);
}

// Locking the session lets go of what the monitor holds: the remapped Shift comes up although the
// key stays down, and stays up through the key's auto-repeat and release.
TEST_F(MonitorKeys, LockingTheSessionReleasesTheKeysTheMonitorHolds) {
  writeCurrent(1);
  writeKey(1, 'A', singleKey(VK_LSHIFT));
  startMonitor();
  TypingWindow typing;
  typing.xdotool(L"keydown a");
  const bool held = GetAsyncKeyState(VK_LSHIFT) & 0x8000;
  PostMessageW(window, WM_WTSSESSION_CHANGE, WTS_SESSION_LOCK, 0);
  typing.pump(300);
  const bool heldAfterLock = GetAsyncKeyState(VK_LSHIFT) & 0x8000;
  typing.xdotool(L"keyup a");
  EXPECT_TRUE(held);
  EXPECT_FALSE(heldAfterLock);
  typing.type(L"s");
  EXPECT_EQ(typing.text(), L"s");
}

// The keys the monitor sends look like a keyboard's: another program's hook sees each with its
// scan code and extended flag.
TEST_F(MonitorKeys, SentKeysCarryTheirScanCodeAndExtendedFlag) {
  struct Seen {
    DWORD vk, scan;
    bool extended;
    bool operator==(const Seen&) const = default;
  };
  static std::vector<Seen> seen;
  seen.clear();
  writeCurrent(1);
  const struct {
    uint8_t typed, target;
    Seen sent;
  } cases[] = {{'A', 'B', {'B', 0x30, false}},
               {'S', VK_LEFT, {VK_LEFT, 0x4B, true}},
               {'D', 0x6C, {VK_RETURN, 0x1C, true}},
               {'F', VK_RCONTROL, {VK_RCONTROL, 0x1D, true}},
               {'H', VK_DIVIDE, {VK_DIVIDE, 0x35, true}},
               {'J', VK_NUMPAD1, {VK_NUMPAD1, 0x4F, false}},
               {'G', VK_SNAPSHOT, {VK_SNAPSHOT, 0x37, true}}};
  for (const auto& c : cases) writeKey(1, c.typed, singleKey(c.target));
  startMonitor();
  TypingWindow typing;
  HHOOK hook = SetWindowsHookExW(
      WH_KEYBOARD_LL,
      [](int code, WPARAM wParam, LPARAM lParam) -> LRESULT {
        const auto* k = reinterpret_cast<const KBDLLHOOKSTRUCT*>(lParam);
        if (code == HC_ACTION && !(k->flags & LLKHF_UP) && (k->flags & LLKHF_INJECTED))
          seen.push_back({k->vkCode, k->scanCode, (k->flags & LLKHF_EXTENDED) != 0});
        return CallNextHookEx(nullptr, code, wParam, lParam);
      },
      GetModuleHandleW(nullptr), 0);
  ASSERT_NE(hook, nullptr);
  typing.type(L"a s d f h j g");
  UnhookWindowsHookEx(hook);
  std::string got;
  for (const Seen& k : seen) got += " " + std::to_string(k.vk) + "/" + std::to_string(k.scan) + (k.extended ? "e" : "");
  ASSERT_EQ(seen.size(), std::size(cases)) << got;
  for (size_t i = 0; i < seen.size(); ++i) {
    EXPECT_EQ(seen[i].vk, cases[i].sent.vk) << i;
    EXPECT_EQ(seen[i].scan, cases[i].sent.scan) << i;
    EXPECT_EQ(seen[i].extended, cases[i].sent.extended) << i;
  }
}

// A macro types exactly its own keys: Shift held when it starts is up while it plays, and down
// again after it, since the user still holds it.
TEST_F(MonitorKeys, AMacroPlaysWithoutTheModifiersTheUserHolds) {
  KeyRecord macro{};
  macro.Kind = 2;
  macro.EventCount = 2;
  macro.Events[0] = 'X';
  macro.Events[2] = 0x80;
  macro.Events[6] = 'X';
  writeCurrent(1);
  writeKey(1, 'F', macro);
  startMonitor();
  TypingWindow typing;
  typing.xdotool(L"keydown shift key f");
  typing.pump(300);
  const bool shiftAfter = GetAsyncKeyState(VK_LSHIFT) & 0x8000;
  typing.xdotool(L"keyup shift");
  EXPECT_EQ(typing.text(), L"x");
  EXPECT_TRUE(shiftAfter);
  typing.type(L"a");
  EXPECT_EQ(typing.text(), L"xa");
}

// A toggle macro plays until it is stopped; recording a key (the hook library's status 1) stops it.
TEST_F(MonitorKeys, RecordingStopsAPlayingToggleMacro) {
  KeyRecord macro{};
  macro.Kind = 2;
  macro.RepeatMode = 2;
  const struct {
    uint8_t vk;
    bool press;
  } lines[] = {{'X', true}, {'X', false}};
  for (const auto& l : lines) {
    uint8_t* e = macro.Events + 6 * macro.EventCount;
    e[0] = l.vk;
    e[2] = l.press ? 0x80 : 0;
    e[7] = 0xFF;
    e[10] = 40; // 40 ms
    macro.EventCount += 2;
  }
  writeCurrent(1);
  writeKey(1, 'F', macro);
  startMonitor();
  TypingWindow typing;
  typing.xdotool(L"key f");
  typing.pump(300);
  ASSERT_GE(typing.text().size(), 3u) << "the macro plays";
  HMODULE lib = LoadLibraryW((e2e::distFolder() + L"KBHook.dll").c_str());
  ASSERT_NE(lib, nullptr);
  auto install = reinterpret_cast<BOOL (*)(HWND)>(reinterpret_cast<void*>(GetProcAddress(lib, "installhook")));
  auto remove = reinterpret_cast<void (*)()>(reinterpret_cast<void*>(GetProcAddress(lib, "removehook")));
  auto status = reinterpret_cast<void (*)(int)>(reinterpret_cast<void*>(GetProcAddress(lib, "SetHookStatus")));
  ASSERT_TRUE(install && remove && status);
  ASSERT_TRUE(install(typing.wnd));
  status(1);
  typing.pump(300);
  const size_t stopped = typing.text().size();
  typing.pump(500);
  EXPECT_EQ(typing.text().size(), stopped);
  status(0);
  remove();
  FreeLibrary(lib);
}

} // namespace
} // namespace q7
