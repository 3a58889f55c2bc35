// Our monitor as the user meets it beyond the keys: it sleeps while nothing happens, tells in a
// balloon (and its log) when a program key's program cannot start, follows the end of a
// recording program without polling, and offers its tray menu. Physical keys are typed through
// the X server with xdotool, which reaches the monitor's hook as a keyboard would.
#include <gtest/gtest.h>

#include "platform/win32/windows_only.h"

#include <cstdio>
#include <string>
#include <vector>

#include "../e2e/driver.h"
#include "../e2e/linux_side.h"
#include "typing_window.h"
#include "keys/key_layout.h"
#include "keys/key_record.h"
#include "monitor/key_actions.h"
#include "monitor/messages.h"
#include "text/string_lookup.h"

namespace q7 {
namespace {

constexpr UINT kTrayCallback = WM_APP + 20; // the monitor's tray icon's mouse messages

const std::wstring kMain = L"Software\\VORTAN\\Q7";

void writeValue(const std::wstring& path, const wchar_t* name, const void* data, DWORD size) {
  HKEY key = nullptr;
  ASSERT_EQ(RegCreateKeyExW(HKEY_CURRENT_USER, path.c_str(), 0, nullptr, 0, KEY_WRITE, nullptr, &key, nullptr), 0);
  RegSetValueExW(key, name, 0, REG_BINARY, static_cast<const BYTE*>(data), size);
  RegCloseKey(key);
}

// Stores record on the key that reports vk, in profile 1, and makes profile 1 current.
void writeKey(uint8_t vk, const KeyRecord& record) {
  setStringFilePath(reinterpret_cast<const char16_t*>((e2e::distFolder() + L"Strings.xml").c_str()));
  ProfileKeys keys;
  keys.mapPositions(keyLayoutFor(lookupString(u"MAIN", u"LANG")));
  wchar_t name[16];
  swprintf(name, 16, L"Button%03d", keys.positionOfVk[vk]);
  writeValue(kMain + L"\\Profile1", name, &record, sizeof record);
  const uint8_t current = 1;
  writeValue(kMain, L"ProfileCurrent", &current, 1);
}

KeyRecord singleKey(uint8_t target) {
  KeyRecord r{};
  r.Kind = 1;
  r.setSingleKeyVk(target);
  return r;
}

// The log's balloon lines, as "<ms> balloon <text>" in UTF-8.
std::vector<std::string> balloons() {
  std::vector<std::string> found;
  const std::string log = e2e::readWholeFile(e2e::monitorLogPath());
  size_t at = 0;
  while (at < log.size()) {
    size_t end = log.find('\n', at);
    if (end == std::string::npos) end = log.size();
    std::string line = log.substr(at, end - at);
    if (!line.empty() && line.back() == '\r') line.pop_back();
    const size_t tag = line.find(" balloon ");
    if (tag != std::string::npos) found.push_back(line.substr(tag + 9));
    at = end + 1;
  }
  return found;
}

std::string utf8(const std::wstring& text) {
  std::string out(text.size() * 3 + 1, '\0');
  out.resize(static_cast<size_t>(WideCharToMultiByte(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()),
                                                     out.data(), static_cast<int>(out.size()), nullptr, nullptr)));
  return out;
}

class MonitorShell : public ::testing::Test {
protected:
  void SetUp() override { DeleteFileW(e2e::monitorLogPath().c_str()); }
  void start(const std::wstring& args = L"") {
    monitor = e2e::Process(e2e::distFolder() + L"HID.exe", L"--log \"" + e2e::monitorLogPath() + L"\" " + args);
    const ULONGLONG end = GetTickCount64() + 20000;
    while (!(window = FindWindowW(nullptr, L"Q7PrismoMon")) && GetTickCount64() < end) Sleep(20);
    ASSERT_NE(window, nullptr);
  }
  void TearDown() override {
    if (monitor.running()) {
      e2e::Process(e2e::distFolder() + L"HID.exe", L"--quit").wait(5000);
      monitor.wait(5000);
    }
  }
  e2e::Process monitor;
  HWND window = nullptr;
};

// With no input the monitor does not wake: a timer of 100 ms would give some 30 wakeups here.
TEST_F(MonitorShell, AMonitorWithNoInputDoesNotWakeUp) {
  start();
  Sleep(1000); // settled after its start
  const std::wstring pid = e2e::linuxProcessOf("HID.exe");
  ASSERT_FALSE(pid.empty()) << "the monitor's Linux process is not found under Z:\\proc";
  const long long before = e2e::voluntarySwitches(pid);
  Sleep(3000);
  const long long woke = e2e::voluntarySwitches(pid) - before;
  EXPECT_LE(woke, 5) << "the monitor woke " << woke << " times in 3 s with no input";
}

// A program key whose program cannot start shows the system's own reason in a balloon.
TEST_F(MonitorShell, AProgramKeyWhoseProgramCannotStartShowsTheSystemsReason) {
  const std::wstring missing = L"C:\\no such folder\\nothing here.exe";
  KeyRecord program{};
  program.Kind = 9;
  missing.copy(reinterpret_cast<wchar_t*>(program.ProgramPath), 129);
  writeKey('G', program);
  start();
  TypingWindow typing;
  typing.focus();
  typing.type(L"g");
  EXPECT_EQ(typing.text(), L"");
  std::vector<std::string> shown;
  for (int i = 0; i < 50 && shown.empty(); ++i) {
    typing.pump(100);
    shown = balloons();
  }
  ASSERT_EQ(shown.size(), 1u);
  EXPECT_NE(shown[0].find(utf8(missing)), std::string::npos) << shown[0];
  // The reason is the system's text for the error, whichever of the two "not found" errors it gave.
  bool systemText = false;
  for (DWORD error : {ERROR_FILE_NOT_FOUND, ERROR_PATH_NOT_FOUND}) {
    wchar_t text[512] = {};
    FormatMessageW(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, error, 0, text, 512, nullptr);
    std::wstring reason = text;
    while (!reason.empty() && (reason.back() == L'\n' || reason.back() == L'\r' || reason.back() == L' '))
      reason.pop_back();
    systemText = systemText || (!reason.empty() && shown[0].find(utf8(reason)) != std::string::npos);
  }
  EXPECT_TRUE(systemText) << shown[0];
}

// A program that records (its hook library reports keys) and dies leaves the keys passing no
// longer: the monitor learns of its end from the system and changes keys again.
TEST_F(MonitorShell, KeysAreChangedAgainWhenARecordingProgramEnds) {
  writeKey('A', singleKey('B'));
  start();
  wchar_t system[MAX_PATH];
  GetSystemDirectoryW(system, MAX_PATH);
  e2e::Process recorder(std::wstring(system) + L"\\cmd.exe", L"/c ping -n 30 127.0.0.1 >nul");
  ASSERT_TRUE(recorder.running());
  PostMessageW(window, msg::kHookStatus, 1, static_cast<LPARAM>(recorder.id()));
  TypingWindow typing;
  typing.focus();
  typing.type(L"a");
  EXPECT_EQ(typing.text(), L"a") << "keys pass while a program records";
  recorder = e2e::Process(); // ends it
  typing.pump(500);
  typing.focus();
  typing.type(L"a");
  EXPECT_EQ(typing.text(), L"ab");
}

// The tray menu's popup window of the monitor's process, once it is shown.
HWND waitForMenu(DWORD processId, DWORD ms) {
  const ULONGLONG end = GetTickCount64() + ms;
  do {
    struct Search {
      DWORD pid;
      HWND found;
    } s{processId, nullptr};
    EnumWindows(
        [](HWND w, LPARAM p) -> BOOL {
          auto* s = reinterpret_cast<Search*>(p);
          DWORD pid = 0;
          GetWindowThreadProcessId(w, &pid);
          wchar_t cls[16] = {};
          GetClassNameW(w, cls, 16);
          if (pid == s->pid && IsWindowVisible(w) && std::wstring(cls) == L"#32768") {
            s->found = w;
            return FALSE;
          }
          return TRUE;
        },
        reinterpret_cast<LPARAM>(&s));
    if (s.found) return s.found;
    Sleep(20);
  } while (GetTickCount64() < end);
  return nullptr;
}

// Opens the tray menu as a click on the icon does and chooses its item at index (separators not
// counted: profiles 0 to 5, then open configuration, pause, quit) with the keyboard.
void chooseFromTrayMenu(HWND monitorWindow, DWORD monitorProcess, int index) {
  PostMessageW(monitorWindow, kTrayCallback, 1, WM_RBUTTONUP);
  const HWND menu = waitForMenu(monitorProcess, 5000);
  ASSERT_NE(menu, nullptr) << "no tray menu";
  for (int i = 0; i <= index; ++i) PostMessageW(menu, WM_KEYDOWN, VK_DOWN, 0);
  PostMessageW(menu, WM_KEYDOWN, VK_RETURN, 0);
  const ULONGLONG end = GetTickCount64() + 5000;
  while (IsWindow(menu) && IsWindowVisible(menu) && GetTickCount64() < end) Sleep(20);
  EXPECT_FALSE(IsWindow(menu) && IsWindowVisible(menu)) << "the menu stayed open";
}

TEST_F(MonitorShell, TheTrayMenuOffersProfilesPauseConfigurationAndQuit) {
  writeKey('A', singleKey('B'));
  start();
  TypingWindow typing;
  PostMessageW(window, msg::kAnnounceWindow, reinterpret_cast<WPARAM>(typing.wnd), 0);

  chooseFromTrayMenu(window, monitor.id(), 3);
  EXPECT_TRUE(typing.waitPosted(msg::kSwitchProfile, 3, 5000)) << "profile 3 chosen";
  chooseFromTrayMenu(window, monitor.id(), 1);
  EXPECT_TRUE(typing.waitPosted(msg::kSwitchProfile, 1, 5000)) << "profile 1 chosen";

  typing.focus();
  typing.type(L"a");
  EXPECT_EQ(typing.text(), L"b");
  chooseFromTrayMenu(window, monitor.id(), 7); // pause
  typing.focus();
  typing.type(L"a");
  EXPECT_EQ(typing.text(), L"ba") << "paused: keys pass";
  chooseFromTrayMenu(window, monitor.id(), 7); // pause again ends the pause
  typing.focus();
  typing.type(L"a");
  EXPECT_EQ(typing.text(), L"bab");

  // Open configuration starts the program of the monitor's folder, which announces its window.
  const size_t before = e2e::readLog().size();
  chooseFromTrayMenu(window, monitor.id(), 6);
  const int announced = e2e::waitForLog(msg::kAnnounceWindow, 30000, before);
  ASSERT_GE(announced, 0) << "the configuration program did not start";
  const HWND config = reinterpret_cast<HWND>(static_cast<uintptr_t>(e2e::readLog()[announced].wParam));
  EXPECT_NE(config, typing.wnd);
  DWORD configProcess = 0;
  GetWindowThreadProcessId(config, &configProcess);
  HANDLE configHandle = OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE, configProcess);

  chooseFromTrayMenu(window, monitor.id(), 8); // quit
  EXPECT_EQ(monitor.wait(5000), 0u);
  if (configHandle) {
    TerminateProcess(configHandle, 0);
    CloseHandle(configHandle);
  }
}

} // namespace
} // namespace q7
