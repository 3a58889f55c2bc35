// The rectangles of the key places, as the keyboard view asks for them.
#include "app/keyboard_layout_tables.h"

namespace q7 {

std::array<Rect, kKeyCount> keyRectangles(KeyLayout layout) {
  std::array<Rect, kKeyCount> rects{};
  const auto& places = keyPlaces(layout);
  for (int k = 0; k < kKeyCount; ++k) rects[k] = places[k].rect;
  return rects;
}

Rect keyRectangle(KeyLayout layout, int position) {
  if (position < 0 || position >= kKeyCount) return {};
  return keyPlaces(layout)[position].rect;
}

bool keyVisible(KeyLayout layout, int position) { return !keyRectangle(layout, position).empty(); }

int visibleKeyCount(KeyLayout layout) {
  int n = 0;
  for (const auto& place : keyPlaces(layout)) n += place.rect.empty() ? 0 : 1;
  return n;
}

} // namespace q7
