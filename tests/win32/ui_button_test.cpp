// The skinned buttons as real child windows: clicks, state pictures, captions, masks, tooltips.
#include <gtest/gtest.h>

#include "platform/win32/windows_only.h"

#include <commctrl.h>

#include <memory>

#include "ui/bitmap_btn.h"
#include "ui/bitmap_btn2.h"
#include "ui/button_look.h"
#include "ui/caption_layout.h"
#include "ui_support.h"

namespace q7 {
namespace {

using namespace uitest;

constexpr COLORREF kParentColour = RGB(90, 90, 90);
constexpr COLORREF kNormal = RGB(20, 40, 120), kOver = RGB(20, 140, 60), kDown = RGB(150, 30, 30);
constexpr COLORREF kTextNormal = RGB(255, 255, 0), kTextHover = RGB(0, 255, 255), kTextPressed = RGB(255, 0, 255);
constexpr Rect kButtonRect{50, 40, 150, 70}; // 100 x 30

enum class Kind { Bitmap, Image };
const char* name(Kind k) { return k == Kind::Bitmap ? "CBitmapBtn2" : "CBitmapBtn"; }

class SkinnedButtons : public ::testing::Test {
protected:
  void SetUp() override {
    skins.solid(L"normal.bmp", 400, 300, kNormal);
    skins.solid(L"over.bmp", 400, 300, kOver);
    skins.solid(L"down.bmp", 400, 300, kDown);
  }

  // A button of the kind at kButtonRect with the three pictures and, when given, a caption.
  SkinnedButton& make(Kind kind, const wchar_t* caption = nullptr) {
    if (kind == Kind::Bitmap) {
      auto b = std::make_unique<CBitmapBtn2>();
      EXPECT_TRUE(b->create(parent.get(), kButtonRect));
      bitmaps[0] = loadSkinBitmap(skins.path(L"normal.bmp"));
      bitmaps[1] = loadSkinBitmap(skins.path(L"over.bmp"));
      bitmaps[2] = loadSkinBitmap(skins.path(L"down.bmp"));
      const Rect& r = kButtonRect;
      b->setImages(r.left, r.top, r.right, r.bottom, bitmaps[0], bitmaps[1], bitmaps[2], bitmaps[0]);
      b->setTextColours(kTextNormal, kTextHover, kTextPressed);
      if (caption) b->setText(caption, 0);
      bitmap = b.get();
      button = std::move(b);
    } else {
      auto b = std::make_unique<CBitmapBtn>();
      EXPECT_TRUE(b->create(parent.get(), kButtonRect));
      images[0] = loadSkinImage(skins.path(L"normal.bmp"));
      images[1] = loadSkinImage(skins.path(L"over.bmp"));
      images[2] = loadSkinImage(skins.path(L"down.bmp"));
      const Rect& r = kButtonRect;
      b->setImages(r.left, r.top, r.width(), r.height(), images[0], images[1], images[2], images[0]);
      b->setColors(kTextNormal, kTextHover, kTextPressed, 700);
      if (caption) b->setText(caption, 0, 0);
      image = b.get();
      button = std::move(b);
    }
    redrawNow(parent.get());
    return *button;
  }

  HWND wnd() const { return button->window(); }
  COLORREF corner() {
    redrawNow(wnd());
    return pixel(wnd(), 1, 1);
  }

  // Presses the left mouse button at a client point of the button and releases it there or far
  // outside; returns once the push button has handled the release.
  void pressAndRelease(POINT at, bool releaseOutside) {
    const POINT over = screenPoint(wnd(), at.x, at.y);
    mouseMoveTo(over.x, over.y);
    ASSERT_TRUE(pumpUntil([&] { return button->hovered(); })) << "the button never saw the mouse";
    const int downs = dispatchedCount(WM_LBUTTONDOWN, wnd()) + dispatchedCount(WM_LBUTTONDBLCLK, wnd());
    const int ups = dispatchedCount(WM_LBUTTONUP, wnd());
    mouseButton(true);
    ASSERT_TRUE(pumpUntil(
        [&] { return dispatchedCount(WM_LBUTTONDOWN, wnd()) + dispatchedCount(WM_LBUTTONDBLCLK, wnd()) > downs; }));
    if (releaseOutside) {
      const POINT away = screenPoint(parent.get(), 350, 250);
      mouseMoveTo(away.x, away.y);
      ASSERT_TRUE(pumpUntil([&] { return !button->hovered(); }));
    }
    mouseButton(false);
    // The button holds the capture while pressed, so the release comes to it wherever it happens.
    ASSERT_TRUE(pumpUntil([&] { return dispatchedCount(WM_LBUTTONUP, wnd()) > ups; }));
    pumpPending();
  }
  void moveAway() {
    const POINT away = screenPoint(parent.get(), 380, 10);
    mouseMoveTo(away.x, away.y);
    pumpUntil([&] { return !button->hovered(); }, 3000);
  }

