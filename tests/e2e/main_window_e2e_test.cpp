// The main window at work, driven from outside as a user drives it: keys, per-key commands with
// their questions, saving with the monitor's acknowledgement, profile switches, profile files.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <utility>
#include <vector>

#include "app/accessible_names.h"
#include "app/key_labels.h"
#include "app/key_moves.h"
#include "app/keyboard_layout_tables.h"
#include "platform/win32/win32_keyboard_text.h"
#include "app/about_layout.h"
#include "app/main_window_layout.h"
#include "app/warning_dialog_layout.h"
#include "companions/monitor/tray_icon.h"
#include "driver.h"
#include "keys/key_record.h"
#include "monitor/key_actions.h"
#include "platform/win32/handles.h"
#include "ui/skin.h"
#include "text/string_lookup.h"

namespace q7::e2e {
namespace {

constexpr DWORD kWaitMs = 30000;
std::wstring w(const std::u16string& s) { return std::wstring(s.begin(), s.end()); }
std::u16string u16(const std::wstring& s) { return std::u16string(s.begin(), s.end()); }
using main_window::Control;

class MainWindowAtWork : public ::testing::Test {
protected:
  void SetUp() override {
    SetEnvironmentVariableW(L"Q7MON_LOG", monitorLogPath().c_str());
    DeleteFileW(monitorLogPath().c_str());
    program = Process(distFolder() + L"Q7Config.exe");
    ASSERT_TRUE(program.started());
    main = waitForWindow(program.id(), kWaitMs);
    ASSERT_NE(main, nullptr);
    ASSERT_GE(waitForLog(1542, kWaitMs), 0);
  }
  HWND button(Control id) {
    const Rect r = main_window::control(id).rect;
    return childAt(main, r.left, r.top, r.right, r.bottom);
  }
  // The layout of the installed string file's language.
  static KeyLayout installedLayout() {
    setStringFilePath(u16(distFolder() + L"Strings.xml"));
    return keyLayoutFor(lookupString(u"MAIN", u"LANG"));
  }
  HWND keyButton(int position) {
    const Rect r = keyRectangle(installedLayout(), position);
    return childAt(main, r.left, r.top, r.right, r.bottom);
  }
  // Answers the warning dialog that the last click opened with its first (YES / OK) or second button.
  void answer(bool yes) {
    HWND dlg = waitForOtherWindow(program.id(), main, kWaitMs);
    ASSERT_NE(dlg, nullptr);
    pumpFor(200);
    HWND target = nullptr;
    for (const Rect& r : {warning::kLargeYes, warning::kLargeNo, warning::kSmallYes, warning::kSmallNo}) {
      HWND b = childAt(dlg, r.left, r.top, r.right, r.bottom);
      if (!b || !IsWindowVisible(b)) continue;
      const bool isYes = (r == warning::kLargeYes || r == warning::kSmallYes);
      // Kinds with one button show only OK, at the small NO place.
      if (yes == isYes || (yes && r == warning::kSmallOk &&
                           !childAt(dlg, warning::kSmallYes.left, warning::kSmallYes.top, warning::kSmallYes.right,
                                    warning::kSmallYes.bottom)))
        target = b;
    }
    ASSERT_NE(target, nullptr) << "no such button on the question";
    click(target);
    ASSERT_TRUE(waitGone(dlg, kWaitMs));
  }
  std::vector<uint8_t> stored(int profile, const wchar_t* name) {
    return registryValue(L"Software\\VORTAN\\Q7\\Profile" + std::to_wstring(profile), name);
  }
  size_t logged(unsigned message) {
    size_t n = 0;
    for (const LogLine& l : readLog()) n += l.kind == "recv" && l.message == message;
    return n;
  }
  DWORD post(unsigned message, long long wParam, long long lParam) {
    Process hid(distFolder() + L"HID.exe", L"--post " + std::to_wstring(message) + L" " + std::to_wstring(wParam) +
                                               L" " + std::to_wstring(lParam));
    return hid.wait(10000);
  }

