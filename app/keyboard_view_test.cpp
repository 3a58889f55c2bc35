#include "app/keyboard_view.h"

#include <gtest/gtest.h>

namespace q7 {
namespace {

TEST(KeyboardView, LookOfARefreshedKey) {
  const struct {
    KeyRefreshMode mode;
    uint8_t kind;
    KeyLook look;
  } cases[] = {
      {KeyRefreshMode::Normal, 0, KeyLook::Default},    {KeyRefreshMode::Normal, 1, KeyLook::Assigned},
      {KeyRefreshMode::Normal, 10, KeyLook::Assigned},  {KeyRefreshMode::Normal, 5, KeyLook::Assigned},
      {KeyRefreshMode::Normal, 255, KeyLook::Assigned}, {KeyRefreshMode::Default, 2, KeyLook::Default},
      {KeyRefreshMode::Default, 0, KeyLook::Default},   {KeyRefreshMode::Selected, 0, KeyLook::Selected},
      {KeyRefreshMode::Selected, 9, KeyLook::Selected},
  };
  for (const auto& c : cases) EXPECT_EQ(keyLookFor(c.mode, c.kind), c.look) << "case " << (&c - cases);
}

TEST(KeyboardView, PicturesOfEachLook) {
  const auto plain = keyLookImages(KeyLook::Default);
  const auto assigned = keyLookImages(KeyLook::Assigned);
  const auto selected = keyLookImages(KeyLook::Selected);
  // A plain key is the background as it is; an assigned key looks pressed and lights up under the
  // pointer; the selected key looks lit and stays so under the pointer.
  EXPECT_EQ(plain.normal, KeyImage::Normal);
  EXPECT_EQ(assigned.normal, KeyImage::Down);
  EXPECT_EQ(assigned.hover, KeyImage::Over);
  EXPECT_EQ(selected.normal, KeyImage::Over);
  EXPECT_EQ(selected.hover, selected.normal);
  for (const auto& look : {plain, assigned, selected}) {
    EXPECT_EQ(look.pressed, KeyImage::Down);
    EXPECT_EQ(look.disabled, plain.normal); // disabled keys all look plain, whatever their kind
  }
}

} // namespace
} // namespace q7
