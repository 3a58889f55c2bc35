#include "macro/macro_list_box.h"

#include <algorithm>
#include <string>

#include "keys/macro_event.h"
#include "macro/macro_editor_layout.h"

namespace q7 {

using namespace macro_editor;

CMacroListBox::CMacroListBox() {
  for (int i = 0; i < 4; ++i)
    icons_[i].reset(static_cast<HBITMAP>(LoadImageW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(kTickedBox + i),
                                                    IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION)));
}

bool CMacroListBox::create(HWND parent, Scale scale) {
  if (!CListBoxEx::create(parent, kEventList, kEventListId, kEventListStyle, scale)) return false;
  const ListLook& look = kListLook;
  setTextFont(win32::widen(std::string_view(look.face)), look.fontHeight, look.fontWeight);
  setRowHeight(look.rowHeight);
  setTextColours(look.text, look.selectedText, look.highlight);
  setIconSize(look.iconSize, look.iconSize);
  setBackground(look.background);
  listProc_ = reinterpret_cast<WNDPROC>(GetClassLongPtrW(wnd_, GCLP_WNDPROC));
  // Room for the longest macro from the start: a recording never grows the list's storage.
  listCall(LB_INITSTORAGE, kMaxMacroLines, static_cast<LPARAM>(kMaxMacroLines * 32 * sizeof(wchar_t)));
  return true;
}

LRESULT CMacroListBox::listCall(UINT message, WPARAM wParam, LPARAM lParam) const {
  if (!wnd_) return LB_ERR;
  return listProc_ ? CallWindowProcW(listProc_, wnd_, message, wParam, lParam)
                   : SendMessageW(wnd_, message, wParam, lParam);
}

void CMacroListBox::holdRedraw(bool hold) {
  listCall(WM_SETREDRAW, hold ? FALSE : TRUE);
  if (!hold) InvalidateRect(wnd_, nullptr, TRUE);
}

namespace {
std::wstring wide(const std::u16string& s) { return std::wstring(s.begin(), s.end()); }
} // namespace

void CMacroListBox::setLines(const std::vector<MacroListLine>& lines, const std::vector<int>& selected) {
  const LRESULT top = listCall(LB_GETTOPINDEX);
  const LRESULT caret = listCall(LB_GETCARETINDEX);
  holdRedraw(true);
  listCall(LB_RESETCONTENT);
  const size_t room = std::max(lines.size(), static_cast<size_t>(kMaxMacroLines));
  listCall(LB_INITSTORAGE, room, static_cast<LPARAM>(room * 32 * sizeof(wchar_t)));
  std::wstring text;
  for (const MacroListLine& line : lines) {
    text.assign(line.text.begin(), line.text.end());
    const LRESULT at = listCall(LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text.c_str()));
    if (at >= 0) listCall(LB_SETITEMDATA, static_cast<WPARAM>(at), line.itemData);
  }
  for (int i : selected) listCall(LB_SETSEL, TRUE, i);
  const LRESULT count = static_cast<LRESULT>(lines.size());
  if (caret >= 0 && caret < count) listCall(LB_SETCARETINDEX, static_cast<WPARAM>(caret), TRUE);
  if (top >= 0 && top < count) listCall(LB_SETTOPINDEX, static_cast<WPARAM>(top));
  holdRedraw(false);
}

void CMacroListBox::addLine(const MacroListLine& line) {
  const std::wstring text = wide(line.text);
  const LRESULT at = listCall(LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text.c_str()));
  if (at >= 0) listCall(LB_SETITEMDATA, static_cast<WPARAM>(at), line.itemData);
}

void CMacroListBox::rewriteLastLine(const std::u16string& text) {
  const int last = lineCount() - 1;
  if (last < 0) return;
  const LRESULT data = listCall(LB_GETITEMDATA, static_cast<WPARAM>(last));
  listCall(LB_DELETESTRING, static_cast<WPARAM>(last));
  addLine({text, static_cast<int>(data)});
}

void CMacroListBox::showLastLine() {
  const int last = lineCount() - 1;
  if (last >= 0) listCall(LB_SETCARETINDEX, static_cast<WPARAM>(last), FALSE);
}