  Process program;
  HWND main = nullptr;
};

TEST_F(MainWindowAtWork, EveryControlAndKeyIsInItsPlace) {
  for (const main_window::ControlEntry& c : main_window::kControls)
    EXPECT_NE(button(c.id), nullptr) << static_cast<int>(c.id);
  int keys = 0;
  for (int k = 0; k < kKeyCount; ++k) keys += keyVisible(installedLayout(), k) && keyButton(k);
  EXPECT_EQ(keys, visibleKeyCount(installedLayout()));
  RECT r;
  GetWindowRect(main, &r);
  EXPECT_EQ(r.left, 0);
  EXPECT_EQ(r.top, 0);
  EXPECT_EQ(r.right - r.left, main_window::kSize.width);
  // Captions come from the installed string file.
  setStringFilePath(u16(distFolder() + L"Strings.xml"));
  EXPECT_EQ(windowText(button(Control::Export)), w(lookupString(u"MAIN", u"EXPORT")));
  EXPECT_EQ(windowText(button(Control::Profile3)), w(lookupString(u"MAIN", u"PROFILE") + u" 3"));
  EXPECT_FALSE(windowText(button(Control::Profile3)).empty());
  // Profile 1 is shown: its keys are editable, the per-key buttons wait for a key.
  EXPECT_TRUE(IsWindowEnabled(keyButton(40)));
  EXPECT_FALSE(IsWindowEnabled(button(Control::Disable)));
  EXPECT_TRUE(IsWindowEnabled(button(Control::Export)));
}

// The colour of a skin picture at a point, as the system's picture decoder gives it.
COLORREF skinPixel(const wchar_t* file, int x, int y) {
  SkinBitmap picture = loadSkinBitmap(distFolder() + L"Skins\\" + file);
  if (!picture) return CLR_INVALID;
  win32::UniqueDc dc(CreateCompatibleDC(nullptr));
  win32::Selection select(dc.get(), picture.get());
  return GetPixel(dc.get(), x, y);
}

bool similar(COLORREF a, COLORREF b) {
  auto d = [](int u, int v) { return u > v ? u - v : v - u; };
  return d(GetRValue(a), GetRValue(b)) <= 8 && d(GetGValue(a), GetGValue(b)) <= 8 && d(GetBValue(a), GetBValue(b)) <= 8;
}

TEST_F(MainWindowAtWork, OnScreenTheWindowShowsItsSkin) {
  pumpFor(500);
  // A key cap in its default look shows the normal picture; the assigned and selected pictures differ there.
  const Rect k = keyRectangle(installedLayout(), 40);
  const int x = (k.left + k.right) / 2, y = k.top + 3;
  EXPECT_TRUE(similar(screenPixel(main, x, y), skinPixel(L"main_normal.jpg", x, y)));
  EXPECT_FALSE(similar(skinPixel(L"main_normal.jpg", x, y), skinPixel(L"main_down.jpg", x, y)));
  EXPECT_FALSE(similar(skinPixel(L"main_normal.jpg", x, y), skinPixel(L"main_over.jpg", x, y)));
  // A command button away from its caption shows its normal picture.
  const Rect ok = main_window::control(Control::Ok).rect;
  EXPECT_TRUE(
      similar(screenPixel(main, ok.left + 12, ok.top + 4), skinPixel(L"main_normal.jpg", ok.left + 12, ok.top + 4)));
  // The cut-away corner is not part of the window: what lies below shows through.
  ASSERT_EQ(skinPixel(L"main_mask.bmp", 1, 1), RGB(255, 255, 255));
  EXPECT_EQ(WindowFromPoint(POINT{1, 1}) == main, false);
}

TEST_F(MainWindowAtWork, DisableAKeyAndApply) {
  HWND key = keyButton(40);
  const Rect kr = keyRectangle(installedLayout(), 40);
  const COLORREF before = screenPixel(main, (kr.left + kr.right) / 2, kr.top + 3);
  click(key);
  ASSERT_TRUE(waitEnabled(button(Control::Disable), true, kWaitMs));
  pumpFor(300);
  EXPECT_NE(screenPixel(main, (kr.left + kr.right) / 2, kr.top + 3), before) << "the selected look";
  win32::Win32KeyboardText keyboard;
  setStringFilePath(u16(distFolder() + L"Strings.xml"));
  const auto labels = KeyLabels::forLanguage(lookupString(u"MAIN", u"LANG"), keyboard);
  EXPECT_EQ(windowText(button(Control::KeyName)), w(labels.keyCaption(40)));

  click(button(Control::Disable));
  answer(true);
  pumpFor(300);
  EXPECT_FALSE(windowText(button(Control::KeyFunction)).empty()) << "the function of a disabled key is shown";
  EXPECT_EQ(stored(1, L"Button040")[0], 0) << "nothing is stored before a save";

  const size_t saves = logged(2026);
  click(button(Control::Apply));
  ASSERT_GE(waitForLog(2026, kWaitMs, 0), 0);
  ASSERT_TRUE(waitEnabled(main, true, kWaitMs)) << "13317 enables the window again";
  EXPECT_EQ(logged(2026), saves + 1);
  const auto rec = stored(1, L"Button040");
  ASSERT_EQ(rec.size(), 3100u);
  EXPECT_EQ(rec[0], 10);
  EXPECT_EQ(stored(1, L"FuncKey"), std::vector<uint8_t>{1});
}

TEST_F(MainWindowAtWork, CloseButtonAfterAProfileSwitchAsks) {
  click(button(Control::Profile3));
  ASSERT_GE(waitForLog(1542, kWaitMs, static_cast<size_t>(waitForLog(1542, 0)) + 1), 0);
  click(button(Control::Close));
  answer(false);
  EXPECT_EQ(program.wait(kWaitMs), 0u);
  EXPECT_EQ(registryValue(L"Software\\VORTAN\\Q7", L"ProfileCurrent"), std::vector<uint8_t>{0}) << "No saves nothing";
}

TEST_F(MainWindowAtWork, CloseButtonWithYesClosesAfterTheAcknowledgement) {
  click(button(Control::Profile2));
  ASSERT_GE(waitForLog(1542, kWaitMs, static_cast<size_t>(waitForLog(1542, 0)) + 1), 0);
  click(button(Control::Close));
  answer(true);
  EXPECT_EQ(program.wait(kWaitMs), 0u);
  EXPECT_EQ(registryValue(L"Software\\VORTAN\\Q7", L"ProfileCurrent"), std::vector<uint8_t>{2});
  EXPECT_EQ(logged(2026), 1u);
}

// The system's Close (Alt+F4, the taskbar, the system menu all send it) asks about an unsaved edit
// like the close button, and Yes stores it before the window closes.
TEST_F(MainWindowAtWork, SystemCloseWithAnUnsavedEditAsks) {
  click(keyButton(40));
  ASSERT_TRUE(waitEnabled(button(Control::Disable), true, kWaitMs));
  click(button(Control::Disable));
  answer(true);
  PostMessageW(main, WM_SYSCOMMAND, SC_CLOSE, 0);
  HWND question = waitForOtherWindow(program.id(), main, 5000);
  ASSERT_NE(question, nullptr) << "closed without asking";
  EXPECT_TRUE(program.running());
  answer(true);
  EXPECT_EQ(program.wait(kWaitMs), 0u);
  EXPECT_EQ(stored(1, L"Button040").at(0), 10) << "Yes stored the edit";
  EXPECT_EQ(logged(2026), 1u);
}

TEST_F(MainWindowAtWork, MonitorSwitchToProfileSixLocksTheKeys) {
  EXPECT_EQ(post(1537, 6, 0), 0u);
  const int echo = waitForLog(1542, kWaitMs, static_cast<size_t>(waitForLog(1542, 0)) + 1);
  ASSERT_GE(echo, 0);
  EXPECT_EQ(readLog()[echo].wParam, 0u);
  pumpFor(300);
  EXPECT_FALSE(IsWindowEnabled(keyButton(40)));
  EXPECT_FALSE(IsWindowEnabled(button(Control::Import)));
  EXPECT_FALSE(IsWindowEnabled(button(Control::Export)));
  EXPECT_TRUE(IsWindowEnabled(button(Control::ResetProfile)));
}

TEST_F(MainWindowAtWork, DeviceNoticeThenClose) {
  EXPECT_EQ(post(13316, 0, 0), 0u);
  answer(true);
  EXPECT_EQ(program.wait(kWaitMs), 0u);
  const auto lines = readLog();
  ASSERT_FALSE(lines.empty());
  EXPECT_EQ(lines.back().message, 1538u);
  EXPECT_EQ(lines.back().wParam, 0u);
}

TEST_F(MainWindowAtWork, ExportThenImportIntoAnotherProfileIsByteIdentical) {
  click(keyButton(20));
  ASSERT_TRUE(waitEnabled(button(Control::Disable), true, kWaitMs));
  click(button(Control::Disable));
  answer(true);

  const std::wstring folder = freshFolder(L"profiles");
  click(button(Control::Export));
  ASSERT_TRUE(answerFileDialog(program.id(), main, folder + L"first.prof", kWaitMs));
  click(button(Control::Profile4)); // asks: the disable is an unsaved edit
  answer(true);
  ASSERT_TRUE(waitEnabled(main, true, kWaitMs));
  click(button(Control::Import));
  ASSERT_TRUE(answerFileDialog(program.id(), main, folder + L"first.prof", kWaitMs));
  click(button(Control::Export));
  ASSERT_TRUE(answerFileDialog(program.id(), main, folder + L"second.prof", kWaitMs));
  pumpFor(300);

  auto read = [](const std::wstring& path) {
    std::vector<uint8_t> bytes;
    FILE* f = _wfopen(path.c_str(), L"rb");
    if (!f) return bytes;
    std::fseek(f, 0, SEEK_END);
    bytes.resize(static_cast<size_t>(std::ftell(f)));
    std::fseek(f, 0, SEEK_SET);
    if (std::fread(bytes.data(), 1, bytes.size(), f) != bytes.size()) bytes.clear();
    std::fclose(f);
    return bytes;
  };
  const auto first = read(folder + L"first.prof"), second = read(folder + L"second.prof");
  ASSERT_EQ(first.size(), 7435064u);
  EXPECT_TRUE(first == second);
  EXPECT_EQ(first[3132 + 20 * 3100], 10) << "the disabled key travelled with the profile";
}

TEST_F(MainWindowAtWork, SystemMenuAboutOpensTheAboutWindowOverIt) {
  PostMessageW(main, WM_SYSCOMMAND, 16, 0);
  HWND about = waitForOtherWindow(program.id(), main, kWaitMs);
  ASSERT_NE(about, nullptr);
  // The window exists before it is placed and titled; its title comes last.
  for (ULONGLONG end = GetTickCount64() + kWaitMs; windowText(about).empty() && GetTickCount64() < end;) pumpFor(50);
  setStringFilePath(u16(distFolder() + L"Strings.xml"));
  EXPECT_EQ(windowText(about), w(lookupString(u"ABOUT", u"TITLE")));
  RECT a{}, m{};
  GetWindowRect(about, &a);
  GetWindowRect(main, &m);
  EXPECT_EQ(a.right - a.left, about_window::kSize.width);
  EXPECT_EQ((a.left + a.right) / 2, (m.left + m.right) / 2) << "centred on the main window";
  EXPECT_FALSE(IsWindowEnabled(main)) << "modal";
  const Rect close = about_window::kClose;
  HWND closeButton = childAt(about, close.left, close.top, close.right, close.bottom);
  ASSERT_NE(closeButton, nullptr);
  click(closeButton);
  EXPECT_TRUE(waitGone(about, kWaitMs));
  EXPECT_TRUE(waitEnabled(main, true, kWaitMs));
  EXPECT_TRUE(program.running());
}

// The monitor and the window on the same profile after every switch and save, seen from what a
// physical key does: the A key types B in profile 1 and C in profile 3.
class ProfilesAgree : public MainWindowAtWork {
protected:
  void SetUp() override {
    const std::wstring mainKey = L"Software\\VORTAN\\Q7";
    const uint8_t current = 1;
    write(mainKey, L"ProfileCurrent", &current, 1);
    ProfileKeys keys;
    keys.mapPositions(installedLayout());
    aPosition = keys.positionOfVk['A'];
    ASSERT_GE(aPosition, 0);
    wchar_t name[16];
    swprintf(name, 16, L"Button%03d", aPosition);
    for (const auto& [profile, target] : {std::pair{1, 'B'}, std::pair{3, 'C'}}) {
      KeyRecord r{};
      r.Kind = static_cast<uint8_t>(KeyKind::SingleKey);
      r.setSingleKeyVk(static_cast<uint8_t>(target));
      write(mainKey + L"\\Profile" + std::to_wstring(profile), name, &r, sizeof r);
    }
    MainWindowAtWork::SetUp();
  }
  static void write(const std::wstring& path, const wchar_t* name, const void* data, DWORD size) {
    HKEY key = nullptr;
    ASSERT_EQ(RegCreateKeyExW(HKEY_CURRENT_USER, path.c_str(), 0, nullptr, 0, KEY_WRITE, nullptr, &key, nullptr), 0);
    EXPECT_EQ(RegSetValueExW(key, name, 0, REG_BINARY, static_cast<const BYTE*>(data), size), 0);
    RegCloseKey(key);
  }
  // Pumps this thread's messages, key messages translated into characters.
  static void typingPump(DWORD ms) {
    for (const ULONGLONG end = GetTickCount64() + ms; GetTickCount64() < end; Sleep(10)) {
      MSG m;
      while (PeekMessageW(&m, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&m);
        DispatchMessageW(&m);
      }
    }
  }
  // What a physical press of A types into a window of this test that has the keyboard focus: the
  // key goes through the X server (xdotool), so the monitor's hook sees it as the keyboard's own.
  std::wstring typeA() {
    HWND target = CreateWindowExW(0, L"STATIC", L"Typing", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 900, 700, 240, 100,
                                  nullptr, nullptr, nullptr, nullptr);
    HWND edit = CreateWindowExW(0, L"EDIT", L"", WS_CHILD | WS_VISIBLE | WS_BORDER, 5, 5, 180, 30, target, nullptr,
                                nullptr, nullptr);
    SetForegroundWindow(target);
    SetFocus(edit);
    typingPump(300);
    STARTUPINFOW si{};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi{};
    wchar_t command[] = L"Z:\\usr\\bin\\xdotool key a";
    EXPECT_TRUE(CreateProcessW(nullptr, command, nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi));
    if (pi.hProcess) {
      for (ULONGLONG end = GetTickCount64() + 10000;
           WaitForSingleObject(pi.hProcess, 0) == WAIT_TIMEOUT && GetTickCount64() < end;)
        typingPump(20);
      DWORD rc = 0;
      GetExitCodeProcess(pi.hProcess, &rc);
      EXPECT_EQ(rc, 0u) << "xdotool";
      CloseHandle(pi.hProcess);
      CloseHandle(pi.hThread);
    }
    // The monitor's own key may come some time after the physical one on a busy machine.
    for (ULONGLONG end = GetTickCount64() + 5000; windowText(edit).empty() && GetTickCount64() < end;) typingPump(20);
    typingPump(300);
    std::wstring typed = windowText(edit);
    if (GetForegroundWindow() != target) typed += L" (not in front)";
    DestroyWindow(target);
    return typed;
  }

