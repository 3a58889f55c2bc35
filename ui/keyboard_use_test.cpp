#include "ui/keyboard_use.h"

#include <gtest/gtest.h>

#include <vector>

namespace q7::keyboard_use {
namespace {

TEST(KeyboardUse, OnWhenAScreenReaderRunsOrTheKeyboardIsPreferred) {
  EXPECT_FALSE(wanted(false, false));
  EXPECT_TRUE(wanted(true, false));
  EXPECT_TRUE(wanted(false, true));
  EXPECT_TRUE(wanted(true, true));
}

// A window sketched in rows: a close button top right, a title picture, three tabs whose tops
// differ by a few pixels, a group of keys, and a row of buttons at the bottom; listed out of order.
const std::vector<TabItem> kWindow = {
    /*0*/ {{300, 200, 380, 226}},   // OK (bottom row, right)
    /*1*/ {{380, 5, 395, 20}},      // close, top right
    /*2*/ {{10, 40, 90, 60}},       // tab 1
    /*3*/ {{95, 43, 175, 62}},      // tab 2, a little lower
    /*4*/ {{180, 38, 260, 58}},     // tab 3, a little higher
    /*5*/ {{50, 100, 80, 130}, 1},  // key A
    /*6*/ {{90, 100, 120, 130}, 1}, // key B
    /*7*/ {{50, 140, 80, 170}, 1},  // key C (next row of keys)
    /*8*/ {{10, 200, 90, 226}},     // Export (bottom row, left)
    /*9*/ {{10, 5, 60, 20}},        // help, top left
};

TEST(TabStops, ReadingOrderWithTheKeysAsOneStop) {
  EXPECT_EQ(tabStops(kWindow), (std::vector<int>{9, 1, 2, 3, 4, 5, 8, 0}));
  std::vector<TabItem> selected = kWindow;
  selected[7].current = true; // the selected key is where the group's stop lands
  EXPECT_EQ(tabStops(selected), (std::vector<int>{9, 1, 2, 3, 4, 7, 8, 0}));
  EXPECT_TRUE(tabStops({}).empty());
}

struct TabCase {
  int focused;
  bool backwards;
  int expected;
};

TEST(NextTabStop, ForwardBackwardAroundAndFromTheKeys) {
  std::vector<TabItem> items = kWindow;
  items[6].current = true;
  const TabCase cases[] = {
      {-1, false, 9},                               // nothing focused: the first stop
      {-1, true, 0},                                // ... or, backwards, the last
      {9, false, 1},  {1, true, 9}, {0, false, 9},  // the last wraps to the first
      {9, true, 0},                                 // and back
      {4, false, 6},                                // into the keys: the selected one
      {5, false, 8},                                // out of the keys from any key, not to the next key
      {7, true, 4},   {8, true, 6}, {42, false, 9}, // a control that is no item
  };
  for (const TabCase& c : cases) {
    SCOPED_TRACE(testing::Message() << "from " << c.focused << (c.backwards ? " backwards" : " forwards"));
    EXPECT_EQ(nextTabStop(items, c.focused, c.backwards), c.expected);
  }
  EXPECT_EQ(nextTabStop({}, -1, false), -1);
  const std::vector<TabItem> one = {{{0, 0, 10, 10}}};
  EXPECT_EQ(nextTabStop(one, 0, false), 0);
}

// Keys of two rows, the lower shifted by half a key, with a gap and a tall key on the right.
//   [0][1][2]    [5]
//    [3][4]      [5]
const std::vector<Rect> kPlaces = {
    {0, 0, 20, 20},
    {20, 0, 40, 20},
    {40, 0, 60, 20},
    {10, 20, 30, 40},
    {30, 20, 50, 40},
    {100, 0, 120, 40},
    {}, // a hidden place
};

struct MoveCase {
  int from;
  Direction direction;
  int expected;
};

TEST(PlaceInDirection, NearestPlaceThatWayOnTheSameLineOrColumn) {
  const MoveCase cases[] = {
      {0, Direction::Right, 1},  {1, Direction::Left, 0},  {0, Direction::Left, 0}, // the edge: stays
      {2, Direction::Right, 5},                                                     // over the gap
      {4, Direction::Right, 5},                                                     // to the tall key
      {5, Direction::Left, 2},                                                      // the top row first
      {0, Direction::Down, 3},   {1, Direction::Down, 3},  {2, Direction::Down, 4}, // a tie: the earlier
      {3, Direction::Up, 0},     {4, Direction::Up, 1},    {3, Direction::Down, 3}, // nothing below
      {5, Direction::Up, 5},     {6, Direction::Right, 6}, {-1, Direction::Up, -1}, // a hidden place, none
      {99, Direction::Down, 99},
  };
  for (const MoveCase& c : cases) {
    SCOPED_TRACE(testing::Message() << "from " << c.from << " direction " << static_cast<int>(c.direction));
    EXPECT_EQ(placeInDirection(kPlaces, c.from, c.direction), c.expected);
  }
}

} // namespace
} // namespace q7::keyboard_use
