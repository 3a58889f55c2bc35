#include "ui/list_box_ex.h"

#include <windowsx.h>

#include "ui/fonts.h"
#include "ui/window_messages.h"

namespace q7 {

namespace {
constexpr int kNoRow = 0xFFFF; // what a list answers for a point below its rows
} // namespace

// The list ends before the font and brush it uses.
CListBoxEx::~CListBoxEx() { destroy(); }

bool CListBoxEx::create(HWND parent, const Rect& rect, int id, DWORD style, Scale scale) {
  if (!createWindow(parent, L"LISTBOX", style, rect, scale, id)) return false;
  // The tooltip exists from the start, inactive until a row is hovered. It has no owner, and it
  // watches the list's mouse messages itself: a modal loop has no place to relay them.
  makeTooltip(TooltipOwner::None);
  return true;
}

void CListBoxEx::setTextFont(std::wstring_view face, int height, int weight) {
  fontFace_.assign(face);
  fontHeight_ = height;
  fontWeight_ = weight;
  applyFont();
}

void CListBoxEx::applyFont() {
  win32::UniqueGdi<HFONT> font = createSkinFont(fontFace_, scale_.font(fontHeight_), fontWeight_);
  // The list lets go of the old font before it is deleted.
  if (wnd_) SendMessageW(wnd_, WM_SETFONT, reinterpret_cast<WPARAM>(font.get()), FALSE);
  font_ = std::move(font);
}

void CListBoxEx::onRescale() {
  if (fontHeight_ > 0) applyFont();
  // Each row was measured when it was added; every one takes the new height (a list of fixed rows
  // keeps one height, set through row 0).
  const UINT height = static_cast<UINT>(scale_.px(rowHeight_));
  const LRESULT count = SendMessageW(wnd_, LB_GETCOUNT, 0, 0);
  SendMessageW(wnd_, LB_SETITEMHEIGHT, 0, MAKELPARAM(height, 0));
  for (LRESULT i = 1; i < count; ++i)
    SendMessageW(wnd_, LB_SETITEMHEIGHT, static_cast<WPARAM>(i), MAKELPARAM(height, 0));
  InvalidateRect(wnd_, nullptr, TRUE);
}

void CListBoxEx::setTextColours(COLORREF text, COLORREF selectedText, COLORREF highlight) {
  text_ = text;
  selectedText_ = selectedText;
  highlight_ = highlight;
}

void CListBoxEx::setIconSize(int width, int height) {
  iconWidth_ = width;
  iconHeight_ = height;
}

void CListBoxEx::setBackground(COLORREF colour) { background_.reset(CreateSolidBrush(colour)); }

void CListBoxEx::invalidateRow(int row) {
  RECT r{};
  if (SendMessageW(wnd_, LB_GETITEMRECT, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&r)) != LB_ERR)
    InvalidateRect(wnd_, &r, TRUE);
}

void CListBoxEx::showTip(int row) {
  if (!tooltip()) return;
  const LRESULT length = SendMessageW(wnd_, LB_GETTEXTLEN, static_cast<WPARAM>(row), 0);
  if (length == LB_ERR) return;
  tipText_.assign(static_cast<size_t>(length) + 1, L'\0');
  SendMessageW(wnd_, LB_GETTEXT, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(tipText_.data()));
  tipText_.resize(static_cast<size_t>(length));
  showTooltip(tipText_, true);
}

// Only a change of the row under the mouse repaints: the row left and the row entered.
void CListBoxEx::onMouseMove(LPARAM lParam) {
  if (!tracking_) {
    TRACKMOUSEEVENT track{sizeof track, TME_LEAVE, wnd_, 0};
    tracking_ = TrackMouseEvent(&track) != FALSE;
  }
  if (keyboardWindowAlive()) return;
  const LRESULT found = SendMessageW(wnd_, LB_ITEMFROMPOINT, 0, lParam);
  const int row = LOWORD(found);
  if (row == hovered_) return;
  if (hovered_ >= 0) invalidateRow(hovered_);
  hovered_ = row;
  if (HIWORD(found) != 0) { // below the last row
    hovered_ = -1;
    return;
  }
  RECT r{};
  if (SendMessageW(wnd_, LB_GETITEMRECT, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&r)) != LB_ERR &&
      !IsRectEmpty(&r))
    showTip(row);
  invalidateRow(row);
}

LRESULT CListBoxEx::onMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
  case WM_MOUSEMOVE: {
    const LRESULT result = defaultProcessing(message, wParam, lParam);
    onMouseMove(lParam);
    return result;
  }
  case WM_MOUSELEAVE:
    tracking_ = false;
    break;
  case WM_LBUTTONDOWN:
    if (mouseOff_) return 0;
    if (hovered_ != -1 && hovered_ != kNoRow) PostMessageW(GetParent(wnd_), kListRowClicked, hovered_, 0);
    break;
  case WM_RBUTTONUP:
    if (mouseOff_) return 0;
    if (!rightClickOff_) {
      const LRESULT found = SendMessageW(wnd_, LB_ITEMFROMPOINT, 0, lParam);
      const int row = LOWORD(found);
      SendMessageW(wnd_, LB_SETCARETINDEX, row, FALSE);
      if (notifyTarget_) {
        const LRESULT data = SendMessageW(wnd_, LB_GETITEMDATA, row, 0);
        if (data != LB_ERR) PostMessageW(notifyTarget_, kListRowRightClicked, row, data);
      } else {
        PostMessageW(GetParent(wnd_), kListRowRightClicked, row, 0);
      }
    }
    break;
  case WM_MBUTTONDOWN:
    if (mouseOff_) return 0;
    break;
  case WM_KILLFOCUS:
    if (!keepParent_) { // a list in a pop-up: losing the focus ends the pop-up
      HWND parent = GetParent(wnd_);
      const LRESULT result = defaultProcessing(message, wParam, lParam);
      ShowWindow(parent, SW_HIDE);
      DestroyWindow(parent);
      return result;
    }
    break;
  case WM_ENABLE: {
    const LRESULT result = defaultProcessing(message, wParam, lParam);
    InvalidateRect(wnd_, nullptr, TRUE);
    return result;
  }
  case WM_KEYDOWN:
  case WM_KEYUP:
  case WM_CHAR: // the list's own search by typed letters would move its caret
    if (!keyboardWindowAlive()) return 0;
    break;
  case WM_MOUSEWHEEL:
  case WM_NCLBUTTONDOWN:
  case WM_NCMOUSEMOVE:
    if (ownHighlight_) {
      const LRESULT result = defaultProcessing(message, wParam, lParam);
      InvalidateRect(wnd_, nullptr, TRUE);
      return result;
    }
    break;
  case msg::kReflectBase + WM_CTLCOLORLISTBOX:
    if (!IsWindowEnabled(wnd_)) return reinterpret_cast<LRESULT>(GetSysColorBrush(COLOR_INACTIVEBORDER));
    return reinterpret_cast<LRESULT>(background_ ? background_.get() : GetSysColorBrush(COLOR_WINDOW));
  case msg::kReflectBase + WM_MEASUREITEM:
    reinterpret_cast<MEASUREITEMSTRUCT*>(lParam)->itemHeight = static_cast<UINT>(scale_.px(rowHeight_));
    return TRUE;
  case msg::kReflectBase + WM_DRAWITEM:
    drawItem(*reinterpret_cast<const DRAWITEMSTRUCT*>(lParam));
    return TRUE;
  default:
    break;
  }
  return defaultProcessing(message, wParam, lParam);
}

} // namespace q7
