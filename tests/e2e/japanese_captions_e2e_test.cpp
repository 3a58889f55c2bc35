// Japanese captions drawn by the program keep every stroke: the ink of a caption on screen is the
// ink of the same text drawn here with the Japanese family selected by name, at the same size and
// weight, on the same piece of skin. The prefix links that family for the captions' fonts; a
// Chinese font's bitmap strikes, or anything the program did to the text on its way, would show
// as other ink.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "app/keyboard_layout_tables.h"
#include "app/main_window_layout.h"
#include "driver.h"
#include "macro/macro_editor_layout.h"
#include "platform/win32/handles.h"
#include "text/string_lookup.h"
#include "ui/fonts.h"
#include "ui/skin.h"

namespace q7::e2e {
namespace {

constexpr DWORD kWaitMs = 30000;
// The Japanese family that the prefix links for the captions' fonts.
constexpr const wchar_t* kJapaneseFamily = L"IPAPGothic";

// Pixels of a rectangle, 0x00RRGGBB, row by row.
struct Pixels {
  int width = 0, height = 0;
  std::vector<uint32_t> p;
  uint32_t at(int x, int y) const { return p[static_cast<size_t>(y) * width + x]; }
};

Pixels readDc(HDC from, int x, int y, int width, int height) {
  Pixels out{width, height, std::vector<uint32_t>(static_cast<size_t>(width) * height)};
  win32::UniqueDc dc(CreateCompatibleDC(from));
  BITMAPINFO info = topDownDib(width, height, 32);
  void* bits = nullptr;
  win32::UniqueGdi<HBITMAP> dib(CreateDIBSection(dc.get(), &info, DIB_RGB_COLORS, &bits, nullptr, 0));
  if (!dib || !bits) return out;
  {
    win32::Selection s(dc.get(), dib.get());
    BitBlt(dc.get(), 0, 0, width, height, from, x, y, SRCCOPY);
    GdiFlush();
  }
  std::copy_n(static_cast<const uint32_t*>(bits), out.p.size(), out.p.begin());
  return out;
}

// What the screen shows of a window's client rectangle.
Pixels onScreen(HWND wnd) {
  RECT r{};
  GetClientRect(wnd, &r);
  POINT origin{0, 0};
  ClientToScreen(wnd, &origin);
  win32::WindowDc screen(nullptr);
  return readDc(screen.get(), origin.x, origin.y, r.right, r.bottom);
}

// The piece of a skin picture under a control, with text drawn on it in the named family.
Pixels skinPiece(const SkinBitmap& picture, const Rect& at, const std::wstring* text, const wchar_t* family, int height,
                 int weight) {
  win32::UniqueDc dc(CreateCompatibleDC(nullptr));
  BITMAPINFO info = topDownDib(at.width(), at.height(), 32);
  void* bits = nullptr;
  win32::UniqueGdi<HBITMAP> dib(CreateDIBSection(dc.get(), &info, DIB_RGB_COLORS, &bits, nullptr, 0));
  win32::Selection s(dc.get(), dib.get());
  paintSkinPiece(dc.get(), &picture, at.left, at.top, at.width(), at.height());
  if (text) {
    win32::UniqueGdi<HFONT> font = createSkinFont(family, height, weight);
    win32::Selection withFont(dc.get(), font.get());
    SetBkMode(dc.get(), TRANSPARENT);
    SetTextColor(dc.get(), RGB(255, 255, 255));
    RECT r{0, 0, at.width(), at.height()};
    DrawTextW(dc.get(), text->c_str(), -1, &r, DT_SINGLELINE | DT_CENTER | DT_VCENTER | DT_NOPREFIX | DT_NOCLIP);
  }
  return readDc(dc.get(), 0, 0, at.width(), at.height());
}

// The ink: where a picture differs clearly from the bare skin under it.
struct Ink {
  std::vector<std::pair<int, int>> points; // relative to the ink's top-left corner
  int width = 0, height = 0;
};

Ink inkOf(const Pixels& drawn, const Pixels& bare) {
  std::vector<std::pair<int, int>> at;
  int left = drawn.width, top = drawn.height, right = -1, bottom = -1;
  for (int y = 0; y < drawn.height; ++y)
    for (int x = 0; x < drawn.width; ++x) {
      const uint32_t a = drawn.at(x, y), b = bare.at(x, y);
      int d = 0;
      for (int shift : {0, 8, 16})
        d += std::abs(static_cast<int>((a >> shift) & 0xFF) - static_cast<int>((b >> shift) & 0xFF));
      if (d < 120) continue;
      at.emplace_back(x, y);
      left = std::min(left, x), top = std::min(top, y), right = std::max(right, x), bottom = std::max(bottom, y);
    }
  Ink ink;
  for (auto [x, y] : at) ink.points.emplace_back(x - left, y - top);
  std::sort(ink.points.begin(), ink.points.end());
  ink.width = right - left + 1;
  ink.height = bottom - top + 1;
  return ink;
}

// Pixels in one ink and not in the other.
size_t difference(const Ink& a, const Ink& b) {
  std::vector<std::pair<int, int>> only;
  std::set_symmetric_difference(a.points.begin(), a.points.end(), b.points.begin(), b.points.end(),
                                std::back_inserter(only));
  return only.size();
}

class JapaneseCaptions : public ::testing::Test {
protected:
  void SetUp() override {
    ASSERT_TRUE(fontInstalled(kJapaneseFamily)) << "the prefix has no Japanese font";
    SetEnvironmentVariableW(L"Q7MON_LOG", monitorLogPath().c_str());
    DeleteFileW(monitorLogPath().c_str());
    folder = freshFolder(L"JPcaptions");
    CreateDirectoryW((folder + L"Skins").c_str(), nullptr);
    for (const wchar_t* file : {L"Q7Config.exe", L"HID.exe", L"KBHook.dll"})
      ASSERT_TRUE(copyFile(distFolder() + file, folder + file)) << file;
    ASSERT_TRUE(copyFile(distFolder() + L"lang\\Strings.JP.xml", folder + L"Strings.xml"));
    ASSERT_GT(copyFolder(std::wstring(Q7_TEST_SKINS_DIR) + L"\\JP\\", folder + L"Skins\\"), 30);
    setStringFilePath(u16(folder + L"Strings.xml"));
    ASSERT_EQ(lookupString(u"MAIN", u"LANG"), u"JP");
    SetCursorPos(0, 0); // no caption in its hover look
    program = Process(folder + L"Q7Config.exe");
    ASSERT_TRUE(program.started());
    main = waitForWindow(program.id(), kWaitMs);
    ASSERT_NE(main, nullptr);
    ASSERT_GE(waitForLog(1542, kWaitMs), 0);
  }
  void TearDown() override { setStringFilePath({}); }

