// The macro editor's event list as a real child window: rows of 15 pixels with their box, arrow,
// key name and pause; a click toggles a row and tells the parent; keys do nothing; hovering repaints
// only when the row under the mouse changes and shows the row's text in the tooltip.
#include <gtest/gtest.h>

#include "platform/win32/windows_only.h"

#include <commctrl.h>

#include <string>
#include <vector>

#include "macro/macro_editor_layout.h"
#include "macro/macro_list_box.h"
#include "ui_support.h"

namespace q7 {
namespace {

using namespace uitest;

bool isAccent(COLORREF c) { return similar(c, RGB(255, 175, 0), 30); }   // the ticked box
bool isPress(COLORREF c) { return similar(c, RGB(76, 208, 125), 30); }   // arrow down
bool isRelease(COLORREF c) { return similar(c, RGB(255, 122, 69), 30); } // arrow up

class MacroList : public ::testing::Test {
protected:
  void SetUp() override {
    ASSERT_TRUE(list.create(parent.get()));
    parent.onMessage = [&](UINT m, WPARAM wParam, LPARAM) {
      if (m == kListRowClicked) clicked.push_back(static_cast<int>(wParam));
    };
    list.setLines({{u"A          130 MS", kArrowDown}, {u"A        0 MS", kArrowUp}, {u"RightButton  ", kArrowDown}},
                  {0});
    redrawNow(parent.get());
    pumpPending();
  }
  // A row's rectangle in the list's client coordinates.
  RECT row(int i) {
    RECT r{};
    SendMessageW(list.window(), LB_GETITEMRECT, i, reinterpret_cast<LPARAM>(&r));
    return r;
  }
  Rect rowIn(int i, int left, int right) {
    const RECT r = row(i);
    return {r.left + left, r.top, r.left + right, r.bottom};
  }
  void clickRow(int i) {
    const RECT r = row(i);
    const POINT p = screenPoint(list.window(), r.left + 100, (r.top + r.bottom) / 2);
    mouseMoveTo(p.x, p.y);
    pumpPending();
    mouseButton(true);
    mouseButton(false);
    pumpUntil([] { return false; }, 300);
  }

