// CBitmapBtn2: the skinned push button of the dialogs and of the keyboard's keys, drawn from
// device bitmaps cut out of its owner's whole-window state images, with an optional caption.
#pragma once

#include "platform/win32/windows_only.h"

#include <string_view>

#include "ui/button_look.h"
#include "ui/skinned_button.h"

namespace q7 {

class CBitmapBtn2 final : public SkinnedButton {
public:
  CBitmapBtn2() : SkinnedButton(ButtonFamily::Bitmap) {}

  // Cuts each state's picture out of the given whole-window picture at (left,top)-(right,bottom);
  // a source without a bitmap leaves that state's picture as it was. Owners pass their normal
  // picture again as the disabled one. Also removes the border and tab stop, and clears hover.
  void setImages(int left, int top, int right, int bottom, const SkinBitmap& normal, const SkinBitmap& hover,
                 const SkinBitmap& pressed, const SkinBitmap& disabled);
  // Shows the pieces at (x, y) of pictures that the owner keeps alive for as long as the button
  // shows them: the 114 keys draw straight from the window's three pictures, with nothing cut for
  // them at all. Null entries show the plain face. Returns false when the button already showed
  // exactly these pictures.
  bool showPieces(const SkinBitmap* normal, const SkinBitmap* hover, const SkinBitmap* pressed,
                  const SkinBitmap* disabled, int x = 0, int y = 0);
  // alignment: 0 centred, 1 left, 2 centred over 35 more pixels to the right, 3 over 15 more.
  void setText(std::wstring_view caption, int alignment);
  // A latched button shows its hover picture and the pressed colour (a chosen option).
  void setLatched(bool latched);
  void setTooltip(std::wstring_view text, bool active);

  void setFontHeight(int pixels);
  void setTextColours(COLORREF normal, COLORREF hover, COLORREF pressed);
  bool latched() const { return latched_; }

private:
  void draw(HDC dc, int width, int height, UINT itemState) override;
  LRESULT onMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

  SkinBitmap images_[4];            // by StateImage: pieces this button cut itself
  const SkinBitmap* shown_[4] = {}; // by StateImage: what it draws (its own pieces or borrowed pictures)
  int shownX_ = 0, shownY_ = 0;     // where in the borrowed pictures its piece lies
  bool latched_ = false;
  int alignment_ = 0;
  int fontHeight_ = 16;
  TextColours colours_{0x000000, 0x000000, 0x000000};
};

} // namespace q7
