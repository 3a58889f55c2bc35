#include "app/about_layout.h"

#include <gtest/gtest.h>

#include <iterator>

#include "tests/layout_checks.h"

namespace q7::about_window {
namespace {

using test::inside;
using test::overlap;

TEST(AboutLayout, SkinFilesAndAPanelThatFillsTheWindow) {
  EXPECT_EQ(kNormalImage, "about_normal.jpg");
  EXPECT_EQ(kOverImage, "about_over.jpg");
  EXPECT_EQ(kDownImage, "about_down.jpg");
  EXPECT_EQ(kWindowMask, "about_mask.bmp");
  EXPECT_EQ(kPanel, (Rect{0, 0, kSize.width, kSize.height}));
}

TEST(AboutLayout, PartsStandOnThePanelApart) {
  const Rect parts[] = {kLogo, kTitleText, kCompanyText, kHomePage, kSupport, kClose};
  for (size_t i = 0; i < std::size(parts); ++i) {
    EXPECT_TRUE(inside(parts[i], kPanel)) << i;
    EXPECT_FALSE(parts[i].empty()) << i;
    for (size_t j = i + 1; j < std::size(parts); ++j) EXPECT_FALSE(overlap(parts[i], parts[j])) << i << " " << j;
  }
}

} // namespace
} // namespace q7::about_window
