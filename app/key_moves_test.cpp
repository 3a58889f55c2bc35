#include "app/key_moves.h"

#include <gtest/gtest.h>

#include <string>

#include "app/key_labels.h"
#include "app/keyboard_layout_tables.h"
#include "app/us_keyboard_text.h"

namespace q7 {
namespace {

using keyboard_use::Direction;

struct MoveCase {
  KeyLayout layout;
  const char16_t* from;
  Direction direction;
  const char16_t* expected;
};

// Moves a user expects on the drawn keyboards, by the keys' captions.
const MoveCase kMoves[] = {
    {KeyLayout::Ansi, u"Q", Direction::Right, u"W"},    {KeyLayout::Ansi, u"Q", Direction::Down, u"A"},
    {KeyLayout::Ansi, u"A", Direction::Up, u"Q"},       {KeyLayout::Ansi, u"W", Direction::Left, u"Q"},
    {KeyLayout::Ansi, u"Esc", Direction::Left, u"Esc"}, // the edge
    {KeyLayout::Ansi, u"Esc", Direction::Up, u"Esc"},   {KeyLayout::Ansi, u"(8)", Direction::Down, u"(5)"},
    {KeyLayout::Ansi, u"(5)", Direction::Up, u"(8)"},   {KeyLayout::Ansi, u"Pause", Direction::Right, u"Pause"},
    {KeyLayout::Iso, u"Q", Direction::Right, u"W"},     {KeyLayout::Iso, u"A", Direction::Up, u"Q"},
    {KeyLayout::Japanese, u"Q", Direction::Down, u"A"},
};

int positionOf(const KeyLabels& labels, std::u16string_view caption) {
  for (int k = 0; k < kKeyCount; ++k)
    if (keyVisible(labels.layout(), k) && labels.keyCaption(k) == caption) return k;
  return -1;
}

std::string narrow(std::u16string_view text) { return std::string(text.begin(), text.end()); }

TEST(KeyMovedTo, ArrowKeysFollowTheDrawnKeyboard) {
  UsKeyboardText us;
  for (const MoveCase& c : kMoves) {
    SCOPED_TRACE(narrow(c.from) + " direction " + std::to_string(static_cast<int>(c.direction)));
    const KeyLabels labels(c.layout, false, us);
    const int from = positionOf(labels, c.from);
    ASSERT_GE(from, 0);
    const int to = keyMovedTo(c.layout, from, c.direction);
    EXPECT_EQ(narrow(labels.keyCaption(to)), narrow(c.expected));
  }
}

TEST(KeyMovedTo, EveryMoveLandsOnAVisibleKeyAndRightThenLeftComesBack) {
  for (KeyLayout layout : {KeyLayout::Ansi, KeyLayout::Iso, KeyLayout::Japanese}) {
    SCOPED_TRACE(static_cast<int>(layout));
    for (int k = 0; k < kKeyCount; ++k) {
      if (!keyVisible(layout, k)) continue;
      for (Direction d : {Direction::Left, Direction::Right, Direction::Up, Direction::Down}) {
        const int to = keyMovedTo(layout, k, d);
        ASSERT_TRUE(to >= 0 && to < kKeyCount && keyVisible(layout, to)) << k;
      }
      // Within a row of equal keys, right then left is the way back.
      const int right = keyMovedTo(layout, k, Direction::Right);
      const Rect a = keyRectangle(layout, k), b = keyRectangle(layout, right);
      if (right != k && a.top == b.top && a.height() == b.height())
        EXPECT_EQ(keyMovedTo(layout, right, Direction::Left), k);
    }
  }
}

TEST(KeyMovedTo, WithoutASelectionTheFirstVisibleKey) {
  for (KeyLayout layout : {KeyLayout::Ansi, KeyLayout::Iso, KeyLayout::Japanese}) {
    const int first = keyMovedTo(layout, -1, Direction::Right);
    ASSERT_GE(first, 0);
    EXPECT_TRUE(keyVisible(layout, first));
    for (int k = 0; k < first; ++k) EXPECT_FALSE(keyVisible(layout, k));
    EXPECT_EQ(keyMovedTo(layout, kKeyCount, Direction::Down), first);
  }
}

} // namespace
} // namespace q7
