// Every skinned dialog moved to a display of another DPI while it runs (WM_DPICHANGED, as the
// system sends it): the window takes the scaled picture's size, controls stand at their table
// rectangles scaled and show the scaled pictures' colours, painted texts grow with the scale, and
// what the user edited stays. The pictures are 96-DPI ones written by the test (no scaled set), so
// every dialog resamples them.
#include <gtest/gtest.h>

#include "platform/win32/windows_only.h"

#include <algorithm>
#include <cstdlib>
#include <functional>
#include <string>
#include <vector>

#include "app/about_dialog.h"
#include "app/about_layout.h"
#include "app/warning_dialog.h"
#include "app/warning_dialog_layout.h"
#include "fakes/memory_registry.h"
#include "keys/linked_programs_layout.h"
#include "keys/single_key_dlg.h"
#include "keys/sync_key_dialog.h"
#include "lighting/colour_editor_layout.h"
#include "lighting/whole_keyboard.h"
#include "macro/macro_editor_layout.h"
#include "macro/macro_model.h"
#include "macro/macro_set_dlg.h"
#include "monitor/messages.h"
#include "settings/settings_image.h"
#include "text/string_lookup.h"
#include "ui/scale.h"
#include "ui/window_messages.h"
#include "ui_support.h"

namespace q7 {
namespace {

using namespace uitest;

constexpr Rect kOwnerRect{0, 0, kSkinCanvas.width, kSkinCanvas.height};
constexpr Scale k96{96}, k144{144}, k192{192};

// The pictures: a gradient over the whole canvas, so that a piece cut from the wrong place of a
// picture shows other colours; blue tells the three states apart.
COLORREF gradient(int x, int y, Size size, int blue) { return RGB(x * 255 / size.width, y * 255 / size.height, blue); }
constexpr int kNormalBlue = 90, kOverBlue = 160, kDownBlue = 20;

bool isWhite(COLORREF c) { return similar(c, RGB(255, 255, 255), 60); }

std::wstring wide(std::string_view s) { return std::wstring(s.begin(), s.end()); }

std::u16string fakeLookup(std::u16string_view section, std::u16string_view key) {
  return std::u16string(section) + u"." + std::u16string(key);
}

int noQuestion(HWND, int) { return kResultNo; }

class DialogsAtScale : public ::testing::Test {
protected:
  static constexpr UINT kAct = WM_APP + 1;

  void SetUp() override {
    for (const SkinFamily* f :
         {&single_key_dialog::kAssignSkin, &single_key_dialog::kInsertSkin, &linked_programs::kSkin, &kWarning1Skins})
      pictures(*f, kSkinCanvas);
    pictures({about_window::kNormalImage.data(), about_window::kOverImage.data(), about_window::kDownImage.data(),
              about_window::kWindowMask.data(), about_window::kPanel},
             about_window::kSize);
    pictures({colour_editor::kNormalImage.data(), colour_editor::kOverImage.data(), colour_editor::kDownImage.data(),
              colour_editor::kWindowMask.data(), colour_editor::kPanel},
             kSkinCanvas);
    pictures({macro_editor::kNormalImage.data(), macro_editor::kOverImage.data(), macro_editor::kDownImage.data(),
              macro_editor::kWindowMask.data(), macro_editor::kPanel},
             kSkinCanvas);
    // A string file whose every text names itself.
    const std::wstring path = skins.path(L"..\\Strings.xml");
    ASSERT_TRUE(writeBytes(path, "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<Strings><MAIN><LANG>UK</LANG>"
                                 "<OK>MAIN.OK</OK><CANCEL>MAIN.CANCEL</CANCEL></MAIN><MACRO><TITLE>MACRO.TITLE</TITLE>"
                                 "<SINGLEKEY>MACRO.SINGLEKEY</SINGLEKEY><INSERTSINGLEKEY>MACRO.INSERT</INSERTSINGLEKEY>"
                                 "<CURRENT>CURRENT</CURRENT><ASSIGN>ASSIGN</ASSIGN><RECORD>MACRO.RECORD</RECORD>"
                                 "<MACRONAME>NAME</MACRONAME></MACRO></Strings>\n"));
    setStringFilePath(std::u16string(path.begin(), path.end()));
  }
  void TearDown() override { setStringFilePath({}); }

