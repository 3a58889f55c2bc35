#include "macro/macro_undo.h"

#include <gtest/gtest.h>

namespace q7 {
namespace {

EditorState numbered(int n) {
  EditorState s{};
  s.record.RepeatCount = n;
  return s;
}

TEST(UndoHistory, StepsBackAndForthAndForgetsRedoOnANewChange) {
  UndoHistory h;
  h.push(numbered(0));
  h.push(numbered(1)); // now at 2
  EXPECT_EQ(h.undo(numbered(2))->record.RepeatCount, 1);
  EXPECT_EQ(h.undo(numbered(1))->record.RepeatCount, 0);
  EXPECT_FALSE(h.undo(numbered(0)));
  EXPECT_EQ(h.redo(numbered(0))->record.RepeatCount, 1);
  h.push(numbered(1)); // a new change from 1
  EXPECT_FALSE(h.canRedo());
  EXPECT_EQ(h.undo(numbered(5))->record.RepeatCount, 1);
}

TEST(UndoHistory, KeepsAtLeastTwoHundredStepsAndDropsTheOldest) {
  UndoHistory h;
  for (int i = 0; i < 1000; ++i) h.push(numbered(i));
  ASSERT_GE(kUndoSteps, 200u);
  EXPECT_EQ(h.undoSteps(), kUndoSteps);
  int last = 1000;
  for (size_t i = 0; i < kUndoSteps; ++i) last = h.undo(numbered(last))->record.RepeatCount;
  EXPECT_EQ(last, static_cast<int>(1000 - kUndoSteps));
  EXPECT_FALSE(h.canUndo());
}

TEST(UndoHistory, ChangesWithOneTagInARowAreOneStep) {
  UndoHistory h;
  h.push(numbered(0), 1);
  h.push(numbered(1), 1);
  h.push(numbered(2), 1);
  EXPECT_EQ(h.undoSteps(), 1u);
  h.push(numbered(3), 2); // another field
  h.push(numbered(4));    // a command
  h.push(numbered(5), 2);
  EXPECT_EQ(h.undoSteps(), 4u);
  EXPECT_EQ(h.undo(numbered(6))->record.RepeatCount, 5);
  h.push(numbered(5), 2); // after an undo, typing again is a step of its own
  EXPECT_EQ(h.undoSteps(), 4u);
}

} // namespace
} // namespace q7
