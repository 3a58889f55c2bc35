#include "keys/linked_programs_layout.h"
#include "keys/single_key_dialog_layout.h"

#include <gtest/gtest.h>

#include <vector>

#include "tests/layout_checks.h"

namespace q7 {
namespace {

using test::inside;
using test::overlap;

TEST(SingleKeyDialogLayout, ModesUseTheirOwnSkinsAndRectangles) {
  using namespace single_key_dialog;
  using S = std::string_view;
  EXPECT_EQ(S(skin(Mode::Assign).normal), "single key_normal.jpg");
  EXPECT_EQ(S(skin(Mode::Assign).over), "single key_over.jpg");
  EXPECT_EQ(S(skin(Mode::Assign).down), "single key_down.jpg");
  EXPECT_EQ(S(skin(Mode::Assign).mask), "single key_mask.bmp");
  EXPECT_EQ(S(skin(Mode::Insert).normal), "warning_normal.jpg");
  EXPECT_EQ(S(skin(Mode::Insert).over), "warning_over.jpg");
  EXPECT_EQ(S(skin(Mode::Insert).down), "warning_down.jpg");
  EXPECT_EQ(S(skin(Mode::Insert).mask), "warning_mask.bmp");
  EXPECT_EQ(kSize, kSkinCanvas); // it wears the warning's pictures, which cover the canvas

  EXPECT_EQ(layout(Mode::Assign).ok, (Rect{772, 608, 839, 625}));
  EXPECT_EQ(layout(Mode::Assign).cancel, (Rect{711, 608, 776, 624}));
  EXPECT_EQ(layout(Mode::Assign).captured, (Rect{742, 577, 834, 593}));
  EXPECT_EQ(layout(Mode::Assign).current, (Rect{588, 577, 681, 593}));
  EXPECT_TRUE(layout(Mode::Assign).shapedButtons);
  EXPECT_EQ(layout(Mode::Insert).ok, (Rect{518, 334, 570, 351}));
  EXPECT_EQ(layout(Mode::Insert).cancel, (Rect{572, 334, 623, 351}));
  EXPECT_EQ(layout(Mode::Insert).captured, (Rect{320, 265, 540, 295}));
  EXPECT_TRUE(layout(Mode::Insert).current.empty());
  EXPECT_FALSE(layout(Mode::Insert).shapedButtons);
}

TEST(SingleKeyDialogLayout, LabelsPaintedTextsAndFrame) {
  using namespace single_key_dialog;
  EXPECT_EQ(kCurrentLabel, (Rect{541, 576, 587, 593}));
  EXPECT_EQ(assignLabelRect(u"EN"), (Rect{696, 577, 742, 593}));
  EXPECT_EQ(assignLabelRect(u"DE"), (Rect{696, 577, 742, 593}));
  EXPECT_EQ(assignLabelRect(u"JP"), (Rect{690, 577, 745, 591}));
  EXPECT_EQ(kTitleText, (Rect{524, 518, 660, 535}));
  EXPECT_EQ(kSingleKeyText, (Rect{532, 541, 640, 558}));
  EXPECT_EQ(kInsertTitleText, (Rect{320, 230, 550, 260}));
  EXPECT_EQ(kInsertFrame, (Rect{318, 263, 542, 297}));
  EXPECT_EQ(kInsertFrameColour, 0x007E1E47u);
  // The frame runs around the captured key's text without touching it.
  EXPECT_TRUE(inside(layout(Mode::Insert).captured, kInsertFrame));
  EXPECT_GE(layout(Mode::Insert).captured.left - kInsertFrame.left, kInsertFrameWidth);
}

TEST(SingleKeyDialogLayout, EachModeShowsItsControlsOnItsPanel) {
  using namespace single_key_dialog;
  const Rect canvas{0, 0, kSize.width, kSize.height};
  for (Mode mode : {Mode::Assign, Mode::Insert}) {
    const ModeLayout& l = layout(mode);
    const Rect& panel = skin(mode).panel;
    EXPECT_TRUE(inside(panel, canvas));
    for (const Rect& r : {l.ok, l.cancel, l.captured}) EXPECT_TRUE(inside(r, panel)) << static_cast<int>(mode);
    if (!l.current.empty()) {
      EXPECT_TRUE(inside(l.current, panel));
    }
  }
  for (const Rect& r : {kCurrentLabel, kAssignLabel, kAssignLabelJapanese, kTitleText, kSingleKeyText}) {
    EXPECT_TRUE(inside(r, kAssignSkin.panel));
    EXPECT_FALSE(overlap(r, kInsertSkin.panel)); // created in insert mode too, but cut away there
  }
  EXPECT_TRUE(inside(kInsertTitleText, kInsertSkin.panel));
  EXPECT_TRUE(inside(kInsertFrame, kInsertSkin.panel));
}

TEST(SingleKeyDialogLayout, ButtonMasksAreAsLargeAsTheirLargestButtons) {
  using namespace single_key_dialog;
  EXPECT_EQ(kOkButtonMask, "bottonok_mask.bmp");
  EXPECT_EQ(kCancelButtonMask, "bottoncancel_mask.bmp");
  EXPECT_GE(kOkButtonMaskSize.width, kAssign.ok.width());
  EXPECT_GE(kOkButtonMaskSize.height, kAssign.ok.height());
  EXPECT_GE(kCancelButtonMaskSize.width, kAssign.cancel.width());
  EXPECT_GE(kCancelButtonMaskSize.height, kAssign.cancel.height());
  EXPECT_GE(kOkButtonMaskSize.width, linked_programs::kOk.width());
  EXPECT_GE(kOkButtonMaskSize.height, linked_programs::kOk.height());
  EXPECT_GE(kCancelButtonMaskSize.width, linked_programs::kCancel.width());
  EXPECT_GE(kCancelButtonMaskSize.height, linked_programs::kCancel.height());
}

TEST(LinkedProgramsLayout, SlotsButtonsAndSkin) {
  using namespace linked_programs;
  using S = std::string_view;
  EXPECT_EQ(S(kSkin.normal), "switch_normal.jpg");
  EXPECT_EQ(S(kSkin.over), "switch_over.jpg");
  EXPECT_EQ(S(kSkin.down), "switch_down.jpg");
  EXPECT_EQ(S(kSkin.mask), "single key_mask.bmp");
  EXPECT_EQ(kHeading, (Rect{550, 550, 856, 568}));
  const Slot expected[kSlotCount] = {
      {{556, 576, 649, 588}, {656, 577, 669, 588}}, {{556, 594, 649, 606}, {656, 595, 669, 606}},
      {{556, 612, 649, 624}, {656, 613, 669, 624}}, {{709, 576, 803, 588}, {810, 577, 824, 587}},
      {{709, 594, 803, 606}, {810, 595, 824, 605}},
  };
  for (int i = 0; i < kSlotCount; ++i) {
    EXPECT_EQ(kSlots[i].text, expected[i].text) << i;
    EXPECT_EQ(kSlots[i].browse, expected[i].browse) << i;
  }
  EXPECT_EQ(kSlotFieldColour, 0x00B6B6B6u);
  EXPECT_EQ(kClear, (Rect{810, 527, 878, 542}));
  EXPECT_EQ(kCancel, (Rect{711, 612, 774, 630}));
  EXPECT_EQ(kOk, (Rect{773, 612, 839, 630}));
}

TEST(LinkedProgramsLayout, EverythingStandsOnThePanelWithoutOverlap) {
  using namespace linked_programs;
  std::vector<Rect> rects{kHeading, kClear, kCancel, kOk};
  for (const Slot& s : kSlots) {
    rects.push_back(s.text);
    rects.push_back(s.browse);
  }
  for (const Rect& r : rects) EXPECT_TRUE(inside(r, kSkin.panel));
  for (const Slot& s : kSlots)
    for (const Rect& r : rects)
      if (r != s.text) {
        EXPECT_FALSE(overlap(s.text, r)); // a slot's text is never hidden under a button
      }
}

} // namespace
} // namespace q7
