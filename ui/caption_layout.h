// Where a skinned button writes its caption, in client pixels of a button of width x height.
#pragma once

#include "platform/rect.h"
#include "ui/scale.h"

namespace q7 {

// CBitmapBtn2: the rectangle the caption is drawn in (single line, vertically centred) and whether
// it is centred in it or left-aligned. Alignment 0 centres in the client rectangle, 1 aligns left,
// 2 and 3 centre in the rectangle widened to the right by 35 and 15 table pixels at the button's
// scale; any other value centres. width and height are the button's own, already scaled.
struct CaptionBox {
  Rect rect;
  bool centred = true;
  constexpr bool operator==(const CaptionBox&) const = default;
};
CaptionBox bitmapBtn2CaptionBox(int width, int height, int alignment, Scale scale = {});

// CBitmapBtn without a text rectangle: the top-left corner of a caption measured textWidth x
// textHeight. Layout 4 starts at the text offset; any other layout centres horizontally and adds
// the offset. Vertically always centred. Each half is truncated toward zero on its own.
struct Point {
  int x = 0, y = 0;
  constexpr bool operator==(const Point&) const = default;
};
inline constexpr int kCaptionAtLeftEdge = 4;
Point bitmapBtnCaptionOrigin(int width, int height, int textWidth, int textHeight, int textOffset, int layout);

} // namespace q7
