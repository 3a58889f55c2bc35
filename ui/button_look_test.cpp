#include "ui/button_look.h"

#include <gtest/gtest.h>

namespace q7 {
namespace {

constexpr TextColours kColours{0x000011, 0x000022, 0x000033};
constexpr uint32_t N = kColours.normal, H = kColours.hover, P = kColours.pressed, G = kDisabledTextColour;

TEST(BitmapBtn2Look, PicturesAndColoursByState) {
  struct Case {
    const char* name;
    Btn2State state;
    ButtonLook look;
  };
  const Case cases[] = {
      {"idle", {}, {StateImage::Normal, N}},
      {"hover", {.hover = true}, {StateImage::Hover, H}},
      {"pressed over it", {.pressed = true, .hover = true}, {StateImage::Pressed, P}},
      {"latched", {.latched = true}, {StateImage::Hover, P}},
      {"latched wins over pressed", {.latched = true, .pressed = true}, {StateImage::Hover, P}},
      {"disabled", {.disabled = true}, {StateImage::Disabled, G}},
      {"disabled and latched", {.latched = true, .disabled = true}, {StateImage::Hover, G}},
      {"pressed, parent inactive", {.pressed = true, .hover = true, .parentActive = false}, {StateImage::Pressed, N}},
      {"hover, parent inactive", {.hover = true, .parentActive = false}, {StateImage::Hover, N}},
      {"latched, parent inactive", {.latched = true, .parentActive = false}, {StateImage::Hover, N}},
      {"disabled, parent inactive", {.disabled = true, .parentActive = false}, {StateImage::Disabled, G}},
  };
  for (const Case& c : cases) EXPECT_EQ(bitmapBtn2Look(c.state, kColours), c.look) << c.name;
}

TEST(BitmapBtnLook, FirstMatchWinsAndOnlyTheDisabledPictureIsGrey) {
  struct Case {
    bool pressed, hover, disabled;
    ButtonLook look;
  };
  const Case cases[] = {
      {false, false, false, {StateImage::Normal, N}}, {false, true, false, {StateImage::Hover, H}},
      {true, true, false, {StateImage::Pressed, P}},  {false, false, true, {StateImage::Disabled, G}},
      {false, true, true, {StateImage::Hover, H}},    {true, false, true, {StateImage::Pressed, P}},
  };
  for (const Case& c : cases)
    EXPECT_EQ(bitmapBtnLook(c.pressed, c.hover, c.disabled, kColours), c.look) << c.pressed << c.hover << c.disabled;
}

} // namespace
} // namespace q7
