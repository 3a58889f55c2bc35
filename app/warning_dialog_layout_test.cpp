#include "app/warning_dialog_layout.h"

#include <gtest/gtest.h>

#include <string>

namespace q7::warning {
namespace {

std::string str(const char* s) { return s ? s : "-"; }

TEST(WarningLayout, TextsAndButtonsOfEveryKind) {
  struct Case {
    int kind;
    const char* title;
    const char* line2;
    const char* line3;
    const char* buttons; // captions' keys, YES or OK first
    const SkinFamily* skins;
  };
  const Case cases[] = {
      {0, "DEFAULT", "DEFAULT1", "DEFAULT3", "YES NO", &kDefaultSkins},
      {1, "WARNING", "DISABLE", "-", "YES NO", &kDefaultSkins},
      {2, "WARNING", "DEVICE", "-", "OK", &kWarning1Skins},
      {3, "WARNING", "SAVE", "SAVE1", "YES NO", &kWarningSkins},
      {4, "WARNING", "DELAYWARN", "-", "OK NO", &kWarning1Skins},
      {5, "WARNING", "MAXWARN", "-", "OK NO", &kWarning1Skins},
      {6, "WARNING", "LEAVE3", "-", "YES NO", &kWarningSkins},
      {9, "WARNING", "LEAVE1", "LEAVE2", "YES NO", &kWarningSkins},
  };
  for (const Case& c : cases) {
    const KindLayout& k = kindLayout(c.kind);
    EXPECT_EQ(k.kind, c.kind);
    EXPECT_EQ(str(k.titleKey), c.title) << c.kind;
    EXPECT_EQ(str(k.line2Key), c.line2) << c.kind;
    EXPECT_EQ(str(thirdLineKey(k, u"UK")), c.line3) << c.kind;
    std::string buttons;
    for (int b = 0; b < k.buttonCount; ++b) {
      if (b) buttons += ' ';
      buttons += str(k.buttons[b].caption.key);
      EXPECT_EQ(k.buttons[b].result, b == 0 ? 1 : 2) << c.kind;
    }
    EXPECT_EQ(buttons, c.buttons) << c.kind;
    EXPECT_EQ(k.skins, c.skins) << c.kind;
    EXPECT_EQ(k.texts, c.kind <= 1 ? &kLargeTexts : &kSmallTexts) << c.kind;
  }
}

TEST(WarningLayout, DisableShowsItsThirdLineOnlyForGermanAndJapanese) {
  const KindLayout& k = kindLayout(1);
  for (const char16_t* lang : {u"DE", u"JP"}) EXPECT_EQ(str(thirdLineKey(k, lang)), "DISABLE2");
  for (const char16_t* lang : {u"UK", u"EN", u"FR", u"", u"de", u"JP "}) EXPECT_EQ(thirdLineKey(k, lang), nullptr);
}

TEST(WarningLayout, UnknownKindsAreAPlainNoticeWithOk) {
  for (int kind : {7, 8, 10, -1, 1 << 30}) {
    const KindLayout& k = kindLayout(kind);
    EXPECT_EQ(k.buttonCount, 1) << kind;
    EXPECT_EQ(str(k.buttons[0].caption.key), "OK") << kind;
    EXPECT_EQ(k.buttons[0].result, 1) << kind;
    EXPECT_EQ(k.line2Key, nullptr);
    EXPECT_EQ(thirdLineKey(k, u"DE"), nullptr);
  }
}

bool inside(const Rect& inner, const Rect& outer) {
  return inner.left >= outer.left && inner.top >= outer.top && inner.right <= outer.right &&
         inner.bottom <= outer.bottom && !inner.empty();
}

TEST(WarningLayout, EverythingShownLiesOnTheMaskPanelInsideTheWindow) {
  const Rect window{0, 0, kWindowWidth, kWindowHeight};
  for (const SkinFamily* f : {&kDefaultSkins, &kWarning1Skins, &kWarningSkins}) EXPECT_TRUE(inside(f->panel, window));
  for (const KindLayout& k : kKinds) {
    const Rect panel = k.skins->panel;
    for (const Rect& r : {k.texts->title, k.texts->line2, k.texts->line3}) EXPECT_TRUE(inside(r, panel)) << k.kind;
    for (int b = 0; b < k.buttonCount; ++b) {
      const Rect& r = k.buttons[b].rect;
      EXPECT_TRUE(inside(r, window)) << k.kind;
      const bool hiddenNo = (k.kind == 4 || k.kind == 5) && b == 1; // the notices show OK alone
      EXPECT_EQ(inside(r, panel), !hiddenNo) << k.kind << " button " << b;
    }
  }
}

} // namespace
} // namespace q7::warning
