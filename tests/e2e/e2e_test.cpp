// The program folder started as a user starts it, with our monitor logging what it receives.
// Every case runs in a fresh Wine prefix: a first run each time.
#include <gtest/gtest.h>

#include "app/main_window_layout.h"
#include "app/warning_dialog_layout.h"
#include "driver.h"

namespace q7::e2e {
namespace {

constexpr DWORD kStartMs = 30000;

class ProgramFolder : public ::testing::Test {
protected:
  void SetUp() override {
    SetEnvironmentVariableW(L"Q7MON_LOG", monitorLogPath().c_str());
    DeleteFileW(monitorLogPath().c_str());
  }
  // Starts the program and waits until it has shown its first profile.
  HWND start() {
    program = Process(distFolder() + L"Q7Config.exe");
    EXPECT_TRUE(program.started());
    HWND wnd = waitForWindow(program.id(), kStartMs);
    EXPECT_NE(wnd, nullptr);
    EXPECT_GE(waitForLog(1542, kStartMs), 0);
    return wnd;
  }
  DWORD post(unsigned message, long long wParam, long long lParam) {
    Process hid(distFolder() + L"HID.exe", L"--post " + std::to_wstring(message) + L" " + std::to_wstring(wParam) +
                                               L" " + std::to_wstring(lParam));
    return hid.wait(10000);
  }
  std::vector<LogLine> received(unsigned message) {
    std::vector<LogLine> r;
    for (const LogLine& l : readLog())
      if (l.kind == "recv" && l.message == message) r.push_back(l);
    return r;
  }
  Process program;
};

TEST_F(ProgramFolder, FirstStartAnnouncesTheWindowLoadsDefaultsAndShowsProfileOne) {
  HWND wnd = start();
  const auto lines = readLog();
  const int announce = waitForLog(1538, 0), shown = waitForLog(1542, 0);
  ASSERT_GE(announce, 0);
  ASSERT_GE(shown, 0);
  EXPECT_LT(announce, shown);
  EXPECT_EQ(lines[announce].wParam, reinterpret_cast<uintptr_t>(wnd));
  EXPECT_EQ(lines[shown].wParam, 1u);

  EXPECT_EQ(registryValue(L"Software\\VORTAN\\Q7", L"ProfileCurrent"), std::vector<uint8_t>{0});
  EXPECT_EQ(registryValue(L"Software\\VORTAN\\Q7\\Profile5", L"LEDIntensity"), std::vector<uint8_t>{4});
  EXPECT_EQ(registryValue(L"Software\\VORTAN\\Q7\\Profile8\\ProfileName19", L"ProfileButton113").size(), 3100u);
  wchar_t title[200] = {};
  GetWindowTextW(wnd, title, 200);
  EXPECT_GT(wcslen(title), 0u) << "the title comes from the string file";
}

TEST_F(ProgramFolder, SecondCopyEndsSilentlyAndLeavesTheFirstAlone) {
  HWND first = start();
  Process second(distFolder() + L"Q7Config.exe");
  EXPECT_EQ(second.wait(15000), 0u);
  EXPECT_TRUE(windowsOf(second.id()).empty());
  EXPECT_TRUE(program.running());
  EXPECT_TRUE(IsWindow(first));
  EXPECT_EQ(received(1538).size(), 1u);
  EXPECT_EQ(received(1542).size(), 1u);
}

TEST_F(ProgramFolder, WithoutTheMonitorTheProgramEndsAndWritesNothing) {
  const std::wstring folder = freshFolder(L"nomonitor");
  ASSERT_TRUE(copyFile(distFolder() + L"Q7Config.exe", folder + L"Q7Config.exe"));
  ASSERT_TRUE(copyFile(distFolder() + L"Strings.xml", folder + L"Strings.xml"));
  Process alone(folder + L"Q7Config.exe");
  EXPECT_EQ(alone.wait(kStartMs), 0u);
  EXPECT_FALSE(keyExists(L"Software\\VORTAN\\Q7"));
  EXPECT_FALSE(keyExists(L"Software\\VORTAN"));
}

TEST_F(ProgramFolder, EndRequestEndsTheProcessAtOnce) {
  start();
  EXPECT_EQ(post(5001, 0, 0), 0u);
  EXPECT_EQ(program.wait(10000), 0u);
  // No destruction steps: the monitor hears nothing of the window going.
  pumpFor(300);
  for (const LogLine& l : received(1538)) EXPECT_NE(l.wParam, 0u);
}

TEST_F(ProgramFolder, TheDialogsOwnCancelCommandEndsIt) {
  HWND wnd = start();
  PostMessageW(wnd, WM_COMMAND, IDCANCEL, 0);
  EXPECT_EQ(program.wait(10000), 0u);
  ASSERT_EQ(received(1538).size(), 2u);
  EXPECT_EQ(received(1538).back().wParam, 0u) << "the end is announced";
}

TEST_F(ProgramFolder, CloseWithSaveEndsAlsoWhenTheMonitorNeverAcknowledges) {
  SetEnvironmentVariableW(L"Q7MON_NO_ACK", L"1"); // the monitor the program starts inherits it
  HWND wnd = start();
  SetEnvironmentVariableW(L"Q7MON_NO_ACK", nullptr);
  auto at = [&](HWND parent, const Rect& r) { return childAt(parent, r.left, r.top, r.right, r.bottom); };
  click(at(wnd, main_window::control(main_window::Control::Profile2).rect));
  ASSERT_GE(waitForLog(1542, kStartMs, static_cast<size_t>(waitForLog(1542, 0)) + 1), 0);
  click(at(wnd, main_window::control(main_window::Control::Close).rect));
  HWND question = waitForOtherWindow(program.id(), wnd, kStartMs);
  ASSERT_NE(question, nullptr);
  pumpFor(200);
  HWND yes = at(question, warning::kSmallYes);
  ASSERT_NE(yes, nullptr);
  click(yes);
  // The save is told to the monitor, which never answers; the bounded wait ends and so does the program.
  EXPECT_EQ(program.wait(20000), 0u);
  EXPECT_EQ(received(2026).size(), 1u);
  EXPECT_EQ(registryValue(L"Software\\VORTAN\\Q7", L"ProfileCurrent"), std::vector<uint8_t>{2});
}

TEST_F(ProgramFolder, EnterAndEscapeLeaveTheWindowOpenAndCloseAnnouncesTheEnd) {
  HWND wnd = start();
  SetForegroundWindow(wnd);
  for (WPARAM key : {VK_RETURN, VK_ESCAPE}) {
    PostMessageW(wnd, WM_KEYDOWN, key, 1);
    PostMessageW(wnd, WM_KEYUP, key, 0xC0000001);
  }
  INPUT in[4] = {};
  const WORD keys[4] = {VK_RETURN, VK_RETURN, VK_ESCAPE, VK_ESCAPE};
  for (int i = 0; i < 4; ++i) {
    in[i].type = INPUT_KEYBOARD;
    in[i].ki.wVk = keys[i];
    in[i].ki.dwFlags = (i % 2) ? KEYEVENTF_KEYUP : 0;
  }
  SendInput(4, in, sizeof(INPUT));
  pumpFor(1000);
  EXPECT_TRUE(IsWindow(wnd));
  EXPECT_TRUE(program.running());

  PostMessageW(wnd, WM_CLOSE, 0, 0);
  EXPECT_EQ(program.wait(10000), 0u);
  const auto announcements = received(1538);
  ASSERT_EQ(announcements.size(), 2u);
  EXPECT_EQ(announcements.back().wParam, 0u);
}

TEST_F(ProgramFolder, ProfileRequestsThroughTheMonitor) {
  start();
  EXPECT_EQ(post(1537, 12, 0), 0u);    // no such profile: ignored
  EXPECT_EQ(post(1537, 3, 12345), 0u); // switch without echo
  EXPECT_EQ(post(1537, 6, 0), 0u);     // 6 is profile 0
  const int echo = waitForLog(1542, 10000, static_cast<size_t>(waitForLog(1542, 0)) + 1);
  ASSERT_GE(echo, 0);
  EXPECT_EQ(readLog()[echo].wParam, 0u);
  pumpFor(300);
  EXPECT_EQ(received(1542).size(), 2u);
}

} // namespace
} // namespace q7::e2e
