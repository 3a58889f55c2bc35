#include "ui/bitmap_btn.h"

#include <utility>

#include "ui/caption_layout.h"
#include "ui/fonts.h"

namespace q7 {

void CBitmapBtn::setImages(int x, int y, int width, int height, const SkinImage& normal, const SkinImage& hover,
                           const SkinImage& pressed, const SkinImage& disabled) {
  const SkinImage* sources[4] = {&normal, &hover, &pressed, &disabled};
  for (int i = 0; i < 4; ++i) images_[i] = cutImage(*sources[i], x, y, width, height);
  removeBorderAndTabStop();
  repaint();
}

void CBitmapBtn::setPieces(SkinImage normal, SkinImage hover, SkinImage pressed, SkinImage disabled) {
  images_[0] = std::move(normal);
  images_[1] = std::move(hover);
  images_[2] = std::move(pressed);
  images_[3] = std::move(disabled);
  removeBorderAndTabStop();
  repaint();
}

void CBitmapBtn::swapNormalImage(SkinImage& other) {
  std::swap(images_[0], other);
  repaint();
}

void CBitmapBtn::setText(std::wstring_view caption, int textOffset, int layout) {
  textOffset_ = textOffset;
  layout_ = layout;
  storeCaption(caption);
}

void CBitmapBtn::setTextRect(int left, int top, int right, int bottom) {
  textRect_ = {left, top, right, bottom};
  textRectSet_ = true;
}

void CBitmapBtn::setColors(COLORREF normal, COLORREF hover, COLORREF pressed, int weight) {
  colours_ = {normal, hover, pressed};
  weight_ = weight;
  repaint();
}

void CBitmapBtn::setTooltip(std::wstring_view text) { showTooltip(text, true); }

void CBitmapBtn::setFontHeight(int pixels) {
  fontHeight_ = pixels;
  repaint();
}

void CBitmapBtn::onAttach() {
  SkinnedButton::onAttach();
  // Drawing is clipped to the button and its region, not to the parent's device context.
  const ULONG_PTR classStyle = GetClassLongPtrW(wnd_, GCL_STYLE);
  if (classStyle & CS_PARENTDC) SetClassLongPtrW(wnd_, GCL_STYLE, classStyle & ~static_cast<ULONG_PTR>(CS_PARENTDC));
}

void CBitmapBtn::draw(HDC dc, int width, int height, UINT itemState) {
  const ButtonLook look =
      bitmapBtnLook((itemState & ODS_SELECTED) != 0, hover_, (itemState & ODS_DISABLED) != 0, colours_);
  Gdiplus::Bitmap* image = images_[static_cast<int>(look.image)].get();

  win32::UniqueDc canvasDc(CreateCompatibleDC(dc));
  win32::UniqueGdi<HBITMAP> canvas(CreateCompatibleBitmap(dc, width, height));
  HDC target = dc;
  win32::Selection onCanvas(canvasDc.get(), canvasDc && canvas ? canvas.get() : nullptr);
  if (canvasDc && canvas) target = canvasDc.get();

  if (image) {
    Gdiplus::Graphics graphics(target);
    graphics.DrawImage(image, Gdiplus::Rect(0, 0, width, height));
  } else {
    paintSkinFace(target, SkinBitmap(), width, height);
  }

  if (!caption_.empty()) {
    SetBkMode(target, TRANSPARENT);
    SetTextColor(target, look.textColour);
    win32::UniqueGdi<HFONT> font = createSkinFont(L"Arial", scale_.font(fontHeight_), weight_);
    win32::Selection withFont(target, font.get());
    // Captions are data from the string file: an ampersand is shown, never taken as a mnemonic.
    if (textRectSet_) {
      const Rect at = scale_.rect(textRect_);
      RECT r{at.left, at.top, at.right, at.bottom};
      DrawTextW(target, caption_.c_str(), -1, &r,
                DT_SINGLELINE | DT_CENTER | DT_VCENTER | DT_NOCLIP | DT_END_ELLIPSIS | DT_NOPREFIX);
    } else {
      RECT measured{0, 0, width, height};
      DrawTextW(target, caption_.c_str(), -1, &measured, DT_SINGLELINE | DT_NOPREFIX | DT_CALCRECT);
      const Point at = bitmapBtnCaptionOrigin(width, height, measured.right - measured.left,
                                              measured.bottom - measured.top, scale_.px(textOffset_), layout_);
      RECT r{at.x, at.y, at.x + (measured.right - measured.left), at.y + (measured.bottom - measured.top)};
      DrawTextW(target, caption_.c_str(), -1, &r, DT_SINGLELINE | DT_NOPREFIX | DT_NOCLIP);
    }
  }
  if (target != dc) BitBlt(dc, 0, 0, width, height, target, 0, 0, SRCCOPY);
}

} // namespace q7
