// The macro editor end to end: opened from the main window on a key, a recording of real key
// presses through our hook library, editing in the list, and the stored record in the registry;
// the editor opened by the monitor's 1555; and the editor in a program folder without the hook library.
#include <gtest/gtest.h>

#include <cstring>

#include "keys/key_codes.h"
#include "keys/key_layout.h"
#include "app/keyboard_layout_tables.h"
#include "app/main_window_layout.h"
#include "app/warning_dialog_layout.h"
#include "driver.h"
#include "keys/key_record.h"
#include "keys/single_key_dialog_layout.h"
#include "macro/macro_editor_layout.h"
#include "keys/macro_event.h"
#include "macro/macro_list_text.h"
#include "text/string_lookup.h"

namespace q7::e2e {
namespace {

constexpr DWORD kWaitMs = 30000;
using main_window::Control;
using MacroControl = macro_editor::Control;
std::u16string u16(const std::wstring& s) { return std::u16string(s.begin(), s.end()); }

void sendKey(WORD vk, bool release) {
  INPUT in{};
  in.type = INPUT_KEYBOARD;
  in.ki.wVk = vk;
  in.ki.dwFlags = release ? KEYEVENTF_KEYUP : 0;
  SendInput(1, &in, sizeof in);
}

// Copies a folder with everything below it; false when something could not be copied.
bool copyTree(const std::wstring& from, const std::wstring& to, const wchar_t* leaveOut) {
  CreateDirectoryW(to.c_str(), nullptr);
  WIN32_FIND_DATAW found;
  HANDLE h = FindFirstFileW((from + L"*").c_str(), &found);
  if (h == INVALID_HANDLE_VALUE) return false;
  bool ok = true;
  do {
    const std::wstring name = found.cFileName;
    if (name == L"." || name == L".." || (leaveOut && _wcsicmp(name.c_str(), leaveOut) == 0)) continue;
    if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
      ok = copyTree(from + name + L"\\", to + name + L"\\", nullptr) && ok;
    else
      ok = copyFile(from + name, to + name) && ok;
  } while (FindNextFileW(h, &found));
  FindClose(h);
  return ok;
}

struct ListLine {
  std::wstring text;
  LRESULT itemData;
};

std::vector<ListLine> listLines(HWND list) {
  std::vector<ListLine> lines;
  const LRESULT n = SendMessageW(list, LB_GETCOUNT, 0, 0);
  for (LRESULT i = 0; i < n; ++i) {
    wchar_t text[256] = {};
    const LRESULT length = SendMessageW(list, LB_GETTEXTLEN, i, 0);
    if (length > 0 && length < 256) SendMessageW(list, LB_GETTEXT, i, reinterpret_cast<LPARAM>(text));
    lines.push_back({text, SendMessageW(list, LB_GETITEMDATA, i, 0)});
  }
  return lines;
}

// The pause a line shows: the number before " MS" at its end; -1 without one.
int shownPause(const std::wstring& text) {
  const size_t ms = text.rfind(L" MS");
  if (ms == std::wstring::npos || ms + 3 != text.size()) return -1;
  const size_t start = text.find_last_of(L' ', ms - 1);
  return _wtoi(text.substr(start + 1, ms - start - 1).c_str());
}

class MacroAtWork : public ::testing::Test {
protected:
  void start(const std::wstring& folder) {
    SetEnvironmentVariableW(L"Q7MON_LOG", monitorLogPath().c_str());
    DeleteFileW(monitorLogPath().c_str());
    setStringFilePath(u16(folder + L"Strings.xml"));
    layout = keyLayoutFor(lookupString(u"MAIN", u"LANG"));
    program = Process(folder + L"Q7Config.exe");
    ASSERT_TRUE(program.started());
    main = waitForWindow(program.id(), kWaitMs);
    ASSERT_NE(main, nullptr);
    ASSERT_GE(waitForLog(1542, kWaitMs), 0);
  }
  HWND button(Control id) {
    const Rect r = main_window::control(id).rect;
    return childAt(main, r.left, r.top, r.right, r.bottom);
  }
  int positionOf(int32_t virtualKey) {
    for (int k = 0; k < kKeyCount; ++k)
      if (keyVisible(layout, k) && virtualKeyForCode(keyCodeAt(layout, k)) == virtualKey) return k;
    return -1;
  }
  void selectKey(int position) {
    const Rect r = keyRectangle(layout, position);
    click(childAt(main, r.left, r.top, r.right, r.bottom));
    ASSERT_TRUE(waitEnabled(button(Control::Macro), true, kWaitMs));
  }
  // The editor the last action opened, once its list exists.
  HWND waitForEditor() {
    HWND dlg = waitForOtherWindow(program.id(), main, kWaitMs);
    if (!dlg) return nullptr;
    for (ULONGLONG end = GetTickCount64() + kWaitMs; GetTickCount64() < end; pumpFor(30))
      if (list(dlg)) return dlg;
    return nullptr;
  }
  HWND at(HWND dlg, const Rect& r) { return childAt(dlg, r.left, r.top, r.right, r.bottom); }
  HWND control(HWND dlg, MacroControl id) { return at(dlg, macro_editor::control(id).rect); }
  HWND list(HWND dlg) { return at(dlg, macro_editor::kEventList); }
  bool waitForLines(HWND list, size_t n) {
    for (ULONGLONG end = GetTickCount64() + kWaitMs; GetTickCount64() < end; pumpFor(30))
      if (static_cast<size_t>(SendMessageW(list, LB_GETCOUNT, 0, 0)) == n) return true;
    return false;
  }
  void apply() {
    const int from = waitForLog(2026, 0);
    click(button(Control::Apply));
    ASSERT_GE(waitForLog(2026, kWaitMs, static_cast<size_t>(from + 1)), 0);
    ASSERT_TRUE(waitEnabled(main, true, kWaitMs));
  }
  std::vector<uint8_t> stored(int profile, int position) {
    wchar_t name[16];
    swprintf(name, 16, L"Button%.3d", position);
    return registryValue(L"Software\\VORTAN\\Q7\\Profile" + std::to_wstring(profile), name);
  }
  DWORD post(unsigned message, long long wParam, long long lParam) {
    Process hid(distFolder() + L"HID.exe", L"--post " + std::to_wstring(message) + L" " + std::to_wstring(wParam) +
                                               L" " + std::to_wstring(lParam));
    return hid.wait(10000);
  }

