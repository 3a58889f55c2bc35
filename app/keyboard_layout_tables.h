// The keyboard view's side of the key places (keys/key_places.h): the keyboard area and the
// rectangles of the keys in main-window pixels.
#pragma once

#include <array>
#include <cstdint>

#include "keys/key_places.h"

namespace q7 {

// The part of the main window that holds the keys of every layout.
constexpr Rect kKeyboardArea{176, 224, 896, 434};

// The 114 rectangles of a layout, in position order.
std::array<Rect, kKeyCount> keyRectangles(KeyLayout layout);

// Bounded lookup: a position outside 0 … 113 has an empty rectangle.
Rect keyRectangle(KeyLayout layout, int position);

// Whether the position has a key the user sees and can click.
bool keyVisible(KeyLayout layout, int position);
int visibleKeyCount(KeyLayout layout);

} // namespace q7
