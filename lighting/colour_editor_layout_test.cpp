#include "lighting/colour_editor_layout.h"

#include <gtest/gtest.h>

#include <vector>

#include "tests/layout_checks.h"

namespace q7::colour_editor {
namespace {

using test::inside;
using test::overlap;

TEST(ColourEditorLayout, ControlsFieldsAndSkin) {
  EXPECT_EQ(kNormalImage, "WholeKey_Normal.jpg");
  EXPECT_EQ(kOverImage, "WholeKey_Over.jpg");
  EXPECT_EQ(kDownImage, "WholeKey_Down.jpg");
  EXPECT_EQ(kWindowMask, "PerKey_mask.bmp");
  const struct {
    Control id;
    Rect rect;
    const char16_t* section;
    const char16_t* text;
    int fontHeight;
    const char* mask;
  } expected[] = {
      {Control::Title, {530, 519, 650, 535}, u"key", u"key_title", 15, ""},
      {Control::AdjustCaption, {533, 552, 698, 570}, u"Wholekey", u"Adj1", 15, ""},
      {Control::Ok, {709, 613, 775, 629}, u"Wholekey", u"OK", 13, "bottonok_mask.bmp"},
      {Control::Cancel, {773, 612, 839, 628}, u"Wholekey", u"Cancel", 13, "bottoncancel_mask.bmp"},
      {Control::Default, {777, 515, 883, 535}, u"Wholekey", u"Default", 15, ""},
      {Control::RedCaption, {563, 605, 576, 618}, u"Wholekey", u"R", 15, ""},
      {Control::GreenCaption, {604, 606, 619, 620}, u"Wholekey", u"G", 15, ""},
      {Control::BlueCaption, {648, 605, 660, 618}, u"Wholekey", u"B", 15, ""},
  };
  for (const auto& e : expected) {
    const ControlEntry& c = control(e.id);
    EXPECT_EQ(c.rect, e.rect) << static_cast<int>(e.id);
    EXPECT_EQ(c.section, std::u16string_view(e.section));
    EXPECT_EQ(c.text, std::u16string_view(e.text));
    EXPECT_EQ(c.fontHeight, e.fontHeight);
    EXPECT_EQ(c.mask, std::string_view(e.mask));
  }
  EXPECT_EQ(control(Control::Title).rect.width(), 120); // the piece a button cuts for the title
  EXPECT_EQ(control(Control::Title).rect.height(), 16);
  EXPECT_EQ(kRedField, (Rect{576, 604, 602, 619}));
  EXPECT_EQ(kGreenField, (Rect{619, 605, 645, 618}));
  EXPECT_EQ(kBlueField, (Rect{661, 605, 687, 618}));
  EXPECT_EQ(kSwatch, (Rect{528, 579, 556, 619}));
  EXPECT_EQ(kPaletteStrip, (Rect{720, 581, 844, 595}));
}

TEST(ColourEditorLayout, PresetsHoldTheirColoursLeftToRight) {
  const struct {
    int left, right, r, g, b;
  } expected[kPresetCount] = {
      {567, 580, 231, 0, 24},  {582, 596, 238, 156, 0},  {598, 612, 255, 243, 0},
      {615, 628, 16, 177, 99}, {630, 644, 17, 111, 183}, {646, 660, 19, 41, 143},
      {662, 676, 94, 27, 132}, {678, 692, 232, 0, 127},  {694, 708, 255, 255, 255},
  };
  for (int i = 0; i < kPresetCount; ++i) {
    EXPECT_EQ(kPresets[i].rect, (Rect{expected[i].left, 579, expected[i].right, 593})) << i;
    EXPECT_EQ(red(kPresets[i].colour), expected[i].r) << i;
    EXPECT_EQ(green(kPresets[i].colour), expected[i].g) << i;
    EXPECT_EQ(blue(kPresets[i].colour), expected[i].b) << i;
  }
}

TEST(ColourEditorLayout, BorderColumnBetweenFirstPresetsHitsNone) {
  for (const Preset& p : kPresets) EXPECT_FALSE(p.rect.contains(581, 585));
  EXPECT_TRUE(kPresets[0].rect.contains(579, 585));
  EXPECT_TRUE(kPresets[1].rect.contains(582, 585));
}

TEST(ColourEditorLayout, EverythingStandsOnThePanelApart) {
  std::vector<Rect> rects{kRedField, kGreenField, kBlueField, kSwatch, kPaletteStrip};
  for (const Preset& p : kPresets) rects.push_back(p.rect);
  for (const ControlEntry& c : kControls) EXPECT_TRUE(inside(c.rect, kPanel)) << static_cast<int>(c.id);
  for (size_t i = 0; i < rects.size(); ++i) {
    EXPECT_TRUE(inside(rects[i], kPanel)) << i;
    for (size_t j = i + 1; j < rects.size(); ++j) EXPECT_FALSE(overlap(rects[i], rects[j])) << i << " " << j;
    for (const ControlEntry& c : kControls)
      EXPECT_FALSE(overlap(rects[i], c.rect)) << i << " " << static_cast<int>(c.id);
  }
}

} // namespace
} // namespace q7::colour_editor