  int aPosition = -1;
};

TEST_F(ProfilesAgree, AfterASwitchTheMonitorAskedForAndYesBothShowTheNewProfile) {
  ASSERT_EQ(typeA(), L"b") << "profile 1 at the start";
  // An unsaved edit on a key other than A.
  const int edited = aPosition == 40 ? 41 : 40;
  click(keyButton(edited));
  ASSERT_TRUE(waitEnabled(button(Control::Disable), true, kWaitMs));
  click(button(Control::Disable));
  answer(true);

  // The monitor switches to profile 3 by itself (its tray menu) and asks the window to follow; the
  // window asks about the edit, and Yes saves before it switches.
  HWND monitor = FindWindowW(nullptr, L"Q7PrismoMon");
  ASSERT_NE(monitor, nullptr);
  const size_t before = readLog().size();
  PostMessageW(monitor, WM_COMMAND, monitor::TrayIcon::kProfileCommand + 3, 0);
  answer(true);
  ASSERT_GE(waitForLog(2026, kWaitMs, before), 0);
  ASSERT_TRUE(waitEnabled(main, true, kWaitMs));
  pumpFor(300);
  EXPECT_EQ(typeA(), L"c") << "the monitor carries out the profile the window shows";

  // A later save stores the profile shown: still the same on both sides.
  const size_t beforeApply = readLog().size();
  click(button(Control::Apply));
  ASSERT_GE(waitForLog(2026, kWaitMs, beforeApply), 0);
  ASSERT_TRUE(waitEnabled(main, true, kWaitMs));
  EXPECT_EQ(registryValue(L"Software\\VORTAN\\Q7", L"ProfileCurrent"), std::vector<uint8_t>{3});
  EXPECT_EQ(typeA(), L"c");
}

} // namespace
} // namespace q7::e2e

