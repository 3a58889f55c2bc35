// The warning dialog run modally on a window of the test, driven from inside its modal loop by
// messages posted to that window.
#include <gtest/gtest.h>

#include "platform/win32/windows_only.h"

#include <functional>
#include <string>
#include <vector>

#include "app/warning_dialog.h"
#include "monitor/messages.h"
#include "platform/win32/handles.h"
#include "text/string_lookup.h"
#include "ui/skin.h"
#include "ui/button_look.h"
#include "ui_support.h"

namespace q7 {
namespace {

using namespace uitest;

constexpr COLORREF kOwnerColour = RGB(200, 0, 200);
// The normal pictures of the three families, and one over and one down picture for all.
constexpr COLORREF kDefaultColour = RGB(10, 30, 60), kWarning1Colour = RGB(40, 10, 50);
constexpr COLORREF kWarningColour = RGB(20, 50, 20);
constexpr COLORREF kOverColour = RGB(20, 140, 60), kDownColour = RGB(150, 30, 30);
constexpr Rect kOwnerRect{40, 30, 40 + warning::kWindowWidth, 30 + warning::kWindowHeight};

std::u16string g_language = u"UK";

// Every text is its section and key, so each line shows where it came from.
std::u16string fakeLookup(std::u16string_view section, std::u16string_view key) {
  if (section == u"MAIN" && key == u"LANG") return g_language;
  return std::u16string(section) + u"." + std::u16string(key);
}

std::vector<HWND> buttonsOf(HWND dialog) {
  std::vector<HWND> found;
  EnumChildWindows(
      dialog,
      [](HWND w, LPARAM out) -> BOOL {
        wchar_t cls[16] = {};
        GetClassNameW(w, cls, 16);
        if (_wcsicmp(cls, L"Button") == 0) reinterpret_cast<std::vector<HWND>*>(out)->push_back(w);
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&found));
  return found;
}

bool isWhite(COLORREF c) { return similar(c, RGB(255, 255, 255), 60); }
bool isRed(COLORREF c) { return similar(c, RGB(255, 0, 0), 60); }

class WarningDialog : public ::testing::Test {
protected:
  static constexpr UINT kAct = WM_APP + 1;

  void SetUp() override { g_language = u"UK"; }

  // The three families' pictures in three colours, no masks: rectangular dialogs.
  void plainPictures() {
    for (auto [family, colour] :
         {std::pair{&kDefaultSkins, kDefaultColour}, std::pair{&kWarning1Skins, kWarning1Colour},
          std::pair{&kWarningSkins, kWarningColour}}) {
      skins.solid(wide(family->normal), warning::kWindowWidth, warning::kWindowHeight, colour);
      skins.solid(wide(family->over), warning::kWindowWidth, warning::kWindowHeight, kOverColour);
      skins.solid(wide(family->down), warning::kWindowWidth, warning::kWindowHeight, kDownColour);
    }
  }
  static std::wstring wide(const char* s) { return std::wstring(s, s + strlen(s)); }

  // Runs the dialog. The steps run one after the other inside its modal loop, each as a message
  // posted to the owner (the first before the run starts); the last one must end the dialog.
  int run(CWarningDlg& dlg, std::vector<std::function<void()>> steps) {
    size_t next = 0;
    owner.onMessage = [&](UINT m, WPARAM, LPARAM) {
      if (m == kAct && next < steps.size())
        steps[next++]();
      else if (m != kAct)
        received.push_back({m, dlg.window() != nullptr && IsWindowVisible(dlg.window())});
    };
    PostMessageW(owner.get(), kAct, 0, 0);
    // Should a step fail to end the dialog, end it rather than hang.
    watched = &dlg;
    const UINT_PTR watchdog = SetTimer(nullptr, 0, 60000, [](HWND, UINT, UINT_PTR, DWORD) {
      ADD_FAILURE() << "the dialog was still running";
      if (watched && watched->window()) EndDialog(watched->window(), 2);
    });
    const int result = dlg.runModal();
    KillTimer(nullptr, watchdog);
    watched = nullptr;
    owner.onMessage = nullptr;
    EXPECT_EQ(next, steps.size()) << "the dialog ended before every step ran";
    return result;
  }
  void nextStep() { PostMessageW(owner.get(), kAct, 0, 0); }

