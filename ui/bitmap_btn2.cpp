#include "ui/bitmap_btn2.h"

#include "ui/caption_layout.h"
#include "ui/fonts.h"

namespace q7 {

void CBitmapBtn2::setImages(int left, int top, int right, int bottom, const SkinBitmap& normal, const SkinBitmap& hover,
                            const SkinBitmap& pressed, const SkinBitmap& disabled) {
  const SkinBitmap* sources[4] = {&normal, &hover, &pressed, &disabled};
  for (int i = 0; i < 4; ++i) {
    if (*sources[i])
      images_[i] = cutBitmap(*sources[i], scale_.px(left), scale_.px(top), scale_.px(right), scale_.px(bottom));
    shown_[i] = &images_[i];
  }
  shownX_ = shownY_ = 0;
  removeBorderAndTabStop();
  hover_ = false;
  repaint();
}

bool CBitmapBtn2::showPieces(const SkinBitmap* normal, const SkinBitmap* hover, const SkinBitmap* pressed,
                             const SkinBitmap* disabled, int x, int y) {
  if (shown_[0] == normal && shown_[1] == hover && shown_[2] == pressed && shown_[3] == disabled && shownX_ == x &&
      shownY_ == y)
    return false;
  if (!shown_[0] && !shown_[1] && !shown_[2] && !shown_[3]) removeBorderAndTabStop(); // the first pictures
  shown_[0] = normal;
  shown_[1] = hover;
  shown_[2] = pressed;
  shown_[3] = disabled;
  shownX_ = x;
  shownY_ = y;
  hover_ = false;
  return true;
}

void CBitmapBtn2::setText(std::wstring_view caption, int alignment) {
  alignment_ = alignment;
  storeCaption(caption);
}

void CBitmapBtn2::setLatched(bool latched) {
  if (latched_ == latched) return;
  latched_ = latched;
  repaint();
}

void CBitmapBtn2::setTooltip(std::wstring_view text, bool active) { showTooltip(text, active); }

void CBitmapBtn2::setFontHeight(int pixels) {
  fontHeight_ = pixels;
  repaint();
}

void CBitmapBtn2::setTextColours(COLORREF normal, COLORREF hover, COLORREF pressed) {
  colours_ = {normal, hover, pressed};
  repaint();
}

LRESULT CBitmapBtn2::onMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
  case WM_MOUSELEAVE:
    hover_ = false;
    repaint(true);
    return 0;
  case WM_LBUTTONDOWN:
    if (HWND parent = GetParent(wnd_); parent && GetActiveWindow() != parent) SetActiveWindow(parent);
    return defaultProcessing(message, wParam, lParam);
  default:
    return SkinnedButton::onMessage(message, wParam, lParam);
  }
}

void CBitmapBtn2::draw(HDC dc, int width, int height, UINT itemState) {
  Btn2State state;
  state.latched = latched_;
  state.pressed = (itemState & ODS_SELECTED) != 0;
  state.hover = hover_;
  state.disabled = (itemState & ODS_DISABLED) != 0;
  state.parentActive = GetActiveWindow() == GetParent(wnd_);
  const ButtonLook look = bitmapBtn2Look(state, colours_);
  const SkinBitmap* shown = shown_[static_cast<int>(look.image)];

  // Borrowed pictures are at the button's scale; its place in them is kept in table pixels.
  const int pieceX = scale_.px(shownX_), pieceY = scale_.px(shownY_);
  if (caption_.empty()) {
    paintSkinPiece(dc, shown, pieceX, pieceY, width, height);
    return;
  }
  // One off-screen bitmap, so that the caption never flickers over the picture.
  win32::UniqueDc canvasDc(CreateCompatibleDC(dc));
  win32::UniqueGdi<HBITMAP> canvas(CreateCompatibleBitmap(dc, width, height));
  if (!canvasDc || !canvas) {
    paintSkinPiece(dc, shown, pieceX, pieceY, width, height);
    return;
  }
  win32::Selection onCanvas(canvasDc.get(), canvas.get());
  paintSkinPiece(canvasDc.get(), shown, pieceX, pieceY, width, height);
  SetBkMode(canvasDc.get(), TRANSPARENT);
  SetTextColor(canvasDc.get(), look.textColour);
  win32::UniqueGdi<HFONT> font = createSkinFont(L"Arial", scale_.font(fontHeight_), FW_NORMAL);
  {
    win32::Selection withFont(canvasDc.get(), font.get());
    const CaptionBox box = bitmapBtn2CaptionBox(width, height, alignment_, scale_);
    RECT r{box.rect.left, box.rect.top, box.rect.right, box.rect.bottom};
    DrawTextW(canvasDc.get(), caption_.c_str(), -1, &r,
              DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX | DT_END_ELLIPSIS | (box.centred ? DT_CENTER : DT_LEFT));
  }
  BitBlt(dc, 0, 0, width, height, canvasDc.get(), 0, 0, SRCCOPY);
}

} // namespace q7