  void pictures(const SkinFamily& f, Size size) {
    for (auto [file, blue] : {std::pair{f.normal, kNormalBlue}, {f.over, kOverBlue}, {f.down, kDownBlue}})
      writeBmp(skins.path(wide(file)), size.width, size.height,
               [&, blue = blue](int x, int y) { return gradient(x, y, size, blue); });
  }

  // Runs the dialog; each step runs inside its modal loop as a message posted to the owner.
  template <typename Dialog> void run(Dialog& dlg, std::vector<std::function<void()>> steps) {
    size_t next = 0;
    owner.onMessage = [&](UINT m, WPARAM, LPARAM) {
      if (m == kAct && next < steps.size()) steps[next++]();
    };
    PostMessageW(owner.get(), kAct, 0, 0);
    watched = [&] { return dlg.window(); };
    const UINT_PTR watchdog = SetTimer(nullptr, 0, 120000, [](HWND, UINT, UINT_PTR, DWORD) {
      ADD_FAILURE() << "the dialog was still running";
      if (HWND w = watched()) EndDialog(w, 2);
    });
    dlg.runModal();
    KillTimer(nullptr, watchdog);
    watched = nullptr;
    owner.onMessage = nullptr;
    EXPECT_EQ(next, steps.size()) << "the dialog ended before every step ran";
  }
  void nextStep() { PostMessageW(owner.get(), kAct, 0, 0); }

  // The system's notice that the window now stands on a display of dpi, with its suggested place.
  static void moveToDpi(HWND w, int dpi) {
    RECT suggested{};
    GetWindowRect(w, &suggested);
    suggested.right = suggested.left + MulDiv(suggested.right - suggested.left, dpi, 96);
    suggested.bottom = suggested.top + MulDiv(suggested.bottom - suggested.top, dpi, 96);
    SendMessageW(w, WM_DPICHANGED, MAKEWPARAM(dpi, dpi), reinterpret_cast<LPARAM>(&suggested));
    redrawNow(w);
    pumpPending();
  }
  static Size windowSize(HWND w) {
    RECT r{};
    GetWindowRect(w, &r);
    return {r.right - r.left, r.bottom - r.top};
  }
  static HWND child(HWND dlg, const Rect& r) {
    for (HWND c = GetWindow(dlg, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT))
      if (childRect(c) == r) return c;
    return nullptr;
  }
  // The control at the table rectangle scaled, showing the normal picture's colours of its place
  // near its top-left and bottom-right corners (away from a centred caption).
  static void expectControlAt(HWND dlg, const Rect& table, Scale scale, Size picture) {
    const Rect at = scale.rect(table);
    HWND c = child(dlg, at);
    ASSERT_NE(c, nullptr) << "no control at " << at.left << "," << at.top << "-" << at.right << "," << at.bottom;
    redrawNow(c);
    const Size scaled = scale.size(picture);
    for (auto [x, y] : {std::pair{1, 1}, std::pair{at.width() - 2, at.height() - 2}}) {
      const COLORREF expected = gradient(at.left + x, at.top + y, scaled, kNormalBlue);
      const COLORREF shown = pixel(c, x, y);
      EXPECT_TRUE(similar(shown, expected, 12))
          << std::hex << shown << " instead of " << expected << " at " << std::dec << x << "," << y;
    }
  }
  // The height of the white ink in a painted text's rectangle (table pixels) at scale.
  static std::vector<std::wstring> listLines(HWND list) {
    std::vector<std::wstring> texts;
    const LRESULT n = SendMessageW(list, LB_GETCOUNT, 0, 0);
    for (LRESULT i = 0; i < n; ++i) {
      wchar_t text[256] = {};
      SendMessageW(list, LB_GETTEXT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(text));
      texts.emplace_back(text);
    }
    return texts;
  }
  static int inkHeight(HWND dlg, const Rect& table, Scale scale) {
    redrawNow(dlg);
    return boundsOfPixels(dlg, scale.rect(table), isWhite).height();
  }
  static void expectTwiceAsTall(int at96, int at192) {
    EXPECT_GT(at96, 4);
    EXPECT_GE(at192, at96 * 16 / 10) << at96 << " then " << at192;
    EXPECT_LE(at192, at96 * 24 / 10) << at96 << " then " << at192;
  }

