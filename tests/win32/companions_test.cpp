// Our monitor and hook library as the program and the tests rely on them.
#include <gtest/gtest.h>

#include "platform/win32/windows_only.h"

#include <string>
#include <vector>

#include "monitor/messages.h"
#include "../e2e/driver.h"

namespace q7 {
namespace {

// A top-level window of this test that collects what is posted to it.
class Inbox {
public:
  Inbox() {
    WNDCLASSW wc{};
    wc.lpfnWndProc = DefWindowProcW;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = L"TestInbox";
    RegisterClassW(&wc);
    wnd = CreateWindowExW(0, L"TestInbox", L"Inbox", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, wc.hInstance, nullptr);
  }
  ~Inbox() { DestroyWindow(wnd); }
  // Messages of at least WM_USER that arrive within ms.
  std::vector<MSG> collect(DWORD ms) {
    std::vector<MSG> got;
    const ULONGLONG end = GetTickCount64() + ms;
    while (GetTickCount64() < end) {
      MSG m;
      while (PeekMessageW(&m, wnd, 0, 0, PM_REMOVE)) {
        if (m.message >= WM_USER) got.push_back(m);
        DispatchMessageW(&m);
      }
      Sleep(5);
    }
    return got;
  }
  HWND wnd;
};

class Monitor : public ::testing::Test {
protected:
  void start(const std::wstring& args) {
    monitor = e2e::Process(e2e::distFolder() + L"HID.exe", args);
    const ULONGLONG end = GetTickCount64() + 20000;
    while (!(window = FindWindowW(nullptr, L"Q7PrismoMon")) && GetTickCount64() < end) Sleep(20);
    ASSERT_NE(window, nullptr);
    PostMessageW(window, msg::kAnnounceWindow, reinterpret_cast<WPARAM>(inbox.wnd), 0);
  }
  Inbox inbox;
  e2e::Process monitor;
  HWND window = nullptr;
};

TEST_F(Monitor, AnswersEverySaveAndLogsWhatItReceives) {
  DeleteFileW(e2e::monitorLogPath().c_str());
  start(L"--log \"" + e2e::monitorLogPath() + L"\"");
  PostMessageW(window, msg::kSettingsSaved, 1, 3);
  PostMessageW(window, msg::kSettingsSaved, 1, 3);
  const auto got = inbox.collect(1000);
  ASSERT_EQ(got.size(), 2u);
  for (const MSG& m : got) EXPECT_EQ(m.message, msg::kSaveAcknowledged);
  const auto log = e2e::readLog();
  ASSERT_EQ(log.size(), 4u); // start, 1538, 2026, 2026
  EXPECT_EQ(log[1].message, 1538u);
  EXPECT_EQ(log[1].wParam, reinterpret_cast<uintptr_t>(inbox.wnd));
  EXPECT_EQ(log[3].message, 2026u);
  EXPECT_EQ(log[3].lParam, 3);
}

TEST_F(Monitor, CanDelayOrWithholdTheAnswer) {
  start(L"--ack-delay 800");
  const ULONGLONG sent = GetTickCount64();
  PostMessageW(window, msg::kSettingsSaved, 1, 1);
  auto got = inbox.collect(400);
  EXPECT_TRUE(got.empty());
  got = inbox.collect(1500);
  ASSERT_EQ(got.size(), 1u);
  EXPECT_GE(got[0].time - static_cast<DWORD>(sent), 700u);

  e2e::Process(e2e::distFolder() + L"HID.exe", L"--quit").wait(5000);
  EXPECT_EQ(monitor.wait(5000), 0u);
  start(L"--no-ack");
  PostMessageW(window, msg::kSettingsSaved, 1, 1);
  EXPECT_TRUE(inbox.collect(800).empty());
}

TEST_F(Monitor, RelaysPostsToTheMainWindowAndRunsOnce) {
  start(L"");
  e2e::Process second(e2e::distFolder() + L"HID.exe");
  EXPECT_EQ(second.wait(10000), 0u); // a second monitor ends at once
  e2e::Process post(e2e::distFolder() + L"HID.exe", L"--post 1537 6 12345");
  EXPECT_EQ(post.wait(10000), 0u);
  const auto got = inbox.collect(500);
  ASSERT_EQ(got.size(), 1u);
  EXPECT_EQ(got[0].message, 1537u);
  EXPECT_EQ(got[0].wParam, 6u);
  EXPECT_EQ(got[0].lParam, 12345);
}

using HookInstall = BOOL (*)(HWND);
using HookRemove = void (*)();
using HookStatus = void (*)(int);

TEST(HookLibrary, ReportsKeysWhileItsStatusIsOne) {
  HMODULE lib = LoadLibraryW((e2e::distFolder() + L"KBHook.dll").c_str());
  ASSERT_NE(lib, nullptr) << GetLastError();
  auto install = reinterpret_cast<HookInstall>(reinterpret_cast<void*>(GetProcAddress(lib, "installhook")));
  auto remove = reinterpret_cast<HookRemove>(reinterpret_cast<void*>(GetProcAddress(lib, "removehook")));
  auto status = reinterpret_cast<HookStatus>(reinterpret_cast<void*>(GetProcAddress(lib, "SetHookStatus")));
  ASSERT_TRUE(install && remove && status);

  Inbox inbox;
  ASSERT_TRUE(install(inbox.wnd));
  auto press = [](WORD vk) {
    INPUT in[2] = {};
    for (int i = 0; i < 2; ++i) {
      in[i].type = INPUT_KEYBOARD;
      in[i].ki.wVk = vk;
      in[i].ki.dwFlags = i ? KEYEVENTF_KEYUP : 0;
    }
    SendInput(2, in, sizeof(INPUT));
  };
  press('B'); // status 0: nothing
  auto got = inbox.collect(300);
  EXPECT_TRUE(got.empty());
  status(1);
  press('A');
  got = inbox.collect(500);
  ASSERT_EQ(got.size(), 2u);
  EXPECT_EQ(got[0].message, msg::kHookKey);
  EXPECT_EQ(got[0].wParam, static_cast<WPARAM>('A'));
  EXPECT_EQ(got[0].lParam, 0);
  EXPECT_EQ(got[1].lParam, 0x80);
  remove();
  press('C');
  EXPECT_TRUE(inbox.collect(300).empty());
  FreeLibrary(lib);
}

} // namespace
} // namespace q7
