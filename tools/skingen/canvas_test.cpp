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

// Rectangles whose edges fall on device pixel centres (odd table coordinates at 150 %) and between
// them: a scaled canvas and mask cover exactly the rectangle Scale::rect gives, which is where the
// program places a button.
TEST(Canvas, AtAScaleShapesCoverExactlyTheScaledRectangle) {
  const struct {
    int dpi;
    Rect r;
  } cases[] = {{144, {1, 1, 5, 3}}, {144, {2, 3, 7, 6}}, {144, {3, 2, 6, 9}},
               {192, {1, 2, 5, 7}}, {120, {1, 3, 6, 8}}, {168, {3, 1, 9, 5}}};
  for (const auto& c : cases) {
    const Scale scale{c.dpi};
    const Rect device = scale.rect(c.r);
    const Mask m = Mask::of(box(c.r), 10, 10, scale);
    ASSERT_EQ((Size{m.width(), m.height()}), scale.size({10, 10})) << c.dpi;
    Canvas canvas(10, 10, white, scale);
    ASSERT_EQ((Size{canvas.width(), canvas.height()}), scale.size({10, 10})) << c.dpi;
    EXPECT_EQ(canvas.size(), (Size{10, 10}));
    canvas.setClip(c.r);
    canvas.fill(box(c.r), c.r, solid(black));
    for (int y = 0; y < m.height(); ++y)
      for (int x = 0; x < m.width(); ++x) {
        EXPECT_EQ(m.at(x, y), device.contains(x, y)) << c.dpi << " dpi, mask at " << x << "," << y;
        // Inside, the fill is full where the pixel lies wholly in the shape; nothing outside the clip.
        if (!device.contains(x, y)) EXPECT_EQ(canvas.at(x, y), white) << c.dpi << " dpi at " << x << "," << y;
      }
    EXPECT_EQ(canvas.at(device.left + 1, device.top + 1), black) << c.dpi;
    EXPECT_EQ(canvas.at(device.right - 2, device.bottom - 2), black) << c.dpi;
  }
}

// A soft edge is one device pixel wide at every scale: a slanted edge drawn at 200 % has no more
// partly covered pixels per table pixel of its length than at 96 DPI, and a line is twice as high.
TEST(Canvas, AtAScaleEdgesStaySharpAndWidthsScale) {
  const auto count = [](int dpi, auto&& inside) {
    Canvas c(40, 40, black, Scale{dpi});
    c.fill(polygon({{4, 4}, {28, 8}, {8, 28}}), Rect{0, 0, 40, 40}, solid(white));
    c.fill(box(2, 37, 38, 39), Rect{0, 30, 40, 40}, solid(white)); // a line 2 pixels high
    int n = 0;
    for (int y = 0; y < c.height(); ++y)
      for (int x = 0; x < c.width(); ++x) n += inside(c, x, y);
    return n;
  };
  const auto partial = [](const Canvas& c, int x, int y) {
    return c.grid().centre(y) < 30 && c.at(x, y).r > 0 && c.at(x, y).r < 255;
  };
  const auto lineRows = [](const Canvas& c, int x, int y) {
    return x == c.width() / 2 && c.grid().centre(y) > 30 && c.at(x, y).r > 128;
  };
  const int partial96 = count(96, partial), partial192 = count(192, partial);
  EXPECT_GT(partial192, partial96 * 3 / 2); // the outline is twice as long in device pixels ...
  EXPECT_LT(partial192, partial96 * 5 / 2); // ... but not twice as wide (stretching would give 4x)
  EXPECT_EQ(count(96, lineRows), 2);
  EXPECT_EQ(count(192, lineRows), 4);
}

} // namespace
} // namespace q7::skin