  TestWindow parent{{0, 0, 760, 400}, RGB(60, 60, 60)};
  CMacroListBox list;
  std::vector<int> clicked;
};

TEST_F(MacroList, RowsShowTheirBoxArrowAndTexts) {
  EXPECT_EQ(GetDlgCtrlID(list.window()), macro_editor::kEventListId);
  // The scroll bar's style bit comes and goes with the rows; the rest stays as created.
  constexpr DWORD kStable = ~static_cast<DWORD>(WS_VSCROLL) & 0xFFFF00FF;
  EXPECT_EQ(static_cast<DWORD>(GetWindowLongW(list.window(), GWL_STYLE)) & kStable,
            macro_editor::kEventListStyle & kStable);
  for (int i = 0; i < 3; ++i) EXPECT_EQ(row(i).bottom - row(i).top, 15) << i;
  HWND l = list.window();
  EXPECT_GT(countPixels(l, rowIn(0, 0, 13), isAccent), 10) << "the selected row's box is ticked";
  EXPECT_EQ(countPixels(l, rowIn(1, 0, 13), isAccent), 0) << "an unselected row's box is empty";
  EXPECT_GT(countPixels(l, rowIn(0, 65, 78), isPress), 10);
  EXPECT_GT(countPixels(l, rowIn(1, 65, 78), isRelease), 10);
  // Key names in white between the box and the arrow, pauses right of the arrow; a recording row
  // "RightButton" plus two blanks shows its name's tail as its pause.
  auto white = [](COLORREF c) { return GetRValue(c) > 200 && GetGValue(c) > 200 && GetBValue(c) > 200; };
  EXPECT_GT(countPixels(l, rowIn(0, 15, 64), white), 3);
  EXPECT_GT(countPixels(l, rowIn(0, 80, 170), white), 3);
  EXPECT_GT(countPixels(l, rowIn(1, 80, 170), white), 3);
  EXPECT_GT(countPixels(l, rowIn(2, 80, 170), white), 3);
  // Below the rows: the list's own background.
  EXPECT_TRUE(similar(pixel(l, 100, 120), RGB(0x1F, 0x1C, 0x1B), 6));
  EnableWindow(l, FALSE);
  redrawNow(parent.get());
  EXPECT_TRUE(similar(pixel(l, 100, 120), GetSysColor(COLOR_INACTIVEBORDER), 6));
}

TEST_F(MacroList, AClickTogglesTheRowAndTellsTheParent) {
  clickRow(1);
  EXPECT_EQ(list.selectedLines(), (std::vector<int>{0, 1}));
  ASSERT_FALSE(clicked.empty());
  EXPECT_EQ(clicked.back(), 1);
  redrawNow(parent.get());
  EXPECT_GT(countPixels(list.window(), rowIn(1, 0, 13), isAccent), 10);
  clickRow(0);
  EXPECT_EQ(list.selectedLines(), (std::vector<int>{1}));
  redrawNow(parent.get());
  EXPECT_EQ(countPixels(list.window(), rowIn(0, 0, 13), isAccent), 0) << "the tick goes with the selection";
}

TEST_F(MacroList, KeysNeitherMoveNorSelect) {
  SetFocus(list.window());
  SendMessageW(list.window(), LB_SETCARETINDEX, 0, FALSE);
  for (WPARAM vk : {WPARAM{VK_DOWN}, WPARAM{VK_SPACE}, WPARAM{VK_END}, WPARAM{'S'}}) {
    PostMessageW(list.window(), WM_KEYDOWN, vk, 1);
    PostMessageW(list.window(), WM_CHAR, vk == 'S' ? 's' : vk, 1);
    PostMessageW(list.window(), WM_KEYUP, vk, 0xC0000001);
  }
  pumpPending();
  EXPECT_EQ(list.selectedLines(), (std::vector<int>{0}));
  EXPECT_EQ(list.caretLine(), 0);
}

TEST_F(MacroList, HoverRepaintsOnlyWhenTheRowChanges) {
  HWND l = list.window();
  const RECT r0 = row(0), r1 = row(1);
  SendMessageW(l, WM_MOUSEMOVE, 0, MAKELPARAM(100, r0.top + 3));
  ValidateRect(l, nullptr);
  SendMessageW(l, WM_MOUSEMOVE, 0, MAKELPARAM(120, r0.top + 9));
  RECT dirty{};
  EXPECT_FALSE(GetUpdateRect(l, &dirty, FALSE)) << "within one row nothing is repainted";
  EXPECT_EQ(list.hoveredRow(), 0);

  SendMessageW(l, WM_MOUSEMOVE, 0, MAKELPARAM(120, r1.top + 5));
  ASSERT_TRUE(GetUpdateRect(l, &dirty, FALSE));
  EXPECT_LE(dirty.top, r0.top);
  EXPECT_GE(dirty.bottom, r1.bottom) << "the row left and the row entered";
  EXPECT_EQ(list.hoveredRow(), 1);
  EXPECT_EQ(list.tooltipText(), L"A        0 MS");

  SendMessageW(l, WM_MOUSEMOVE, 0, MAKELPARAM(120, 150)); // below the last row
  EXPECT_EQ(list.hoveredRow(), -1);
}

TEST_F(MacroList, RebuildKeepsCaretAndScrollAndARecordingRowIsRewritten) {
  std::vector<MacroListLine> many;
  for (int i = 0; i < 40; ++i) many.push_back({u"B        20 MS", i % 2 ? kArrowUp : kArrowDown});
  list.setLines(many, {});
  SendMessageW(list.window(), LB_SETTOPINDEX, 20, 0);
  SendMessageW(list.window(), LB_SETCARETINDEX, 25, FALSE);
  list.setLines(many, {25});
  EXPECT_EQ(SendMessageW(list.window(), LB_GETTOPINDEX, 0, 0), 20);
  EXPECT_EQ(list.caretLine(), 25);
  EXPECT_EQ(list.selectedLines(), (std::vector<int>{25}));

  list.addLine({u"C  ", kArrowUp});
  list.rewriteLastLine(u"C          40 MS");
  EXPECT_EQ(list.lineCount(), 41);
  wchar_t text[64] = {};
  SendMessageW(list.window(), LB_GETTEXT, 40, reinterpret_cast<LPARAM>(text));
  EXPECT_STREQ(text, L"C          40 MS");
  EXPECT_EQ(SendMessageW(list.window(), LB_GETITEMDATA, 40, 0), kArrowUp) << "the arrow stays";
}

// Counts the messages a window is sent, through a subclass of its own.
struct MessageCounter {
  explicit MessageCounter(HWND wnd) : wnd_(wnd) {
    SetWindowSubclass(wnd, &count, 77, reinterpret_cast<DWORD_PTR>(this));
  }
  ~MessageCounter() { RemoveWindowSubclass(wnd_, &count, 77); }
  static LRESULT CALLBACK count(HWND wnd, UINT m, WPARAM w, LPARAM l, UINT_PTR, DWORD_PTR self) {
    auto* c = reinterpret_cast<MessageCounter*>(self);
    if (m == WM_PAINT) ++c->paints;
    if (m == WM_DRAWITEM) ++c->rowsDrawn;
    return DefSubclassProc(wnd, m, w, l);
  }
  HWND wnd_;
  int paints = 0, rowsDrawn = 0;
};

// A rebuild of the longest macro paints the list once, drawing only the rows in view, and leaves the
// scroll bar for all of them; each recorded key afterwards draws no more, at line 1 as at line 80.
TEST_F(MacroList, ARebuildPaintsOnceAndAReportDrawsOnlyTheRowsInView) {
  const RECT client = [&] {
    RECT r{};
    GetClientRect(list.window(), &r);
    return r;
  }();
  const int inView = (client.bottom + 14) / 15 + 1;
  std::vector<MacroListLine> longest;
  for (int i = 0; i < 170; ++i) longest.push_back({u"B        20 MS", i % 2 ? kArrowUp : kArrowDown});
  {
    MessageCounter onList(list.window()), onParent(parent.get());
    list.setLines(longest, {3});
    pumpPending();
    EXPECT_EQ(onList.paints, 1);
    EXPECT_GT(onParent.rowsDrawn, 0);
    EXPECT_LE(onParent.rowsDrawn, inView);
  }
  SCROLLINFO bar{sizeof bar, SIF_RANGE | SIF_PAGE};
  ASSERT_TRUE(GetScrollInfo(list.window(), SB_VERT, &bar));
  EXPECT_EQ(bar.nMax, 169);
  EXPECT_EQ(list.selectedLines(), (std::vector<int>{3}));
  EXPECT_EQ(SendMessageW(list.window(), LB_GETITEMDATA, 169, 0), kArrowUp);

  list.setLines({}, {});
  pumpPending();
  std::vector<int> drawn;
  for (int i = 0; i < 80; ++i) {
    MessageCounter onParent(parent.get());
    list.holdRedraw(true);
    if (i > 0) list.rewriteLastLine(u"K        35 MS");
    list.addLine({u"K  ", i % 2 ? kArrowUp : kArrowDown});
    list.showLastLine();
    list.holdRedraw(false);
    pumpPending();
    drawn.push_back(onParent.rowsDrawn);
  }
  EXPECT_EQ(list.lineCount(), 80);
  for (size_t i = 0; i < drawn.size(); ++i) EXPECT_LE(drawn[i], inView) << "report " << i;
  EXPECT_EQ(SendMessageW(list.window(), LB_GETITEMDATA, 79, 0), kArrowUp);
  EXPECT_EQ(SendMessageW(list.window(), LB_GETITEMDATA, 78, 0), kArrowDown) << "a rewritten row keeps its arrow";
  EXPECT_EQ(list.caretLine(), 79);
}

} // namespace
} // namespace q7
