// The program started on a display of 192 DPI (the user's LogPixels set before it starts), beside
// the same program at 96 DPI in the same prefix: the colour editor opens at the scaled pictures'
// size, its controls at their table rectangles scaled showing the pictures' colours, its captions
// twice as tall, and a palette pick at the scaled point of a table point gives what the pick of that
// table point gives at 96 DPI. Works with the shipped skin set at 200 % or, without it, with the
// 96-DPI pictures resampled.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <string>
#include <vector>

#include "app/main_window_layout.h"
#include "driver.h"
#include "keys/linked_programs_layout.h"
#include "lighting/colour_editor_layout.h"
#include "macro/macro_editor_layout.h"
#include "platform/win32/handles.h"
#include "ui/scale.h"

namespace q7::e2e {
namespace {

constexpr DWORD kWaitMs = 30000;

// The pixels of a client rectangle of a window, as the screen shows them, row by row.
std::vector<COLORREF> capture(HWND wnd, const Rect& r) {
  POINT origin{r.left, r.top};
  ClientToScreen(wnd, &origin);
  win32::WindowDc screen(nullptr);
  win32::UniqueDc copyDc(CreateCompatibleDC(screen.get()));
  BITMAPINFO info{};
  info.bmiHeader = {sizeof(BITMAPINFOHEADER), r.width(), -r.height(), 1, 32, BI_RGB};
  void* bits = nullptr;
  win32::UniqueGdi<HBITMAP> dib(CreateDIBSection(screen.get(), &info, DIB_RGB_COLORS, &bits, nullptr, 0));
  if (!dib || !bits) return {};
  {
    win32::Selection on(copyDc.get(), dib.get());
    BitBlt(copyDc.get(), 0, 0, r.width(), r.height(), screen.get(), origin.x, origin.y, SRCCOPY);
  }
  std::vector<COLORREF> out(static_cast<size_t>(r.width()) * r.height());
  const auto* p = static_cast<const uint32_t*>(bits);
  for (size_t i = 0; i < out.size(); ++i) out[i] = RGB(p[i] >> 16 & 0xFF, p[i] >> 8 & 0xFF, p[i] & 0xFF);
  return out;
}

// The colour most pixels of a piece come near: the median of each channel (a caption's few
// pixels do not move it).
COLORREF median(std::vector<COLORREF> pixels) {
  if (pixels.empty()) return CLR_INVALID;
  int channel[3];
  for (int c = 0; c < 3; ++c) {
    std::vector<int> v;
    for (COLORREF p : pixels) v.push_back(static_cast<int>(p >> (8 * c) & 0xFF));
    std::nth_element(v.begin(), v.begin() + v.size() / 2, v.end());
    channel[c] = v[v.size() / 2];
  }
  return RGB(channel[0], channel[1], channel[2]);
}

// The rows holding white ink in a piece.
int inkRows(const std::vector<COLORREF>& pixels, int width) {
  int first = -1, last = -1;
  for (size_t i = 0; i < pixels.size(); ++i) {
    const COLORREF c = pixels[i];
    if (GetRValue(c) > 200 && GetGValue(c) > 200 && GetBValue(c) > 200) {
      const int row = static_cast<int>(i) / width;
      if (first < 0) first = row;
      last = row;
    }
  }
  return first < 0 ? 0 : last - first + 1;
}

bool nearColour(COLORREF a, COLORREF b, int tolerance) {
  return std::abs(GetRValue(a) - GetRValue(b)) <= tolerance && std::abs(GetGValue(a) - GetGValue(b)) <= tolerance &&
         std::abs(GetBValue(a) - GetBValue(b)) <= tolerance;
}

class ProgramAtScale : public ::testing::Test {
protected:
  void SetUp() override {
    SetEnvironmentVariableW(L"Q7MON_LOG", monitorLogPath().c_str());
    DeleteFileW(monitorLogPath().c_str());
  }
  void TearDown() override { setDisplayDpi(96); }

