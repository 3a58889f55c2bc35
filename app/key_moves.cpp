#include "app/key_moves.h"

#include <array>

#include "app/keyboard_layout_tables.h"

namespace q7 {

int keyMovedTo(KeyLayout layout, int from, keyboard_use::Direction direction) {
  std::array<Rect, kKeyCount> places = keyRectangles(layout);
  for (int k = 0; k < kKeyCount; ++k)
    if (!keyVisible(layout, k)) places[k] = Rect{};
  if (from < 0 || from >= kKeyCount || places[from].empty()) {
    for (int k = 0; k < kKeyCount; ++k)
      if (!places[k].empty()) return k;
    return -1;
  }
  return keyboard_use::placeInDirection(places, from, direction);
}

} // namespace q7
