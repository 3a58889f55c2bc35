#include "macro/macro_editor_layout.h"

#include <gtest/gtest.h>

#include <iterator>
#include <string>

#include "tests/layout_checks.h"

namespace q7::macro_editor {
namespace {

using test::inside;
using test::overlap;

TEST(MacroEditorLayout, ButtonsAndCaptions) {
  EXPECT_EQ(kNormalImage, "macro_normal.jpg");
  EXPECT_EQ(kOverImage, "macro_over.jpg");
  EXPECT_EQ(kDownImage, "macro_down.jpg");
  EXPECT_EQ(kWindowMask, "macro_mask.bmp");
  const struct {
    Control id;
    Rect rect;
    const char16_t* section;
    const char16_t* text;
  } expected[] = {
      {Control::Close, {852, 108, 864, 120}, u"", u""},
      {Control::Ok, {851, 482, 903, 499}, u"MAIN", u"OK"},
      {Control::Cancel, {798, 483, 849, 498}, u"MAIN", u"CANCEL"},
      {Control::Record, {742, 170, 758, 186}, u"", u""},
      {Control::Stop, {742, 192, 758, 207}, u"", u""},
      {Control::Up, {608, 326, 651, 348}, u"MACRO", u"UP"},
      {Control::Down, {658, 327, 703, 349}, u"MACRO", u"DOWN"},
      {Control::Select, {469, 337, 535, 349}, u"MACRO", u"SELECT"},
      {Control::SelectNone, {538, 337, 605, 349}, u"MACRO", u"SELECTNONE"},
      {Control::Delete, {576, 362, 639, 387}, u"MACRO", u"DELETE"},
      {Control::Copy, {644, 362, 705, 387}, u"MACRO", u"COPY"},
      {Control::InsertKey, {574, 397, 703, 418}, u"MACRO", u"INSERTSINGLEKEY"},
      {Control::Paste, {576, 427, 703, 453}, u"MACRO", u"INSERTCOPY"},
      {Control::PauseOption0, {740, 278, 747, 286}, u"", u""},
      {Control::PauseOption1, {739, 312, 747, 320}, u"", u""},
      {Control::ApplyPause, {872, 325, 914, 336}, u"MACRO", u"SETTING"},
      {Control::PlayOption0, {740, 399, 747, 406}, u"", u""},
      {Control::PlayOption1, {740, 411, 747, 422}, u"", u""},
      {Control::PlayOption2, {740, 427, 747, 434}, u"", u""},
      {Control::Test, {738, 482, 792, 499}, u"MACRO", u"TEST"},
  };
  for (const auto& e : expected) {
    const ControlEntry& c = control(e.id);
    EXPECT_EQ(c.rect, e.rect) << static_cast<int>(e.id);
    EXPECT_EQ(c.section, std::u16string_view(e.section)) << static_cast<int>(e.id);
    EXPECT_EQ(c.text, std::u16string_view(e.text)) << static_cast<int>(e.id);
  }
  EXPECT_EQ(kNameField, (Rect{612, 98, 703, 113}));
  EXPECT_EQ(kPauseField, (Rect{751, 289, 808, 300}));
  EXPECT_EQ(kCountField, (Rect{805, 397, 846, 407}));
  EXPECT_EQ(kEventList, (Rect{530, 130, 703, 318}));
  EXPECT_EQ(kEventListId, 257);
}

// The labels a language shows, as "KEY@left,top" strings.
std::u16string shownLabels(std::u16string_view language) {
  std::u16string out;
  for (const Label& l : kLabels)
    if (labelShown(l, language)) {
      out += l.text;
      for (int v : {l.rect.left, l.rect.top, l.rect.right, l.rect.bottom}) {
        out += u' ';
        for (char c : std::to_string(v)) out += static_cast<char16_t>(c);
      }
      out += u';';
    }
  return out;
}

TEST(MacroEditorLayout, SecondLabelLinesOnlyForTheirLanguages) {
  const std::u16string common = u"RECORD 760 173 920 183;STOP 760 194 885 206;SELDELAY 750 275 911 286;"
                                u"DELAYTIMES 810 289 906 300;ALLDELAY 751 309 920 323;";
  const std::u16string repeats = u"REPEAT1 750 396 807 408;REPEAT2 750 413 930 425;REPEAT3 751 427 920 439;";
  EXPECT_EQ(shownLabels(u"EN"), common + repeats);
  EXPECT_EQ(shownLabels(u"DE"), common + repeats);
  EXPECT_EQ(shownLabels(u"GE"), common + repeats + u"REPEAT35 751 439 920 451;");
  EXPECT_EQ(shownLabels(u"FR"), common + u"ALLDELAY2 751 324 830 338;" + repeats + u"REPEAT35 751 439 920 451;");
  EXPECT_EQ(shownLabels(u"JP"), common + u"ALLDELAY2 751 324 850 338;" + repeats);
}

TEST(MacroEditorLayout, HeadingsMoveOnlyTheNameHeadingForFrench) {
  const struct {
    const char16_t* language;
    int heading;
    Rect rect;
  } cases[] = {
      {u"EN", 0, {535, 100, 605, 114}}, {u"FR", 0, {515, 100, 610, 114}}, {u"JP", 0, {535, 100, 605, 114}},
      {u"EN", 1, {737, 140, 890, 158}}, {u"FR", 1, {737, 140, 890, 158}}, {u"EN", 2, {740, 248, 881, 265}},
      {u"FR", 3, {738, 369, 876, 384}},
  };
  for (const auto& c : cases) EXPECT_EQ(headingRect(kHeadings[c.heading], c.language), c.rect) << (&c - cases);
  EXPECT_EQ(kHeadings[0].text, u"MACRONAME");
  EXPECT_EQ(kHeadings[1].text, u"RECORD");
  EXPECT_EQ(kHeadings[2].text, u"DELAYTIME");
  EXPECT_EQ(kHeadings[3].text, u"REPEAT");
}

TEST(MacroEditorLayout, EverythingStandsOnThePanel) {
  const Rect canvas{0, 0, kSize.width, kSize.height};
  EXPECT_TRUE(inside(kPanel, canvas));
  for (const ControlEntry& c : kControls) EXPECT_TRUE(inside(c.rect, kPanel)) << static_cast<int>(c.id);
  for (const Label& l : kLabels) EXPECT_TRUE(inside(l.rect, kPanel));
  for (const Heading& h : kHeadings) {
    EXPECT_TRUE(inside(h.rect, kPanel));
    EXPECT_TRUE(inside(h.frenchRect, kPanel));
  }
  for (const Rect& r : {kNameField, kPauseField, kCountField, kEventList, kPreviewField})
    EXPECT_TRUE(inside(r, kPanel));
}

TEST(MacroEditorLayout, NoButtonCoversTheListOrAField) {
  for (const ControlEntry& c : kControls)
    for (const Rect& r : {kNameField, kPauseField, kCountField, kEventList, kPreviewField})
      EXPECT_FALSE(overlap(c.rect, r)) << static_cast<int>(c.id);
}

} // namespace
} // namespace q7::macro_editor
