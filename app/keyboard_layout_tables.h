// The three keyboard layouts of the keyboard view: for each of the 114 key positions the key code
// it stands for and its rectangle in main-window pixels. Plain data shared by the window and the
// skin generator, which draws the key caps at the same rectangles.
#pragma once

#include <array>
#include <cstdint>

#include "app/key_layout.h"
#include "keys/key_record.h"
#include "ui/rect.h"

namespace q7 {

struct KeyPlace {
  int32_t code; // key code, index into kKeyCodeTable
  Rect rect;    // empty for a hidden position: its button exists but has no size
};

// The part of the main window that holds the keys of every layout.
constexpr Rect kKeyboardArea{176, 224, 896, 434};

// The 114 places of a layout; a value outside the enum reads as the ANSI layout.
const std::array<KeyPlace, kKeyCount>& keyPlaces(KeyLayout layout);

// The 114 rectangles of a layout, in position order.
std::array<Rect, kKeyCount> keyRectangles(KeyLayout layout);

// Bounded lookups: a position outside 0 … 113 has key code -1 and an empty rectangle.
int32_t keyCodeAt(KeyLayout layout, int position);
Rect keyRectangle(KeyLayout layout, int position);

// Whether the position has a key the user sees and can click.
bool keyVisible(KeyLayout layout, int position);
int visibleKeyCount(KeyLayout layout);

} // namespace q7
