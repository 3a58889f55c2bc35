#include "tools/skingen/canvas.h"

#include <gtest/gtest.h>

namespace q7::skin {
namespace {

TEST(Canvas, AMaskHoldsThePixelsWhoseCentresLieInTheShape) {
  const Mask m = Mask::of(box(Rect{2, 1, 5, 4}), 7, 5);
  for (int y = 0; y < 5; ++y)
    for (int x = 0; x < 7; ++x) EXPECT_EQ(m.at(x, y), x >= 2 && x < 5 && y >= 1 && y < 4) << x << "," << y;
  const std::vector<uint8_t> rgb = m.rgb8();
  EXPECT_EQ(rgb[0], 255);             // outside: white
  EXPECT_EQ(rgb[(1 * 7 + 2) * 3], 0); // inside: black
}

TEST(Canvas, AFilledPixelRectangleTakesTheColourExactlyAndNothingAround) {
  Canvas c(8, 6, white);
  const Rgb colour = hex(0xE71800);
  c.fill(box(Rect{2, 2, 6, 5}), Rect{2, 2, 6, 5}, solid(colour));
  for (int y = 0; y < 6; ++y)
    for (int x = 0; x < 8; ++x)
      EXPECT_EQ(c.at(x, y), (x >= 2 && x < 6 && y >= 2 && y < 5) ? colour : white) << x << "," << y;
}

TEST(Canvas, SlantedShapesAreSoftAtTheirEdgeAndPaintingStaysInTheClip) {
  Canvas c(10, 10, black);
  c.setClip({0, 0, 5, 10});
  c.fill(polygon({{0, 0}, {10, 0}, {0, 10}}), Rect{0, 0, 10, 10}, solid(white));
  EXPECT_EQ(c.at(1, 1), white); // well inside
  EXPECT_EQ(c.at(4, 9), black); // outside the triangle
  EXPECT_GT(c.at(4, 5).r, 0);   // on the diagonal: partly covered
  EXPECT_LT(c.at(4, 5).r, 255);
  EXPECT_EQ(c.at(6, 1), black); // inside the triangle, outside the clip
}

} // namespace
} // namespace q7::skin