  KeyLayout layout = KeyLayout::Ansi;
  Process program;
  HWND main = nullptr;
};

TEST_F(MacroAtWork, RecordEditNameAndStoreAMacro) {
  start(distFolder());
  const int position = positionOf('Q');
  ASSERT_GE(position, 0);
  selectKey(position);
  click(button(Control::Macro));
  HWND dlg = waitForEditor();
  ASSERT_NE(dlg, nullptr);
  RECT d{}, m{};
  GetWindowRect(dlg, &d);
  GetWindowRect(main, &m);
  EXPECT_EQ(d.left, m.left) << "over the main window's top-left corner";
  EXPECT_EQ(d.top, m.top);
  HWND events = list(dlg);
  EXPECT_EQ(GetDlgCtrlID(events), 257);
  EXPECT_EQ(SendMessageW(events, LB_GETCOUNT, 0, 0), 0) << "a default key: an empty list";
  HWND record = control(dlg, MacroControl::Record), ok = control(dlg, MacroControl::Ok);
  ASSERT_NE(record, nullptr);
  ASSERT_NE(ok, nullptr);

  click(record);
  ASSERT_TRUE(waitEnabled(record, false, kWaitMs));
  EXPECT_FALSE(IsWindowEnabled(ok)) << "OK waits for the recording's end";
  pumpFor(300);
  // A press and release of A with 130 ms between, then B; a held key's repeated press counts once.
  sendKey('A', false);
  Sleep(130);
  sendKey('A', true);
  Sleep(60);
  sendKey('B', false);
  sendKey('B', false);
  Sleep(40);
  sendKey('B', true);
  ASSERT_TRUE(waitForLines(events, 4)) << SendMessageW(events, LB_GETCOUNT, 0, 0);
  click(control(dlg, MacroControl::Stop));
  ASSERT_TRUE(waitEnabled(record, true, kWaitMs));
  ASSERT_TRUE(waitEnabled(ok, true, kWaitMs));
  pumpFor(200);

  std::vector<ListLine> lines = listLines(events);
  ASSERT_EQ(lines.size(), 4u);
  const wchar_t* names[] = {L"A", L"A", L"B", L"B"};
  const LRESULT arrows[] = {kArrowDown, kArrowUp, kArrowDown, kArrowUp};
  for (size_t i = 0; i < 4; ++i) {
    EXPECT_EQ(lines[i].text.substr(0, lines[i].text.find(L' ')), names[i]) << i;
    EXPECT_EQ(lines[i].itemData, arrows[i]) << i;
  }
  EXPECT_GE(shownPause(lines[0].text), 110) << "about 130 ms: " << lines[0].text;
  EXPECT_GE(shownPause(lines[1].text), 20);
  EXPECT_GE(shownPause(lines[2].text), 20);
  EXPECT_EQ(shownPause(lines[3].text), 0) << "the closing pause";

  // Line 1 gets a pause of 300 ms; then the name, the play count and OK.
  SendMessageW(events, LB_SETSEL, TRUE, 1);
  SendMessageW(at(dlg, macro_editor::kPauseField), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L"300"));
  click(control(dlg, MacroControl::ApplyPause));
  for (ULONGLONG end = GetTickCount64() + kWaitMs;
       GetTickCount64() < end && shownPause(listLines(events)[1].text) != 300;)
    pumpFor(30);
  EXPECT_EQ(shownPause(listLines(events)[1].text), 300);
  // After line 0, a press and release of C through the single-key dialog in its insert mode.
  SendMessageW(events, LB_SETSEL, FALSE, -1);
  SendMessageW(events, LB_SETSEL, TRUE, 0);
  SendMessageW(events, LB_SETCARETINDEX, 0, FALSE);
  click(control(dlg, MacroControl::InsertKey));
  HWND single = nullptr;
  for (ULONGLONG end = GetTickCount64() + kWaitMs; !single && GetTickCount64() < end; pumpFor(30))
    for (HWND w : windowsOf(program.id()))
      if (w != main && w != dlg) single = w;
  ASSERT_NE(single, nullptr);
  using single_key_dialog::kInsert;
  HWND captured = nullptr, singleOk = nullptr;
  for (ULONGLONG end = GetTickCount64() + kWaitMs; !(captured && singleOk) && GetTickCount64() < end; pumpFor(30)) {
    captured = at(single, kInsert.captured);
    singleOk = at(single, kInsert.ok);
  }
  ASSERT_NE(singleOk, nullptr);
  pumpFor(300);
  sendKey('C', false);
  sendKey('C', true);
  for (ULONGLONG end = GetTickCount64() + kWaitMs; windowText(captured) != L"C" && GetTickCount64() < end;) pumpFor(30);
  ASSERT_EQ(windowText(captured), L"C");
  click(singleOk);
  ASSERT_TRUE(waitGone(single, kWaitMs));
  ASSERT_TRUE(waitForLines(events, 6));
  lines = listLines(events);
  EXPECT_EQ(lines[1].text, L"C        50 MS");
  EXPECT_EQ(lines[1].itemData, kArrowDown);
  EXPECT_EQ(lines[2].text, L"C        50 MS");
  EXPECT_EQ(lines[2].itemData, kArrowUp);

