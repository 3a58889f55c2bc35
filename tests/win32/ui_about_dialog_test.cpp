// The About window run modally on a window of the test, driven from inside its modal loop.
#include <gtest/gtest.h>

#include "platform/win32/windows_only.h"

#include <functional>
#include <string>
#include <vector>

#include "app/about_dialog.h"
#include "app/about_layout.h"
#include "app/main_commands.h"
#include "platform/win32/handles.h"
#include "ui_support.h"

namespace q7 {
namespace {

using namespace uitest;
namespace about = about_window;

constexpr COLORREF kOwnerColour = RGB(200, 0, 200);
constexpr COLORREF kFaceColour = RGB(30, 40, 60), kOverColour = RGB(20, 140, 60), kDownColour = RGB(150, 30, 30);
constexpr Rect kOwnerRect{100, 80, 700, 560};
// Where the window goes: centred on its owner.
constexpr Rect kExpected{100 + (600 - about::kSize.width) / 2, 80 + (480 - about::kSize.height) / 2,
                         100 + (600 - about::kSize.width) / 2 + about::kSize.width,
                         80 + (480 - about::kSize.height) / 2 + about::kSize.height};

std::u16string fakeLookup(std::u16string_view section, std::u16string_view key) {
  if (section == u"ABOUT" && key == u"TITLE") return u"Product Title";
  if (section == u"ABOUT" && key == u"COMPANY") return u"Maker Company";
  return {};
}

std::vector<std::u16string> g_opened;
void recordOpen(std::u16string_view url) { g_opened.emplace_back(url); }

bool isWhite(COLORREF c) { return similar(c, RGB(255, 255, 255), 60); }
bool isTextGrey(COLORREF c) { return similar(c, RGB(0xB9, 0xBE, 0xC8), 50); }

std::vector<HWND> buttonsOf(HWND dialog) {
  std::vector<HWND> found;
  EnumChildWindows(
      dialog,
      [](HWND w, LPARAM out) -> BOOL {
        reinterpret_cast<std::vector<HWND>*>(out)->push_back(w);
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&found));
  return found;
}
HWND buttonAt(HWND dialog, const Rect& r) {
  for (HWND b : buttonsOf(dialog))
    if (childRect(b) == r) return b;
  return nullptr;
}

class AboutWindow : public ::testing::Test {
protected:
  static constexpr UINT kAct = WM_APP + 1;

  void SetUp() override {
    g_opened.clear();
    const int w = about::kSize.width, h = about::kSize.height;
    skins.solid(L"about_normal.jpg", w, h, kFaceColour);
    skins.solid(L"about_over.jpg", w, h, kOverColour);
    skins.solid(L"about_down.jpg", w, h, kDownColour);
    // The mask cuts a 10-pixel strip off the top.
    skins.mask(L"about_mask.bmp", w, h, Rect{0, 10, w, h});
  }

  // Runs the window; each step runs inside its modal loop, posted to the owner; the last must end it.
  void run(CAboutDlg& dlg, std::vector<std::function<void()>> steps) {
    size_t next = 0;
    owner.onMessage = [&](UINT m, WPARAM, LPARAM) {
      if (m == kAct && next < steps.size()) steps[next++]();
    };
    PostMessageW(owner.get(), kAct, 0, 0);
    watched = &dlg;
    const UINT_PTR watchdog = SetTimer(nullptr, 0, 60000, [](HWND, UINT, UINT_PTR, DWORD) {
      ADD_FAILURE() << "the window was still open";
      if (watched && watched->window()) EndDialog(watched->window(), 2);
    });
    dlg.runModal();
    KillTimer(nullptr, watchdog);
    watched = nullptr;
    owner.onMessage = nullptr;
    EXPECT_EQ(next, steps.size()) << "the window closed before every step ran";
  }
  void nextStep() { PostMessageW(owner.get(), kAct, 0, 0); }
  static Rect windowRect(HWND w) {
    RECT r{};
    GetWindowRect(w, &r);
    return {r.left, r.top, r.right, r.bottom};
  }

