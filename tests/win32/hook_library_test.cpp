// The hook library wrapper against our real KBHook.dll, a folder without it and a library that has
// none of its entry points.
#include <gtest/gtest.h>

#include "platform/win32/windows_only.h"

#include <string>
#include <vector>

#include "monitor/messages.h"
#include "platform/win32/hook_library.h"
#include "../e2e/driver.h"

namespace q7 {
namespace {

std::vector<std::wstring> g_trace;
void recordTrace(const wchar_t* line) { g_trace.emplace_back(line); }

// A message-only window that collects the key reports posted to it.
class Reports {
public:
  Reports() { wnd = CreateWindowExW(0, L"STATIC", L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr); }
  ~Reports() { DestroyWindow(wnd); }
  std::vector<MSG> collect(DWORD ms) {
    std::vector<MSG> got;
    const ULONGLONG end = GetTickCount64() + ms;
    while (GetTickCount64() < end) {
      MSG m;
      while (PeekMessageW(&m, wnd, msg::kHookKey, msg::kHookKey, PM_REMOVE)) got.push_back(m);
      Sleep(5);
    }
    return got;
  }
  HWND wnd;
};

void pressAndRelease(WORD vk) {
  INPUT in[2] = {};
  for (int i = 0; i < 2; ++i) {
    in[i].type = INPUT_KEYBOARD;
    in[i].ki.wVk = vk;
    in[i].ki.dwFlags = i ? KEYEVENTF_KEYUP : 0;
  }
  SendInput(2, in, sizeof(INPUT));
}

class HookLibraryTest : public ::testing::Test {
protected:
  void SetUp() override { g_trace.clear(); }
};

TEST_F(HookLibraryTest, OurLibraryReportsWhileStatusIsOneAndStopsWhenTheWrapperEnds) {
  Reports reports;
  {
    win32::HookLibrary hook(e2e::distFolder(), recordTrace);
    ASSERT_TRUE(hook.loaded());
    ASSERT_EQ(g_trace.size(), 2u);
    EXPECT_EQ(g_trace[0], e2e::distFolder() + L"KBHook.dll");
    EXPECT_EQ(g_trace[1], L"HookDll IN");

    hook.install(reports.wnd);
    hook.install(reports.wnd); // repeated with the same window: harmless
    hook.setStatus(0);
    pressAndRelease('B');
    EXPECT_TRUE(reports.collect(300).empty());

    hook.setStatus(1);
    pressAndRelease('K');
    const std::vector<MSG> got = reports.collect(500);
    ASSERT_EQ(got.size(), 2u); // one hook, one report per transition
    EXPECT_EQ(got[0].wParam, static_cast<WPARAM>('K'));
    EXPECT_EQ(got[0].lParam, 0);
    EXPECT_EQ(got[1].wParam, static_cast<WPARAM>('K'));
    EXPECT_EQ(got[1].lParam, 0x80);
  } // status 0, hook removed, library unloaded
  pressAndRelease('C');
  EXPECT_TRUE(reports.collect(300).empty());
}

TEST_F(HookLibraryTest, AMissingLibraryTracesTheErrorAndEveryCallIsSkipped) {
  const std::wstring folder = e2e::freshFolder(L"no-hook");
  win32::HookLibrary hook(folder, recordTrace);
  EXPECT_FALSE(hook.loaded());
  ASSERT_EQ(g_trace.size(), 2u);
  EXPECT_EQ(g_trace[0], folder + L"KBHook.dll");
  EXPECT_EQ(g_trace[1], L"Error:" + std::to_wstring(ERROR_MOD_NOT_FOUND));
  Reports reports;
  hook.install(reports.wnd);
  hook.setStatus(1);
  hook.remove();
}

TEST_F(HookLibraryTest, ALibraryWithoutTheEntryPointsLoadsAndSkipsEveryCall) {
  const std::wstring folder = e2e::freshFolder(L"bare-hook");
  ASSERT_TRUE(e2e::copyFile(Q7_BARE_LIBRARY, folder + L"KBHook.dll"));
  Reports reports;
  {
    win32::HookLibrary hook(folder, recordTrace);
    ASSERT_TRUE(hook.loaded());
    ASSERT_EQ(g_trace.size(), 2u);
    EXPECT_EQ(g_trace[1], L"HookDll IN");
    hook.install(reports.wnd);
    hook.setStatus(1);
    pressAndRelease('D');
    EXPECT_TRUE(reports.collect(300).empty());
    hook.remove();
  }
}

} // namespace
} // namespace q7