void CMacroListBox::selectAll(bool selected) {
  listCall(LB_SETSEL, selected ? TRUE : FALSE, -1);
  InvalidateRect(wnd_, nullptr, TRUE);
}

std::vector<int> CMacroListBox::selectedLines() const {
  const LRESULT n = listCall(LB_GETSELCOUNT);
  if (n <= 0) return {};
  std::vector<int> lines(static_cast<size_t>(n));
  const LRESULT got = listCall(LB_GETSELITEMS, static_cast<WPARAM>(n), reinterpret_cast<LPARAM>(lines.data()));
  lines.resize(got > 0 ? static_cast<size_t>(got) : 0);
  return lines;
}

int CMacroListBox::caretLine() const {
  if (lineCount() == 0) return -1;
  const LRESULT caret = listCall(LB_GETCARETINDEX);
  return caret == LB_ERR ? -1 : static_cast<int>(caret);
}

int CMacroListBox::lineCount() const {
  const LRESULT n = listCall(LB_GETCOUNT);
  return n == LB_ERR ? 0 : static_cast<int>(n);
}

void CMacroListBox::drawIcon(HDC dc, int resource, int x, int y) {
  const int i = resource - kTickedBox;
  if (i < 0 || i >= 4 || !icons_[i]) return;
  win32::UniqueDc from(CreateCompatibleDC(dc));
  win32::Selection select(from.get(), icons_[i].get());
  // The icon pictures are drawn for 96 DPI; a list at another scale stretches them pixel by pixel.
  GdiTransparentBlt(dc, x, y, scale_.px(iconWidth_), scale_.px(iconHeight_), from.get(), 0, 0, iconWidth_, iconHeight_,
                    RGB(0, 0, 0));
}

void CMacroListBox::drawItem(const DRAWITEMSTRUCT& item) {
  if (static_cast<int>(item.itemID) < 0 || item.itemData == 0) return;
  HDC dc = item.hDC;
  const RECT& r = item.rcItem;
  // The row's own background first: a selection change redraws the row without erasing it, and
  // the empty box would otherwise show over the tick it replaces.
  if (backgroundBrush()) FillRect(dc, &r, backgroundBrush());

  const bool selected = (item.itemState & ODS_SELECTED) != 0;
  COLORREF colour = text_;
  if (selected && (item.itemState & ODS_FOCUS)) colour = selectedText_;
  if (item.itemState & ODS_DISABLED) colour = GetSysColor(COLOR_BTNSHADOW);
  SetTextColor(dc, colour);
  SetBkMode(dc, TRANSPARENT);
  win32::Selection withFont(dc, textFont());

  const LRESULT length = listCall(LB_GETTEXTLEN, item.itemID);
  std::wstring text(length > 0 ? static_cast<size_t>(length) + 1 : 1, L'\0');
  if (length > 0) listCall(LB_GETTEXT, item.itemID, reinterpret_cast<LPARAM>(text.data()));
  text.resize(length > 0 ? static_cast<size_t>(length) : 0);
  const std::u16string line(text.begin(), text.end());
  const std::u16string_view key = painterKeyPart(line), pause = painterPausePart(line);

  if (item.itemData != 1) {
    drawIcon(dc, static_cast<int>(item.itemData), r.left + scale_.px(kArrowOffset), r.top);
    drawIcon(dc, selected ? kTickedBox : kUntickedBox, r.left, r.top);
  }
  const UINT format = DT_LEFT | DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX | DT_END_ELLIPSIS;
  RECT keyRect{r.left + scale_.px(kKeyPartLeft), r.top, r.left + scale_.px(kKeyPartRight), r.bottom};
  DrawTextW(dc, reinterpret_cast<const wchar_t*>(key.data()), static_cast<int>(key.size()), &keyRect, format);
  RECT pauseRect{r.left + scale_.px(kPausePartLeft), r.top, r.right, r.bottom};
  DrawTextW(dc, reinterpret_cast<const wchar_t*>(pause.data()), static_cast<int>(pause.size()), &pauseRect, format);
}

} // namespace q7