  SendMessageW(at(dlg, macro_editor::kNameField), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L"Combo \u00e9"));
  SendMessageW(at(dlg, macro_editor::kCountField), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L"3"));
  click(ok);
  ASSERT_TRUE(waitGone(dlg, kWaitMs));
  ASSERT_TRUE(waitEnabled(main, true, kWaitMs));
  EXPECT_TRUE(stored(1, position).size() == 3100u && stored(1, position)[0] == 0) << "nothing stored before APPLY";

  apply();
  const std::vector<uint8_t> bytes = stored(1, position);
  ASSERT_EQ(bytes.size(), 3100u);
  KeyRecord r{};
  std::memcpy(&r, bytes.data(), sizeof r);
  EXPECT_EQ(r.Kind, 2);
  EXPECT_EQ(r.RepeatMode, 0);
  EXPECT_EQ(r.RepeatCount, 2);
  ASSERT_EQ(r.EventCount, 12u);
  const uint8_t keys[] = {'A', 'C', 'C', 'A', 'B', 'B'};
  const uint8_t states[] = {0x80, 0x80, 0, 0, 0x80, 0};
  for (uint32_t i = 0; i < 6; ++i) {
    const MacroEvent key = eventAt(r, 2 * i), pause = eventAt(r, 2 * i + 1);
    EXPECT_EQ(key.Vk, keys[i]) << i;
    EXPECT_EQ(key.Usage, hidUsage(keys[i])) << i;
    EXPECT_EQ(key.State, states[i]) << i;
    EXPECT_TRUE(pause.isPause()) << i;
    if (i < 5) {
      EXPECT_GE(pause.PauseMs, 20) << i;
    }
  }
  EXPECT_EQ(eventAt(r, 3).PauseMs, 50);
  EXPECT_EQ(eventAt(r, 5).PauseMs, 50);
  EXPECT_EQ(eventAt(r, 7).PauseMs, 300);
  EXPECT_EQ(eventAt(r, 11).PauseMs, 0);
  EXPECT_EQ(std::u16string(r.MacroName), u"Combo \u00e9");
  EXPECT_EQ(registryValue(L"Software\\VORTAN\\Q7\\Profile1", L"FuncKey"), std::vector<uint8_t>{1});
}

