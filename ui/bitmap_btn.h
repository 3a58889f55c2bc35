// CBitmapBtn: the skinned push button and caption of the main window, drawn with images of the
// graphics library cut out of the window's whole-window state images.
#pragma once

#include "platform/win32/windows_only.h"

#include <string_view>

#include "ui/button_look.h"
#include "platform/rect.h"
#include "ui/skinned_button.h"

namespace q7 {

class CBitmapBtn final : public SkinnedButton {
public:
  CBitmapBtn() : SkinnedButton(ButtonFamily::Image) {}

  // Takes the four state images as they are, already cut to the button's size.
  void setPieces(SkinImage normal, SkinImage hover, SkinImage pressed, SkinImage disabled);
  // Or replaces the four state images with the pieces at (x, y), width x height, of the given
  // whole-window images; an empty source gives an empty state image. Removes border and tab stop.
  void setImages(int x, int y, int width, int height, const SkinImage& normal, const SkinImage& hover,
                 const SkinImage& pressed, const SkinImage& disabled);
  // Trades the normal state image with other, so that an owner can switch between two looks
  // without keeping the whole pictures to cut them from.
  void swapNormalImage(SkinImage& other);
  // layout 4: caption at the left edge plus textOffset; any other layout: centred plus textOffset.
  void setText(std::wstring_view caption, int textOffset, int layout);
  // Lays the caption out centred in this rectangle (client pixels) instead.
  void setTextRect(int left, int top, int right, int bottom);
  void setColors(COLORREF normal, COLORREF hover, COLORREF pressed, int weight);
  void setTooltip(std::wstring_view text);
  void setFontHeight(int pixels);

private:
  void onAttach() override;
  void draw(HDC dc, int width, int height, UINT itemState) override;

  SkinImage images_[4]; // by StateImage
  Rect textRect_;
  bool textRectSet_ = false;
  int fontHeight_ = 14;
  int weight_ = 500;
  int textOffset_ = 0;
  int layout_ = 0;
  TextColours colours_{0x000000D2, 0x00FFFFFF, 0x00FFFFFF};
};

} // namespace q7
