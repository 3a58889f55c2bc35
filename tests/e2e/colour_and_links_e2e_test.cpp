// The linked-programs dialog and the colour editor at work, driven from outside: programs picked
// with the file dialog and saved with APPLY; the whole-keyboard colour picked from a preset or the
// palette strip and stored by OK into the current profile's key only; Cancel without OK.
#include <gtest/gtest.h>

#include "app/main_window_layout.h"
#include "driver.h"
#include "keys/linked_programs_layout.h"
#include "lighting/colour_editor_layout.h"
#include "platform/win32/handles.h"
#include "text/string_lookup.h"

namespace q7::e2e {
namespace {

constexpr DWORD kWaitMs = 30000;
using main_window::Control;

std::wstring w(const std::u16string& s) { return std::wstring(s.begin(), s.end()); }
std::u16string u16(const std::wstring& s) { return std::u16string(s.begin(), s.end()); }

class ColourAndLinks : public ::testing::Test {
protected:
  void SetUp() override {
    SetEnvironmentVariableW(L"Q7MON_LOG", monitorLogPath().c_str());
    DeleteFileW(monitorLogPath().c_str());
    program = Process(distFolder() + L"Q7Config.exe");
    ASSERT_TRUE(program.started());
    main = waitForWindow(program.id(), kWaitMs);
    ASSERT_NE(main, nullptr);
    ASSERT_GE(waitForLog(1542, kWaitMs), 0);
    setStringFilePath(u16(distFolder() + L"Strings.xml"));
  }
  HWND button(Control id) {
    const Rect r = main_window::control(id).rect;
    return childAt(main, r.left, r.top, r.right, r.bottom);
  }
  static HWND at(HWND dialog, const Rect& r) { return childAt(dialog, r.left, r.top, r.right, r.bottom); }
  std::vector<uint8_t> stored(int profile, const wchar_t* name) {
    return registryValue(L"Software\\VORTAN\\Q7\\Profile" + std::to_wstring(profile), name);
  }
  // Opens the colour editor with the main window's button and waits for its first paint.
  HWND openEditor() {
    click(button(Control::WholeKeyboardColour));
    HWND editor = waitForOtherWindow(program.id(), main, kWaitMs);
    for (ULONGLONG end = GetTickCount64() + kWaitMs; editor && windowText(editor).empty() && GetTickCount64() < end;)
      pumpFor(50);
    pumpFor(300);
    return editor;
  }
  static void clickAt(HWND wnd, int x, int y) {
    PostMessageW(wnd, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(x, y));
    PostMessageW(wnd, WM_LBUTTONUP, 0, MAKELPARAM(x, y));
    pumpFor(300);
  }
  static std::wstring fieldText(HWND editor, const Rect& r) {
    wchar_t text[16] = {};
    SendMessageW(at(editor, r), WM_GETTEXT, 16, reinterpret_cast<LPARAM>(text));
    return text;
  }
  void closeEditor(HWND editor) {
    const Rect cancel = colour_editor::control(colour_editor::Control::Cancel).rect;
    click(at(editor, cancel));
    ASSERT_TRUE(waitGone(editor, kWaitMs));
  }
  void pressOk(HWND editor) {
    click(at(editor, colour_editor::control(colour_editor::Control::Ok).rect));
    pumpFor(500);
  }
  static std::vector<uint8_t> colourOf(const std::vector<uint8_t>& colours, int p) {
    if (colours.size() < static_cast<size_t>(4 * p + 4)) return {};
    return {colours.begin() + 4 * p, colours.begin() + 4 * p + 4};
  }