TEST_F(MacroAtWork, OutsideRequestOpensOneEditor) {
  start(distFolder());
  EXPECT_EQ(post(1555, 0, 0), 0u);
  HWND dlg = waitForEditor();
  ASSERT_NE(dlg, nullptr);
  EXPECT_EQ(post(1555, 0, 0), 0u);
  pumpFor(800);
  size_t open = 0;
  for (HWND w : windowsOf(program.id())) open += w != main;
  EXPECT_EQ(open, 1u) << "a second request brings the open editor forward";
  // Enter and Escape do not close the editor.
  sendKey(VK_RETURN, false);
  sendKey(VK_RETURN, true);
  sendKey(VK_ESCAPE, false);
  sendKey(VK_ESCAPE, true);
  pumpFor(500);
  EXPECT_TRUE(IsWindowVisible(dlg));
  click(control(dlg, MacroControl::Cancel));
  ASSERT_TRUE(waitGone(dlg, kWaitMs));
  ASSERT_TRUE(waitEnabled(main, true, kWaitMs));
}

TEST_F(MacroAtWork, WithoutTheHookLibraryTheEditorStillEdits) {
  const std::wstring folder = freshFolder(L"nohook");
  ASSERT_TRUE(copyTree(distFolder(), folder, L"KBHook.dll"));
  start(folder);
  selectKey(positionOf('W'));
  click(button(Control::Macro));
  HWND dlg = waitForEditor();
  ASSERT_NE(dlg, nullptr);
  HWND record = control(dlg, MacroControl::Record), events = list(dlg);
  click(record);
  ASSERT_TRUE(waitEnabled(record, false, kWaitMs));
  sendKey('A', false);
  sendKey('A', true);
  pumpFor(500);
  click(control(dlg, MacroControl::Stop));
  ASSERT_TRUE(waitEnabled(record, true, kWaitMs));
  EXPECT_EQ(SendMessageW(events, LB_GETCOUNT, 0, 0), 0) << "no report ever arrives";
  // A typed name is an edit: the close button asks before it is lost.
  SendMessageW(at(dlg, macro_editor::kNameField), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L"x"));
  click(control(dlg, MacroControl::Close));
  HWND question = nullptr;
  for (ULONGLONG end = GetTickCount64() + kWaitMs; !question && GetTickCount64() < end; pumpFor(30))
    for (HWND w : windowsOf(program.id()))
      if (w != main && w != dlg) question = w;
  ASSERT_NE(question, nullptr);
  pumpFor(300);
  HWND yes = childAt(question, warning::kLargeYes.left, warning::kLargeYes.top, warning::kLargeYes.right,
                     warning::kLargeYes.bottom);
  if (!yes)
    yes = childAt(question, warning::kSmallYes.left, warning::kSmallYes.top, warning::kSmallYes.right,
                  warning::kSmallYes.bottom);
  ASSERT_NE(yes, nullptr);
  click(yes);
  ASSERT_TRUE(waitGone(dlg, kWaitMs));
}

