#include "ui/keyboard_use.h"

#include <algorithm>
#include <cstdlib>
#include <limits>

namespace q7::keyboard_use {

namespace {

// Items in reading order: sorted by top, then cut into lines (an item whose top lies above the
// middle of the line's first item joins that line), each line sorted by left.
std::vector<int> readingOrder(std::span<const TabItem> items) {
  std::vector<int> order(items.size());
  for (size_t i = 0; i < items.size(); ++i) order[i] = static_cast<int>(i);
  std::stable_sort(order.begin(), order.end(), [&](int a, int b) { return items[a].rect.top < items[b].rect.top; });
  std::vector<int> result;
  result.reserve(order.size());
  size_t start = 0;
  while (start < order.size()) {
    const Rect& first = items[order[start]].rect;
    const int middle = first.top + first.height() / 2;
    size_t end = start + 1;
    while (end < order.size() && items[order[end]].rect.top < middle) ++end;
    std::vector<int> line(order.begin() + static_cast<std::ptrdiff_t>(start),
                          order.begin() + static_cast<std::ptrdiff_t>(end));
    std::stable_sort(line.begin(), line.end(), [&](int a, int b) { return items[a].rect.left < items[b].rect.left; });
    result.insert(result.end(), line.begin(), line.end());
    start = end;
  }
  return result;
}

} // namespace

std::vector<int> tabStops(std::span<const TabItem> items) {
  std::vector<int> stops;
  std::vector<int> groupsSeen;
  for (int i : readingOrder(items)) {
    const int group = items[i].group;
    if (group == 0) {
      stops.push_back(i);
      continue;
    }
    if (std::find(groupsSeen.begin(), groupsSeen.end(), group) != groupsSeen.end()) continue;
    groupsSeen.push_back(group);
    int chosen = i;
    for (size_t j = 0; j < items.size(); ++j)
      if (items[j].group == group && items[j].current) {
        chosen = static_cast<int>(j);
        break;
      }
    stops.push_back(chosen);
  }
  return stops;
}

int nextTabStop(std::span<const TabItem> items, int focused, bool backwards) {
  const std::vector<int> stops = tabStops(items);
  if (stops.empty()) return -1;
  const int count = static_cast<int>(stops.size());
  int at = -1;
  if (focused >= 0 && static_cast<size_t>(focused) < items.size()) {
    const int group = items[focused].group;
    for (int s = 0; s < count; ++s)
      if (stops[s] == focused || (group != 0 && items[stops[s]].group == group)) {
        at = s;
        break;
      }
  }
  if (at < 0) return backwards ? stops[count - 1] : stops[0];
  return stops[(at + (backwards ? count - 1 : 1)) % count];
}

int placeInDirection(std::span<const Rect> places, int from, Direction direction) {
  if (from < 0 || static_cast<size_t>(from) >= places.size() || places[from].empty()) return from;
  const Rect& a = places[from];
  const bool horizontal = direction == Direction::Left || direction == Direction::Right;
  // Centres doubled, so that they stay whole numbers.
  const auto centreX = [](const Rect& r) { return r.left + r.right; };
  const auto centreY = [](const Rect& r) { return r.top + r.bottom; };
  int best = from;
  long bestGap = std::numeric_limits<long>::max(), bestOffset = 0;
  for (size_t i = 0; i < places.size(); ++i) {
    const Rect& b = places[i];
    if (static_cast<int>(i) == from || b.empty()) continue;
    // That way, and sharing part of the line or column.
    bool thatWay = false;
    long gap = 0, offset = 0;
    switch (direction) {
    case Direction::Left:
      thatWay = centreX(b) < centreX(a);
      gap = a.left - b.right;
      break;
    case Direction::Right:
      thatWay = centreX(b) > centreX(a);
      gap = b.left - a.right;
      break;
    case Direction::Up:
      thatWay = centreY(b) < centreY(a);
      gap = a.top - b.bottom;
      break;
    case Direction::Down:
      thatWay = centreY(b) > centreY(a);
      gap = b.top - a.bottom;
      break;
    }
    const bool shares = horizontal ? (b.top < a.bottom && a.top < b.bottom) : (b.left < a.right && a.left < b.right);
    if (!thatWay || !shares) continue;
    offset = horizontal ? std::labs(long{centreY(b)} - centreY(a)) : std::labs(long{centreX(b)} - centreX(a));
    if (gap < bestGap || (gap == bestGap && offset < bestOffset)) {
      best = static_cast<int>(i);
      bestGap = gap;
      bestOffset = offset;
    }
  }
  return best;
}

} // namespace q7::keyboard_use