  // Starts the program, waits for its first profile and opens the colour editor from its button.
  HWND startAndOpenEditor(Scale scale) {
    start();
    if (HasFatalFailure()) return nullptr;
    const Rect b = scale.rect(main_window::control(main_window::Control::WholeKeyboardColour).rect);
    HWND button = childAt(main, b.left, b.top, b.right, b.bottom);
    EXPECT_NE(button, nullptr) << "the main window's button at its scaled place";
    if (!button) return nullptr;
    click(button);
    HWND editor = waitForOtherWindow(program.id(), main, kWaitMs);
    for (ULONGLONG end = GetTickCount64() + kWaitMs; editor && windowText(editor).empty() && GetTickCount64() < end;)
      pumpFor(50);
    pumpFor(500);
    return editor;
  }
  void start() {
    const size_t before = readLog().size();
    program = Process(distFolder() + L"Q7Config.exe");
    ASSERT_TRUE(program.started());
    main = waitForWindow(program.id(), kWaitMs);
    ASSERT_NE(main, nullptr);
    ASSERT_GE(waitForLog(1542, kWaitMs, before), 0);
  }
  // A window the program opened, once its title is set (its initialisation ran).
  HWND waitForDialog() {
    HWND dlg = waitForOtherWindow(program.id(), main, kWaitMs);
    for (ULONGLONG end = GetTickCount64() + kWaitMs; dlg && windowText(dlg).empty() && GetTickCount64() < end;)
      pumpFor(50);
    pumpFor(300);
    return dlg;
  }
  static HWND at(HWND parent, const Rect& r) { return childAt(parent, r.left, r.top, r.right, r.bottom); }
  static Size sizeOf(HWND w) {
    RECT r{};
    GetWindowRect(w, &r);
    return {r.right - r.left, r.bottom - r.top};
  }
  void endProgram() {
    Process hid(distFolder() + L"HID.exe", L"--post 5001 0 0");
    EXPECT_EQ(hid.wait(10000), 0u);
    EXPECT_EQ(program.wait(10000), 0u);
  }
  static COLORREF pick(HWND editor, Scale scale, int x, int y) {
    PostMessageW(editor, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(scale.px(x), scale.px(y)));
    PostMessageW(editor, WM_LBUTTONUP, 0, MAKELPARAM(scale.px(x), scale.px(y)));
    pumpFor(300);
    auto number = [&](const Rect& table) {
      const Rect r = scale.rect(table);
      wchar_t text[16] = {};
      SendMessageW(childAt(editor, r.left, r.top, r.right, r.bottom), WM_GETTEXT, 16, reinterpret_cast<LPARAM>(text));
      return _wtoi(text);
    };
    return RGB(number(colour_editor::kRedField), number(colour_editor::kGreenField), number(colour_editor::kBlueField));
  }
  static Rect inset(const Rect& r, int by) { return {r.left + by, r.top + by, r.right - by, r.bottom - by}; }

