// SINGLEKEY end to end: the single-key dialog opened from the main window hears a real key press
// through our hook library; and the monitor's messages while one of the program's modal windows is
// open wait for it to close.
#include <gtest/gtest.h>

#include "keys/key_codes.h"
#include "keys/key_layout.h"
#include "app/keyboard_layout_tables.h"
#include "app/main_window_layout.h"
#include "app/warning_dialog_layout.h"
#include "driver.h"
#include "keys/single_key_dialog_layout.h"
#include "text/string_lookup.h"

namespace q7::e2e {
namespace {

constexpr DWORD kWaitMs = 30000;
using main_window::Control;
std::u16string u16(const std::wstring& s) { return std::u16string(s.begin(), s.end()); }
std::wstring w(const std::u16string& s) { return std::wstring(s.begin(), s.end()); }

void pressAndRelease(WORD vk) {
  INPUT in[2] = {};
  for (int i = 0; i < 2; ++i) {
    in[i].type = INPUT_KEYBOARD;
    in[i].ki.wVk = vk;
    in[i].ki.dwFlags = i ? KEYEVENTF_KEYUP : 0;
  }
  SendInput(2, in, sizeof(INPUT));
}

bool waitForText(HWND wnd, const std::wstring& text, DWORD ms) {
  for (ULONGLONG end = GetTickCount64() + ms; GetTickCount64() < end; pumpFor(30))
    if (windowText(wnd) == text) return true;
  return windowText(wnd) == text;
}

class SingleKeyAtWork : public ::testing::Test {
protected:
  void SetUp() override {
    SetEnvironmentVariableW(L"Q7MON_LOG", monitorLogPath().c_str());
    DeleteFileW(monitorLogPath().c_str());
    setStringFilePath(u16(distFolder() + L"Strings.xml"));
    layout = keyLayoutFor(lookupString(u"MAIN", u"LANG"));
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
  // The key button whose key sends virtualKey.
  int positionOf(int32_t virtualKey) {
    for (int k = 0; k < kKeyCount; ++k)
      if (keyVisible(layout, k) && virtualKeyForCode(keyCodeAt(layout, k)) == virtualKey) return k;
    return -1;
  }
  void selectKey(int position) {
    const Rect r = keyRectangle(layout, position);
    click(childAt(main, r.left, r.top, r.right, r.bottom));
    ASSERT_TRUE(waitEnabled(button(Control::SingleKey), true, kWaitMs));
  }
  // The single-key dialog the SINGLEKEY button opened, once it is titled.
  HWND openSingleKey() {
    click(button(Control::SingleKey));
    HWND dlg = waitForOtherWindow(program.id(), main, kWaitMs);
    if (!dlg) return nullptr;
    const std::wstring title = w(lookupString(u"MACRO", u"TITLE"));
    return waitForText(dlg, title, kWaitMs) ? dlg : nullptr;
  }
  HWND control(HWND dlg, const Rect& r) { return childAt(dlg, r.left, r.top, r.right, r.bottom); }
  void answerDisable(bool yes) {
    HWND dlg = waitForOtherWindow(program.id(), main, kWaitMs);
    ASSERT_NE(dlg, nullptr);
    const Rect r = yes ? warning::kLargeYes : warning::kLargeNo;
    HWND b = nullptr;
    for (ULONGLONG end = GetTickCount64() + kWaitMs; !(b = control(dlg, r)) && GetTickCount64() < end;) pumpFor(30);
    ASSERT_NE(b, nullptr);
    click(b);
    ASSERT_TRUE(waitGone(dlg, kWaitMs));
  }
  std::vector<uint8_t> stored(int profile, int position) {
    wchar_t name[16];
    swprintf(name, 16, L"Button%.3d", position);
    return registryValue(L"Software\\VORTAN\\Q7\\Profile" + std::to_wstring(profile), name);
  }
  void apply() {
    const int from = waitForLog(2026, 0);
    click(button(Control::Apply));
    ASSERT_GE(waitForLog(2026, kWaitMs, static_cast<size_t>(from + 1)), 0);
    ASSERT_TRUE(waitEnabled(main, true, kWaitMs));
  }
  DWORD post(unsigned message, long long wParam, long long lParam) {
    Process hid(distFolder() + L"HID.exe", L"--post " + std::to_wstring(message) + L" " + std::to_wstring(wParam) +
                                               L" " + std::to_wstring(lParam));
    return hid.wait(10000);
  }
  // Echoes of profile switches (1542) that the monitor received so far.
  std::vector<unsigned long long> echoes() {
    std::vector<unsigned long long> p;
    for (const LogLine& l : readLog())
      if (l.kind == "recv" && l.message == 1542) p.push_back(l.wParam);
    return p;
  }

  KeyLayout layout = KeyLayout::Ansi;
  Process program;
  HWND main = nullptr;
};

TEST_F(SingleKeyAtWork, ARealKeyPressBecomesTheKeysSingleKey) {
  const int position = positionOf('A');
  ASSERT_GE(position, 0);
  selectKey(position);
  HWND dlg = openSingleKey();
  ASSERT_NE(dlg, nullptr);
  RECT d{}, m{};
  GetWindowRect(dlg, &d);
  GetWindowRect(main, &m);
  EXPECT_EQ(d.left, m.left) << "over the main window's top-left corner";
  EXPECT_EQ(d.top, m.top);
  EXPECT_FALSE(IsWindowEnabled(main)) << "modal";

  using namespace single_key_dialog;
  HWND current = control(dlg, kAssign.current), captured = control(dlg, kAssign.captured);
  ASSERT_NE(current, nullptr);
  ASSERT_NE(captured, nullptr);
  EXPECT_EQ(windowText(current), L"A") << "the key's own name";
  ASSERT_NE(control(dlg, kAssign.ok), nullptr);
  ASSERT_NE(control(dlg, kAssign.cancel), nullptr);

  // Real key presses reach the dialog through the hook; the last one counts, and Escape is a key
  // like any other here rather than the end of the dialog.
  pressAndRelease(VK_F5);
  ASSERT_TRUE(waitForText(captured, L"F5", kWaitMs));
  pressAndRelease(VK_ESCAPE);
  ASSERT_TRUE(waitForText(captured, L"Esc", kWaitMs));
  pressAndRelease(VK_RETURN);
  ASSERT_TRUE(waitForText(captured, L"Enter", kWaitMs));
  pressAndRelease('Q');
  ASSERT_TRUE(waitForText(captured, L"Q", kWaitMs));
  EXPECT_TRUE(IsWindowVisible(dlg)) << "neither Enter nor Escape closed it";

  click(control(dlg, kAssign.ok));
  ASSERT_TRUE(waitGone(dlg, kWaitMs));
  apply();
  const auto rec = stored(1, position);
  ASSERT_EQ(rec.size(), 3100u);
  EXPECT_EQ(rec[0], 1);
  EXPECT_EQ(rec[17], 'Q');
  EXPECT_EQ(registryValue(L"Software\\VORTAN\\Q7\\Profile1", L"FuncKey"), std::vector<uint8_t>{1});
}

TEST_F(SingleKeyAtWork, CancelKeepsTheKeyAndOkWithoutAPressSendsTheKeysOwnCode) {
  const int position = positionOf('S');
  ASSERT_GE(position, 0);
  selectKey(position);
  HWND dlg = openSingleKey();
  ASSERT_NE(dlg, nullptr);
  HWND captured = control(dlg, single_key_dialog::kAssign.captured);
  pressAndRelease('W');
  ASSERT_TRUE(waitForText(captured, L"W", kWaitMs));
  click(control(dlg, single_key_dialog::kAssign.cancel));
  ASSERT_TRUE(waitGone(dlg, kWaitMs));
  // A second dialog starts afresh, with nothing captured.
  dlg = openSingleKey();
  ASSERT_NE(dlg, nullptr);
  EXPECT_EQ(windowText(control(dlg, single_key_dialog::kAssign.captured)), L"");
  click(control(dlg, single_key_dialog::kAssign.ok)); // OK without a key: the key sends its own code
  ASSERT_TRUE(waitGone(dlg, kWaitMs));
  apply();
  const auto rec = stored(1, position);
  ASSERT_EQ(rec.size(), 3100u);
  EXPECT_EQ(rec[0], 1);
  EXPECT_EQ(rec[17], 'S');
}

TEST_F(SingleKeyAtWork, AProfileRequestWaitsForTheOpenDialogAndTheLatestWins) {
  const int position = positionOf('D');
  ASSERT_GE(position, 0);
  selectKey(position);
  HWND dlg = openSingleKey();
  ASSERT_NE(dlg, nullptr);
  const size_t before = echoes().size();
  EXPECT_EQ(post(1537, 3, 0), 0u);
  EXPECT_EQ(post(1537, 4, 0), 0u);
  pumpFor(500);
  EXPECT_EQ(echoes().size(), before) << "no switch under the open dialog";
  pressAndRelease('J');
  ASSERT_TRUE(waitForText(control(dlg, single_key_dialog::kAssign.captured), L"J", kWaitMs));
  click(control(dlg, single_key_dialog::kAssign.ok));
  ASSERT_TRUE(waitGone(dlg, kWaitMs));

  // Now the latest request is carried out: it asks first, the single key being an unsaved edit.
  HWND leave = waitForOtherWindow(program.id(), main, kWaitMs);
  ASSERT_NE(leave, nullptr);
  HWND yes = nullptr;
  for (ULONGLONG end = GetTickCount64() + kWaitMs;
       !(yes = control(leave, warning::kSmallYes)) && GetTickCount64() < end;)
    pumpFor(30);
  ASSERT_NE(yes, nullptr);
  click(yes);
  ASSERT_TRUE(waitGone(leave, kWaitMs));
  ASSERT_GE(waitForLog(1542, kWaitMs, static_cast<size_t>(waitForLog(2026, kWaitMs))), 0);
  const auto after = echoes();
  ASSERT_EQ(after.size(), before + 1);
  EXPECT_EQ(after.back(), 4u);
  const auto rec = stored(1, position);
  ASSERT_EQ(rec.size(), 3100u);
  EXPECT_EQ(rec[0], 1) << "the single key landed in the profile it was made for";
  EXPECT_EQ(rec[17], 'J');
  EXPECT_EQ(stored(4, position)[0], 0);
}

TEST_F(SingleKeyAtWork, UnderAQuestionAnAcknowledgementWaitsAndSoDoesAProfileRequest) {
  const int position = positionOf('F');
  ASSERT_GE(position, 0);
  selectKey(position);
  click(button(Control::Disable));
  ASSERT_NE(waitForOtherWindow(program.id(), main, kWaitMs), nullptr);
  EXPECT_EQ(post(13317, 0, 0), 0u);
  pumpFor(500);
  EXPECT_FALSE(IsWindowEnabled(main)) << "the question stays modal";
  answerDisable(true);
  EXPECT_TRUE(waitEnabled(main, true, kWaitMs)) << "enabled once the question has closed";

  // A profile request while the next question is open waits for it.
  selectKey(positionOf('G'));
  click(button(Control::Disable));
  ASSERT_NE(waitForOtherWindow(program.id(), main, kWaitMs), nullptr);
  const size_t before = echoes().size();
  EXPECT_EQ(post(1537, 2, 0), 0u);
  pumpFor(500);
  EXPECT_EQ(echoes().size(), before) << "no switch under the open question";
  answerDisable(true);
  // Then it is carried out: the disabled keys are unsaved edits, so it asks; Yes saves them first.
  HWND leave = waitForOtherWindow(program.id(), main, kWaitMs);
  ASSERT_NE(leave, nullptr);
  HWND yes = nullptr;
  for (ULONGLONG end = GetTickCount64() + kWaitMs;
       !(yes = control(leave, warning::kSmallYes)) && GetTickCount64() < end;)
    pumpFor(30);
  ASSERT_NE(yes, nullptr);
  click(yes);
  ASSERT_TRUE(waitGone(leave, kWaitMs));
  ASSERT_GE(waitForLog(1542, kWaitMs, static_cast<size_t>(waitForLog(2026, kWaitMs))), 0);
  EXPECT_EQ(echoes().back(), 2u);
  EXPECT_EQ(stored(1, position)[0], 10) << "the answers edited the profile they were asked in";
  EXPECT_EQ(stored(1, positionOf('G'))[0], 10);
  EXPECT_EQ(stored(2, positionOf('G'))[0], 0);
}

} // namespace
} // namespace q7::e2e
