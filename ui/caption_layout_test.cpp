#include "ui/caption_layout.h"

#include <gtest/gtest.h>

namespace q7 {
namespace {

TEST(BitmapBtnCaption, LayoutFourWithOffsetFiveStartsFivePixelsInVerticallyCentred) {
  EXPECT_EQ(bitmapBtnCaptionOrigin(120, 26, 40, 14, 5, kCaptionAtLeftEdge), (Point{5, 6}));
}

TEST(BitmapBtnCaption, OtherLayoutsCentreAndAddTheOffset) {
  struct Case {
    int width, height, textWidth, textHeight, offset, layout;
    Point origin;
  };
  const Case cases[] = {
      {120, 26, 40, 14, 5, 0, {45, 6}},
      {120, 26, 40, 14, 0, 3, {40, 6}},
      {100, 20, 41, 13, 0, 0, {30, 4}}, // halves truncate on their own: 50 - 20, not 59 / 2
      {47, 48, 21, 15, 0, 0, {13, 17}},
      {100, 11, 30, 16, 0, 0, {35, -3}}, // a caption taller than the button starts above it
  };
  for (const Case& c : cases)
    EXPECT_EQ(bitmapBtnCaptionOrigin(c.width, c.height, c.textWidth, c.textHeight, c.offset, c.layout), c.origin)
        << c.width << "x" << c.height << " layout " << c.layout;
}

TEST(BitmapBtn2Caption, AlignmentsWidenOrAlign) {
  struct Case {
    int alignment;
    CaptionBox box;
  };
  const Case cases[] = {
      {0, {{0, 0, 100, 18}, true}}, {1, {{0, 0, 100, 18}, false}}, {2, {{0, 0, 135, 18}, true}},
      {3, {{0, 0, 115, 18}, true}}, {7, {{0, 0, 100, 18}, true}},  {-1, {{0, 0, 100, 18}, true}},
  };
  for (const Case& c : cases) EXPECT_EQ(bitmapBtn2CaptionBox(100, 18, c.alignment), c.box) << c.alignment;
}

// A scaled button is already scaled; only the widening is scaled with it.
TEST(BitmapBtn2Caption, TheWideningScalesWithTheButton) {
  struct Case {
    int dpi, alignment, right;
  } cases[] = {{144, 2, 150 + 53}, {144, 3, 150 + 23}, {192, 2, 200 + 70}, {192, 1, 200}, {120, 3, 125 + 19}};
  for (const Case& c : cases) {
    const Scale s{c.dpi};
    EXPECT_EQ(bitmapBtn2CaptionBox(s.px(100), s.px(18), c.alignment, s).rect, (Rect{0, 0, c.right, s.px(18)}))
        << c.dpi << " dpi, alignment " << c.alignment;
  }
}

TEST(BitmapBtn2Caption, AlignmentTwoCentresSeventeenAndAHalfPixelsRightOfTheButtonCentre) {
  const CaptionBox box = bitmapBtn2CaptionBox(100, 18, 2);
  EXPECT_DOUBLE_EQ((box.rect.left + box.rect.right) / 2.0 - 100 / 2.0, 17.5);
}

} // namespace
} // namespace q7
