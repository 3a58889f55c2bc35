// The three keyboard layouts: for each of the 114 key positions the key code it stands for and
// its rectangle in main-window pixels. Plain data shared by the keyboard view, the skin generator
// (which draws the key caps at the same rectangles) and the monitor (which maps keys to positions).
#pragma once

#include <array>
#include <cstdint>

#include "keys/key_layout.h"
#include "keys/key_record.h"
#include "platform/rect.h"

namespace q7 {

struct KeyPlace {
  int32_t code; // key code, index into kKeyCodeTable
  Rect rect;    // empty for a hidden position: its button exists but has no size
};

// The 114 places of a layout; a value outside the enum reads as the ANSI layout.
const std::array<KeyPlace, kKeyCount>& keyPlaces(KeyLayout layout);

// Bounded lookup: a position outside 0 … 113 has key code -1.
int32_t keyCodeAt(KeyLayout layout, int position);

} // namespace q7