  GdiplusSession gdiplus;
  TempSkins skins;
  TestWindow owner{kOwnerRect, kOwnerColour};
  static inline CAboutDlg* watched = nullptr;
};

TEST_F(AboutWindow, ShowsTitleAndMakerOnItsSkinCentredOnItsOwner) {
  CAboutDlg dlg(owner.get(), fakeLookup, recordOpen);
  run(dlg, {[&] {
        HWND w = dlg.window();
        EXPECT_EQ(windowRect(w), kExpected);
        EXPECT_EQ(windowText(w), L"Product Title");
        EXPECT_FALSE(IsWindowEnabled(owner.get())) << "modal on its owner";
        win32::UniqueGdi<HRGN> region(CreateRectRgn(0, 0, 0, 0));
        ASSERT_EQ(GetWindowRgn(w, region.get()), SIMPLEREGION);
        RECT box{};
        GetRgnBox(region.get(), &box);
        EXPECT_EQ((Rect{box.left, box.top, box.right, box.bottom}),
                  (Rect{0, 10, about::kSize.width, about::kSize.height}));

        redrawNow(w);
        EXPECT_EQ(pixel(w, 5, about::kSize.height - 5), kFaceColour);
        EXPECT_GT(countPixels(w, about::kTitleText, isWhite), 20) << "the title, white";
        EXPECT_GT(countPixels(w, about::kCompanyText, isTextGrey), 10) << "the maker";
        // Both centred: the text's middle lies near the rectangle's.
        const Rect title = boundsOfPixels(w, about::kTitleText, isWhite);
        EXPECT_NEAR((title.left + title.right) / 2, (about::kTitleText.left + about::kTitleText.right) / 2, 3);

        for (const Rect& r : {about::kHomePage, about::kSupport, about::kClose}) {
          HWND b = buttonAt(w, r);
          ASSERT_NE(b, nullptr);
          redrawNow(b);
          EXPECT_EQ(pixel(b, 1, 1), kFaceColour) << "the normal picture's piece";
        }
        SendMessageW(buttonAt(w, about::kClose), BM_CLICK, 0, 0);
      }});
  EXPECT_TRUE(IsWindowEnabled(owner.get()));
}

TEST_F(AboutWindow, LinkButtonsOpenTheMakersPagesAndTheCloseButtonEndsIt) {
  CAboutDlg dlg(owner.get(), fakeLookup, recordOpen);
  run(dlg, {[&] {
              SendMessageW(buttonAt(dlg.window(), about::kHomePage), BM_CLICK, 0, 0);
              SendMessageW(buttonAt(dlg.window(), about::kSupport), BM_CLICK, 0, 0);
              nextStep();
            },
            [&] {
              EXPECT_TRUE(IsWindowVisible(dlg.window())) << "the links leave it open";
              SendMessageW(buttonAt(dlg.window(), about::kClose), BM_CLICK, 0, 0);
            }});
  EXPECT_EQ(g_opened, (std::vector<std::u16string>{kWebHome, kWebSupport}));
}

TEST_F(AboutWindow, EscapeEnterAndTheSystemCloseEndIt) {
  for (int way = 0; way < 3; ++way) {
    SCOPED_TRACE(way);
    CAboutDlg dlg(owner.get(), fakeLookup, recordOpen);
    run(dlg, {[&] {
          HWND w = dlg.window();
          if (way == 2) {
            PostMessageW(w, WM_SYSCOMMAND, SC_CLOSE, 0);
            return;
          }
          SetForegroundWindow(w);
          SetFocus(w);
          INPUT keys[2] = {};
          keys[0].type = keys[1].type = INPUT_KEYBOARD;
          keys[0].ki.wVk = keys[1].ki.wVk = way == 0 ? VK_ESCAPE : VK_RETURN;
          keys[1].ki.dwFlags = KEYEVENTF_KEYUP;
          SendInput(2, keys, sizeof(INPUT));
        }});
    EXPECT_TRUE(g_opened.empty());
  }
}

TEST_F(AboutWindow, DraggedByItsBody) {
  CAboutDlg dlg(owner.get(), fakeLookup, recordOpen);
  run(dlg, {[&] {
              HWND w = dlg.window();
              const POINT grip = screenPoint(w, 40, about::kSize.height - 20);
              mouseMoveTo(grip.x, grip.y);
              mouseButton(true);
              for (int step = 1; step <= 5; ++step) mouseMoveTo(grip.x + 12 * step, grip.y + 8 * step);
              mouseButton(false);
              nextStep();
            },
            [&] {
              HWND w = dlg.window();
              EXPECT_TRUE(pumpUntil([&] { return windowRect(w).left == kExpected.left + 60; }, 5000));
              EXPECT_EQ(windowRect(w).top, kExpected.top + 40);
              PostMessageW(w, WM_CLOSE, 0, 0);
            }});
}

TEST_F(AboutWindow, WithoutItsPicturesItIsAPlainPanelThatStillWorks) {
  for (const wchar_t* file : {L"about_normal.jpg", L"about_over.jpg", L"about_down.jpg", L"about_mask.bmp"})
    DeleteFileW(skins.path(file).c_str());
  CAboutDlg dlg(owner.get(), fakeLookup, recordOpen);
  run(dlg, {[&] {
        HWND w = dlg.window();
        EXPECT_EQ(windowRect(w), kExpected);
        win32::UniqueGdi<HRGN> region(CreateRectRgn(0, 0, 0, 0));
        EXPECT_EQ(GetWindowRgn(w, region.get()), ERROR) << "rectangular";
        redrawNow(w);
        EXPECT_GT(countPixels(w, about::kTitleText, isWhite), 20) << "the title still shows";
        SendMessageW(buttonAt(w, about::kHomePage), BM_CLICK, 0, 0);
        SendMessageW(buttonAt(w, about::kClose), BM_CLICK, 0, 0);
      }});
  EXPECT_EQ(g_opened, (std::vector<std::u16string>{kWebHome}));
}

} // namespace
} // namespace q7