// --- Test play, undo and macros as text --------------------------------------------------------

// Counts every key a low-level hook of this process sees while it lives (this thread pumps).
struct KeyWatch {
  static inline int seen = 0;
  static LRESULT CALLBACK hook(int code, WPARAM wParam, LPARAM lParam) {
    if (code == HC_ACTION) ++seen;
    return CallNextHookEx(nullptr, code, wParam, lParam);
  }
  KeyWatch() : h(SetWindowsHookExW(WH_KEYBOARD_LL, &hook, GetModuleHandleW(nullptr), 0)) { seen = 0; }
  ~KeyWatch() {
    if (h) UnhookWindowsHookEx(h);
  }
  HHOOK h;
};

std::wstring clipboardText() {
  std::wstring text;
  if (!OpenClipboard(nullptr)) return text;
  if (HANDLE data = GetClipboardData(CF_UNICODETEXT))
    if (const auto* chars = static_cast<const wchar_t*>(GlobalLock(data))) {
      text = chars;
      GlobalUnlock(data);
    }
  CloseClipboard();
  return text;
}

bool putClipboard(const std::wstring& text) {
  if (!OpenClipboard(nullptr)) return false;
  EmptyClipboard();
  const size_t bytes = (text.size() + 1) * sizeof(wchar_t);
  HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, bytes);
  bool ok = false;
  if (void* at = memory ? GlobalLock(memory) : nullptr) {
    std::memcpy(at, text.c_str(), bytes);
    GlobalUnlock(memory);
    ok = SetClipboardData(CF_UNICODETEXT, memory) != nullptr;
  }
  if (!ok && memory) GlobalFree(memory);
  CloseClipboard();
  return ok;
}

// An edit control's text, from any process (GetWindowText reads only a window's own title there).
std::wstring editText(HWND edit) {
  wchar_t text[4096] = {};
  SendMessageW(edit, WM_GETTEXT, std::size(text), reinterpret_cast<LPARAM>(text));
  return text;
}

class MacroEditing : public MacroAtWork {
protected:
  // The editor on the key Q of a fresh start.
  HWND openEditor() {
    start(distFolder());
    const int position = positionOf('Q');
    EXPECT_GE(position, 0);
    selectKey(position);
    click(button(Control::Macro));
    return waitForEditor();
  }
  // Records the keys (virtual key, released) with about 40 ms between them.
  void recordKeys(HWND dlg, std::initializer_list<std::pair<WORD, bool>> keys) {
    HWND record = control(dlg, MacroControl::Record);
    click(record);
    ASSERT_TRUE(waitEnabled(record, false, kWaitMs));
    pumpFor(300);
    for (auto [vk, released] : keys) {
      sendKey(vk, released);
      Sleep(40);
    }
    ASSERT_TRUE(waitForLines(list(dlg), keys.size())) << SendMessageW(list(dlg), LB_GETCOUNT, 0, 0);
    click(control(dlg, MacroControl::Stop));
    ASSERT_TRUE(waitEnabled(record, true, kWaitMs));
    pumpFor(200);
  }
  // A real click of the left mouse button in the middle of a window.
  static void clickInside(HWND wnd, bool right = false) {
    RECT r{};
    GetWindowRect(wnd, &r);
    SetCursorPos((r.left + r.right) / 2, r.bottom - 4); // below the rows of a short list
    INPUT in[2]{};
    in[0].type = in[1].type = INPUT_MOUSE;
    in[0].mi.dwFlags = right ? MOUSEEVENTF_RIGHTDOWN : MOUSEEVENTF_LEFTDOWN;
    in[1].mi.dwFlags = right ? MOUSEEVENTF_RIGHTUP : MOUSEEVENTF_LEFTUP;
    SendInput(2, in, sizeof(INPUT));
  }
  void shiftF10() {
    sendKey(VK_SHIFT, false);
    sendKey(VK_F10, false);
    sendKey(VK_F10, true);
    sendKey(VK_SHIFT, true);
  }
};

