// CCrledit: the single-line edit field of the skinned dialogs. It shows its text in its own colours
// (also read-only or disabled) and posts WM_CRLEDIT_KEYUP to its parent after every key release.
// The parent routes WM_CTLCOLOREDIT and WM_CTLCOLORSTATIC back to the field with reflectToChild.
#pragma once

#include "platform/win32/windows_only.h"

#include "platform/rect.h"
#include "platform/win32/handles.h"
#include "ui/skinned_control.h"

namespace q7 {

class CCrledit final : public SkinnedControl {
public:
  CCrledit() = default;
  ~CCrledit() override;

  // A visible child edit control at rect (parent's client coordinates in table pixels, shown at
  // scale), digits only when asked. At another scale (rescale) a font it was given follows; its
  // text, selection and colours stay.
  bool create(HWND parent, const Rect& rect, bool digitsOnly, Scale scale = {});

  // The system's font at the field's scale: the stock font itself where the field's scale is the
  // system's, otherwise the stock font's face at its height scaled from the system's DPI.
  void useSystemFont();

  // Colours are 0x00BBGGRR.
  void setTextColour(COLORREF colour);
  void setBackgroundColour(COLORREF colour);
  COLORREF textColour() const { return text_; }
  COLORREF backgroundColour() const { return background_; }

private:
  LRESULT onMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
  void onRescale() override;
  HBRUSH colourRequest(HDC dc);
  void paintDisabled();

  void applyFont();

  bool systemFont_ = false;
  win32::UniqueGdi<HFONT> font_; // the scaled copy of the system's font; none while the stock one serves
  COLORREF text_ = RGB(255, 255, 255);
  COLORREF background_ = RGB(0, 0, 0);
  win32::UniqueGdi<HBRUSH> brush_;
};

} // namespace q7