  static std::u16string u16(const std::wstring& s) { return std::u16string(s.begin(), s.end()); }

  // The caption of the control at `at` in `window`, drawn on the piece of `picture`, against the
  // same text drawn here in the Japanese family.
  void expectSameInk(HWND window, const Rect& at, const char* picture, const std::u16string& caption, int height,
                     int weight) {
    const std::wstring text(caption.begin(), caption.end());
    SCOPED_TRACE(testing::Message() << "caption of " << text.size() << " characters at " << at.left << "," << at.top
                                    << ", " << height << " px, weight " << weight);
    ASSERT_FALSE(text.empty());
    HWND control = childAt(window, at.left, at.top, at.right, at.bottom);
    ASSERT_NE(control, nullptr);
    const SkinBitmap skin = loadSkinBitmap(folder + L"Skins\\" + std::wstring(picture, picture + strlen(picture)));
    ASSERT_TRUE(skin);
    RedrawWindow(control, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    pumpFor(300);
    const Pixels bare = skinPiece(skin, at, nullptr, nullptr, 0, 0);
    const Ink shown = inkOf(onScreen(control), bare);
    const Ink expected = inkOf(skinPiece(skin, at, &text, kJapaneseFamily, height, weight), bare);
    ASSERT_GT(expected.points.size(), 20u * text.size() / 3) << "the reference drew nothing";
    EXPECT_EQ(shown.width, expected.width);
    EXPECT_EQ(shown.height, expected.height);
    EXPECT_LE(difference(shown, expected), expected.points.size() / 50)
        << shown.points.size() << " ink pixels on screen, " << expected.points.size() << " in the Japanese family";
  }

  std::wstring folder;
  Process program;
  HWND main = nullptr;
};

TEST_F(JapaneseCaptions, MainWindowAndMacroEditorDrawEveryStroke) {
  using main_window::Control;
  // A selected key enables the per-key buttons: white captions on the normal picture.
  const KeyLayout layout = KeyLayout::Japanese;
  int position = 0;
  while (position < kKeyCount && !keyVisible(layout, position)) ++position;
  const Rect key = keyRectangle(layout, position);
  click(childAt(main, key.left, key.top, key.right, key.bottom));
  const Rect macroAt = main_window::controlRect(Control::Macro, u"JP");
  ASSERT_TRUE(waitEnabled(childAt(main, macroAt.left, macroAt.top, macroAt.right, macroAt.bottom), true, kWaitMs));
  for (Control id : {Control::SingleKey, Control::App}) {
    const main_window::ControlEntry& c = main_window::control(id);
    expectSameInk(main, main_window::controlRect(id, u"JP"), main_window::kNormalImage.data(),
                  lookupString(u"MAIN", c.text), main_window::captionHeight(id, u"JP"),
                  main_window::captionWeight(c.kind));
  }

  Process request(distFolder() + L"HID.exe", L"--post 1555 0 0");
  ASSERT_EQ(request.wait(10000), 0u);
  HWND editor = waitForOtherWindow(program.id(), main, kWaitMs);
  ASSERT_NE(editor, nullptr);
  pumpFor(500);
  for (macro_editor::Control id : {macro_editor::Control::Up, macro_editor::Control::Copy}) {
    const macro_editor::ControlEntry& c = macro_editor::control(id);
    expectSameInk(editor, c.rect, macro_editor::kNormalImage.data(), lookupString(c.section, c.text),
                  macro_editor::kCaptionHeight, FW_NORMAL);
  }
  const Rect cancel = macro_editor::control(macro_editor::Control::Cancel).rect;
  click(childAt(editor, cancel.left, cancel.top, cancel.right, cancel.bottom));
  EXPECT_TRUE(waitGone(editor, kWaitMs));
}

} // namespace
} // namespace q7::e2e
