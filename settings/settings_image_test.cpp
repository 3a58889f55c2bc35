#include "settings/settings_image.h"

#include <gtest/gtest.h>

namespace q7 {
namespace {

class SettingsImage : public ::testing::Test {
protected:
  void SetUp() override {
    resetWorking();
    commitSaved();
  }
  static ptrdiff_t offsetInImage(const void* p) {
    return static_cast<const uint8_t*>(p) - reinterpret_cast<const uint8_t*>(&working());
  }
};

TEST_F(SettingsImage, RecordsLieWhereTheStoredFormatPutsThem) {
  for (int p = 0; p < kProfileCount; ++p) {
    EXPECT_EQ(offsetInImage(&profile(p)), 136 + p * 7435064) << "profile " << p;
    EXPECT_EQ(offsetInImage(&key(p, 113)), 136 + p * 7435064 + 3132 + 113 * 3100) << "profile " << p;
    EXPECT_EQ(offsetInImage(&profile(p).KeySets[19]), 136 + p * 7435064 + 356532 + 19 * 353924);
  }
  EXPECT_EQ(136 + 9 * 7435064, 66915712);
  EXPECT_EQ(356532 + 20 * 353924, 7435012);
  EXPECT_EQ(353400 + 260 + 264, 353924);
}

TEST_F(SettingsImage, CurrentProfileFollowsProfileCurrentAndNeverLeavesTheImage) {
  working().header.ProfileCurrent = 7;
  EXPECT_EQ(&currentProfile(), &profile(7));
  for (uint32_t bad : {9u, 200u, 0xFFFFFFFFu}) {
    working().header.ProfileCurrent = bad;
    EXPECT_EQ(&currentProfile(), &profile(1)) << bad;
  }
  EXPECT_EQ(&profile(-3), &profile(1));
  EXPECT_EQ(&key(2, 114), &key(2, 0));
}

TEST_F(SettingsImage, UnsavedChangesCompareTheWholeImageButNotTheArraysBesideIt) {
  EXPECT_FALSE(hasUnsavedChanges());
  working().header.ProfileCurrent = 3; // a mere switch counts
  EXPECT_TRUE(hasUnsavedChanges());
  commitSaved();
  EXPECT_FALSE(hasUnsavedChanges());
  profile(8).RainType = 1; // the very last field of the image
  EXPECT_TRUE(hasUnsavedChanges());
  commitSaved();
  WholeKeyColorStatus[4] = 1;
  WholeKeyColor[4] = 0x123456;
  EXPECT_FALSE(hasUnsavedChanges());
  WholeKeyColorStatus[4] = 0;
  WholeKeyColor[4] = 0;
}

TEST_F(SettingsImage, ResetWorkingZeroesOnlyTheWorkingCopy) {
  profile(5).Name[0] = u'X';
  commitSaved();
  resetWorking();
  EXPECT_EQ(profile(5).Name[0], 0);
  EXPECT_EQ(saved().profiles[5].Name[0], u'X');
  EXPECT_TRUE(hasUnsavedChanges());
}

} // namespace
} // namespace q7
