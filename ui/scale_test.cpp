#include "ui/scale.h"

#include <gtest/gtest.h>

namespace q7 {
namespace {

TEST(Scale, RoundsToTheNearestPixelWithHalvesAwayFromZero) {
  struct Case {
    int dpi, value, expected;
  } cases[] = {
      {96, 33, 33},  {120, 33, 41},   {144, 33, 50}, {144, 1, 2},       {144, -1, -2}, {168, 12, 21},
      {192, 33, 66}, {120, -33, -41}, {144, 0, 0},   {192, 1000, 2000}, {120, 2, 3},   {168, 3, 5},
  };
  for (const Case& c : cases) EXPECT_EQ(Scale{c.dpi}.px(c.value), c.expected) << c.dpi << " dpi, " << c.value;
}

// A caption as tall as its rectangle at 96 DPI stays inside the rectangle's scaled edges.
TEST(Scale, AFontAsTallAsItsRectangleStillFitsAtEveryScale) {
  for (int dpi : {96, 120, 144, 168, 192, 240})
    for (int top = 0; top < 300; ++top)
      for (int height : {9, 11, 12, 13, 14, 15, 17, 18, 20}) {
        const Scale s{dpi};
        const Rect r = s.rect(Rect{0, top, 10, top + height});
        ASSERT_LE(s.font(height), r.height()) << dpi << " dpi, top " << top << ", height " << height;
        ASSERT_GE(s.font(height), s.px(height) - 1);
      }
}

TEST(Scale, AnImpossibleDpiIsTakenAs96) {
  for (int dpi : {0, -96, 1, 47, 961, 1 << 30}) EXPECT_TRUE(Scale::of(dpi).identity()) << dpi;
  EXPECT_EQ(Scale::of(144).dpi, 144);
}

// Neighbours that meet keep meeting and nothing comes to overlap, at every scale a display offers.
TEST(Scale, RectanglesThatMeetStillMeetAndNeverOverlap) {
  for (int dpi : {96, 120, 144, 168, 192, 216, 240}) {
    const Scale s{dpi};
    for (int edge = 0; edge < 400; ++edge) {
      const Rect left{edge - 17, 5, edge, 30}, right{edge, 5, edge + 23, 30}, apart{edge + 1, 5, edge + 9, 30};
      EXPECT_EQ(s.rect(left).right, s.rect(right).left) << dpi << " at " << edge;
      EXPECT_LE(s.rect(left).right, s.rect(apart).left) << dpi << " at " << edge;
      EXPECT_FALSE(s.rect(right).empty());
    }
  }
}

TEST(Scale, UnscaleFindsTheTablePixelWhoseScaledSquareHoldsThePoint) {
  for (int dpi : {96, 120, 144, 168, 192}) {
    const Scale s{dpi};
    for (int u = -5; u < 1200; ++u)
      for (int v = s.px(u); v < s.px(u + 1); ++v) ASSERT_EQ(s.unscale(v), u) << dpi << " dpi, device " << v;
  }
}

TEST(Scale, EachDisplayTakesTheNextLargerSkinSet) {
  struct Case {
    int dpi;
    const char* folder; // nullptr: the 96-DPI pictures
  } cases[] = {{72, nullptr}, {96, nullptr}, {120, "150"}, {144, "150"}, {168, "200"}, {192, "200"}, {288, "200"}};
  for (const Case& c : cases) {
    const SkinSet* set = skinSetFor(c.dpi);
    if (!c.folder)
      EXPECT_EQ(set, nullptr) << c.dpi;
    else
      EXPECT_TRUE(set && set->folder == c.folder) << c.dpi;
  }
}

} // namespace
} // namespace q7