  GdiplusSession gdiplus;
  TempSkins skins;
  TestWindow owner{kOwnerRect, RGB(200, 0, 200)};
  static inline std::function<HWND()> watched;
};

TEST_F(DialogsAtScale, SingleKeyAssignModeTakesTheScaleAndKeepsWhatItShows) {
  using namespace single_key_dialog;
  CSinglekeyDlg dlg(owner.get(), 'A', Mode::Assign);
  run(dlg, {[&] {
        HWND w = dlg.window();
        EXPECT_EQ(windowSize(w), kSkinCanvas);
        const int title96 = inkHeight(w, kTitleText, k96);
        PostMessageW(w, msg::kHookKey, 'K', 0);
        PostMessageW(w, msg::kHookKey, 'K', 0x80);
        pumpPending();
        moveToDpi(w, 192);
        EXPECT_EQ(windowSize(w), k192.size(kSkinCanvas)) << "the scaled picture's size";
        expectControlAt(w, kAssign.ok, k192, kSkinCanvas);
        expectControlAt(w, kAssign.captured, k192, kSkinCanvas);
        expectControlAt(w, kCurrentLabel, k192, kSkinCanvas);
        EXPECT_EQ(windowText(child(w, k192.rect(kAssign.current))), L"A");
        EXPECT_EQ(windowText(child(w, k192.rect(kAssign.captured))), L"K") << "the captured key stays";
        expectTwiceAsTall(title96, inkHeight(w, kTitleText, k192));
        PostMessageW(w, WM_CLOSE, 0, 0);
      }});
}

TEST_F(DialogsAtScale, SingleKeyInsertModeFramesTheKeyWithAScaledPen) {
  using namespace single_key_dialog;
  const auto purpleAcross = [](HWND w, Scale s) {
    // Purple pixels on a row through the middle of the frame's left side.
    const Rect f = s.rect(kInsertFrame);
    const int mid = (f.top + f.bottom) / 2;
    redrawNow(w);
    return countPixels(w, {f.left - 6, mid, f.left + 6, mid + 1},
                       [](COLORREF c) { return similar(c, RGB(0x47, 0x1E, 0x7E), 10); });
  };
  CSinglekeyDlg dlg(owner.get(), 0, Mode::Insert);
  run(dlg, {[&] {
        HWND w = dlg.window();
        EXPECT_EQ(purpleAcross(w, k96), kInsertFrameWidth);
        moveToDpi(w, 144);
        EXPECT_EQ(windowSize(w), k144.size(kSkinCanvas));
        EXPECT_EQ(purpleAcross(w, k144), k144.px(kInsertFrameWidth));
        expectControlAt(w, kInsert.ok, k144, kSkinCanvas);
        moveToDpi(w, 192);
        EXPECT_EQ(purpleAcross(w, k192), k192.px(kInsertFrameWidth));
        moveToDpi(w, 96);
        EXPECT_EQ(windowSize(w), kSkinCanvas) << "and back";
        EXPECT_EQ(purpleAcross(w, k96), kInsertFrameWidth);
        expectControlAt(w, kInsert.ok, k96, kSkinCanvas);
        PostMessageW(w, WM_CLOSE, 0, 0);
      }});
}

TEST_F(DialogsAtScale, LinkedProgramsFieldsButtonsAndHeadingFollowTheScale) {
  LinkSlots slots{};
  CSyncKeyDlg dlg(owner.get(), 1, slots, fakeLookup);
  run(dlg, {[&] {
        HWND w = dlg.window();
        const int heading96 = inkHeight(w, linked_programs::kHeading, k96);
        moveToDpi(w, 192);
        EXPECT_EQ(windowSize(w), k192.size(kSkinCanvas));
        expectControlAt(w, linked_programs::kSlots[3].browse, k192, kSkinCanvas);
        expectControlAt(w, linked_programs::kOk, k192, kSkinCanvas);
        // Each slot's grey field covers its whole scaled rectangle.
        const Rect slot = k192.rect(linked_programs::kSlots[4].text);
        const auto grey = [](COLORREF c) { return c == RGB(0xB6, 0xB6, 0xB6); };
        EXPECT_TRUE(grey(pixel(w, slot.left, slot.top)));
        EXPECT_TRUE(grey(pixel(w, slot.right - 1, slot.bottom - 1)));
        EXPECT_FALSE(grey(pixel(w, slot.right + 1, slot.bottom)));
        expectTwiceAsTall(heading96, inkHeight(w, linked_programs::kHeading, k192));
        PostMessageW(w, WM_CLOSE, 0, 0);
      }});
}

TEST_F(DialogsAtScale, AboutWindowIsItsLayoutsSizeScaled) {
  CAboutDlg dlg(owner.get(), fakeLookup, [](std::u16string_view) {});
  run(dlg, {[&] {
        HWND w = dlg.window();
        EXPECT_EQ(windowSize(w), about_window::kSize);
        const int title96 = inkHeight(w, about_window::kTitleText, k96);
        moveToDpi(w, 192);
        EXPECT_EQ(windowSize(w), k192.size(about_window::kSize));
        expectControlAt(w, about_window::kHomePage, k192, about_window::kSize);
        expectControlAt(w, about_window::kClose, k192, about_window::kSize);
        expectTwiceAsTall(title96, inkHeight(w, about_window::kTitleText, k192));
        PostMessageW(w, WM_CLOSE, 0, 0);
      }});
}

TEST_F(DialogsAtScale, WarningTakesTheScale) {
  CWarningDlg dlg(owner.get(), 2, fakeLookup); // the device notice: title, a line, OK
  run(dlg, {[&] {
        HWND w = dlg.window();
        const warning::KindLayout& k = warning::kindLayout(2);
        const int line96 = inkHeight(w, k.texts->line2, k96);
        moveToDpi(w, 192);
        EXPECT_EQ(windowSize(w), k192.size(kSkinCanvas));
        expectControlAt(w, k.buttons[0].rect, k192, kSkinCanvas);
        expectTwiceAsTall(line96, inkHeight(w, k.texts->line2, k192));
        PostMessageW(w, WM_CLOSE, 0, 0);
      }});
}

class ColourEditorAtScale : public DialogsAtScale {
protected:
  void SetUp() override {
    DialogsAtScale::SetUp();
    image.header().ProfileCurrent = 2;
  }
  static std::wstring field(HWND w, const Rect& table, Scale s) { return windowText(child(w, s.rect(table))); }
  static COLORREF fields(HWND w, Scale s) {
    return RGB(std::stoi(field(w, colour_editor::kRedField, s)), std::stoi(field(w, colour_editor::kGreenField, s)),
               std::stoi(field(w, colour_editor::kBlueField, s)));
  }
  static void click(HWND w, int x, int y) {
    SendMessageW(w, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(x, y));
    SendMessageW(w, WM_LBUTTONUP, 0, MAKELPARAM(x, y));
    pumpPending();
  }
  SettingsImage image;
  test::MemoryRegistry registry;
};

TEST_F(ColourEditorAtScale, APickAtAScaledPointGivesWhatThe96DpiPickOfItsTablePointGives) {
  CWholeKeyboard dlg(owner.get(), image, registry, fakeLookup);
  run(dlg, {[&] {
        HWND w = dlg.window();
        const Rect strip = colour_editor::kPaletteStrip;
        const int tx = strip.left + strip.width() / 3, ty = (strip.top + strip.bottom) / 2;
        redrawNow(w);
        click(w, tx, ty);
        const COLORREF at96 = fields(w, k96);
        EXPECT_EQ(image.WholeKeyColor[2], static_cast<uint32_t>(at96));

        for (const Scale s : {k192, k144}) {
          SCOPED_TRACE(s.dpi);
          moveToDpi(w, s.dpi);
          EXPECT_EQ(windowSize(w), s.size(kSkinCanvas));
          expectControlAt(w, colour_editor::control(colour_editor::Control::Ok).rect, s, kSkinCanvas);
          ASSERT_NE(child(w, s.rect(colour_editor::kRedField)), nullptr) << "the number field at its scaled place";
          // A click on the first window pixel of the table point's scaled square.
          click(w, s.px(tx), s.px(ty));
          EXPECT_TRUE(similar(fields(w, s), at96, 4)) << std::hex << fields(w, s) << " instead of " << at96;
          EXPECT_EQ(image.WholeKeyColor[2], static_cast<uint32_t>(fields(w, s)));
          // A preset at its scaled place; the border column between presets 1 and 2 hits none.
          const Rect preset = colour_editor::kPresets[1].rect;
          click(w, s.px(preset.left), s.px(preset.bottom) - 1);
          EXPECT_EQ(fields(w, s), colour_editor::kPresets[1].colour);
          click(w, s.px(colour_editor::kPresets[0].rect.right), s.px(preset.top) + 2);
          EXPECT_EQ(fields(w, s), colour_editor::kPresets[1].colour);
          // The swatch fills its scaled rectangle inside an outline as wide as the scale makes a pixel.
          redrawNow(w);
          const Rect sw = s.rect(colour_editor::kSwatch);
          EXPECT_EQ(pixel(w, sw.left + s.px(1), sw.top + s.px(1)), colour_editor::kPresets[1].colour);
          EXPECT_EQ(pixel(w, sw.left + s.px(1) - 1, sw.top + s.px(1)), RGB(0, 0, 0));
          EXPECT_EQ(pixel(w, sw.right - 1, sw.bottom - 1), RGB(0, 0, 0));
        }
        SendMessageW(child(w, k144.rect(colour_editor::control(colour_editor::Control::Cancel).rect)), BM_CLICK, 0, 0);
      }});
}

TEST_F(ColourEditorAtScale, ACommittedColourStaysAndTheFieldsTakeTheSystemFontScaled) {
  CWholeKeyboard dlg(owner.get(), image, registry, fakeLookup);
  run(dlg, {[&] {
        HWND w = dlg.window();
        HWND green = child(w, colour_editor::kGreenField);
        ASSERT_NE(green, nullptr);
        // Typed and committed with Enter, as the user does.
        SetWindowTextW(green, L"77");
        SendMessageW(w, msg::kCrleditKeyUp, VK_RETURN, 0);
        EXPECT_EQ(image.WholeKeyColor[2], static_cast<uint32_t>(RGB(0, 77, 0)));
        HFONT font96 = reinterpret_cast<HFONT>(SendMessageW(green, WM_GETFONT, 0, 0));
        moveToDpi(w, 192);
        EXPECT_EQ(childRect(green), k192.rect(colour_editor::kGreenField));
        EXPECT_EQ(windowText(green), L"77");
        EXPECT_EQ(image.WholeKeyColor[2], static_cast<uint32_t>(RGB(0, 77, 0)));
        const Rect sw = k192.rect(colour_editor::kSwatch);
        EXPECT_EQ(pixel(w, (sw.left + sw.right) / 2, (sw.top + sw.bottom) / 2), RGB(0, 77, 0));
        // The field's font is the system's, twice as tall.
        LOGFONTW at96{}, at192{};
        GetObjectW(font96 ? font96 : GetStockObject(SYSTEM_FONT), sizeof at96, &at96);
        GetObjectW(reinterpret_cast<HFONT>(SendMessageW(green, WM_GETFONT, 0, 0)), sizeof at192, &at192);
        EXPECT_GT(std::abs(at96.lfHeight), 0);
        EXPECT_EQ(std::abs(at192.lfHeight), 2 * std::abs(at96.lfHeight));
        SendMessageW(child(w, k192.rect(colour_editor::control(colour_editor::Control::Cancel).rect)), BM_CLICK, 0, 0);
      }});
}

TEST_F(DialogsAtScale, MacroEditorKeepsItsLinesNameAndSelectionThroughTheChange) {
  using namespace macro_editor;
  KeyRecord record{};
  for (uint8_t vk : {'Q', 'W', 'E'}) {
    appendKey(record, vk, false);
    appendPause(record, 30);
    appendKey(record, vk, true);
  }
  record.Kind = 2;
  CMacroSetDlg dlg(owner.get(), record, true, noQuestion);
  const auto lines = [&] { return listLines(dlg.list().window()); };
  run(dlg, {[&] {
        HWND w = dlg.window();
        HWND list = dlg.list().window();
        const std::vector<std::wstring> before = lines();
        ASSERT_EQ(before.size(), 6u);
        SendMessageW(list, LB_SETSEL, TRUE, 2);
        HWND name = child(w, kNameField);
        ASSERT_NE(name, nullptr);
        SetWindowTextW(name, L"Typed name");
        const int heading96 = inkHeight(w, kHeadings[1].rect, k96);
        const int row96 = static_cast<int>(SendMessageW(list, LB_GETITEMHEIGHT, 0, 0));
        EXPECT_EQ(row96, kListLook.rowHeight);

        moveToDpi(w, 192);
        EXPECT_EQ(windowSize(w), k192.size(kSize));
        EXPECT_EQ(lines(), before);
        EXPECT_EQ(dlg.list().selectedLines(), std::vector<int>{2});
        EXPECT_EQ(windowText(name), L"Typed name");
        EXPECT_EQ(childRect(name), k192.rect(kNameField));
        EXPECT_EQ(childRect(list), k192.rect(kEventList));
        for (int row : {0, 5})
          EXPECT_EQ(SendMessageW(list, LB_GETITEMHEIGHT, static_cast<WPARAM>(row), 0), k192.px(kListLook.rowHeight));
        expectControlAt(w, control(Control::Record).rect, k192, kSkinCanvas);
        expectControlAt(w, control(Control::Ok).rect, k192, kSkinCanvas);
        expectTwiceAsTall(heading96, inkHeight(w, kHeadings[1].rect, k192));
        // The selected row's tick box: drawn at the scaled icon size from the row's left edge.
        RECT row{};
        SendMessageW(list, LB_GETITEMRECT, 2, reinterpret_cast<LPARAM>(&row));
        redrawNow(list);
        const auto notBackground = [](COLORREF c) { return !similar(c, RGB(0x1F, 0x1C, 0x1B), 8); };
        const Rect icon =
            boundsOfPixels(list, {row.left, row.top, row.left + 2 * kListLook.iconSize + 4, row.bottom}, notBackground);
        EXPECT_GT(icon.height(), kListLook.iconSize) << "the tick box is stretched to the scale";
        SendMessageW(child(w, k192.rect(control(Control::Cancel).rect)), BM_CLICK, 0, 0);
      }});
}

TEST_F(DialogsAtScale, MacroEditorRecordsOnThroughTheChange) {
  using namespace macro_editor;
  CMacroSetDlg dlg(owner.get(), KeyRecord{}, true, noQuestion);
  const auto keyReport = [&](WPARAM vk) {
    for (LPARAM released : {0, 0x80}) SendMessageW(dlg.window(), msg::kHookKey, vk, released);
  };
  run(dlg, {[&] {
        HWND w = dlg.window();
        SendMessageW(child(w, control(Control::Record).rect), BM_CLICK, 0, 0);
        ASSERT_TRUE(dlg.controller().recording());
        keyReport('Z');
        const std::vector<std::wstring> recorded = listLines(dlg.list().window());
        ASSERT_EQ(recorded.size(), 2u);
        moveToDpi(w, 192);
        EXPECT_TRUE(dlg.controller().recording()) << "the recording goes on";
        EXPECT_EQ(listLines(dlg.list().window()), recorded);
        keyReport('X');
        SendMessageW(child(w, k192.rect(control(Control::Stop).rect)), BM_CLICK, 0, 0);
        EXPECT_FALSE(dlg.controller().recording());
        const std::vector<std::wstring> after = listLines(dlg.list().window());
        ASSERT_EQ(after.size(), 4u);
        EXPECT_EQ(after[0].substr(0, 1), L"Z") << "the key recorded before the change comes first";
        EXPECT_EQ(after[2].substr(0, 1), L"X");
        EXPECT_GE(dlg.record().boundedEventCount(), 4u);
        SendMessageW(child(w, k192.rect(control(Control::Cancel).rect)), BM_CLICK, 0, 0);
      }});
}

TEST_F(DialogsAtScale, MacroEditorThroughMoreScalesThanItKeepsPicturesFor) {
  // Each scale's pictures are kept for the process, a few at most: those of the scale the editor
  // shows stay while others make room.
  using namespace macro_editor;
  KeyRecord record{};
  appendKey(record, 'Q', false);
  appendKey(record, 'Q', true);
  record.Kind = 2;
  CMacroSetDlg dlg(owner.get(), record, true, noQuestion);
  run(dlg, {[&] {
        HWND w = dlg.window();
        const std::vector<std::wstring> before = listLines(dlg.list().window());
        for (int dpi : {120, 144, 168, 192, 144, 216, 120, 96, 192, 144}) {
          SCOPED_TRACE(dpi);
          moveToDpi(w, dpi);
          const Scale s{dpi};
          EXPECT_EQ(windowSize(w), s.size(kSize));
          expectControlAt(w, control(Control::Ok).rect, s, kSkinCanvas);
          expectControlAt(w, kLabels[0].rect, s, kSkinCanvas);
        }
        EXPECT_EQ(listLines(dlg.list().window()), before);
        SendMessageW(child(w, k144.rect(control(Control::Cancel).rect)), BM_CLICK, 0, 0);
      }});
}

TEST_F(DialogsAtScale, MacroEditorShowsAPictureReplacedBetweenTwoOpenings) {
  // A skin picture replaced while the program runs shows at the next opening of the editor: on its
  // buttons, its labels and its own face.
  using namespace macro_editor;
  const auto open = [&](int blue) {
    SCOPED_TRACE(blue);
    CMacroSetDlg dlg(owner.get(), KeyRecord{}, true, noQuestion);
    run(dlg, {[&] {
          HWND w = dlg.window();
          for (const Rect& r : {control(Control::Ok).rect, kLabels[0].rect}) {
            HWND c = child(w, r);
            ASSERT_NE(c, nullptr);
            redrawNow(c);
            const int x = r.width() - 2, y = r.height() - 2; // away from the caption
            EXPECT_TRUE(similar(pixel(c, x, y), gradient(r.left + x, r.top + y, kSkinCanvas, blue), 12))
                << std::hex << pixel(c, x, y);
          }
          redrawNow(w);
          const Rect list = kEventList;
          const int x = list.left - 3, y = list.top - 3; // the face just outside the list
          EXPECT_TRUE(similar(pixel(w, x, y), gradient(x, y, kSkinCanvas, blue), 12)) << std::hex << pixel(w, x, y);
          SendMessageW(child(w, control(Control::Cancel).rect), BM_CLICK, 0, 0);
        }});
  };
  open(kNormalBlue);
  constexpr int kReplacedBlue = 230;
  writeBmp(skins.path(wide(kNormalImage)), kSkinCanvas.width, kSkinCanvas.height,
           [](int x, int y) { return gradient(x, y, kSkinCanvas, kReplacedBlue); });
  open(kReplacedBlue);
}

} // namespace
} // namespace q7
