// The single-key dialog run modally on a window of the test, without the hook library (the test's
// folder has none): key reports are posted to it as the library would post them.
#include <gtest/gtest.h>

#include "platform/win32/windows_only.h"

#include <functional>
#include <string>
#include <vector>

#include "keys/single_key_dlg.h"
#include "monitor/messages.h"
#include "text/string_lookup.h"
#include "ui_support.h"

namespace q7 {
namespace {

using namespace uitest;
using namespace single_key_dialog;

constexpr COLORREF kFace = RGB(30, 40, 50), kOver = RGB(20, 140, 60), kDown = RGB(150, 30, 30);
constexpr Rect kOwnerRect{30, 20, 30 + kSkinCanvas.width, 20 + kSkinCanvas.height};

std::wstring wide(const char* s) { return std::wstring(s, s + strlen(s)); }

class SingleKeyDialog : public ::testing::Test {
protected:
  static constexpr UINT kAct = WM_APP + 1;

  void SetUp() override {
    for (const SkinFamily* f : {&kAssignSkin, &kInsertSkin}) {
      skins.solid(wide(f->normal), kSkinCanvas.width, kSkinCanvas.height, kFace);
      skins.solid(wide(f->over), kSkinCanvas.width, kSkinCanvas.height, kOver);
      skins.solid(wide(f->down), kSkinCanvas.width, kSkinCanvas.height, kDown);
    }
    language(u"UK");
  }
  void TearDown() override { setStringFilePath({}); }

  // A string file of the language whose every text of the dialog names itself.
  void language(const std::u16string& code) {
    const std::wstring path = skins.path(L"..\\Strings.xml");
    std::string xml = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<Strings><MAIN><LANG>" +
                      std::string(code.begin(), code.end()) +
                      "</LANG><OK>MAIN.OK</OK><CANCEL>MAIN.CANCEL</CANCEL></MAIN><MACRO><TITLE>MACRO.TITLE</TITLE>"
                      "<SINGLEKEY>MACRO.SINGLEKEY</SINGLEKEY><INSERTSINGLEKEY>MACRO.INSERTSINGLEKEY</INSERTSINGLEKEY>"
                      "<CURRENT>MACRO.CURRENT</CURRENT><ASSIGN>MACRO.ASSIGN</ASSIGN></MACRO></Strings>\n";
    ASSERT_TRUE(writeBytes(path, xml));
    setStringFilePath(std::u16string(path.begin(), path.end()));
  }

