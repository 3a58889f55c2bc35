#include "ui/caption_layout.h"

namespace q7 {

CaptionBox bitmapBtn2CaptionBox(int width, int height, int alignment, Scale scale) {
  const Rect client{0, 0, width, height};
  switch (alignment) {
  case 1:
    return {client, false};
  case 2:
    return {Rect{0, 0, width + scale.px(35), height}, true};
  case 3:
    return {Rect{0, 0, width + scale.px(15), height}, true};
  default:
    return {client, true};
  }
}

Point bitmapBtnCaptionOrigin(int width, int height, int textWidth, int textHeight, int textOffset, int layout) {
  const int x = layout == kCaptionAtLeftEdge ? textOffset : textOffset + (width / 2 - textWidth / 2);
  return {x, height / 2 - textHeight / 2};
}

} // namespace q7
