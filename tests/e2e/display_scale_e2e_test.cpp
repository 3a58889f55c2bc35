// The program on a display scaled to 150 % and 200 %: started after the display's DPI was set in
// its prefix, its window, keys, buttons and captions take their places and pictures at that scale,
// and a click at a key's scaled place selects it. A move to a display of another scale rebuilds the
// window without losing what the user edited.
#include <gtest/gtest.h>

#include "ui/skin.h" // first: it brings the graphics library in the order it needs

#include <algorithm>
#include <optional>

#include "app/keyboard_layout_tables.h"
#include "app/main_window_layout.h"
#include "driver.h"
#include "platform/win32/handles.h"
#include "text/string_lookup.h"
#include "ui/scale.h"
#include "ui/skin.h"

namespace q7::e2e {
namespace {

constexpr DWORD kWaitMs = 30000;
using main_window::Control;

KeyLayout installedLayout() {
  const std::wstring strings = distFolder() + L"Strings.xml";
  setStringFilePath(std::u16string(strings.begin(), strings.end()));
  return keyLayoutFor(lookupString(u"MAIN", u"LANG"));
}

bool similar(COLORREF a, COLORREF b, int tolerance = 8) {
  auto d = [](int u, int v) { return u > v ? u - v : v - u; };
  return d(GetRValue(a), GetRValue(b)) <= tolerance && d(GetGValue(a), GetGValue(b)) <= tolerance &&
         d(GetBValue(a), GetBValue(b)) <= tolerance;
}

// A skin picture as the program sees it at a scale, to read colours from.
class Picture {
public:
  Picture(const wchar_t* name, Scale scale, Resample how = Resample::Smooth) {
    setSkinBaseFolder(distFolder());
    bitmap_ = loadScaledSkin(name, scale, how);
    setSkinBaseFolder({});
    select_.emplace(dc_.get(), bitmap_.get());
  }
  int width() const { return bitmap_.width(); }
  int height() const { return bitmap_.height(); }
  COLORREF at(int x, int y) const { return GetPixel(dc_.get(), x, y); }

private:
  SkinBitmap bitmap_;
  win32::UniqueDc dc_{CreateCompatibleDC(nullptr)};
  std::optional<win32::Selection> select_;
};

class ScaledProgram {
public:
  void start() {
    SetEnvironmentVariableW(L"Q7MON_LOG", monitorLogPath().c_str());
    DeleteFileW(monitorLogPath().c_str());
    program = Process(distFolder() + L"Q7Config.exe");
    ASSERT_TRUE(program.started());
    main = waitForWindow(program.id(), kWaitMs);
    ASSERT_NE(main, nullptr);
    ASSERT_GE(waitForLog(1542, kWaitMs), 0);
  }
  HWND at(const Rect& table, Scale s) {
    const Rect r = s.rect(table);
    return childAt(main, r.left, r.top, r.right, r.bottom);
  }
  Size windowSize() const {
    RECT r{};
    GetWindowRect(main, &r);
    return {r.right - r.left, r.bottom - r.top};
  }
  // The window is sized last when it is rebuilt at another scale.
  bool waitForSize(Size wanted) {
    for (DWORD waited = 0; waited < kWaitMs; waited += 100) {
      if (windowSize() == wanted) return pumpFor(300), true;
      pumpFor(100);
    }
    return false;
  }