namespace q7::e2e {
namespace {

// Every control tells a screen reader what it is: the window's text is its name, and a key's name
// says what the key does.
TEST_F(MainWindowAtWork, EveryControlAndKeyHasAName) {
  for (const main_window::ControlEntry& entry : main_window::kControls) {
    if (entry.id == Control::KeyName || entry.id == Control::KeyFunction) continue; // filled by a selection
    EXPECT_FALSE(windowText(button(entry.id)).empty()) << "control " << static_cast<int>(entry.id);
  }
  setStringFilePath(u16(distFolder() + L"Strings.xml"));
  win32::Win32KeyboardText keyboard;
  const auto labels = KeyLabels::forLanguage(lookupString(u"MAIN", u"LANG"), keyboard);
  const KeyLayout layout = installedLayout();
  for (int k = 0; k < kKeyCount; ++k)
    if (keyVisible(layout, k)) EXPECT_EQ(windowText(keyButton(k)), w(labels.keyCaption(k))) << "key " << k;

  // A disabled key says so, in the string file's words.
  click(keyButton(40));
  ASSERT_TRUE(waitEnabled(button(Control::Disable), true, kWaitMs));
  click(button(Control::Disable));
  answer(true);
  pumpFor(300);
  KeyRecord disabled{};
  disabled.Kind = static_cast<uint8_t>(KeyKind::Disabled);
  const std::u16string name =
      keyAccessibleName(labels.keyCaption(40), disabled, labels.keyFunctionText(disabled, lookupString), lookupString);
  EXPECT_EQ(windowText(keyButton(40)), w(name));
  EXPECT_NE(name, labels.keyCaption(40));
}

HWND focusOf(HWND window) {
  GUITHREADINFO info{};
  info.cbSize = sizeof info;
  if (!GetGUIThreadInfo(GetWindowThreadProcessId(window, nullptr), &info)) return nullptr;
  return info.hwndFocus;
}

// A key pressed and released on the program's focused control, as its message loop sees it.
void press(HWND window, WPARAM vk) {
  HWND target = focusOf(window);
  if (!target) target = window;
  PostMessageW(target, WM_KEYDOWN, vk, 1);
  PostMessageW(target, WM_KEYUP, vk, static_cast<LPARAM>(0xC0000001u));
  pumpFor(150);
}

// The controls that Tab reaches from where the focus is, pressing Tab count times. Each time it
// waits for the focus to move (up to waitMs), since the program takes its time under load.
std::vector<HWND> tabThrough(HWND window, int count, DWORD waitMs = 3000) {
  std::vector<HWND> reached;
  for (int i = 0; i < count; ++i) {
    const HWND before = focusOf(window);
    press(window, VK_TAB);
    for (DWORD waited = 0; waited < waitMs && focusOf(window) == before; waited += 50) pumpFor(50);
    reached.push_back(focusOf(window));
  }
  return reached;
}

bool reaches(const std::vector<HWND>& reached, HWND control) {
  return std::find(reached.begin(), reached.end(), control) != reached.end();
}

bool setKeyboardPreference(bool on) {
  BOOL now = FALSE;
  return SystemParametersInfoW(SPI_SETKEYBOARDPREF, on ? TRUE : FALSE, nullptr, SPIF_UPDATEINIFILE) &&
         SystemParametersInfoW(SPI_GETKEYBOARDPREF, 0, &now, 0) && (now != FALSE) == on;
}

// The program started while the user prefers the keyboard.
class KeyboardUseAtWork : public MainWindowAtWork {
protected:
  void SetUp() override {
    ASSERT_TRUE(setKeyboardPreference(true));
    MainWindowAtWork::SetUp();
  }
  void TearDown() override { setKeyboardPreference(false); }
};

TEST_F(KeyboardUseAtWork, TabReachesEveryButtonAndTheKeyboardViewOnce) {
  const Control commands[] = {
      Control::Close,    Control::Help,     Control::Minimise,     Control::Export,   Control::Import,
      Control::Ok,       Control::Cancel,   Control::Apply,        Control::WebLink1, Control::WebLink2,
      Control::WebLink3, Control::Profile0, Control::Profile1,     Control::Profile2, Control::Profile3,
      Control::Profile4, Control::Profile5, Control::ResetProfile, Control::Sync,     Control::WholeKeyboardColour};
  const std::vector<HWND> reached = tabThrough(main, 2 * static_cast<int>(std::size(commands)) + 4);
  for (Control id : commands) EXPECT_TRUE(reaches(reached, button(id))) << "control " << static_cast<int>(id);
  // The keys make one stop: one key is reached, and each round reaches it once.
  const KeyLayout layout = installedLayout();
  std::vector<HWND> keysReached;
  for (int k = 0; k < kKeyCount; ++k)
    if (keyVisible(layout, k) && reaches(reached, keyButton(k))) keysReached.push_back(keyButton(k));
  ASSERT_EQ(keysReached.size(), 1u);
  EXPECT_FALSE(reaches(reached, button(Control::KeyName))) << "a label is no stop";

  // One round visits each stop once, then Tab comes round to the first again.
  // (Counted from the third press: the first ones also activate the window, which is not in front.)
  const auto start = reached.begin() + 2;
  const auto again = std::find(start + 1, reached.end(), *start);
  ASSERT_NE(again, reached.end()) << "Tab never came round";
  std::vector<HWND> round(start, again);
  std::string order;
  for (HWND h : round) order += std::to_string(reinterpret_cast<uintptr_t>(h)) + " ";
  std::sort(round.begin(), round.end());
  EXPECT_EQ(std::unique(round.begin(), round.end()), round.end()) << order;
  EXPECT_EQ(round.size(), std::size(commands) + 1) << order;
}

TEST_F(KeyboardUseAtWork, EnterSelectsTheFocusedKeyAndArrowsMoveTheSelection) {
  setStringFilePath(u16(distFolder() + L"Strings.xml"));
  win32::Win32KeyboardText keyboard;
  const auto labels = KeyLabels::forLanguage(lookupString(u"MAIN", u"LANG"), keyboard);
  const KeyLayout layout = installedLayout();
  // Tab to the keyboard view.
  int focusedKey = -1;
  for (int i = 0; i < 40 && focusedKey < 0; ++i) {
    press(main, VK_TAB);
    for (int k = 0; k < kKeyCount; ++k)
      if (keyVisible(layout, k) && focusOf(main) == keyButton(k)) focusedKey = k;
  }
  ASSERT_GE(focusedKey, 0) << "Tab never reached the keyboard view";
  EXPECT_TRUE(windowText(button(Control::KeyName)).empty()) << "no key is selected yet";
  press(main, VK_RETURN);
  ASSERT_TRUE(waitEnabled(button(Control::Disable), true, kWaitMs));
  EXPECT_EQ(windowText(button(Control::KeyName)), w(labels.keyCaption(focusedKey)));

  // Each arrow selects the key it leads to, which takes the focus; at the keyboard's edge the
  // selection stays.
  int at = focusedKey, moves = 0;
  for (auto [vk, direction] :
       {std::pair{VK_RIGHT, keyboard_use::Direction::Right}, std::pair{VK_RIGHT, keyboard_use::Direction::Right},
        std::pair{VK_DOWN, keyboard_use::Direction::Down}, std::pair{VK_LEFT, keyboard_use::Direction::Left},
        std::pair{VK_UP, keyboard_use::Direction::Up}}) {
    const int expected = keyMovedTo(layout, at, direction);
    moves += expected != at;
    press(main, vk);
    EXPECT_EQ(focusOf(main), keyButton(expected)) << "from " << at;
    EXPECT_EQ(windowText(button(Control::KeyName)), w(labels.keyCaption(expected))) << "from " << at;
    at = expected;
  }
  EXPECT_GE(moves, 3);
}

TEST_F(MainWindowAtWork, WithoutKeyboardUseTabAndEnterDoNothing) {
  BOOL preferred = TRUE;
  ASSERT_TRUE(SystemParametersInfoW(SPI_GETKEYBOARDPREF, 0, &preferred, 0));
  ASSERT_FALSE(preferred);
  click(keyButton(40));
  ASSERT_TRUE(waitEnabled(button(Control::Disable), true, kWaitMs));
  const HWND before = focusOf(main);
  const std::vector<HWND> reached = tabThrough(main, 6, 300);
  for (HWND h : reached) EXPECT_EQ(h, before);
  press(main, VK_RETURN);
  press(main, VK_RIGHT);
  EXPECT_TRUE(IsWindow(main)) << "Enter does not close the window";
  setStringFilePath(u16(distFolder() + L"Strings.xml"));
  win32::Win32KeyboardText keyboard;
  const auto labels = KeyLabels::forLanguage(lookupString(u"MAIN", u"LANG"), keyboard);
  EXPECT_EQ(windowText(button(Control::KeyName)), w(labels.keyCaption(40))) << "the selection stays";
}

// A dialog opened in keyboard use: Tab reaches each of its buttons.
TEST_F(KeyboardUseAtWork, TabReachesEveryButtonOfTheColourEditor) {
  click(button(Control::WholeKeyboardColour));
  HWND dialog = waitForOtherWindow(program.id(), main, kWaitMs);
  ASSERT_NE(dialog, nullptr);
  pumpFor(300);
  std::vector<HWND> buttons;
  for (HWND c = GetWindow(dialog, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT)) {
    wchar_t cls[16] = {};
    GetClassNameW(c, cls, 16);
    if (IsWindowVisible(c) && IsWindowEnabled(c) && lstrcmpiW(cls, L"Button") == 0) buttons.push_back(c);
  }
  ASSERT_FALSE(buttons.empty());
  const std::vector<HWND> reached = tabThrough(dialog, 2 * static_cast<int>(buttons.size()) + 8);
  for (size_t i = 0; i < buttons.size(); ++i) EXPECT_TRUE(reaches(reached, buttons[i])) << "button " << i;
}

} // namespace
} // namespace q7::e2e