  struct Received {
    UINT message;
    bool whileDialogShown;
  };
  std::vector<Received> received;
  GdiplusSession gdiplus;
  TempSkins skins;
  TestWindow owner{kOwnerRect, kOwnerColour};
  static inline CWarningDlg* watched = nullptr;
};

TEST_F(WarningDialog, EachKindShowsItsTextsAndButtonsAndAnswersByButton) {
  plainPictures();
  struct Case {
    int kind;
    const char16_t* title;
    const char16_t* line2;
    const char16_t* line3;
    std::vector<std::wstring> captions;
    COLORREF face;
  };
  const Case cases[] = {
      {0,
       u"WARNING.DEFAULT",
       u"WARNING.DEFAULT1",
       u"WARNING.DEFAULT3",
       {L"WARNING.YES", L"WARNING.NO"},
       kDefaultColour},
      {1, u"WARNING.WARNING", u"WARNING.DISABLE", u"", {L"WARNING.YES", L"WARNING.NO"}, kDefaultColour},
      {2, u"WARNING.WARNING", u"WARNING.DEVICE", u"", {L"MAIN.OK"}, kWarning1Colour},
      {3, u"WARNING.WARNING", u"WARNING.SAVE", u"WARNING.SAVE1", {L"WARNING.YES", L"WARNING.NO"}, kWarningColour},
      {4, u"WARNING.WARNING", u"WARNING.DELAYWARN", u"", {L"MAIN.OK", L"WARNING.NO"}, kWarning1Colour},
      {5, u"WARNING.WARNING", u"WARNING.MAXWARN", u"", {L"MAIN.OK", L"WARNING.NO"}, kWarning1Colour},
      {6, u"WARNING.WARNING", u"WARNING.LEAVE3", u"", {L"WARNING.YES", L"WARNING.NO"}, kWarningColour},
      {9, u"WARNING.WARNING", u"WARNING.LEAVE1", u"WARNING.LEAVE2", {L"WARNING.YES", L"WARNING.NO"}, kWarningColour},
      {7, u"WARNING.WARNING", u"", u"", {L"MAIN.OK"}, kWarning1Colour}, // no such kind: a plain notice
  };
  for (const Case& c : cases) {
    const warning::KindLayout& layout = warning::kindLayout(c.kind);
    for (size_t press = 0; press < c.captions.size(); ++press) {
      SCOPED_TRACE(testing::Message() << "kind " << c.kind << ", button " << press);
      CWarningDlg dlg(owner.get(), c.kind, fakeLookup);
      const int result = run(
          dlg, {[&] {
            HWND w = dlg.window();
            EXPECT_EQ(dlg.text(0), c.title);
            EXPECT_EQ(dlg.text(1), c.line2);
            EXPECT_EQ(dlg.text(2), c.line3);
            EXPECT_EQ(windowText(w), std::wstring(c.title, c.title + std::char_traits<char16_t>::length(c.title)));
            EXPECT_FALSE(IsWindowEnabled(owner.get())) << "modal on its owner";

            RECT r{};
            GetWindowRect(w, &r);
            EXPECT_EQ((Rect{r.left, r.top, r.right, r.bottom}), kOwnerRect) << "on the owner's corner, picture size";

            const std::vector<HWND> buttons = buttonsOf(w);
            EXPECT_EQ(buttons.size(), c.captions.size());
            for (size_t b = 0; b < buttons.size() && b < c.captions.size(); ++b) {
              EXPECT_EQ(childRect(buttons[b]), layout.buttons[b].rect);
              EXPECT_EQ(windowText(buttons[b]), c.captions[b]);
              EXPECT_EQ(GetDlgCtrlID(buttons[b]), 0);
            }

            // What is painted: the family's picture and each text in its colour where the layout says.
            redrawNow(w);
            EXPECT_EQ(pixel(w, 5, 5), c.face);
            const warning::TextLayout& t = *layout.texts;
            auto titleColour = t.titleStyle.colour == warning::kRed ? isRed : isWhite;
            EXPECT_GT(countPixels(w, t.title, titleColour), 10);
            EXPECT_EQ(countPixels(w, t.line2, isWhite) > 10, *c.line2 != 0);
            const Rect belowLine2{t.line3.left, t.line2.bottom + 2, t.line3.right, t.line3.bottom};
            EXPECT_EQ(countPixels(w, belowLine2, isWhite) > 10, *c.line3 != 0);

            if (press < buttons.size())
              SendMessageW(buttons[press], BM_CLICK, 0, 0);
            else
              EndDialog(w, 99);
          }});
      EXPECT_EQ(result, press == 0 ? 1 : 2);
      EXPECT_TRUE(IsWindowEnabled(owner.get()));
    }
  }
}

TEST_F(WarningDialog, DisableShowsItsThirdLineOnlyForGermanAndJapanese) {
  plainPictures();
  for (const char16_t* language : {u"UK", u"EN", u"FR", u"DE", u"JP"}) {
    g_language = language;
    const bool third = g_language == u"DE" || g_language == u"JP";
    CWarningDlg dlg(owner.get(), 1, fakeLookup);
    run(dlg, {[&] {
          EXPECT_EQ(dlg.text(2), third ? u"WARNING.DISABLE2" : u"");
          const warning::TextLayout& t = warning::kLargeTexts;
          redrawNow(dlg.window());
          const Rect belowLine2{t.line3.left, t.line2.bottom + 2, t.line3.right, t.line3.bottom};
          EXPECT_EQ(countPixels(dlg.window(), belowLine2, isWhite) > 10, third) << (third ? "DE/JP" : "other");
          PostMessageW(dlg.window(), WM_CLOSE, 0, 0);
        }});
  }
}

TEST_F(WarningDialog, EnterAndEscapeDoNotCloseIt) {
  plainPictures();
  CWarningDlg dlg(owner.get(), 3, fakeLookup);
  bool keysDone = false;
  const int result = run(dlg, {[&] {
                                 HWND w = dlg.window(), yes = buttonsOf(w).at(0);
                                 for (HWND target : {w, yes})
                                   for (WPARAM key : {VK_RETURN, VK_ESCAPE}) {
                                     PostMessageW(target, WM_KEYDOWN, key, 1);
                                     PostMessageW(target, WM_KEYUP, key, 0xC0000001);
                                   }
                                 nextStep(); // runs after the keys went through the dialog's loop
                               },
                               [&] {
                                 keysDone = true;
                                 EXPECT_TRUE(IsWindowVisible(dlg.window()));
                                 SendMessageW(buttonsOf(dlg.window()).at(0), BM_CLICK, 0, 0);
                               }});
  EXPECT_TRUE(keysDone);
  EXPECT_EQ(result, 1) << "still open for YES after Enter and Escape";
}

TEST_F(WarningDialog, ClosingItAnyOtherWayAnswersNo) {
  plainPictures();
  struct Case {
    const char* name;
    UINT message;
    WPARAM wParam;
  };
  const Case cases[] = {
      {"system menu Close", WM_SYSCOMMAND, SC_CLOSE},
      {"WM_CLOSE", WM_CLOSE, 0},
      {"IDOK without a control", WM_COMMAND, IDOK},
      {"IDCANCEL without a control", WM_COMMAND, IDCANCEL},
  };
  for (int kind : {3, 2}) {
    for (const Case& c : cases) {
      CWarningDlg dlg(owner.get(), kind, fakeLookup);
      const int result = run(dlg, {[&] { PostMessageW(dlg.window(), c.message, c.wParam, 0); }});
      EXPECT_EQ(result, 2) << "kind " << kind << ": " << c.name;
    }
  }
}

TEST_F(WarningDialog, ItsOwnerKeepsHandlingPostedMessagesWhileItRuns) {
  plainPictures();
  CWarningDlg dlg(owner.get(), 2, fakeLookup);
  const int result = run(dlg, {[&] {
                                 PostMessageW(owner.get(), msg::kEndProcess, 0, 0);
                                 PostMessageW(owner.get(), msg::kSaveAcknowledged, 0, 0);
                                 nextStep();
                               },
                               [&] {
                                 ASSERT_EQ(received.size(), 2u);
                                 EXPECT_EQ(received[0].message, msg::kEndProcess);
                                 EXPECT_TRUE(received[0].whileDialogShown);
                                 EXPECT_EQ(received[1].message, msg::kSaveAcknowledged);
                                 SendMessageW(buttonsOf(dlg.window()).at(0), BM_CLICK, 0, 0);
                               }});
  EXPECT_EQ(result, 1);
  EXPECT_EQ(received.size(), 2u);
}

// A window that ends the process on message 5001, as the main window does, with a warning open.
TEST_F(WarningDialog, MessageFiveThousandOneStillEndsTheProgramWhileItRuns) {
  EXPECT_EXIT(
      {
        CWarningDlg dlg(owner.get(), 3, fakeLookup);
        owner.onMessage = [&](UINT m, WPARAM, LPARAM) {
          if (m == msg::kEndProcess && dlg.window() && IsWindowVisible(dlg.window())) ExitProcess(0);
          if (m == kAct && dlg.window()) EndDialog(dlg.window(), 2); // only if 5001 went unhandled
        };
        PostMessageW(owner.get(), msg::kEndProcess, 0, 0);
        PostMessageW(owner.get(), kAct, 0, 0);
        dlg.runModal();
        ExitProcess(3);
      },
      testing::ExitedWithCode(0), "");
}

TEST_F(WarningDialog, SkinnedLookShapeAndButtonPictures) {
  const Rect panel = kWarningMaskPanel;
  skins.solid(L"warning_normal.jpg", warning::kWindowWidth, warning::kWindowHeight, kWarningColour);
  skins.solid(L"warning_over.jpg", warning::kWindowWidth, warning::kWindowHeight, kOverColour);
  skins.solid(L"warning_down.jpg", warning::kWindowWidth, warning::kWindowHeight, kDownColour);
  skins.mask(L"warning_mask.bmp", warning::kWindowWidth, warning::kWindowHeight, panel);
  CWarningDlg dlg(owner.get(), 9, fakeLookup);
  const int result = run(dlg, {[&] {
                           HWND w = dlg.window();
                           win32::UniqueGdi<HRGN> region(CreateRectRgn(0, 0, 0, 0));
                           ASSERT_EQ(GetWindowRgn(w, region.get()), SIMPLEREGION);
                           RECT box{};
                           GetRgnBox(region.get(), &box);
                           EXPECT_EQ((Rect{box.left, box.top, box.right, box.bottom}), panel);
                           // Outside the panel the owner shows through and takes the clicks.
                           const POINT corner{kOwnerRect.left + 5, kOwnerRect.top + 5};
                           const POINT inside{kOwnerRect.left + panel.left + 3, kOwnerRect.top + panel.top + 3};
                           EXPECT_EQ(WindowFromPoint(corner), owner.get());
                           EXPECT_EQ(WindowFromPoint(inside), w);
                           redrawNow(w);
                           EXPECT_EQ(pixel(w, panel.left + 3, panel.top + 3), kWarningColour);
                           EXPECT_TRUE(pumpUntil([&] {
                             return screenPixel(corner) == kOwnerColour && screenPixel(inside) == kWarningColour;
                           })) << "on screen: the owner at the cut-away corner, the dialog's picture on its panel";

                           HWND yes = buttonsOf(w).at(0);
                           const Rect client{0, 0, childRect(yes).width(), childRect(yes).height()};
                           redrawNow(yes);
                           EXPECT_EQ(pixel(yes, 1, 1), kWarningColour) << "normal look: the normal picture's piece";
                           EXPECT_GT(countPixels(yes, client, isWhite), 5) << "white caption";
                           SendMessageW(yes, BM_SETSTATE, TRUE, 0);
                           redrawNow(yes);
                           EXPECT_EQ(pixel(yes, 1, 1), kDownColour);
                           SendMessageW(yes, BM_SETSTATE, FALSE, 0);
                           const POINT over = screenPoint(yes, 3, 3);
                           mouseMoveTo(over.x, over.y);
                           EXPECT_TRUE(pumpUntil([&] {
                             redrawNow(yes);
                             return pixel(yes, 1, 1) == kOverColour;
                           })) << "hover look: the over picture's piece";
                           const POINT away = screenPoint(w, panel.left + 5, panel.bottom - 5);
                           mouseMoveTo(away.x, away.y);
                           SendMessageW(buttonsOf(w).at(1), BM_CLICK, 0, 0);
                         }});
  EXPECT_EQ(result, 2);
}

TEST_F(WarningDialog, WithoutItsPicturesItIsAPlainRectangularFaceThatStillWorks) {
  for (bool undecodable : {false, true}) {
    if (undecodable)
      for (const SkinFamily* f : {&kDefaultSkins, &kWarningSkins})
        for (const char* file : {f->normal, f->over, f->down, f->mask})
          writeBytes(skins.path(wide(file)), "\xFF\xD8 no picture");
    for (int kind : {0, 3}) {
      SCOPED_TRACE(testing::Message() << (undecodable ? "undecodable" : "missing") << ", kind " << kind);
      CWarningDlg dlg(owner.get(), kind, fakeLookup);
      const int result = run(
          dlg, {[&] {
            HWND w = dlg.window();
            RECT r{};
            GetWindowRect(w, &r);
            EXPECT_EQ((Rect{r.left, r.top, r.right, r.bottom}), kOwnerRect) << "the size the pictures are drawn for";
            win32::UniqueGdi<HRGN> region(CreateRectRgn(0, 0, 0, 0));
            EXPECT_EQ(GetWindowRgn(w, region.get()), ERROR) << "rectangular";
            redrawNow(w);
            EXPECT_EQ(pixel(w, 5, 5), kPlainFaceColour);
            const warning::KindLayout& layout = warning::kindLayout(kind);
            EXPECT_GT(countPixels(w, layout.texts->line2, isWhite), 10) << "texts still shown";
            const std::vector<HWND> buttons = buttonsOf(w);
            ASSERT_EQ(buttons.size(), 2u);
            EXPECT_EQ(childRect(buttons[0]), layout.buttons[0].rect);
            redrawNow(buttons[0]);
            EXPECT_EQ(pixel(buttons[0], 1, 1), kPlainFaceColour);
            SendMessageW(buttons[0], BM_CLICK, 0, 0);
          }});
      EXPECT_EQ(result, 1);
    }
  }
}

// The shipped pictures and texts: each kind shaped by its family's mask, drawn from its family's
// picture, with its texts and only the buttons its panel shows.
TEST_F(WarningDialog, EachKindWithTheShippedSkinsAndTexts) {
  const std::wstring dist = Q7_DIST_DIR L"\\";
  setSkinBaseFolder(dist);
  setStringFilePath(std::u16string(dist.begin(), dist.end()) + u"Strings.xml");
  for (const warning::KindLayout& k : warning::kKinds) {
    SCOPED_TRACE(testing::Message() << "kind " << k.kind);
    const SkinFamily& family = *k.skins;
    SkinBitmap picture = loadSkinBitmap(dist + L"Skins\\" + wide(family.normal));
    ASSERT_TRUE(picture) << family.normal;
    win32::UniqueDc pictureDc(CreateCompatibleDC(nullptr));
    win32::Selection select(pictureDc.get(), picture.get());
    CWarningDlg dlg(owner.get(), k.kind);
    const int result =
        run(dlg, {[&] {
              HWND w = dlg.window();
              win32::UniqueGdi<HRGN> region(CreateRectRgn(0, 0, 0, 0));
              ASSERT_NE(GetWindowRgn(w, region.get()), ERROR) << "shaped by " << family.mask;
              RECT box{};
              GetRgnBox(region.get(), &box);
              EXPECT_EQ((Rect{box.left, box.top, box.right, box.bottom}), family.panel);

              redrawNow(w);
              // Clear of the panel's rounded corner.
              const int px = family.panel.left + 16, py = family.panel.top + 16;
              EXPECT_TRUE(similar(pixel(w, px, py), GetPixel(pictureDc.get(), px, py), 8)) << "the family's picture";
              EXPECT_FALSE(dlg.text(0).empty());
              EXPECT_FALSE(dlg.text(1).empty());
              const warning::TextLayout& t = *k.texts;
              auto titleColour = t.titleStyle.colour == warning::kRed ? isRed : isWhite;
              EXPECT_GT(countPixels(w, t.title, titleColour), 10) << "the title, readable on the picture";
              EXPECT_GT(countPixels(w, t.line2, isWhite), 10) << "the second line, readable on the picture";

              HWND answer = nullptr;
              for (HWND b : buttonsOf(w)) {
                const Rect r = childRect(b);
                const bool onPanel = r.left >= family.panel.left && r.right <= family.panel.right &&
                                     r.top >= family.panel.top && r.bottom <= family.panel.bottom;
                if (!onPanel) continue;
                EXPECT_FALSE(windowText(b).empty());
                redrawNow(b);
                EXPECT_GT(countPixels(b, {0, 0, r.width(), r.height()}, isWhite), 5) << "a readable caption";
                answer = b; // the last one on the panel: NO, or OK where it stands alone
              }
              ASSERT_NE(answer, nullptr) << "no button on the panel";
              SendMessageW(answer, BM_CLICK, 0, 0);
            }});
    EXPECT_EQ(result, k.buttonCount == 2 && k.buttons[1].rect.right <= family.panel.right ? 2 : 1);
  }
  setStringFilePath(u"");
}

} // namespace
} // namespace q7
