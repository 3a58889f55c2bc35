// The coloured edit field as a real child window: key releases reported after the edit applied
// them, and its colours in every state.
#include <gtest/gtest.h>

#include "platform/win32/windows_only.h"

#include <string>
#include <vector>

#include "ui/window_messages.h"
#include "ui/crledit.h"
#include "ui/fonts.h"
#include "ui_support.h"

namespace q7 {
namespace {

using namespace uitest;

constexpr COLORREF kText = RGB(255, 255, 0), kBackground = RGB(0, 0, 128);

class ColouredEdit : public ::testing::Test {
protected:
  void SetUp() override {
    ASSERT_TRUE(edit.create(parent.get(), {20, 20, 220, 46}, false));
    SendMessageW(edit.window(), WM_SETFONT, reinterpret_cast<WPARAM>(font.get()), TRUE);
    parent.onMessage = [&](UINT m, WPARAM wParam, LPARAM lParam) {
      if (m == msg::kCrleditKeyUp) keyUps.push_back({wParam, lParam, windowText(edit.window())});
    };
  }

  // A key as the keyboard sends it, through this thread's queue and translation.
  void key(WPARAM vk, bool down, bool repeat = false) {
    const LPARAM scan = static_cast<LPARAM>(MapVirtualKeyW(static_cast<UINT>(vk), MAPVK_VK_TO_VSC)) << 16;
    const LPARAM flags = down ? (repeat ? 0x40000000 : 0) : 0xC0000000;
    PostMessageW(edit.window(), down ? WM_KEYDOWN : WM_KEYUP, vk, 1 | scan | flags);
    pumpPending();
  }

  struct KeyUp {
    WPARAM wParam;
    LPARAM lParam;
    std::wstring textThen;
  };
  std::vector<KeyUp> keyUps;
  TestWindow parent{{100, 100, 400, 200}, RGB(60, 60, 60)};
  win32::UniqueGdi<HFONT> font = createSkinFont(L"Arial", 20, FW_BOLD);
  CCrledit edit;
};

TEST_F(ColouredEdit, TypingReportsEachReleaseAfterTheTextShowsTheCharacter) {
  SetFocus(edit.window());
  for (WPARAM vk : {'1', '2', '8'}) {
    key(vk, true);
    key(vk, false);
  }
  pumpPending();
  ASSERT_EQ(keyUps.size(), 3u);
  const std::pair<WPARAM, const wchar_t*> expected[] = {{'1', L"1"}, {'2', L"12"}, {'8', L"128"}};
  for (size_t i = 0; i < 3; ++i) {
    EXPECT_EQ(keyUps[i].wParam, expected[i].first);
    EXPECT_EQ(keyUps[i].lParam, 0);
    EXPECT_EQ(keyUps[i].textThen, expected[i].second);
  }
}

TEST_F(ColouredEdit, HoldingAKeyReportsOnlyItsRelease) {
  SetFocus(edit.window());
  key('7', true);
  key('7', true, true);
  key('7', true, true);
  EXPECT_TRUE(keyUps.empty());
  key('7', false);
  pumpPending();
  ASSERT_EQ(keyUps.size(), 1u);
  EXPECT_EQ(keyUps[0].textThen, L"777");
}

TEST_F(ColouredEdit, ShowsItsColoursAlsoWhenReadOnlyOrDisabled) {
  edit.setTextColour(kText);
  edit.setBackgroundColour(kBackground);
  SetWindowTextW(edit.window(), L"88 WW");
  enum State { Editable, ReadOnly, Disabled };
  for (State state : {Editable, ReadOnly, Disabled, Editable}) {
    SendMessageW(edit.window(), EM_SETREADONLY, state == ReadOnly, 0);
    EnableWindow(edit.window(), state != Disabled);
    redrawNow(parent.get());
    HWND w = edit.window();
    RECT client{};
    GetClientRect(w, &client);
    EXPECT_EQ(pixel(w, client.right - 3, client.bottom / 2), kBackground) << "state " << state;
    const Rect all{0, 0, client.right, client.bottom};
    EXPECT_GT(countPixels(w, all, [](COLORREF c) { return similar(c, kText, 30); }), 20) << "state " << state;
    EXPECT_EQ(countPixels(w, all, [](COLORREF c) { return similar(c, GetSysColor(COLOR_GRAYTEXT), 30); }), 0)
        << "state " << state;
  }
}

TEST_F(ColouredEdit, DigitsOnlyFieldsRefuseLetters) {
  CCrledit digits;
  ASSERT_TRUE(digits.create(parent.get(), {20, 50, 220, 76}, true));
  SetFocus(digits.window());
  for (WPARAM vk : {'4', 'A', '2'}) {
    PostMessageW(digits.window(), WM_CHAR, vk, 1);
    pumpPending();
  }
  EXPECT_EQ(windowText(digits.window()), L"42");
}

} // namespace
} // namespace q7