TEST_F(MacroEditing, TestShowsTheTypedTextAndNoKeyReachesAnyone) {
  HWND dlg = openEditor();
  ASSERT_NE(dlg, nullptr);
  recordKeys(dlg, {{VK_SHIFT, false}, {'H', false}, {'H', true}, {VK_SHIFT, true}, {'I', false}, {'I', true}});
  HWND preview = at(dlg, macro_editor::kPreviewField), test = control(dlg, MacroControl::Test);
  ASSERT_NE(preview, nullptr);
  ASSERT_NE(test, nullptr);
  {
    KeyWatch watch;
    ASSERT_NE(watch.h, nullptr);
    pumpFor(200);
    click(test);
    // The play ends with the played and the stored time beside the text.
    for (ULONGLONG end = GetTickCount64() + kWaitMs;
         GetTickCount64() < end && editText(preview).find(L"ms") == std::wstring::npos;)
      pumpFor(30);
    const std::wstring shown = editText(preview);
    EXPECT_EQ(shown.substr(0, 2), L"Hi") << shown;
    EXPECT_NE(shown.find(L"ms"), std::wstring::npos) << shown;
    pumpFor(300);
    EXPECT_EQ(KeyWatch::seen, 0) << "test play sends no key";
    // The watch itself hears keys: a key of ours reaches it.
    sendKey(VK_F24, false);
    sendKey(VK_F24, true);
    pumpFor(300);
    EXPECT_GT(KeyWatch::seen, 0);
  }
  EXPECT_EQ(SendMessageW(list(dlg), LB_GETCOUNT, 0, 0), 6);
  click(control(dlg, MacroControl::Cancel));
  ASSERT_TRUE(waitGone(dlg, kWaitMs));
}

TEST_F(MacroEditing, CtrlZUndoesADelete) {
  HWND dlg = openEditor();
  ASSERT_NE(dlg, nullptr);
  recordKeys(dlg, {{'A', false}, {'A', true}, {'B', false}, {'B', true}});
  HWND events = list(dlg);
  const std::vector<ListLine> before = listLines(events);
  SendMessageW(events, LB_SETSEL, TRUE, 1);
  SendMessageW(events, LB_SETSEL, TRUE, 2);
  click(control(dlg, MacroControl::Delete));
  ASSERT_TRUE(waitForLines(events, 2));
  sendKey(VK_CONTROL, false);
  sendKey('Z', false);
  sendKey('Z', true);
  sendKey(VK_CONTROL, true);
  ASSERT_TRUE(waitForLines(events, 4));
  const std::vector<ListLine> after = listLines(events);
  for (size_t i = 0; i < 4; ++i) {
    EXPECT_EQ(after[i].text, before[i].text) << i;
    EXPECT_EQ(after[i].itemData, before[i].itemData) << i;
  }
  // A right click on the list opens the editor's menu; Copy all as text is its second entry from the end.
  OpenClipboard(nullptr);
  EmptyClipboard();
  CloseClipboard();
  clickInside(events, true);
  pumpFor(500);
  for (int i = 0; i < 2; ++i) {
    sendKey(VK_UP, false);
    sendKey(VK_UP, true);
  }
  sendKey(VK_RETURN, false);
  sendKey(VK_RETURN, true);
  std::wstring copied;
  for (ULONGLONG end = GetTickCount64() + kWaitMs; copied.empty() && GetTickCount64() < end; pumpFor(50))
    copied = clipboardText();
  EXPECT_EQ(copied.substr(0, 15), L"press A\r\npause ") << std::string(copied.begin(), copied.end());
  EXPECT_NE(copied.find(L"release B\r\npause 0\r\n"), std::wstring::npos);
  // Back at the stored state (a default key): the close button closes without a question.
  recordKeys(dlg, {{'C', false}});
  sendKey(VK_CONTROL, false);
  sendKey('Z', false);
  sendKey('Z', true);
  sendKey(VK_CONTROL, true);
  sendKey(VK_CONTROL, false);
  sendKey('Z', false);
  sendKey('Z', true);
  sendKey(VK_CONTROL, true);
  ASSERT_TRUE(waitForLines(events, 0));
  click(control(dlg, MacroControl::Close));
  ASSERT_TRUE(waitGone(dlg, kWaitMs));
}