  // Runs the dialog; each step runs inside its modal loop as a message posted to the owner.
  int run(CSinglekeyDlg& dlg, std::vector<std::function<void()>> steps) {
    size_t next = 0;
    owner.onMessage = [&](UINT m, WPARAM, LPARAM) {
      if (m == kAct && next < steps.size()) steps[next++]();
    };
    PostMessageW(owner.get(), kAct, 0, 0);
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
  static HWND child(HWND dlg, const Rect& r) {
    for (HWND c = GetWindow(dlg, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT))
      if (childRect(c) == r) return c;
    return nullptr;
  }
  static void report(HWND dlg, WPARAM vk) {
    PostMessageW(dlg, msg::kHookKey, vk, 0);
    PostMessageW(dlg, msg::kHookKey, vk, 0x80);
  }

  GdiplusSession gdiplus;
  TempSkins skins;
  TestWindow owner{kOwnerRect, RGB(200, 0, 200)};
  static inline CSinglekeyDlg* watched = nullptr;
};

TEST_F(SingleKeyDialog, AssignModeShowsTheKeysOwnNameAndHandsBackTheLastReport) {
  CSinglekeyDlg dlg(owner.get(), 'A', Mode::Assign);
  const int result = run(dlg, {[&] {
                                 HWND w = dlg.window();
                                 EXPECT_EQ(windowText(w), L"MACRO.TITLE");
                                 EXPECT_FALSE(IsWindowEnabled(owner.get())) << "modal";
                                 RECT r{};
                                 GetWindowRect(w, &r);
                                 EXPECT_EQ((Rect{r.left, r.top, r.right, r.bottom}), kOwnerRect)
                                     << "on the owner's top-left corner, at the picture's size";
                                 ASSERT_NE(child(w, kAssign.current), nullptr);
                                 EXPECT_EQ(windowText(child(w, kAssign.current)), L"A");
                                 ASSERT_NE(child(w, kAssign.captured), nullptr);
                                 EXPECT_EQ(windowText(child(w, kAssign.captured)), L"");
                                 EXPECT_EQ(windowText(child(w, kAssign.ok)), L"MAIN.OK");
                                 EXPECT_EQ(windowText(child(w, kAssign.cancel)), L"MAIN.CANCEL");
                                 EXPECT_EQ(windowText(child(w, kCurrentLabel)), L"MACRO.CURRENT");
                                 EXPECT_EQ(windowText(child(w, kAssignLabel)), L"MACRO.ASSIGN");
                                 // The painted texts: white on the face.
                                 redrawNow(w);
                                 EXPECT_EQ(pixel(w, 5, 5), kFace);
                                 const auto white = [](COLORREF c) { return similar(c, RGB(255, 255, 255), 60); };
                                 EXPECT_GT(countPixels(w, kTitleText, white), 10);
                                 EXPECT_GT(countPixels(w, kSingleKeyText, white), 10);
                                 report(w, 'A');
                                 report(w, 0x1B);
                                 report(w, 0x1A2); // the low byte is the key
                                 nextStep();
                               },
                               [&] {
                                 HWND w = dlg.window();
                                 EXPECT_EQ(windowText(child(w, kAssign.captured)), L"LCtrl");
                                 EXPECT_EQ(windowText(child(w, kAssign.current)), L"A");
                                 SendMessageW(child(w, kAssign.ok), BM_CLICK, 0, 0);
                               }});
  EXPECT_EQ(result, kResultYes);
  EXPECT_EQ(dlg.capturedKey(), 0xA2);
  EXPECT_TRUE(IsWindowEnabled(owner.get()));
}

TEST_F(SingleKeyDialog, InsertModeHasNoCurrentKeyAndFramesTheCapturedKey) {
  CSinglekeyDlg dlg(owner.get(), 0, Mode::Insert);
  const int result = run(dlg, {[&] {
                                 HWND w = dlg.window();
                                 EXPECT_EQ(windowText(w), L"MACRO.INSERTSINGLEKEY");
                                 EXPECT_EQ(child(w, kAssign.current), nullptr);
                                 ASSERT_NE(child(w, kInsert.captured), nullptr);
                                 ASSERT_NE(child(w, kInsert.ok), nullptr);
                                 redrawNow(w);
                                 const COLORREF purple = RGB(0x47, 0x1E, 0x7E);
                                 const int mid = (kInsertFrame.top + kInsertFrame.bottom) / 2;
                                 EXPECT_TRUE(similar(pixel(w, kInsertFrame.left, mid), purple, 10));
                                 EXPECT_TRUE(similar(pixel(w, kInsertFrame.right, mid), purple, 10));
                                 EXPECT_EQ(pixel(w, kInsertFrame.left - 4, mid), kFace);
                                 const auto white = [](COLORREF c) { return similar(c, RGB(255, 255, 255), 60); };
                                 EXPECT_GT(countPixels(w, kInsertTitleText, white), 10);
                                 report(w, 'K');
                                 nextStep();
                               },
                               [&] {
                                 HWND w = dlg.window();
                                 EXPECT_EQ(windowText(child(w, kInsert.captured)), L"K");
                                 SendMessageW(child(w, kInsert.cancel), BM_CLICK, 0, 0);
                               }});
  EXPECT_EQ(result, kResultNo);
}

TEST_F(SingleKeyDialog, WithoutAnyReportOkHandsBackTheGivenCodeAndEnterAndEscapeDoNotClose) {
  for (const Mode mode : {Mode::Assign, Mode::Insert}) {
    const uint8_t given = mode == Mode::Assign ? 0xEB : 0;
    CSinglekeyDlg dlg(owner.get(), given, mode);
    const int result = run(dlg, {[&] {
                                   HWND w = dlg.window();
                                   for (WPARAM key : {VK_RETURN, VK_ESCAPE}) {
                                     PostMessageW(w, WM_KEYDOWN, key, 1);
                                     PostMessageW(w, WM_KEYUP, key, 0xC0000001);
                                   }
                                   nextStep();
                                 },
                                 [&] {
                                   HWND w = dlg.window();
                                   ASSERT_TRUE(IsWindowVisible(w));
                                   if (mode == Mode::Assign) {
                                     EXPECT_EQ(windowText(child(w, kAssign.current)), L"#");
                                   }
                                   SendMessageW(child(w, layout(mode).ok), BM_CLICK, 0, 0);
                                 }});
    EXPECT_EQ(result, kResultYes);
    EXPECT_EQ(dlg.capturedKey(), given);
  }
}

TEST_F(SingleKeyDialog, JapaneseMovesTheAssignLabel) {
  language(u"JP");
  CSinglekeyDlg dlg(owner.get(), 'A', Mode::Assign);
  run(dlg, {[&] {
        HWND w = dlg.window();
        EXPECT_NE(child(w, kAssignLabelJapanese), nullptr);
        EXPECT_EQ(child(w, kAssignLabel), nullptr);
        PostMessageW(w, WM_CLOSE, 0, 0);
      }});
}

} // namespace
} // namespace q7
