#include "settings/settings_image.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace q7 {
namespace {

class Image : public ::testing::Test {
protected:
  ptrdiff_t offsetInImage(const void* p) const {
    return static_cast<const uint8_t*>(p) - reinterpret_cast<const uint8_t*>(&image.working());
  }
  SettingsImage image;
};

TEST_F(Image, RecordsLieWhereTheStoredFormatPutsThem) {
  for (int p = 0; p < kProfileCount; ++p) {
    EXPECT_EQ(offsetInImage(&image.profile(p)), 136 + p * 7435064) << "profile " << p;
    EXPECT_EQ(offsetInImage(&image.key(p, 113)), 136 + p * 7435064 + 3132 + 113 * 3100) << "profile " << p;
    EXPECT_EQ(offsetInImage(&image.profile(p).KeySets[19]), 136 + p * 7435064 + 356532 + 19 * 353924);
  }
  EXPECT_EQ(136 + 9 * 7435064, 66915712);
  EXPECT_EQ(356532 + 20 * 353924, 7435012);
  EXPECT_EQ(353400 + 260 + 264, 353924);
}

TEST_F(Image, CurrentProfileFollowsProfileCurrentAndNeverLeavesTheImage) {
  image.header().ProfileCurrent = 7;
  EXPECT_EQ(&image.currentProfile(), &image.profile(7));
  for (uint32_t bad : {9u, 200u, 0xFFFFFFFFu}) {
    image.header().ProfileCurrent = bad;
    EXPECT_EQ(&image.currentProfile(), &image.profile(1)) << bad;
  }
  EXPECT_EQ(&image.profile(-3), &image.profile(1));
  EXPECT_EQ(&image.key(2, 114), &image.key(2, 0));
}

TEST_F(Image, UnsavedChangesCompareTheWholeImageButNotTheArraysBesideIt) {
  EXPECT_FALSE(image.hasUnsavedChanges());
  image.header().ProfileCurrent = 3; // a mere switch counts
  EXPECT_TRUE(image.hasUnsavedChanges());
  image.commitSaved();
  EXPECT_FALSE(image.hasUnsavedChanges());
  image.profile(8).RainType = 1; // the very last field of the image
  EXPECT_TRUE(image.hasUnsavedChanges());
  image.commitSaved();
  image.WholeKeyColorStatus[4] = 1;
  image.WholeKeyColor[4] = 0x123456;
  EXPECT_FALSE(image.hasUnsavedChanges());
}

TEST_F(Image, StartsAllZeroAndSharesNothingWithAnotherImage) {
  const auto zero = [](const void* p, size_t n) {
    const auto* b = static_cast<const uint8_t*>(p);
    return std::all_of(b, b + n, [](uint8_t v) { return v == 0; });
  };
  SettingsImage other;
  other.profile(8).RainType = 5;
  other.WholeKeyColor[2] = 7;
  other.commitSaved();
  EXPECT_TRUE(zero(&image.working(), sizeof(SettingsBlock)));
  EXPECT_TRUE(zero(&image.saved(), sizeof(SettingsBlock)));
  EXPECT_EQ(image.WholeKeyColor[2], 0u);
  EXPECT_FALSE(image.WholeKeyColorSaved);
  EXPECT_NE(&image.working(), &other.working());
  EXPECT_EQ(other.saved().profiles[8].RainType, 5u);
}

TEST_F(Image, ResetWorkingZeroesOnlyTheWorkingCopy) {
  image.profile(5).Name[0] = u'X';
  image.commitSaved();
  image.resetWorking();
  EXPECT_EQ(image.profile(5).Name[0], 0);
  EXPECT_EQ(image.saved().profiles[5].Name[0], u'X');
  EXPECT_TRUE(image.hasUnsavedChanges());
}

} // namespace
} // namespace q7
