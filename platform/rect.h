// A rectangle in window pixels, written (left,top)-(right,bottom); right and bottom are exclusive.
#pragma once

namespace q7 {

struct Rect {
  int left = 0, top = 0, right = 0, bottom = 0;
  constexpr int width() const { return right - left; }
  constexpr int height() const { return bottom - top; }
  constexpr bool empty() const { return right <= left || bottom <= top; }
  constexpr bool contains(int x, int y) const { return x >= left && x < right && y >= top && y < bottom; }
  constexpr bool operator==(const Rect&) const = default;
};

} // namespace q7
