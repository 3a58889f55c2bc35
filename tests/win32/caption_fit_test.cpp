// Every fixed text of the main window and of the warning dialog, in every shipped language, fits
// the rectangle it is drawn in, measured with the fonts the windows draw it with. A translation
// that is too long would otherwise be cut short or run over the skin's edges.
#include <gtest/gtest.h>

#include "platform/win32/windows_only.h"

#include <string>

#include "app/main_window_layout.h"
#include "app/warning_dialog_layout.h"
#include "platform/win32/handles.h"
#include "text/string_lookup.h"
#include "ui/fonts.h"

namespace q7 {
namespace {

// Room a caption leaves free on each side: the shaped buttons' rounded ends and the focus frame.
constexpr int kButtonMargin = 3;
// The skinned button's default caption height; the warning dialog keeps it for its buttons.
constexpr int kDefaultButtonHeight = 16;

std::u16string u16(const char* s) { return std::u16string(s, s + strlen(s)); }
std::wstring wide(const std::u16string& s) { return std::wstring(s.begin(), s.end()); }

class CaptionFit : public ::testing::TestWithParam<const char*> {
protected:
  void SetUp() override {
    const std::u16string file = std::u16string(Q7_DIST_DIR_U) + u"\\lang\\Strings." + u16(GetParam()) + u".xml";
    setStringFilePath(file);
    language = lookupString(u"MAIN", u"LANG");
    ASSERT_EQ(language, u16(GetParam())) << "the string file of " << GetParam() << " is not readable";
  }
  void TearDown() override { setStringFilePath(u""); }

  // Width in pixels of text drawn single-line in the font the windows would create.
  int width(const std::u16string& text, const char* face, int height, int weight) {
    win32::UniqueGdi<HFONT> font = createSkinFont(wide(u16(face)), height, weight);
    HDC dc = CreateCompatibleDC(nullptr);
    HGDIOBJ old = SelectObject(dc, font.get());
    SIZE size{};
    GetTextExtentPoint32W(dc, wide(text).c_str(), static_cast<int>(text.size()), &size);
    SelectObject(dc, old);
    DeleteDC(dc);
    EXPECT_TRUE(text.empty() || size.cx > 0) << "not measured";
    return size.cx;
  }

  std::u16string language;
};

TEST_P(CaptionFit, MainWindowCaptionsFitTheirButtons) {
  using namespace main_window;
  for (const ControlEntry& c : kControls) {
    if (c.text.empty()) continue;
    std::u16string caption = lookupString(u"MAIN", c.text);
    if (c.id >= Control::Profile1 && c.id <= Control::Profile5) caption += u" 5";
    ASSERT_FALSE(caption.empty()) << "MAIN/" << std::string(c.text.begin(), c.text.end());
    const Rect r = controlRect(c.id, language);
    const int w = width(caption, "Arial", captionHeight(c.id, language), captionWeight(c.kind));
    EXPECT_LE(w, r.width() - 2 * kButtonMargin) << "MAIN/" << std::string(c.text.begin(), c.text.end()) << " is " << w
                                                << " px wide in a " << r.width() << " px button";
  }
}

TEST_P(CaptionFit, WarningTextsFitTheirLinesAndButtons) {
  using namespace warning;
  for (const KindLayout& k : kKinds) {
    SCOPED_TRACE(testing::Message() << "kind " << k.kind);
    const TextLayout& t = *k.texts;
    const struct {
      const char* key;
      const Rect& rect;
      const TextStyle& style;
    } lines[] = {{k.titleKey, t.title, t.titleStyle},
                 {k.line2Key, t.line2, t.lineStyle},
                 {thirdLineKey(k, language), t.line3, t.lineStyle}};
    for (const auto& line : lines) {
      if (!line.key) continue;
      const std::u16string text = lookupString(u16(kTextSection), u16(line.key));
      const int w = width(text, line.style.face, line.style.height, line.style.weight);
      EXPECT_LE(w, line.rect.width()) << "WARNING/" << line.key << " is " << w << " px wide in a " << line.rect.width()
                                      << " px line";
    }
    for (int b = 0; b < k.buttonCount; ++b) {
      const ButtonLayout& button = k.buttons[b];
      const Rect& panel = k.skins->panel;
      const bool shown = button.rect.left >= panel.left && button.rect.right <= panel.right &&
                         button.rect.top >= panel.top && button.rect.bottom <= panel.bottom;
      if (!shown) continue; // outside the mask's panel, never seen
      const std::u16string caption = lookupString(u16(button.caption.section), u16(button.caption.key));
      const int w = width(caption, "Arial", kDefaultButtonHeight, 400);
      EXPECT_LE(w, button.rect.width() - 2) << button.caption.section << "/" << button.caption.key << " is " << w
                                            << " px wide in a " << button.rect.width() << " px button";
    }
  }
}

INSTANTIATE_TEST_SUITE_P(EveryLanguage, CaptionFit, ::testing::Values("EN", "UK", "DE", "FR", "JP"),
                         [](const auto& info) { return std::string(info.param); });

} // namespace
} // namespace q7