  Process program;
  HWND main = nullptr;
};

class OnAScaledDisplay : public ::testing::TestWithParam<int>, public ScaledProgram {
protected:
  void SetUp() override {
    ASSERT_TRUE(setDisplayDpi(static_cast<DWORD>(GetParam())));
    start();
  }
  Scale scale() const { return Scale{GetParam()}; }
};

TEST_P(OnAScaledDisplay, WindowKeysAndButtonsStandAtTheirScaledPlacesWithTheScaledPictures) {
  const Scale s = scale();
  const Picture mask(L"main_mask.bmp", s, Resample::Nearest);
  EXPECT_EQ(windowSize(), (Size{mask.width(), mask.height()}));
  EXPECT_EQ(windowSize(), s.size(main_window::kSize));

  const KeyLayout layout = installedLayout();
  int keys = 0;
  for (int k = 0; k < kKeyCount; ++k) keys += keyVisible(layout, k) && at(keyRectangle(layout, k), s);
  EXPECT_EQ(keys, visibleKeyCount(layout));
  for (const main_window::ControlEntry& c : main_window::kControls)
    EXPECT_NE(at(main_window::controlRect(c.id, u"EN"), s), nullptr) << static_cast<int>(c.id);

  pumpFor(500);
  const Picture normal(L"main_normal.jpg", s);
  // A key cap in its default look, and a command button away from its caption, at their scaled places.
  const Rect key = s.rect(keyRectangle(layout, 40));
  const Rect ok = s.rect(main_window::control(Control::Ok).rect);
  const struct {
    const char* what;
    int x, y;
  } points[] = {{"key", (key.left + key.right) / 2, key.top + s.px(3)},
                {"key", key.left + s.px(4), (key.top + key.bottom) / 2},
                {"OK", ok.left + s.px(12), ok.top + s.px(4)}};
  for (const auto& p : points)
    EXPECT_TRUE(similar(screenPixel(main, p.x, p.y), normal.at(p.x, p.y))) << p.what << " at " << p.x << "," << p.y;
  // The window's shape is the scaled mask's: its cut-away corner shows what lies below.
  ASSERT_EQ(mask.at(s.px(1), s.px(1)), RGB(255, 255, 255));
  EXPECT_NE(WindowFromPoint(POINT{s.px(1), s.px(1)}), main);
}

TEST_P(OnAScaledDisplay, CaptionsAreDrawnAtTheScaledHeight) {
  const Scale s = scale();
  pumpFor(500);
  const Picture normal(L"main_normal.jpg", s);
  // The rows of the Export button where the caption's ink differs from the picture below it.
  const Rect b = s.rect(main_window::control(Control::Export).rect);
  int first = -1, last = -1;
  for (int y = b.top; y < b.bottom; ++y)
    for (int x = b.left + s.px(6); x < b.right - s.px(6); ++x)
      if (!similar(screenPixel(main, x, y), normal.at(x, y), 60)) {
        if (first < 0) first = y;
        last = y;
        break;
      }
  ASSERT_GE(first, 0) << "no caption drawn";
  const int ink = last - first + 1;
  const int font = s.font(main_window::captionHeight(Control::Export, u"EN"));
  // Capitals of a font of that height: well over half of it, never more than all of it.
  EXPECT_GE(ink * 100, font * 55) << ink << " rows of ink for a " << font << " px font";
  EXPECT_LE(ink, font + 1);
}

TEST_P(OnAScaledDisplay, AClickAtAKeysScaledPlaceSelectsIt) {
  const Scale s = scale();
  const Rect k = s.rect(keyRectangle(installedLayout(), 40));
  POINT p{(k.left + k.right) / 2, (k.top + k.bottom) / 2};
  ClientToScreen(main, &p);
  HWND key = WindowFromPoint(p);
  ASSERT_EQ(key, at(keyRectangle(installedLayout(), 40), s));
  HWND disable = at(main_window::control(Control::Disable).rect, s);
  ASSERT_FALSE(IsWindowEnabled(disable));
  // A real press and release of the mouse button at that point of the screen.
  const int sw = GetSystemMetrics(SM_CXSCREEN), sh = GetSystemMetrics(SM_CYSCREEN);
  INPUT in[3]{};
  for (INPUT& i : in) {
    i.type = INPUT_MOUSE;
    i.mi.dx = MulDiv(p.x, 65535, sw - 1);
    i.mi.dy = MulDiv(p.y, 65535, sh - 1);
  }
  in[0].mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
  in[1].mi.dwFlags = MOUSEEVENTF_LEFTDOWN | MOUSEEVENTF_ABSOLUTE;
  in[2].mi.dwFlags = MOUSEEVENTF_LEFTUP | MOUSEEVENTF_ABSOLUTE;
  SetForegroundWindow(main);
  ASSERT_EQ(SendInput(3, in, sizeof(INPUT)), 3u);
  EXPECT_TRUE(waitEnabled(disable, true, kWaitMs)) << "the key is selected: its per-key buttons wait";
  EXPECT_FALSE(windowText(at(main_window::control(Control::KeyName).rect, s)).empty());
}

INSTANTIATE_TEST_SUITE_P(Display, OnAScaledDisplay, ::testing::Values(144, 192),
                         [](const ::testing::TestParamInfo<int>& i) { return "Dpi" + std::to_string(i.param); });

class MovedToAnotherDisplay : public ::testing::Test, public ScaledProgram {};

TEST_F(MovedToAnotherDisplay, TheWindowIsRebuiltAtTheNewScaleAndKeepsTheEdits) {
  start();
  const Scale at96{96}, at192{192};
  const KeyLayout layout = installedLayout();
  HWND key = at(keyRectangle(layout, 40), at96);
  ASSERT_NE(key, nullptr);
  click(key);
  ASSERT_TRUE(waitEnabled(at(main_window::control(Control::Disable).rect, at96), true, kWaitMs));
  const std::wstring name = windowText(at(main_window::control(Control::KeyName).rect, at96));
  ASSERT_FALSE(name.empty());

  // The system tells a window that it now stands on a display of 200 %.
  ASSERT_TRUE(PostMessageW(main, WM_DPICHANGED, MAKEWPARAM(192, 192), 0));
  ASSERT_TRUE(waitForSize(at192.size(main_window::kSize)));
  EXPECT_EQ(at(keyRectangle(layout, 40), at192), key) << "the same key window, moved and sized";
  HWND keyName = at(main_window::control(Control::KeyName).rect, at192);
  ASSERT_NE(keyName, nullptr);
  EXPECT_EQ(windowText(keyName), name) << "the selection stays";
  EXPECT_TRUE(IsWindowEnabled(at(main_window::control(Control::Disable).rect, at192)));
  EXPECT_EQ(WindowFromPoint(POINT{at192.px(750), at192.px(500)}), main) << "the shape follows the new size";

  // And back: the window and its keys are where they were.
  ASSERT_TRUE(PostMessageW(main, WM_DPICHANGED, MAKEWPARAM(96, 96), 0));
  ASSERT_TRUE(waitForSize(main_window::kSize));
  EXPECT_EQ(at(keyRectangle(layout, 40), at96), key);
}

} // namespace
} // namespace q7::e2e