TEST_F(MacroEditing, TextFromTheClipboardIsStoredAfterOkAndApply) {
  ASSERT_TRUE(putClipboard(L"# from a text editor\r\n"
                           L"press LShift\r\npause 20\r\n"
                           L"press A   # a capital\r\npause 65535\r\n"
                           L"release A\r\npause 0\r\n"
                           L"release lshift\r\npause 7\r\n"
                           L"raw 41 00 80 00 00 00\r\npause 1\r\n"));
  HWND dlg = openEditor();
  ASSERT_NE(dlg, nullptr);
  pumpFor(300);
  clickInside(list(dlg)); // the list takes the focus (in a field Shift+F10 opens the field's own menu)
  pumpFor(300);
  shiftF10(); // the context menu; Paste text is its last entry
  pumpFor(500);
  sendKey(VK_UP, false);
  sendKey(VK_UP, true);
  sendKey(VK_RETURN, false);
  sendKey(VK_RETURN, true);
  const bool pasted = waitForLines(list(dlg), 5);
  if (!pasted)
    for (HWND w : windowsOf(program.id())) {
      wchar_t cls[64] = {};
      GetClassNameW(w, cls, 64);
      const std::wstring title = windowText(w);
      ADD_FAILURE() << "window " << std::string(cls, cls + wcslen(cls)) << " "
                    << std::string(title.begin(), title.end());
    }
  ASSERT_TRUE(pasted);
  click(control(dlg, MacroControl::Ok));
  ASSERT_TRUE(waitGone(dlg, kWaitMs));
  ASSERT_TRUE(waitEnabled(main, true, kWaitMs));
  apply();
  const std::vector<uint8_t> bytes = stored(1, positionOf('Q'));
  ASSERT_EQ(bytes.size(), 3100u);
  KeyRecord r{};
  std::memcpy(&r, bytes.data(), sizeof r);
  EXPECT_EQ(r.Kind, 2);
  ASSERT_EQ(r.EventCount, 10u);
  const uint8_t expected[] = {0xA0, 0xE1, 0x80, 0, 0, 0, 0, 0xFF, 0, 0, 20,   0,    // press LShift, 20
                              0x41, 0x04, 0x80, 0, 0, 0, 0, 0xFF, 0, 0, 0xFF, 0xFF, // press A, 65535
                              0x41, 0x04, 0,    0, 0, 0, 0, 0xFF, 0, 0, 0,    0,    // release A, 0
                              0xA0, 0xE1, 0,    0, 0, 0, 0, 0xFF, 0, 0, 7,    0,    // release LShift, 7
                              0x41, 0x00, 0x80, 0, 0, 0, 0, 0xFF, 0, 0, 1,    0};   // raw, 1
  EXPECT_EQ(std::memcmp(r.Events, expected, sizeof expected), 0);
}

TEST_F(MacroEditing, CtrlZDuringARecordingIsRecordedNotActedOn) {
  HWND dlg = openEditor();
  ASSERT_NE(dlg, nullptr);
  click(control(dlg, MacroControl::PlayOption2)); // a step that Ctrl+Z would undo
  pumpFor(200);
  recordKeys(dlg, {{VK_CONTROL, false}, {'Z', false}, {'Z', true}, {VK_CONTROL, true}});
  const std::vector<ListLine> lines = listLines(list(dlg));
  ASSERT_EQ(lines.size(), 4u);
  // The injected Ctrl comes as the side-neutral code or the left one, whichever the system reports.
  const wchar_t* names[] = {L"Ctrl", L"Z", L"Z", L"Ctrl"};
  for (size_t i = 0; i < 4; ++i) {
    const std::wstring name = lines[i].text.substr(0, lines[i].text.find(L' '));
    EXPECT_TRUE(name == names[i] || name == L"L" + std::wstring(names[i])) << i << " " << name;
  }
  click(control(dlg, MacroControl::Ok));
  ASSERT_TRUE(waitGone(dlg, kWaitMs));
  apply();
  KeyRecord r{};
  const std::vector<uint8_t> bytes = stored(1, positionOf('Q'));
  ASSERT_EQ(bytes.size(), 3100u);
  std::memcpy(&r, bytes.data(), sizeof r);
  EXPECT_EQ(r.RepeatMode, 2) << "the play mode chosen before the recording stays";
  EXPECT_EQ(r.EventCount, 8u);
}

} // namespace
} // namespace q7::e2e
