#include "keys/key_record.h"

#include <gtest/gtest.h>

#include "settings/settings_image.h"

namespace q7 {
namespace {

class KeyCounting : public ::testing::Test {
protected:
  void SetUp() override { resetWorking(); }
  ProfileRecord& rec = profile(3);
};

TEST_F(KeyCounting, RecountCountsEveryNonZeroKindWhateverFuncKeyHeld) {
  rec.FuncKey = 4000000000u;
  const uint8_t kinds[] = {1, 2, 9, 10, 5, 255};
  for (int i = 0; i < 6; ++i) rec.Button[i * 20].Kind = kinds[i];
  rec.Button[113].Kind = 10;
  rec.Button[7].EventCount = 3; // bytes beside the kind do not count
  EXPECT_EQ(recountFuncKey(rec), 7u);
  EXPECT_EQ(rec.FuncKey, 7u);
  EXPECT_EQ(countKeysInUse(profile(4)), 0u);
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

TEST(KeyRecord, SingleKeySharesItsByteWithTheFirstEvent) {
  KeyRecord r{};
  r.Kind = static_cast<uint8_t>(KeyKind::SingleKey);
  r.setSingleKeyVk(0x41);
  const auto* b = reinterpret_cast<const uint8_t*>(&r);
  EXPECT_EQ(b[17], 0x41);
  for (size_t i = 0; i < sizeof r; ++i)
    if (i != 0 && i != 17) {
      ASSERT_EQ(b[i], 0) << "byte " << i;
    }
  EXPECT_TRUE(r.inUse());
}

TEST(KeyRecord, EventCountIsBoundedForReaders) {
  KeyRecord r{};
  for (uint32_t n : {0u, 340u}) {
    r.EventCount = n;
    EXPECT_EQ(r.boundedEventCount(), n);
  }
  for (uint32_t n : {341u, 0xFFFFFFFFu}) {
    r.EventCount = n;
    EXPECT_EQ(r.boundedEventCount(), 340u);
  }
}

} // namespace
} // namespace q7
