// Every window's layout table at the display scales people use: what stands apart at 96 DPI stands
// apart at every scale, everything stays on its window, and no caption is cut more than at 96 DPI.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/about_layout.h"
#include "app/keyboard_layout_tables.h"
#include "app/main_window_layout.h"
#include "app/warning_dialog_layout.h"
#include "keys/linked_programs_layout.h"
#include "keys/single_key_dialog_layout.h"
#include "lighting/colour_editor_layout.h"
#include "macro/macro_editor_layout.h"
#include "tests/layout_checks.h"
#include "ui/scale.h"

namespace q7 {
namespace {

using test::inside;
using test::overlap;

struct Item {
  std::string name;
  Rect rect;
  int captionHeight = 0; // 0: no caption drawn in it
};

struct Window {
  std::string name;
  Size size;
  std::vector<Item> items;
};

std::vector<Window> windows() {
  std::vector<Window> all;
  for (const char16_t* lang : {u"EN", u"DE", u"FR", u"JP"}) {
    Window w{"main window " + std::string(lang, lang + 2), main_window::kSize, {}};
    for (const main_window::ControlEntry& c : main_window::kControls)
      w.items.push_back({"control " + std::to_string(static_cast<int>(c.id)), main_window::controlRect(c.id, lang),
                         c.text.empty() ? 0 : main_window::captionHeight(c.id, lang)});
    const KeyLayout layout = keyLayoutFor(lang);
    const auto keys = keyRectangles(layout);
    for (int k = 0; k < kKeyCount; ++k)
      if (keyVisible(layout, k)) w.items.push_back({"key " + std::to_string(k), keys[k]});
    all.push_back(std::move(w));
  }
  for (const warning::TextLayout* t : {&warning::kLargeTexts, &warning::kSmallTexts})
    all.push_back({"warning texts",
                   {warning::kWindowWidth, warning::kWindowHeight},
                   {{"title", t->title, t->titleStyle.height},
                    {"line 2", t->line2, t->lineStyle.height},
                    {"line 3", t->line3, t->lineStyle.height}}});
  all.push_back({"about",
                 about_window::kSize,
                 {{"title", about_window::kTitleText, about_window::kTitleStyle.height},
                  {"company", about_window::kCompanyText, about_window::kCompanyStyle.height},
                  {"home", about_window::kHomePage},
                  {"support", about_window::kSupport},
                  {"close", about_window::kClose}}});
  {
    using namespace single_key_dialog;
    const ModeLayout& a = layout(Mode::Assign);
    all.push_back({"single key",
                   kSize,
                   {{"ok", a.ok},
                    {"cancel", a.cancel},
                    {"captured", a.captured},
                    {"current", a.current},
                    {"current label", kCurrentLabel},
                    {"assign label", kAssignLabel},
                    {"title", kTitleText, kTitleStyle.height},
                    {"single key", kSingleKeyText, kSingleKeyStyle.height}}});
  }
  {
    Window w{"linked programs",
             linked_programs::kSize,
             {{"clear", linked_programs::kClear}, {"cancel", linked_programs::kCancel}, {"ok", linked_programs::kOk}}};
    for (int i = 0; i < linked_programs::kSlotCount; ++i) {
      w.items.push_back({"slot " + std::to_string(i), linked_programs::kSlots[i].text});
      w.items.push_back({"browse " + std::to_string(i), linked_programs::kSlots[i].browse});
    }
    all.push_back(std::move(w));
  }
  {
    Window w{"macro editor",
             macro_editor::kSize,
             {{"name", macro_editor::kNameField, macro_editor::kNameFieldFont.height},
              {"pause", macro_editor::kPauseField, macro_editor::kDigitFieldFont.height},
              {"count", macro_editor::kCountField, macro_editor::kDigitFieldFont.height},
              {"preview", macro_editor::kPreviewField, macro_editor::kPreviewFieldFont.height},
              {"events", macro_editor::kEventList}}};
    for (const macro_editor::ControlEntry& c : macro_editor::kControls)
      w.items.push_back({"control " + std::to_string(static_cast<int>(c.id)), c.rect});
    for (const macro_editor::Heading& h : macro_editor::kHeadings)
      w.items.push_back({"heading " + std::string(h.text.begin(), h.text.end()), macro_editor::headingRect(h, u"EN"),
                         macro_editor::headingStyle(u"EN").height});
    all.push_back(std::move(w));
  }
  {
    Window w{"colour editor",
             colour_editor::kSize,
             {{"red", colour_editor::kRedField},
              {"green", colour_editor::kGreenField},
              {"blue", colour_editor::kBlueField},
              {"swatch", colour_editor::kSwatch},
              {"palette", colour_editor::kPaletteStrip}}};
    for (const colour_editor::ControlEntry& c : colour_editor::kControls)
      w.items.push_back({"control " + std::to_string(static_cast<int>(c.id)), c.rect, c.fontHeight});
    for (int i = 0; i < colour_editor::kPresetCount; ++i)
      w.items.push_back({"preset " + std::to_string(i), colour_editor::kPresets[i].rect});
    all.push_back(std::move(w));
  }
  return all;
}

constexpr int kDpis[] = {96, 120, 144, 168, 192}; // 100, 125, 150, 175 and 200 %

TEST(LayoutScaling, WhatStandsApartAt96StandsApartAtEveryScaleAndStaysOnItsWindow) {
  for (const Window& w : windows()) {
    const Rect canvas{0, 0, w.size.width, w.size.height};
    for (int dpi : kDpis) {
      const Scale s{dpi};
      const Rect scaledCanvas{0, 0, s.size(w.size).width, s.size(w.size).height};
      for (size_t i = 0; i < w.items.size(); ++i) {
        const Item& a = w.items[i];
        if (inside(a.rect, canvas)) {
          EXPECT_TRUE(inside(s.rect(a.rect), scaledCanvas)) << w.name << ": " << a.name;
        }
        EXPECT_FALSE(s.rect(a.rect).empty()) << w.name << ": " << a.name << " at " << dpi;
        for (size_t j = i + 1; j < w.items.size(); ++j) {
          const Item& b = w.items[j];
          if (!overlap(a.rect, b.rect)) {
            EXPECT_FALSE(overlap(s.rect(a.rect), s.rect(b.rect)))
                << w.name << ": " << a.name << " and " << b.name << " at " << dpi;
          }
        }
      }
    }
  }
}

TEST(LayoutScaling, NoCaptionIsCutMoreThanAt96) {
  int captions = 0;
  for (const Window& w : windows())
    for (const Item& item : w.items) {
      if (item.captionHeight <= 0) continue;
      ++captions;
      const int overflow96 = std::max(0, item.captionHeight - item.rect.height());
      for (int dpi : kDpis) {
        const Scale s{dpi};
        const int overflow = s.font(item.captionHeight) - s.rect(item.rect).height();
        // What overflows at 96 DPI overflows in proportion; one pixel of rounding at most beyond it.
        EXPECT_LE(overflow, s.px(overflow96) + (overflow96 > 0 ? 1 : 0))
            << w.name << ": " << item.name << " at " << dpi << " dpi";
        EXPECT_GE(s.font(item.captionHeight), item.captionHeight * dpi / 96) << w.name << ": " << item.name;
      }
    }
  EXPECT_GT(captions, 30); // the tables were read
}

} // namespace
} // namespace q7