  Process program;
  HWND main = nullptr;
};

TEST_F(ColourAndLinks, LinkedProgramsFromTheFileDialogAreStoredByApplyAsBareNames) {
  const std::wstring folder = freshFolder(L"programs");
  for (const wchar_t* name : {L"game.exe", L"tool.exe"}) {
    HANDLE f = CreateFileW((folder + name).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    ASSERT_NE(f, INVALID_HANDLE_VALUE);
    CloseHandle(f);
  }
  click(button(Control::Sync));
  HWND sync = waitForOtherWindow(program.id(), main, kWaitMs);
  ASSERT_NE(sync, nullptr);
  for (ULONGLONG end = GetTickCount64() + kWaitMs; windowText(sync).empty() && GetTickCount64() < end;) pumpFor(50);
  EXPECT_EQ(windowText(sync), w(lookupString(u"OTHER", u"SYNC1") + lookupString(u"OTHER", u"SYNC2")));
  RECT r{};
  GetWindowRect(sync, &r);
  EXPECT_EQ(r.left, 0) << "on the main window's corner";
  EXPECT_EQ(r.right - r.left, linked_programs::kSize.width);

  click(at(sync, linked_programs::kSlots[0].browse));
  ASSERT_TRUE(answerFileDialog(program.id(), main, folder + L"game.exe", kWaitMs, sync));
  click(at(sync, linked_programs::kSlots[3].browse));
  ASSERT_TRUE(answerFileDialog(program.id(), main, folder + L"tool.exe", kWaitMs, sync));
  click(at(sync, linked_programs::kSlots[4].browse));
  ASSERT_TRUE(answerFileDialog(program.id(), main, folder + L"game.exe", kWaitMs, sync));
  pumpFor(300);
  // The slot shows the name on its grey field: dark text pixels appear in it.
  const Rect slot = linked_programs::kSlots[0].text;
  int dark = 0;
  for (int x = slot.left; x < slot.right; ++x)
    dark += GetRValue(screenPixel(sync, x, (slot.top + slot.bottom) / 2)) < 100;
  EXPECT_GT(dark, 0);
  click(at(sync, linked_programs::kOk));
  ASSERT_TRUE(waitGone(sync, kWaitMs));
  EXPECT_TRUE(stored(1, L"LinkExe0").empty() || stored(1, L"LinkExe0")[0] == 0) << "nothing stored before a save";

  click(button(Control::Apply));
  ASSERT_GE(waitForLog(2026, kWaitMs), 0);
  ASSERT_TRUE(waitEnabled(main, true, kWaitMs));
  auto name = [&](const wchar_t* value) {
    const auto bytes = stored(1, value);
    std::wstring text;
    for (size_t i = 0; i + 1 < bytes.size() && (bytes[i] | bytes[i + 1]); i += 2)
      text += static_cast<wchar_t>(bytes[i] | bytes[i + 1] << 8);
    return text;
  };
  EXPECT_EQ(name(L"LinkExe0"), L"game.exe");
  EXPECT_EQ(name(L"LinkExe1"), L"");
  EXPECT_EQ(name(L"LinkExe3"), L"tool.exe");
  EXPECT_EQ(name(L"LinkExe4"), L"game.exe");
  EXPECT_EQ(stored(1, L"LinkExe0").size(), 260u);
}

TEST_F(ColourAndLinks, ClearThenCancelKeepsTheLinkedPrograms) {
  const std::wstring folder = freshFolder(L"programs2");
  HANDLE f = CreateFileW((folder + L"kept.exe").c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  ASSERT_NE(f, INVALID_HANDLE_VALUE);
  CloseHandle(f);
  click(button(Control::Sync));
  HWND sync = waitForOtherWindow(program.id(), main, kWaitMs);
  ASSERT_NE(sync, nullptr);
  pumpFor(300);
  click(at(sync, linked_programs::kSlots[1].browse));
  ASSERT_TRUE(answerFileDialog(program.id(), main, folder + L"kept.exe", kWaitMs, sync));
  click(at(sync, linked_programs::kOk));
  ASSERT_TRUE(waitGone(sync, kWaitMs));

  click(button(Control::Sync));
  sync = waitForOtherWindow(program.id(), main, kWaitMs);
  ASSERT_NE(sync, nullptr);
  pumpFor(300);
  click(at(sync, linked_programs::kClear));
  pumpFor(300);
  click(at(sync, linked_programs::kCancel));
  ASSERT_TRUE(waitGone(sync, kWaitMs));
  click(button(Control::Apply));
  ASSERT_GE(waitForLog(2026, kWaitMs), 0);
  ASSERT_TRUE(waitEnabled(main, true, kWaitMs));
  const auto bytes = stored(1, L"LinkExe1");
  ASSERT_GE(bytes.size(), 16u);
  EXPECT_EQ(std::wstring(reinterpret_cast<const wchar_t*>(bytes.data()), 8), L"kept.exe");
}

TEST_F(ColourAndLinks, PresetThreeAndOkStoreTheCurrentProfilesColourInItsKeyOnly) {
  HWND editor = openEditor();
  ASSERT_NE(editor, nullptr);
  EXPECT_EQ(windowText(editor), w(lookupString(u"key", u"key_title")));
  EXPECT_FALSE(IsWindowEnabled(main)) << "modal";
  EXPECT_EQ(fieldText(editor, colour_editor::kRedField), L"0") << "a never-set profile shows black";

  const Rect preset3 = colour_editor::kPresets[2].rect;
  clickAt(editor, preset3.left + 3, preset3.top + 3);
  EXPECT_EQ(fieldText(editor, colour_editor::kRedField), L"255");
  EXPECT_EQ(fieldText(editor, colour_editor::kGreenField), L"243");
  EXPECT_EQ(fieldText(editor, colour_editor::kBlueField), L"0");
  const Rect swatch = colour_editor::kSwatch;
  EXPECT_EQ(screenPixel(editor, (swatch.left + swatch.right) / 2, (swatch.top + swatch.bottom) / 2), RGB(255, 243, 0));
  EXPECT_EQ(screenPixel(editor, swatch.left, swatch.top), RGB(0, 0, 0)) << "the outline";

  // Enter and Escape do not close it.
  for (WPARAM key : {VK_RETURN, VK_ESCAPE}) {
    PostMessageW(editor, WM_KEYDOWN, key, 0);
    PostMessageW(editor, WM_KEYUP, key, 0xC0000000);
  }
  PostMessageW(editor, WM_CLOSE, 0, 0);
  pumpFor(300);
  EXPECT_TRUE(IsWindowVisible(editor));

  pressOk(editor);
  const auto status = stored(1, L"WholeKeyColorStatus");
  ASSERT_EQ(status.size(), 9u);
  EXPECT_EQ(status[1], 1);
  EXPECT_EQ(colourOf(stored(1, L"WholeKeyColor"), 1), (std::vector<uint8_t>{255, 243, 0, 0}));
  EXPECT_EQ(stored(1, L"WholeKeyColor").size(), 36u);
  for (int p : {0, 2, 5}) EXPECT_TRUE(stored(p, L"WholeKeyColor").empty()) << p;
  closeEditor(editor);
  EXPECT_TRUE(IsWindowEnabled(main));
}

// A profile switch from outside while the editor is open: the editor shows the new profile's colour.
TEST_F(ColourAndLinks, TheOpenEditorFollowsAProfileSwitch) {
  HWND editor = openEditor();
  ASSERT_NE(editor, nullptr);
  const Rect preset3 = colour_editor::kPresets[2].rect;
  clickAt(editor, preset3.left + 3, preset3.top + 3);
  pressOk(editor);
  ASSERT_EQ(fieldText(editor, colour_editor::kRedField), L"255");
  const auto request = [&](int profile, const wchar_t* red) {
    Process hid(distFolder() + L"HID.exe", L"--post 1537 " + std::to_wstring(profile) + L" 12345");
    EXPECT_EQ(hid.wait(10000), 0u);
    for (ULONGLONG end = GetTickCount64() + kWaitMs;
         fieldText(editor, colour_editor::kRedField) != red && GetTickCount64() < end;)
      pumpFor(50);
    EXPECT_EQ(fieldText(editor, colour_editor::kRedField), red) << "profile " << profile;
  };
  request(3, L"0"); // never set
  request(1, L"255");
  EXPECT_FALSE(IsWindowEnabled(main)) << "still under the editor";
  closeEditor(editor);
  EXPECT_TRUE(waitEnabled(main, true, kWaitMs));
}

TEST_F(ColourAndLinks, TypedNumbersAreCappedOnTheKeyReleaseAndEnterCommitsThem) {
  HWND editor = openEditor();
  ASSERT_NE(editor, nullptr);
  HWND red = at(editor, colour_editor::kRedField), green = at(editor, colour_editor::kGreenField);
  ASSERT_NE(red, nullptr);
  // As the user types: the text changes, then the key is released in the field.
  auto type = [&](HWND field, const wchar_t* text, WPARAM releasedKey) {
    SendMessageW(field, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text));
    PostMessageW(field, WM_KEYUP, releasedKey, 0xC0000001);
    pumpFor(300);
  };
  type(green, L"300", '0');
  EXPECT_EQ(fieldText(editor, colour_editor::kGreenField), L"255");
  type(red, L"12", '2');
  pressOk(editor); // nothing committed yet: the stored colour (black) is written
  EXPECT_EQ(colourOf(stored(1, L"WholeKeyColor"), 1), (std::vector<uint8_t>{0, 0, 0, 0}));
  type(green, L"300", '0');
  type(red, L"12", VK_RETURN);
  pressOk(editor);
  EXPECT_EQ(colourOf(stored(1, L"WholeKeyColor"), 1), (std::vector<uint8_t>{12, 255, 0, 0}));
  EXPECT_TRUE(IsWindowVisible(editor)) << "Enter in a field does not close the editor";
  closeEditor(editor);
}

TEST_F(ColourAndLinks, APickOnThePaletteStripStoresTheColourShownThere) {
  HWND editor = openEditor();
  ASSERT_NE(editor, nullptr);
  const Rect strip = colour_editor::kPaletteStrip;
  const int x = strip.left + strip.width() / 3, y = (strip.top + strip.bottom) / 2;
  const COLORREF shown = screenPixel(editor, x, y);
  clickAt(editor, x, y);
  EXPECT_EQ(fieldText(editor, colour_editor::kRedField), std::to_wstring(GetRValue(shown)));
  pressOk(editor);
  EXPECT_EQ(colourOf(stored(1, L"WholeKeyColor"), 1),
            (std::vector<uint8_t>{GetRValue(shown), GetGValue(shown), GetBValue(shown), 0}));
  closeEditor(editor);
}

TEST_F(ColourAndLinks, CancelWithoutOkLeavesTheRegistryAndTheColourAsTheyWere) {
  HWND editor = openEditor();
  ASSERT_NE(editor, nullptr);
  const Rect preset1 = colour_editor::kPresets[0].rect;
  clickAt(editor, preset1.left + 2, preset1.top + 2);
  EXPECT_EQ(fieldText(editor, colour_editor::kRedField), L"231");
  closeEditor(editor);
  EXPECT_TRUE(stored(1, L"WholeKeyColorStatus").empty());
  EXPECT_TRUE(stored(1, L"WholeKeyColor").empty());

  // Opened again, the editor shows the colour from before: black.
  editor = openEditor();
  ASSERT_NE(editor, nullptr);
  EXPECT_EQ(fieldText(editor, colour_editor::kRedField), L"0");
  EXPECT_EQ(fieldText(editor, colour_editor::kGreenField), L"0");
  closeEditor(editor);
}

} // namespace
} // namespace q7::e2e
