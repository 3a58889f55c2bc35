// Keyboard use of the skinned windows: whether it is on, the order in which Tab visits a window's
// controls (reading order: line by line from the top, each line from the left; a group such as
// the keyboard view is one stop), and which key an arrow key moves the selection to.
#pragma once

#include <span>
#include <vector>

#include "platform/rect.h"

namespace q7::keyboard_use {

// On when a screen reader runs or the user prefers the keyboard; otherwise the windows keep no
// tab stops and swallow Enter and Escape.
constexpr bool wanted(bool screenReaderRuns, bool keyboardPreferred) { return screenReaderRuns || keyboardPreferred; }

struct TabItem {
  Rect rect;            // where the control is, in one window's coordinates
  int group = 0;        // 0: a stop of its own; items of the same other number make one stop
  bool current = false; // in a group: the member that the group's stop gives the focus to
};

// The item of each stop in reading order. A group stands where its first member in reading order
// stands and is represented by its current member (else that first member).
std::vector<int> tabStops(std::span<const TabItem> items);

// The item Tab (or Shift+Tab, backwards) moves the focus to from the focused item (-1: none, or a
// control that is no stop); a member of a group counts as its group's stop. -1 without stops.
int nextTabStop(std::span<const TabItem> items, int focused, bool backwards);

enum class Direction { Left, Right, Up, Down };

// The place an arrow key moves to from place `from`: the nearest place that way which shares part
// of a line (left, right) or of a column (up, down) with it. Empty rectangles are no places. No such
// place, or from out of range: from itself.
int placeInDirection(std::span<const Rect> places, int from, Direction direction);

} // namespace q7::keyboard_use