  GdiplusSession gdiplus;
  TempSkins skins;
  TestWindow parent{{100, 100, 500, 400}, kParentColour};
  SkinBitmap bitmaps[3];
  SkinImage images[3];
  std::unique_ptr<SkinnedButton> button;
  CBitmapBtn2* bitmap = nullptr;
  CBitmapBtn* image = nullptr;
};

TEST_F(SkinnedButtons, OneCommandPerPressAndReleaseOverItNoneWhenReleasedOutside) {
  struct Case {
    const char* name;
    POINT at;
    bool outside;
    size_t commands;
  };
  // Presses in quick succession at one point make double clicks: each still counts once.
  const Case cases[] = {
      {"click", {50, 15}, false, 1},
      {"second click at the same point", {50, 15}, false, 1},
      {"released outside", {50, 15}, true, 0},
      {"click elsewhere on the button", {20, 8}, false, 1},
  };
  for (Kind kind : {Kind::Bitmap, Kind::Image}) {
    make(kind, L"GO");
    for (const Case& c : cases) {
      parent.commands.clear();
      pressAndRelease(c.at, c.outside);
      ASSERT_EQ(parent.commands.size(), c.commands) << name(kind) << ": " << c.name;
      for (const auto& command : parent.commands) {
        EXPECT_EQ(command.wParam, 0u) << name(kind) << ": " << c.name << ": notification 0, control id 0";
        EXPECT_EQ(command.lParam, reinterpret_cast<LPARAM>(wnd()));
      }
    }
    moveAway();
    parent.commands.clear();
    SendMessageW(wnd(), BM_CLICK, 0, 0);
    pumpPending();
    EXPECT_EQ(parent.commands.size(), 1u) << name(kind) << " BM_CLICK";
  }
}

TEST_F(SkinnedButtons, EachStateShowsItsPicture) {
  for (Kind kind : {Kind::Bitmap, Kind::Image}) {
    make(kind);
    EXPECT_EQ(GetWindowLongPtrW(wnd(), GWL_STYLE) & (WS_TABSTOP | WS_BORDER), 0) << name(kind);
    EXPECT_EQ(GetDlgCtrlID(wnd()), 0);
    EXPECT_EQ(corner(), kNormal) << name(kind);

    const POINT over = screenPoint(wnd(), 10, 10);
    mouseMoveTo(over.x, over.y);
    ASSERT_TRUE(pumpUntil([&] { return button->hovered(); })) << name(kind);
    EXPECT_EQ(corner(), kOver) << name(kind);

    SendMessageW(wnd(), BM_SETSTATE, TRUE, 0); // pressed
    EXPECT_EQ(corner(), kDown) << name(kind);
    SendMessageW(wnd(), BM_SETSTATE, FALSE, 0);

    moveAway();
    ASSERT_FALSE(button->hovered()) << name(kind) << " never lost the hover look";
    EXPECT_EQ(corner(), kNormal) << name(kind);

    EnableWindow(wnd(), FALSE); // the disabled picture is the normal one again
    EXPECT_EQ(corner(), kNormal) << name(kind);
    EnableWindow(wnd(), TRUE);
  }
}

TEST_F(SkinnedButtons, LatchedShowsTheHoverPictureAlsoWhenDisabledWithGreyText) {
  make(Kind::Bitmap, L"WWWW");
  bitmap->setLatched(true);
  EXPECT_EQ(corner(), kOver);
  const Rect client{0, 0, kButtonRect.width(), kButtonRect.height()};
  EXPECT_GT(countPixels(wnd(), client, [](COLORREF c) { return similar(c, kTextPressed); }), 0);
  EnableWindow(wnd(), FALSE);
  EXPECT_EQ(corner(), kOver);
  EXPECT_EQ(countPixels(wnd(), client, [](COLORREF c) { return similar(c, kTextPressed); }), 0);
  EXPECT_GT(countPixels(wnd(), client, [](COLORREF c) { return similar(c, kDisabledTextColour, 20); }), 0);
}

TEST_F(SkinnedButtons, CaptionOfAnInactiveParentIsInTheNormalColourEvenWhenPressed) {
  make(Kind::Bitmap, L"WWWW");
  const Rect client{0, 0, kButtonRect.width(), kButtonRect.height()};
  auto count = [&](COLORREF colour) {
    redrawNow(wnd());
    return countPixels(wnd(), client, [&](COLORREF c) { return similar(c, colour); });
  };
  SetActiveWindow(parent.get());
  SendMessageW(wnd(), BM_SETSTATE, TRUE, 0);
  EXPECT_GT(count(kTextPressed), 0);

  TestWindow other({600, 100, 700, 200}, RGB(0, 0, 0));
  SetActiveWindow(other.get());
  ASSERT_EQ(GetActiveWindow(), other.get());
  EXPECT_EQ(count(kTextPressed), 0);
  EXPECT_GT(count(kTextNormal), 0);
  SendMessageW(wnd(), BM_SETSTATE, FALSE, 0);
}

TEST_F(SkinnedButtons, CaptionPlacement) {
  const Rect client{0, 0, kButtonRect.width(), kButtonRect.height()};
  auto textBounds = [&](COLORREF colour) {
    redrawNow(wnd());
    return boundsOfPixels(wnd(), client, [&](COLORREF c) { return similar(c, colour, 60); });
  };
  // Layout 4 with offset 5: from 5 pixels in (a glyph may start a pixel or two right of its cell).
  make(Kind::Image, L"HIH");
  image->setText(L"HIH", 5, kCaptionAtLeftEdge);
  Rect b = textBounds(kTextNormal);
  ASSERT_FALSE(b.empty());
  EXPECT_GE(b.left, 5);
  EXPECT_LE(b.left, 7);
  EXPECT_NEAR((b.top + b.bottom) / 2.0, client.height() / 2.0, 3.0);

  // Alignment 2 on a 100-pixel button: centred over 135 pixels, 17.5 right of the button's centre.
  make(Kind::Bitmap, L"HIH");
  bitmap->setText(L"HIH", 0);
  const Rect centred = textBounds(kTextNormal);
  bitmap->setText(L"HIH", 2);
  b = textBounds(kTextNormal);
  ASSERT_FALSE(b.empty());
  EXPECT_NEAR((b.left + b.right) / 2.0 - (centred.left + centred.right) / 2.0, 17.5, 1.0);
}

TEST_F(SkinnedButtons, AMaskShapesTheButton) {
  // The left 60 pixels stay, the rest is cut away.
  skins.mask(L"btn_mask.bmp", kButtonRect.width(), kButtonRect.height(), {0, 0, 60, 30});
  for (Kind kind : {Kind::Bitmap, Kind::Image}) {
    make(kind);
    button->setMask(L"btn_mask.bmp");
    win32::UniqueGdi<HRGN> region(CreateRectRgn(0, 0, 0, 0));
    ASSERT_EQ(GetWindowRgn(wnd(), region.get()), SIMPLEREGION) << name(kind);
    RECT box{};
    GetRgnBox(region.get(), &box);
    EXPECT_EQ(box.left, 0);
    EXPECT_EQ(box.right, 60);
    EXPECT_EQ(box.bottom, 30);
    // What lies outside the shape belongs to the parent: a click there is not the button's.
    const POINT cut = screenPoint(wnd(), 80, 15), kept = screenPoint(wnd(), 30, 15);
    EXPECT_EQ(WindowFromPoint(cut), parent.get()) << name(kind);
    EXPECT_EQ(WindowFromPoint(kept), wnd()) << name(kind);
  }
}

TEST_F(SkinnedButtons, AMaskWithoutARegionSaysErrorAMissingOneStaysQuiet) {
  uitest::writeBytes(skins.path(L"broken_mask.bmp"), "not a bitmap");
  for (Kind kind : {Kind::Bitmap, Kind::Image}) {
    make(kind);
    button->setMask(L"missing_mask.bmp"); // no such file: silently rectangular
    {
      win32::UniqueGdi<HRGN> region(CreateRectRgn(0, 0, 0, 0));
      EXPECT_EQ(GetWindowRgn(wnd(), region.get()), ERROR) << name(kind);
    }
    for (const wchar_t* file : {L"broken_mask.bmp"}) {
      make(kind);
      // The message box runs its own loop: answer it from there.
      std::wstring seen;
      parent.onMessage = [&](UINT m, WPARAM, LPARAM) {
        if (m != WM_APP) return;
        EnumThreadWindows(
            GetCurrentThreadId(),
            [](HWND w, LPARAM out) -> BOOL {
              wchar_t cls[32] = {};
              GetClassNameW(w, cls, 32);
              if (std::wstring(cls) != L"#32770") return TRUE;
              HWND text = GetDlgItem(w, 0xFFFF); // the message box's text
              *reinterpret_cast<std::wstring*>(out) = text ? windowText(text) : L"?";
              PostMessageW(w, WM_COMMAND, IDOK, 0);
              return FALSE;
            },
            reinterpret_cast<LPARAM>(&seen));
        if (seen.empty()) PostMessageW(parent.get(), WM_APP, 0, 0); // not up yet
      };
      PostMessageW(parent.get(), WM_APP, 0, 0);
      button->setMask(file);
      parent.onMessage = nullptr;
      EXPECT_EQ(seen, L"error") << name(kind) << " " << file;
      win32::UniqueGdi<HRGN> region(CreateRectRgn(0, 0, 0, 0));
      EXPECT_EQ(GetWindowRgn(wnd(), region.get()), ERROR) << "no region: the button stays rectangular";
    }
  }
}

TEST_F(SkinnedButtons, WithoutPicturesAButtonIsAPlainFaceAndStillClicks) {
  for (Kind kind : {Kind::Bitmap, Kind::Image}) {
    std::unique_ptr<SkinnedButton> b;
    if (kind == Kind::Bitmap)
      b = std::make_unique<CBitmapBtn2>();
    else
      b = std::make_unique<CBitmapBtn>();
    ASSERT_TRUE(b->create(parent.get(), kButtonRect));
    if (kind == Kind::Bitmap) {
      SkinBitmap none = loadSkinBitmap(skins.path(L"missing.jpg"));
      static_cast<CBitmapBtn2*>(b.get())->setImages(50, 40, 150, 70, none, none, none, none);
    } else {
      SkinImage none = loadSkinImage(skins.path(L"missing.jpg"));
      static_cast<CBitmapBtn*>(b.get())->setImages(50, 40, 100, 30, none, none, none, none);
    }
    redrawNow(b->window());
    EXPECT_EQ(pixel(b->window(), 1, 1), kPlainFaceColour) << name(kind);
    parent.commands.clear();
    SendMessageW(b->window(), BM_CLICK, 0, 0);
    pumpPending();
    EXPECT_EQ(parent.commands.size(), 1u) << name(kind);
  }
}

// The tooltip control of a button, found among the thread's windows.
HWND tooltipOf(HWND button) {
  struct Search {
    HWND button, found;
  } s{button, nullptr};
  EnumThreadWindows(
      GetCurrentThreadId(),
      [](HWND w, LPARAM p) -> BOOL {
        auto* s = reinterpret_cast<Search*>(p);
        wchar_t cls[64] = {};
        GetClassNameW(w, cls, 64);
        if (std::wstring(cls) != TOOLTIPS_CLASSW) return TRUE;
        TTTOOLINFOW tool{};
        tool.cbSize = sizeof tool;
        tool.hwnd = s->button;
        tool.uId = 1;
        if (SendMessageW(w, TTM_GETTOOLINFOW, 0, reinterpret_cast<LPARAM>(&tool))) s->found = w;
        return s->found ? FALSE : TRUE;
      },
      reinterpret_cast<LPARAM>(&s));
  return s.found;
}

std::wstring tipText(HWND tooltip, HWND button) {
  wchar_t text[128] = {};
  TTTOOLINFOW tool{};
  tool.cbSize = sizeof tool;
  tool.hwnd = button;
  tool.uId = 1;
  tool.lpszText = text;
  SendMessageW(tooltip, TTM_GETTEXTW, 128, reinterpret_cast<LPARAM>(&tool));
  return text;
}

TEST_F(SkinnedButtons, ATooltipHasOneToolWhoseTextFollowsTheLastCall) {
  for (Kind kind : {Kind::Bitmap, Kind::Image}) {
    make(kind);
    if (kind == Kind::Bitmap)
      bitmap->setTooltip(L"first", true);
    else
      image->setTooltip(L"first");
    HWND tip = tooltipOf(wnd());
    ASSERT_NE(tip, nullptr) << name(kind);
    EXPECT_EQ(tipText(tip, wnd()), L"first");
    if (kind == Kind::Bitmap)
      bitmap->setTooltip(L"second", false);
    else
      image->setTooltip(L"second");
    EXPECT_EQ(tooltipOf(wnd()), tip) << "one tooltip per button";
    EXPECT_EQ(SendMessageW(tip, TTM_GETTOOLCOUNT, 0, 0), 1);
    EXPECT_EQ(tipText(tip, wnd()), L"second");
  }
}

} // namespace
} // namespace q7
