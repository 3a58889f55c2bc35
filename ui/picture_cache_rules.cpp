#include "ui/picture_cache_rules.h"

#include <algorithm>
#include <climits>

namespace q7 {

bool needsDecode(const PictureStamps& cached, const PictureStamps& now) { return !(cached == now); }

Rect maskBounds(std::span<const uint32_t> pixels, int width, int height, uint32_t keyRgb) {
  if (width <= 0 || height <= 0) return {};
  const size_t w = static_cast<size_t>(width);
  const size_t rows = std::min(static_cast<size_t>(height), pixels.size() / w);
  const uint32_t key = keyRgb & 0xFFFFFF;
  Rect box{INT_MAX, INT_MAX, INT_MIN, INT_MIN};
  for (size_t y = 0; y < rows; ++y) {
    const uint32_t* row = pixels.data() + y * w;
    size_t first = 0;
    while (first < w && (row[first] & 0xFFFFFF) == key) ++first;
    if (first == w) continue;
    size_t last = w;
    while ((row[last - 1] & 0xFFFFFF) == key) --last;
    const int top = static_cast<int>(y);
    box = {std::min(box.left, static_cast<int>(first)), std::min(box.top, top),
           std::max(box.right, static_cast<int>(last)), std::max(box.bottom, top + 1)};
  }
  return box.left == INT_MAX ? Rect{} : box;
}

Rect keptPart(const Rect& box, bool haveMask, Size picture) {
  const Rect whole{0, 0, std::max(picture.width, 0), std::max(picture.height, 0)};
  if (!haveMask) return whole;
  const Rect part{std::max(box.left, 0), std::max(box.top, 0), std::min(box.right, whole.right),
                  std::min(box.bottom, whole.bottom)};
  return part.empty() ? Rect{} : part;
}

size_t dibPixelBytes(Size size, int bitsPerPixel) {
  if (size.width <= 0 || size.height <= 0 || bitsPerPixel <= 0) return 0;
  const size_t stride = (static_cast<size_t>(size.width) * static_cast<size_t>(bitsPerPixel) + 31) / 32 * 4;
  return stride * static_cast<size_t>(size.height);
}

} // namespace q7
