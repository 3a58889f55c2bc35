// CCrledit: the single-line edit field of the skinned dialogs. It shows its text in its own colours
// (also read-only or disabled) and posts WM_CRLEDIT_KEYUP to its parent after every key release.
// The parent routes WM_CTLCOLOREDIT and WM_CTLCOLORSTATIC back to the field with reflectToChild.
#pragma once

#include "platform/win32/windows_only.h"

#include "ui/subclass_proc.h"

#include "platform/win32/handles.h"
#include "platform/rect.h"
#include "ui/scale.h"

namespace q7 {

class CCrledit {
public:
  CCrledit() = default;
  CCrledit(const CCrledit&) = delete;
  CCrledit& operator=(const CCrledit&) = delete;
  ~CCrledit();

  // A visible child edit control at rect (parent's client coordinates in table pixels, shown at
  // scale), digits only when asked.
  bool create(HWND parent, const Rect& rect, bool digitsOnly, Scale scale = {});
  HWND window() const { return wnd_; }
  // Moves the field to its rectangle at another scale; a font it was given follows. Its text,
  // selection and colours stay.
  void rescale(Scale scale);
  Scale scale() const { return scale_; }

  // The system's font at the field's scale: the stock font itself where the field's scale is the
  // system's, otherwise the stock font's face at its height scaled from the system's DPI.
  void useSystemFont();

  // Colours are 0x00BBGGRR.
  void setTextColour(COLORREF colour);
  void setBackgroundColour(COLORREF colour);
  COLORREF textColour() const { return text_; }
  COLORREF backgroundColour() const { return background_; }

private:
  template <typename U> friend LRESULT CALLBACK subclassProcOf(HWND, UINT, WPARAM, LPARAM, UINT_PTR, DWORD_PTR);
  LRESULT onMessage(UINT message, WPARAM wParam, LPARAM lParam);
  HBRUSH colourRequest(HDC dc);
  void paintDisabled();
  void detach();

  void applyFont();

  HWND wnd_ = nullptr;
  Rect tableRect_;
  Scale scale_;
  bool systemFont_ = false;
  win32::UniqueGdi<HFONT> font_; // the scaled copy of the system's font; none while the stock one serves
  COLORREF text_ = RGB(255, 255, 255);
  COLORREF background_ = RGB(0, 0, 0);
  win32::UniqueGdi<HBRUSH> brush_;
};

} // namespace q7
