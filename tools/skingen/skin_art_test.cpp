// The pictures as they are drawn, before compression, and the key caps they are drawn from.
#include <gtest/gtest.h>

#include <cmath>
#include <map>
#include <string>

#include "app/keyboard_layout_tables.h"
#include "lighting/colour_editor_layout.h"
#include "tools/skingen/art.h"
#include "tools/skingen/skin_set.h"
#include "tools/skingen/windows_art.h"

namespace q7::skin {
namespace {

struct Collect : SkinSink {
  void image(std::string_view name, const Canvas& picture) override {
    ++count[std::string(name)];
    images.insert_or_assign(std::string(name), picture);
  }
  void mask(std::string_view name, const Mask&) override { ++count[std::string(name)]; }
  std::map<std::string, int> count;
  std::map<std::string, Canvas> images;
};

struct CountOnly : SkinSink {
  void image(std::string_view name, const Canvas&) override { ++count[std::string(name)]; }
  void mask(std::string_view name, const Mask&) override { ++count[std::string(name)]; }
  std::map<std::string, int> count;
};

TEST(SkinArt, EveryFileIsDrawnOnce) {
  CountOnly sink;
  drawSkinSet(u"EN", sink);
  EXPECT_EQ(sink.count.size(), 39u);
  for (const auto& [name, n] : sink.count) EXPECT_EQ(n, 1) << name;
}

TEST(SkinArt, PresetSwatchesHoldExactlyTheirColoursAndTheStripIsFullySaturated) {
  using namespace colour_editor;
  Collect sink;
  drawColourEditor(sink);
  for (std::string_view file : {kNormalImage, kOverImage, kDownImage}) {
    const Canvas& c = sink.images.at(std::string(file));
    for (const Preset& p : kPresets) {
      const Rgb exact{static_cast<float>(red(p.colour)), static_cast<float>(green(p.colour)),
                      static_cast<float>(blue(p.colour))};
      for (int y = p.rect.top; y < p.rect.bottom; ++y)
        for (int x = p.rect.left; x < p.rect.right; ++x) ASSERT_EQ(c.at(x, y), exact) << file << " " << x << "," << y;
    }
    for (int x = kPaletteStrip.left; x < kPaletteStrip.right; ++x)
      for (int y = kPaletteStrip.top; y < kPaletteStrip.bottom; ++y) {
        const Rgb p = c.at(x, y);
        // One channel full, one empty: a pure hue.
        EXPECT_FLOAT_EQ(std::max({p.r, p.g, p.b}), 255) << x;
        EXPECT_FLOAT_EQ(std::min({p.r, p.g, p.b}), 0) << x;
        EXPECT_EQ(p, c.at(x, kPaletteStrip.top)) << x << "," << y;
      }
    EXPECT_EQ(c.at(kPaletteStrip.left, kPaletteStrip.top),
              (Rgb{255, c.at(kPaletteStrip.left, kPaletteStrip.top).g, 0}));
  }
}

TEST(SkinArt, KeyCapsFollowTheLanguagesLayoutAndLegends) {
  const struct {
    const char16_t* language;
    int keys;
  } cases[] = {{u"EN", 102}, {u"GE", 102}, {u"UK", 103}, {u"FR", 103}, {u"DE", 103}, {u"JP", 107}};
  for (const auto& c : cases) {
    const std::vector<KeyCap> caps = keyCapsFor(c.language);
    EXPECT_EQ(static_cast<int>(caps.size()), c.keys);
    for (const KeyCap& k : caps) EXPECT_FALSE(k.rect.empty());
  }
  // "GE" names the key at the Y place "Z"; the ANSI layout's position 43.
  const Rect y = keyRectangle(KeyLayout::Ansi, 43);
  const auto legendAt = [&](const char16_t* language) {
    for (const KeyCap& k : keyCapsFor(language))
      if (k.rect == y) return k.legend;
    return std::u16string(u"?");
  };
  EXPECT_EQ(legendAt(u"EN"), u"Y");
  EXPECT_EQ(legendAt(u"GE"), u"Z");
  // The Japanese layout's keys beside the space bar carry their own legends.
  bool found = false;
  for (const KeyCap& k : keyCapsFor(u"JP")) found = found || k.legend == u"\u53D8\u63DB";
  EXPECT_TRUE(found);
}

// What a legend adds to its key cap, drawn at a scale: the summed ink, the rows it spans, and how
// many of its pixels are only partly inked (the soft rim of the glyphs).
struct Ink {
  double amount = 0;
  int rows = 0, partial = 0, pixels = 0;
};
Ink legendInk(const Rect& r, std::u16string_view legend, Scale scale) {
  Canvas plain(60, 40, black, scale), inked(60, 40, black, scale);
  keyCap(plain, r, u"", KeyLook::Default);
  keyCap(inked, r, legend, KeyLook::Default);
  Ink ink;
  const float full = std::abs(hex(0xc7ccd6).g - plain.at(plain.width() / 2, plain.height() / 2).g);
  for (int y = 0; y < inked.height(); ++y) {
    bool row = false;
    for (int x = 0; x < inked.width(); ++x) {
      const float d = std::abs(inked.at(x, y).g - plain.at(x, y).g) / full;
      if (d < 0.05f) continue;
      ink.amount += d;
      row = true;
      ++ink.pixels;
      ink.partial += d < 0.8f;
    }
    ink.rows += row;
  }
  return ink;
}

// Legends are set again at the scaled pixel height, not stretched: the ink grows with the square of
// the scale and its height with the scale, while the glyphs' soft rim grows only with their outline.
TEST(SkinArt, LegendsAreDrawnAtTheScaledHeight) {
  const Rect cap{10, 6, 46, 32};
  for (const char16_t* legend : {u"W", u"Esc", u"F12"}) {
    const Ink base = legendInk(cap, legend, Scale{96});
    ASSERT_GT(base.amount, 20) << "no legend drawn";
    for (int dpi : {144, 192}) {
      const double k = dpi / 96.0;
      const Ink ink = legendInk(cap, legend, Scale{dpi});
      EXPECT_NEAR(ink.amount / base.amount, k * k, 0.2 * k * k) << dpi;
      EXPECT_NEAR(ink.rows, base.rows * k, 2.0) << dpi;
      // A stretched legend's rim would grow with the area (k * k); a redrawn one with the outline.
      EXPECT_LT(static_cast<double>(ink.partial) / ink.pixels, 0.9 * static_cast<double>(base.partial) / base.pixels)
          << dpi;
    }
  }
}

} // namespace
} // namespace q7::skin