  Process program;
  HWND main = nullptr;
};

TEST_F(ProgramAtScale, TheColourEditorAt192DpiIsTheOneAt96Doubled) {
  using colour_editor::Control;
  const Rect title = colour_editor::control(Control::Title).rect;
  const Rect ok = colour_editor::control(Control::Ok).rect;
  const Rect strip = colour_editor::kPaletteStrip;
  const int px = strip.left + strip.width() / 4, py = (strip.top + strip.bottom) / 2;

  // At 96 DPI.
  HWND editor = startAndOpenEditor(Scale{});
  ASSERT_NE(editor, nullptr);
  RECT r{};
  GetWindowRect(editor, &r);
  ASSERT_EQ(r.right - r.left, colour_editor::kSize.width) << "the prefix starts at 96 DPI";
  const int titleInk96 = inkRows(capture(editor, title), title.width());
  const COLORREF okFace96 = median(capture(editor, inset(ok, 3)));
  const COLORREF picked96 = pick(editor, Scale{}, px, py);
  endProgram();

  // At 192 DPI, started anew.
  ASSERT_TRUE(setDisplayDpi(192));
  const Scale s{192};
  editor = startAndOpenEditor(s);
  ASSERT_NE(editor, nullptr);
  GetWindowRect(main, &r);
  EXPECT_EQ(r.right - r.left, s.px(main_window::kSize.width)) << "the program sees 192 DPI";
  GetWindowRect(editor, &r);
  EXPECT_EQ((Size{r.right - r.left, r.bottom - r.top}), s.size(colour_editor::kSize));
  const Rect okAt = s.rect(ok);
  EXPECT_NE(childAt(editor, okAt.left, okAt.top, okAt.right, okAt.bottom), nullptr);
  const COLORREF okFace = median(capture(editor, s.rect(inset(ok, 3))));
  EXPECT_TRUE(nearColour(okFace, okFace96, 24)) << std::hex << okFace << " against " << okFace96;
  const int titleInk = inkRows(capture(editor, s.rect(title)), s.px(title.width()));
  EXPECT_GE(titleInk * 10, titleInk96 * 16) << titleInk96 << " then " << titleInk;
  EXPECT_LE(titleInk * 10, titleInk96 * 24) << titleInk96 << " then " << titleInk;
  const COLORREF picked = pick(editor, s, px, py);
  EXPECT_TRUE(nearColour(picked, picked96, 12)) << std::hex << picked << " against " << picked96;
  endProgram();
}

TEST_F(ProgramAtScale, LinkedProgramsAndTheMacroEditorOpenAt192Dpi) {
  ASSERT_TRUE(setDisplayDpi(192));
  const Scale s{192};
  start();
  // The linked-programs dialog from the main window's button.
  click(at(main, s.rect(main_window::control(main_window::Control::Sync).rect)));
  HWND sync = waitForDialog();
  ASSERT_NE(sync, nullptr);
  EXPECT_EQ(sizeOf(sync), s.size(linked_programs::kSize));
  for (const linked_programs::Slot& slot : linked_programs::kSlots) EXPECT_NE(at(sync, s.rect(slot.browse)), nullptr);
  const Rect field = s.rect(linked_programs::kSlots[0].text);
  EXPECT_EQ(screenPixel(sync, field.right - 1, field.bottom - 1), RGB(0xB6, 0xB6, 0xB6))
      << "the grey field covers its scaled rectangle";
  click(at(sync, s.rect(linked_programs::kCancel)));
  ASSERT_TRUE(waitGone(sync, kWaitMs));
  ASSERT_TRUE(waitEnabled(main, true, kWaitMs));

  // The macro editor, as the monitor asks for it.
  Process hid(distFolder() + L"HID.exe", L"--post 1555 0 0");
  EXPECT_EQ(hid.wait(10000), 0u);
  // It has no title: it is there once its list is, at the list's scaled place.
  HWND editor = waitForOtherWindow(program.id(), main, kWaitMs);
  ASSERT_NE(editor, nullptr);
  HWND list = nullptr;
  for (ULONGLONG end = GetTickCount64() + kWaitMs; !list && GetTickCount64() < end; pumpFor(30))
    list = at(editor, s.rect(macro_editor::kEventList));
  ASSERT_NE(list, nullptr) << "the event list at its scaled place";
  EXPECT_EQ(sizeOf(editor), s.size(macro_editor::kSize));
  EXPECT_NE(at(editor, s.rect(macro_editor::kNameField)), nullptr);
  EXPECT_NE(at(editor, s.rect(macro_editor::control(macro_editor::Control::Record).rect)), nullptr);
  click(at(editor, s.rect(macro_editor::control(macro_editor::Control::Cancel).rect)));
  ASSERT_TRUE(waitGone(editor, kWaitMs));
  endProgram();
}

} // namespace
} // namespace q7::e2e
