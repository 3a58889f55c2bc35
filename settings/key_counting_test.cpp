#include "settings/key_counting.h"

#include <gtest/gtest.h>

namespace q7 {
namespace {

class KeyCounting : public ::testing::Test {
protected:
  SettingsImage image;
  ProfileRecord& rec = image.profile(3);
};

TEST_F(KeyCounting, RecountCountsEveryNonZeroKindWhateverFuncKeyHeld) {
  rec.FuncKey = 4000000000u;
  const uint8_t kinds[] = {1, 2, 9, 10, 5, 255};
  for (int i = 0; i < 6; ++i) rec.Button[i * 20].Kind = kinds[i];
  rec.Button[113].Kind = 10;
  rec.Button[7].EventCount = 3; // bytes beside the kind do not count
  EXPECT_EQ(recountFuncKey(rec), 7u);
  EXPECT_EQ(rec.FuncKey, 7u);
  EXPECT_EQ(countKeysInUse(image.profile(4)), 0u);
}

TEST_F(KeyCounting, AssignmentCountsOnlyKeysThatWereFree) {
  struct Case {
    uint8_t previous;
    uint32_t before, after;
  } cases[] = {{0, 0, 1}, {0, 113, 114}, {2, 5, 5}, {10, 5, 5}, {7, 1, 1}};
  for (const Case& c : cases) {
    rec.FuncKey = c.before;
    countAssignment(rec, c.previous);
    EXPECT_EQ(rec.FuncKey, c.after) << "previous kind " << int(c.previous);
  }
}

TEST_F(KeyCounting, ResetNeverWrapsBelowZero) {
  rec.FuncKey = 2;
  countReset(rec);
  EXPECT_EQ(rec.FuncKey, 1u);
  countReset(rec);
  countReset(rec); // a key in use that was never counted (message 1281, an import)
  EXPECT_EQ(rec.FuncKey, 0u);
  EXPECT_FALSE(keyLimitReached(rec));
}

TEST_F(KeyCounting, LimitIsReachedAtTheNumberOfKeys) {
  rec.FuncKey = 113;
  EXPECT_FALSE(keyLimitReached(rec));
  rec.FuncKey = 114;
  EXPECT_TRUE(keyLimitReached(rec));
  rec.FuncKey = 500; // imported
  EXPECT_TRUE(keyLimitReached(rec));
}
} // namespace
} // namespace q7
