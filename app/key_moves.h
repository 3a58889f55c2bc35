// The arrow keys in the keyboard view: which key the selection moves to.
#pragma once

#include "keys/key_layout.h"
#include "ui/keyboard_use.h"

namespace q7 {

// The visible key of the layout that an arrow key moves the selection to from position from; from
// itself at the keyboard's edge. Without a selection (from outside 0 … 113) the first visible key.
int keyMovedTo(KeyLayout layout, int from, keyboard_use::Direction direction);

} // namespace q7
