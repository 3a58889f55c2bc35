#include "app/main_window_layout.h"

#include "app/warning_dialog_layout.h"

#include "tests/layout_checks.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <iterator>

namespace q7::main_window {
namespace {

using test::inside;
using test::overlap;

TEST(MainWindowLayout, ControlsStandWhereTheWindowPutsThem) {
  const struct {
    Control id;
    Rect rect;
    const char16_t* text;
    const char* mask;
  } expected[] = {
      {Control::Picture, {715, 52, 886, 101}, u"", nullptr},
      {Control::Close, {920, 118, 938, 135}, u"", nullptr},
      {Control::Help, {940, 141, 959, 160}, u"", nullptr},
      {Control::Minimise, {899, 99, 918, 115}, u"", nullptr},
      {Control::Export, {510, 507, 590, 534}, u"EXPORT", "botton_mask.bmp"},
      {Control::Import, {587, 507, 665, 534}, u"IMPORT", "botton_mask.bmp"},
      {Control::Ok, {661, 507, 741, 533}, u"OK", "botton_mask.bmp"},
      {Control::Cancel, {737, 506, 816, 532}, u"CANCEL", "botton4_mask.bmp"},
      {Control::Apply, {811, 506, 903, 534}, u"APPLY", "botton5_mask.bmp"},
      {Control::WebLink1, {768, 667, 789, 686}, u"", nullptr},
      {Control::WebLink2, {798, 666, 816, 686}, u"", nullptr},
      {Control::WebLink3, {826, 666, 845, 685}, u"", nullptr},
      {Control::Profile0, {355, 153, 442, 183}, u"PCMODE", nullptr},
      {Control::Profile1, {447, 153, 533, 183}, u"PROFILE", nullptr},
      {Control::Profile2, {537, 153, 623, 183}, u"PROFILE", nullptr},
      {Control::Profile3, {628, 153, 716, 183}, u"PROFILE", nullptr},
      {Control::Profile4, {719, 153, 806, 183}, u"PROFILE", nullptr},
      {Control::Profile5, {810, 153, 897, 183}, u"PROFILE", nullptr},
      {Control::ResetProfile, {71, 232, 148, 255}, u"RESETPROFILE", nullptr},
      {Control::KeyName, {94, 444, 142, 492}, u"", nullptr},
      {Control::KeyFunction, {177, 474, 890, 491}, u"", nullptr},
      {Control::Macro, {138, 512, 236, 550}, u"MACRO", nullptr},
      {Control::SingleKey, {250, 512, 347, 550}, u"SINGLEKEY", nullptr},
      {Control::App, {355, 512, 457, 550}, u"APP", nullptr},
      {Control::Sync, {138, 559, 236, 593}, u"SYNC", nullptr},
      {Control::Disable, {250, 559, 347, 593}, u"DISABLE", nullptr},
      {Control::Default, {360, 559, 457, 593}, u"DEFAULT", nullptr},
      {Control::WholeKeyboardColour, {71, 272, 148, 295}, u"WHOLECOLOR", nullptr},
  };
  ASSERT_EQ(std::size(expected), std::size(kControls));
  for (size_t i = 0; i < std::size(expected); ++i) {
    const auto& e = expected[i];
    const ControlEntry& c = kControls[i]; // the order of creation
    EXPECT_EQ(c.id, e.id) << i;
    EXPECT_EQ(c.rect, e.rect) << i;
    EXPECT_EQ(c.text, std::u16string_view(e.text)) << i;
    EXPECT_EQ(c.mask ? c.mask->file : std::string_view(), e.mask ? std::string_view(e.mask) : std::string_view()) << i;
  }
}

TEST(MainWindowLayout, TheWholeKeyboardColourButtonHasItsRoomToItself) {
  EXPECT_EQ(control(Control::WholeKeyboardColour).rect, kWholeKeyboardColourRoom);
  for (const ControlEntry& c : kControls)
    if (c.id != Control::WholeKeyboardColour) EXPECT_FALSE(overlap(c.rect, kWholeKeyboardColourRoom)) << int(c.id);
  for (const LanguageRect& l : kLanguageRects) EXPECT_FALSE(overlap(l.rect, kWholeKeyboardColourRoom));
  EXPECT_FALSE(overlap(kProgressRing.arcBox, kWholeKeyboardColourRoom));
  EXPECT_FALSE(overlap(kProgressRing.invalidatedAfterAssignment, kWholeKeyboardColourRoom));
  EXPECT_FALSE(overlap(kKeyboardArea, kWholeKeyboardColourRoom));
  EXPECT_TRUE(inside(kWholeKeyboardColourRoom, Rect{0, 0, kSize.width, kSize.height}));
}

TEST(MainWindowLayout, PerKeyButtonsMoveForSomeLanguages) {
  const struct {
    Control id;
    const char16_t* language;
    Rect rect;
  } cases[] = {
      {Control::Macro, u"DE", {133, 510, 236, 547}},     {Control::Macro, u"FR", {138, 512, 236, 550}},
      {Control::Macro, u"JP", {138, 512, 236, 550}},     {Control::SingleKey, u"FR", {243, 510, 350, 547}},
      {Control::SingleKey, u"JP", {243, 510, 347, 547}}, {Control::SingleKey, u"DE", {250, 512, 347, 550}},
      {Control::App, u"DE", {355, 512, 457, 547}},       {Control::App, u"FR", {355, 512, 457, 547}},
      {Control::App, u"JP", {355, 512, 457, 547}},       {Control::App, u"EN", {355, 512, 457, 550}},
      {Control::Sync, u"DE", {138, 557, 236, 592}},      {Control::Sync, u"GE", {138, 559, 236, 593}},
      {Control::Disable, u"DE", {250, 559, 347, 593}},   {Control::Macro, u"de", {138, 512, 236, 550}},
      {Control::Export, u"JP", {510, 507, 590, 534}},
  };
  for (const auto& c : cases) EXPECT_EQ(controlRect(c.id, c.language), c.rect) << "case " << (&c - cases);
}

TEST(MainWindowLayout, EachButtonMaskIsAsLargeAsItsLargestButton) {
  for (const ButtonMask* mask : {&kButtonMask, &kButton4Mask, &kButton5Mask}) {
    int width = 0, height = 0, users = 0;
    for (const ControlEntry& c : kControls)
      if (c.mask == mask) {
        width = std::max(width, c.rect.width());
        height = std::max(height, c.rect.height());
        ++users;
      }
    EXPECT_GT(users, 0) << mask->file;
    EXPECT_EQ(mask->size, (Size{width, height})) << mask->file;
  }
}

TEST(MainWindowLayout, DialogsThatOpenOnItsCornerHaveItsSize) {
  // The warning dialog's pictures, which the single-key dialog wears too, cover the main window.
  EXPECT_EQ((Size{warning::kWindowWidth, warning::kWindowHeight}), kSize);
}

TEST(MainWindowLayout, EverythingLiesInsideTheWindow) {
  const Rect window{0, 0, kSize.width, kSize.height};
  for (const ControlEntry& c : kControls) EXPECT_TRUE(inside(c.rect, window)) << static_cast<int>(c.id);
  for (const LanguageRect& l : kLanguageRects) EXPECT_TRUE(inside(l.rect, window)) << static_cast<int>(l.id);
  EXPECT_TRUE(inside(kKeyboardArea, window));
  EXPECT_TRUE(inside(kProgressRing.arcBox, window));
  EXPECT_TRUE(inside(kProgressRing.percentBox, kProgressRing.arcBox));
}

TEST(MainWindowLayout, KeyboardAreaMeetsNoOtherControl) {
  for (const ControlEntry& c : kControls) {
    EXPECT_FALSE(overlap(c.rect, kKeyboardArea)) << static_cast<int>(c.id);
  }
}

TEST(MainWindowLayout, ProgressRingIsA43PixelCircle) {
  EXPECT_EQ(kProgressRing.arcBox, (Rect{95, 368, 138, 411}));
  EXPECT_EQ(kProgressRing.percentBox, (Rect{103, 382, 133, 396}));
  EXPECT_EQ(kProgressRing.argb, 0xFF4C1479u);
  EXPECT_FLOAT_EQ(kProgressRing.penWidth, 12.5f);
}

} // namespace
} // namespace q7::main_window
