// CListBoxEx: the system's list box, owner-drawn by a derived class, with hover tracking (a tooltip
// shows the full text of the row under the mouse), keyboard input swallowed, a notice to the parent
// when a row is clicked, and its own colours, font, row height and background. The parent routes
// WM_DRAWITEM, WM_MEASUREITEM and WM_CTLCOLORLISTBOX back to the list (ui/reflect.h).
#pragma once

#include "platform/win32/windows_only.h"

#include <string>
#include <string_view>

#include "platform/rect.h"
#include "platform/win32/handles.h"
#include "ui/skinned_control.h"

namespace q7 {

// Notices a list posts to its parent: a left click on a row (wParam the row) and a right click
// (wParam the row, lParam its item data when sent to a notify target).
inline constexpr UINT kListRowClicked = 13314;      // 0x3402
inline constexpr UINT kListRowRightClicked = 13312; // 0x3400

class CListBoxEx : public SkinnedControl {
public:
  CListBoxEx() = default;
  ~CListBoxEx() override;

  // A list box child at rect (parent's client coordinates in table pixels, shown at scale) with the
  // given control id and window and list styles; then attached. Everything the list is told in
  // pixels later (font and row heights, icon sizes) is in table pixels too and drawn at its scale.
  // At another scale (rescale) font, row heights and icons follow; its rows, selection, caret and
  // scroll position stay.
  bool create(HWND parent, const Rect& rect, int id, DWORD style, Scale scale = {});

  void setTextFont(std::wstring_view face, int height, int weight);
  void setRowHeight(int pixels) { rowHeight_ = pixels; }
  // Colours are 0x00BBGGRR.
  void setTextColours(COLORREF text, COLORREF selectedText, COLORREF highlight);
  void setIconSize(int width, int height); // of the icon pictures, drawn at the list's scale
  void setBackground(COLORREF colour);
  void setKeepParent(bool keep) { keepParent_ = keep; }
  void setRightClickOff(bool off) { rightClickOff_ = off; }
  void setMouseOff(bool off) { mouseOff_ = off; }
  void setOwnHighlight(bool on) { ownHighlight_ = on; }
  // While a live window is set here, keys reach the list and hover tracking pauses.
  void setKeyboardWindow(HWND wnd) { keyboardWindow_ = wnd; }
  void setNotifyTarget(HWND wnd) { notifyTarget_ = wnd; }

  int hoveredRow() const { return hovered_; }
  HWND tooltip() const { return tooltipWindow(); }
  const std::wstring& tooltipText() const { return tipText_; }

protected:
  // Draws one row; the list's own background under it is already painted.
  virtual void drawItem(const DRAWITEMSTRUCT& item) = 0;
  LRESULT onMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
  HFONT textFont() const { return font_.get(); }
  HBRUSH backgroundBrush() const { return background_.get(); }

  COLORREF text_ = GetSysColor(COLOR_WINDOWTEXT);
  COLORREF selectedText_ = GetSysColor(COLOR_HIGHLIGHTTEXT);
  COLORREF highlight_ = GetSysColor(COLOR_HIGHLIGHT);
  int iconWidth_ = 16, iconHeight_ = 16;

private:
  void onRescale() override;
  void onMouseMove(LPARAM lParam);
  void showTip(int row);
  void invalidateRow(int row);
  bool keyboardWindowAlive() const { return keyboardWindow_ && IsWindow(keyboardWindow_); }

  void applyFont();

  std::wstring fontFace_;
  int fontHeight_ = 0, fontWeight_ = 0; // table pixels; no own font while 0
  win32::UniqueGdi<HFONT> font_;
  win32::UniqueGdi<HBRUSH> background_;
  std::wstring tipText_;
  int rowHeight_ = 15;
  int hovered_ = -1;
  bool tracking_ = false;
  bool ownHighlight_ = true;
  bool keepParent_ = true;
  bool rightClickOff_ = true;
  bool mouseOff_ = false;
  HWND keyboardWindow_ = nullptr;
  HWND notifyTarget_ = nullptr;
};

} // namespace q7
