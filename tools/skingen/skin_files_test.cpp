// The skin sets as the build writes them (English, UK, German and Japanese: every keyboard layout and
// the language that moves the most buttons), decoded again and looked at.
#define STB_IMAGE_IMPLEMENTATION
#include <stb/stb_image.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <set>
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
#include "ui/mask_runs.h"

namespace q7 {
namespace {

namespace fs = std::filesystem;

struct Image {
  int width = 0, height = 0;
  std::vector<uint8_t> rgb;
  const uint8_t* at(int x, int y) const { return &rgb[(static_cast<size_t>(y) * width + x) * 3]; }
};

Image load(const fs::path& path) {
  Image image;
  int channels = 0;
  stbi_uc* data = stbi_load(path.string().c_str(), &image.width, &image.height, &channels, 3);
  if (!data) return {};
  image.rgb.assign(data, data + static_cast<size_t>(image.width) * image.height * 3);
  stbi_image_free(data);
  return image;
}

fs::path setDir(const char* language) { return fs::path(SKIN_SETS_DIR) / language; }

const char* const kLanguages[] = {"EN", "UK", "DE", "JP"};

std::u16string u16(const char* s) { return std::u16string(s, s + std::char_traits<char>::length(s)); }

// Mean difference per channel (0 ... 255) of two pictures over a rectangle.
double meanDifference(const Image& a, const Image& b, const Rect& r) {
  double sum = 0;
  for (int y = r.top; y < r.bottom; ++y)
    for (int x = r.left; x < r.right; ++x)
      for (int c = 0; c < 3; ++c) sum += std::abs(a.at(x, y)[c] - b.at(x, y)[c]);
  return sum / (3.0 * r.width() * r.height());
}

// The shape the program cuts from a mask: the runs of its non-white pixels.
std::vector<Rect> runsOf(const Image& mask) {
  std::vector<uint32_t> pixels;
  pixels.reserve(static_cast<size_t>(mask.width) * mask.height);
  for (int y = 0; y < mask.height; ++y)
    for (int x = 0; x < mask.width; ++x) {
      const uint8_t* p = mask.at(x, y);
      pixels.push_back(uint32_t{p[0]} << 16 | uint32_t{p[1]} << 8 | p[2]);
    }
  std::vector<Rect> runs;
  scanMaskRuns(pixels, mask.width, mask.height, 0xFFFFFF,
               [&](std::span<const Rect> batch) { runs.insert(runs.end(), batch.begin(), batch.end()); });
  return runs;
}

Rect boundsOf(const std::vector<Rect>& runs) {
  Rect b{INT32_MAX, INT32_MAX, INT32_MIN, INT32_MIN};
  for (const Rect& r : runs)
    b = {std::min(b.left, r.left), std::min(b.top, r.top), std::max(b.right, r.right), std::max(b.bottom, r.bottom)};
  return b;
}

bool black(const Image& mask, int x, int y) {
  const uint8_t* p = mask.at(x, y);
  return p[0] == 0 && p[1] == 0 && p[2] == 0;
}

bool allBlack(const Image& mask, const Rect& r) {
  for (int y = r.top; y < r.bottom; ++y)
    for (int x = r.left; x < r.right; ++x)
      if (!black(mask, x, y)) return false;
  return true;
}

// The 39 files of the skin table, with the size each must have.
struct Expected {
  const char* name;
  Size size;
};
const Expected kSkinTable[] = {
    {"main_normal.jpg", {1000, 720}},       {"main_over.jpg", {1000, 720}},       {"main_down.jpg", {1000, 720}},
    {"main_disable.jpg", {1000, 720}},      {"main_mask.bmp", {1000, 720}},       {"botton_mask.bmp", {80, 27}},
    {"botton4_mask.bmp", {79, 26}},         {"botton5_mask.bmp", {92, 28}},       {"macro_normal.jpg", {1000, 720}},
    {"macro_over.jpg", {1000, 720}},        {"macro_down.jpg", {1000, 720}},      {"macro_mask.bmp", {1000, 720}},
    {"single key_normal.jpg", {1000, 720}}, {"single key_over.jpg", {1000, 720}}, {"single key_down.jpg", {1000, 720}},
    {"single key_mask.bmp", {1000, 720}},   {"bottonok_mask.bmp", {67, 18}},      {"bottoncancel_mask.bmp", {66, 18}},
    {"switch_normal.jpg", {1000, 720}},     {"switch_over.jpg", {1000, 720}},     {"switch_down.jpg", {1000, 720}},
    {"warning_normal.jpg", {1000, 720}},    {"warning_over.jpg", {1000, 720}},    {"warning_down.jpg", {1000, 720}},
    {"warning1_normal.jpg", {1000, 720}},   {"Warning1_over.jpg", {1000, 720}},   {"warning1_down.jpg", {1000, 720}},
    {"default_normal.jpg", {1000, 720}},    {"default_over.jpg", {1000, 720}},    {"default_down.jpg", {1000, 720}},
    {"warning_mask.bmp", {1000, 720}},      {"WholeKey_Normal.jpg", {1000, 720}}, {"WholeKey_Over.jpg", {1000, 720}},
    {"WholeKey_Down.jpg", {1000, 720}},     {"PerKey_mask.bmp", {1000, 720}},     {"about_normal.jpg", {380, 220}},
    {"about_over.jpg", {380, 220}},         {"about_down.jpg", {380, 220}},       {"about_mask.bmp", {380, 220}},
};

TEST(SkinFiles, EachSetHoldsExactlyTheFilesOfTheSkinTableInTheirSizes) {
  for (const char* language : kLanguages) {
    std::set<std::string> present;
    for (const auto& entry : fs::directory_iterator(setDir(language))) present.insert(entry.path().filename().string());
    std::set<std::string> expected;
    for (const Expected& e : kSkinTable) expected.insert(e.name);
    EXPECT_EQ(present, expected) << language;

    for (const Expected& e : kSkinTable) {
      const fs::path path = setDir(language) / e.name;
      const Image image = load(path);
      EXPECT_EQ((Size{image.width, image.height}), e.size) << language << " " << e.name;
      if (path.extension() == ".bmp") {
        // A 24-bit BMP: "BM", then the bit count at offset 28.
        std::ifstream in(path, std::ios::binary);
        char header[30] = {};
        in.read(header, sizeof header);
        EXPECT_EQ(std::string(header, 2), "BM") << e.name;
        EXPECT_EQ(header[28], 24) << e.name;
      }
    }
  }
}

struct WindowMask {
  const char* file;
  Rect panel;               // the mask's shape reaches exactly this far
  std::vector<Rect> inside; // what the window shows of its controls and texts lies on the shape
};

std::vector<WindowMask> windowMasks() {
  std::vector<WindowMask> masks;

  WindowMask main{"main_mask.bmp", {}, {}};
  for (const auto& c : main_window::kControls)
    for (const char16_t* language : {u"EN", u"DE", u"FR", u"JP"})
      main.inside.push_back(main_window::controlRect(c.id, language));
  main.inside.push_back(main_window::kProgressRing.arcBox);
  main.inside.push_back(kKeyboardArea);
  masks.push_back(main);

  WindowMask macro{"macro_mask.bmp", macro_editor::kPanel, {}};
  for (const auto& c : macro_editor::kControls) macro.inside.push_back(c.rect);
  for (const auto& l : macro_editor::kLabels) macro.inside.push_back(l.rect);
  for (const auto& h : macro_editor::kHeadings) {
    macro.inside.push_back(h.rect);
    macro.inside.push_back(h.frenchRect);
  }
  for (const Rect& r :
       {macro_editor::kNameField, macro_editor::kPauseField, macro_editor::kCountField, macro_editor::kEventList})
    macro.inside.push_back(r);
  masks.push_back(macro);

  using single_key_dialog::kAssign, single_key_dialog::kInsert, single_key_dialog::kCurrentLabel,
      single_key_dialog::kAssignLabel, single_key_dialog::kAssignLabelJapanese, single_key_dialog::kTitleText,
      single_key_dialog::kSingleKeyText, single_key_dialog::kInsertTitleText, single_key_dialog::kInsertFrame;
  WindowMask large{"single key_mask.bmp",
                   kSingleKeyMaskPanel,
                   {kAssign.ok, kAssign.cancel, kAssign.captured, kAssign.current, kCurrentLabel, kAssignLabel,
                    kAssignLabelJapanese, kTitleText, kSingleKeyText, linked_programs::kHeading,
                    linked_programs::kClear, linked_programs::kCancel, linked_programs::kOk, warning::kLargeTexts.title,
                    warning::kLargeTexts.line2, warning::kLargeTexts.line3, warning::kLargeYes, warning::kLargeNo}};
  for (const auto& s : linked_programs::kSlots) {
    large.inside.push_back(s.text);
    large.inside.push_back(s.browse);
  }
  masks.push_back(large);

  masks.push_back(
      {"warning_mask.bmp",
       kWarningMaskPanel,
       {kInsert.ok, kInsert.cancel, kInsert.captured, kInsertTitleText, kInsertFrame, warning::kSmallTexts.title,
        warning::kSmallTexts.line2, warning::kSmallTexts.line3, warning::kSmallYes, warning::kSmallNo}});

  WindowMask colour{"PerKey_mask.bmp",
                    colour_editor::kPanel,
                    {colour_editor::kRedField, colour_editor::kGreenField, colour_editor::kBlueField,
                     colour_editor::kSwatch, colour_editor::kPaletteStrip}};
  for (const auto& c : colour_editor::kControls) colour.inside.push_back(c.rect);
  for (const auto& p : colour_editor::kPresets) colour.inside.push_back(p.rect);
  masks.push_back(colour);

  namespace about = about_window;
  masks.push_back(
      {"about_mask.bmp",
       about::kPanel,
       {about::kLogo, about::kTitleText, about::kCompanyText, about::kHomePage, about::kSupport, about::kClose}});
  return masks;
}

TEST(SkinFiles, WindowMasksAreBlackExactlyOnTheirPanelsAndWhiteAround) {
  for (const WindowMask& m : windowMasks()) {
    const Image mask = load(setDir("EN") / m.file);
    ASSERT_GT(mask.width, 0) << m.file;
    for (size_t i = 0; i < mask.rgb.size(); ++i) ASSERT_TRUE(mask.rgb[i] == 0 || mask.rgb[i] == 255) << m.file;
    const std::vector<Rect> runs = runsOf(mask);
    ASSERT_FALSE(runs.empty()) << m.file;
    const Rect bounds = boundsOf(runs);
    if (!m.panel.empty()) {
      EXPECT_EQ(bounds, m.panel) << m.file; // and white everywhere around it
    }
    for (const Rect& r : m.inside)
      EXPECT_TRUE(allBlack(mask, r)) << m.file << " " << r.left << "," << r.top << "," << r.right << "," << r.bottom;
    // The corners of the canvas are cut away.
    for (const auto& [x, y] :
         {std::pair{0, 0}, {mask.width - 1, 0}, {0, mask.height - 1}, {mask.width - 1, mask.height - 1}})
      EXPECT_FALSE(black(mask, x, y)) << m.file;
  }
}

TEST(SkinFiles, TheMainWindowShapeHoldsEveryKeyOfEveryLayout) {
  const Image mask = load(setDir("EN") / "main_mask.bmp");
  for (KeyLayout layout : {KeyLayout::Ansi, KeyLayout::Iso, KeyLayout::Japanese})
    for (const KeyPlace& p : keyPlaces(layout))
      if (!p.rect.empty()) {
        EXPECT_TRUE(allBlack(mask, p.rect)) << p.rect.left << "," << p.rect.top;
      }
}

// Every button that takes its shape from a mask, by window.
struct ShapedButton {
  Rect rect;
  const char* mask;
};
const std::vector<std::vector<ShapedButton>>& shapedButtonsByWindow() {
  using namespace main_window;
  static const std::vector<std::vector<ShapedButton>> windows = {
      {{control(Control::Export).rect, "botton_mask.bmp"},
       {control(Control::Import).rect, "botton_mask.bmp"},
       {control(Control::Ok).rect, "botton_mask.bmp"},
       {control(Control::Cancel).rect, "botton4_mask.bmp"},
       {control(Control::Apply).rect, "botton5_mask.bmp"}},
      {{single_key_dialog::kAssign.cancel, "bottoncancel_mask.bmp"},
       {single_key_dialog::kAssign.ok, "bottonok_mask.bmp"}},
      {{linked_programs::kCancel, "bottoncancel_mask.bmp"}, {linked_programs::kOk, "bottonok_mask.bmp"}},
      {{colour_editor::control(colour_editor::Control::Ok).rect, "bottonok_mask.bmp"},
       {colour_editor::control(colour_editor::Control::Cancel).rect, "bottoncancel_mask.bmp"}},
  };
  return windows;
}

TEST(SkinFiles, ShapedButtonsInterlockWithoutSharingAPixel) {
  for (const auto& buttons : shapedButtonsByWindow()) {
    std::vector<int> owner(static_cast<size_t>(kSkinCanvas.width) * kSkinCanvas.height, -1);
    for (size_t b = 0; b < buttons.size(); ++b) {
      const Image mask = load(setDir("EN") / buttons[b].mask);
      const Rect& r = buttons[b].rect;
      int covered = 0;
      // A button window shows the part of its mask's shape that lies within its own rectangle.
      for (int y = 0; y < std::min(r.height(), mask.height); ++y)
        for (int x = 0; x < std::min(r.width(), mask.width); ++x) {
          if (!black(mask, x, y)) continue;
          ++covered;
          int& o = owner[static_cast<size_t>(r.top + y) * kSkinCanvas.width + r.left + x];
          EXPECT_EQ(o, -1) << buttons[b].mask << " at " << r.left + x << "," << r.top + y << " also belongs to button "
                           << o;
          o = static_cast<int>(b);
        }
      // The slant takes the corners away, but the button keeps most of its rectangle.
      EXPECT_GT(covered, r.width() * r.height() * 3 / 4) << buttons[b].mask;
      EXPECT_FALSE(black(mask, 0, 0)) << buttons[b].mask;
    }
  }
}

bool nearWhite(const uint8_t* p) { return p[0] >= 245 && p[1] >= 245 && p[2] >= 245; }

TEST(SkinFiles, DialogsArePanelsOnAWhiteField) {
  struct Dialog {
    const char* image;
    const char* mask;
  } dialogs[] = {
      {"macro_normal.jpg", "macro_mask.bmp"},       {"single key_normal.jpg", "single key_mask.bmp"},
      {"switch_normal.jpg", "single key_mask.bmp"}, {"default_normal.jpg", "single key_mask.bmp"},
      {"warning_normal.jpg", "warning_mask.bmp"},   {"warning1_normal.jpg", "warning_mask.bmp"},
      {"WholeKey_Normal.jpg", "PerKey_mask.bmp"},   {"about_normal.jpg", "about_mask.bmp"},
      {"main_normal.jpg", "main_mask.bmp"},
  };
  for (const Dialog& d : dialogs) {
    const Image image = load(setDir("EN") / d.image);
    const Image mask = load(setDir("EN") / d.mask);
    ASSERT_EQ(image.width, mask.width) << d.image;
    double insideLight = 0;
    int insideCount = 0, whiteMisses = 0;
    for (int y = 0; y < image.height; ++y)
      for (int x = 0; x < image.width; ++x) {
        if (black(mask, x, y)) {
          const uint8_t* p = image.at(x, y);
          insideLight += (p[0] + p[1] + p[2]) / 3.0;
          ++insideCount;
          continue;
        }
        // Away from the shape's edge the field is white.
        bool nearShape = false;
        for (int dy = -5; dy <= 5 && !nearShape; ++dy)
          for (int dx = -5; dx <= 5 && !nearShape; ++dx) {
            const int nx = x + dx, ny = y + dy;
            nearShape = nx >= 0 && ny >= 0 && nx < mask.width && ny < mask.height && black(mask, nx, ny);
          }
        if (!nearShape && !nearWhite(image.at(x, y))) ++whiteMisses;
      }
    EXPECT_EQ(whiteMisses, 0) << d.image;
    EXPECT_LT(insideLight / insideCount, 70) << d.image; // a dark surface
  }
}

TEST(SkinFiles, TheThreeLooksOfEveryKeyDifferAtItsRectangle) {
  for (const char* language : kLanguages) {
    const Image normal = load(setDir(language) / "main_normal.jpg");
    const Image over = load(setDir(language) / "main_over.jpg");
    const Image down = load(setDir(language) / "main_down.jpg");
    int keys = 0;
    for (const KeyPlace& p : keyPlaces(keyLayoutFor(u16(language)))) {
      if (p.rect.empty()) continue;
      ++keys;
      EXPECT_GT(meanDifference(normal, over, p.rect), 40)
          << language << " default/selected " << p.rect.left << "," << p.rect.top;
      EXPECT_GT(meanDifference(normal, down, p.rect), 30)
          << language << " default/assigned " << p.rect.left << "," << p.rect.top;
      EXPECT_GT(meanDifference(over, down, p.rect), 30)
          << language << " selected/assigned " << p.rect.left << "," << p.rect.top;
    }
    EXPECT_EQ(keys, visibleKeyCount(keyLayoutFor(u16(language)))) << language;
  }
}

struct StateFiles {
  const char* normal;
  const char* over;
  const char* down;
};

void expectDistinctLooks(const char* language, const StateFiles& files, const std::vector<Rect>& buttons) {
  const Image normal = load(setDir(language) / files.normal);
  const Image over = load(setDir(language) / files.over);
  const Image down = load(setDir(language) / files.down);
  ASSERT_GT(normal.width, 0) << files.normal;
  for (const Rect& r : buttons) {
    const std::string where = std::string(files.normal) + " " + std::to_string(r.left) + "," + std::to_string(r.top);
    EXPECT_GT(meanDifference(normal, over, r), 12) << where;
    EXPECT_GT(meanDifference(normal, down, r), 12) << where;
    EXPECT_GT(meanDifference(over, down, r), 12) << where;
  }
}

TEST(SkinFiles, EveryButtonHasDistinctNormalOverAndDownLooks) {
  using namespace main_window;
  // Each set draws the buttons where its language places them.
  for (const char* language : kLanguages) {
    std::vector<Rect> buttons;
    for (const ControlEntry& c : kControls)
      if (c.kind != ControlKind::Picture && c.kind != ControlKind::Label)
        buttons.push_back(controlRect(c.id, u16(language)));
    expectDistinctLooks(language, {"main_normal.jpg", "main_over.jpg", "main_down.jpg"}, buttons);
  }

  std::vector<Rect> macro;
  for (const auto& c : macro_editor::kControls) macro.push_back(c.rect);
  expectDistinctLooks("EN", {"macro_normal.jpg", "macro_over.jpg", "macro_down.jpg"}, macro);

  using single_key_dialog::kAssign, single_key_dialog::kInsert;
  expectDistinctLooks("EN", {"single key_normal.jpg", "single key_over.jpg", "single key_down.jpg"},
                      {kAssign.ok, kAssign.cancel});
  expectDistinctLooks("EN", {"warning_normal.jpg", "warning_over.jpg", "warning_down.jpg"},
                      {kInsert.ok, kInsert.cancel, warning::kSmallYes, warning::kSmallNo});
  expectDistinctLooks("EN", {"warning1_normal.jpg", "Warning1_over.jpg", "warning1_down.jpg"}, {warning::kSmallOk});
  expectDistinctLooks("EN", {"default_normal.jpg", "default_over.jpg", "default_down.jpg"},
                      {warning::kLargeYes, warning::kLargeNo});

  std::vector<Rect> links{linked_programs::kClear, linked_programs::kCancel, linked_programs::kOk};
  for (const auto& s : linked_programs::kSlots) links.push_back(s.browse);
  expectDistinctLooks("EN", {"switch_normal.jpg", "switch_over.jpg", "switch_down.jpg"}, links);

  using colour_editor::Control;
  expectDistinctLooks("EN", {"WholeKey_Normal.jpg", "WholeKey_Over.jpg", "WholeKey_Down.jpg"},
                      {colour_editor::control(Control::Ok).rect, colour_editor::control(Control::Cancel).rect,
                       colour_editor::control(Control::Default).rect});

  expectDistinctLooks("EN", {"about_normal.jpg", "about_over.jpg", "about_down.jpg"},
                      {about_window::kHomePage, about_window::kSupport, about_window::kClose});
}

TEST(SkinFiles, LabelsAndPicturesLookTheSameInEveryState) {
  using namespace main_window;
  const Image normal = load(setDir("EN") / "main_normal.jpg");
  const Image over = load(setDir("EN") / "main_over.jpg");
  const Image down = load(setDir("EN") / "main_down.jpg");
  for (Control id : {Control::Picture, Control::KeyName, Control::KeyFunction}) {
    EXPECT_LT(meanDifference(normal, over, control(id).rect), 1.5) << static_cast<int>(id);
    EXPECT_LT(meanDifference(normal, down, control(id).rect), 1.5) << static_cast<int>(id);
  }
  const Image wholeNormal = load(setDir("EN") / "WholeKey_Normal.jpg");
  const Image wholeOver = load(setDir("EN") / "WholeKey_Over.jpg");
  for (const auto& c : colour_editor::kControls)
    if (c.kind == colour_editor::ControlKind::Caption) {
      EXPECT_LT(meanDifference(wholeNormal, wholeOver, c.rect), 1.5);
    }
}

// Hue in degrees of an RGB colour, and its saturation and value (0 ... 1).
struct Hsv {
  double h, s, v;
};
Hsv hsv(const uint8_t* p) {
  const double r = p[0] / 255.0, g = p[1] / 255.0, b = p[2] / 255.0;
  const double mx = std::max({r, g, b}), mn = std::min({r, g, b}), d = mx - mn;
  double h = 0;
  if (d > 0) {
    if (mx == r)
      h = 60 * std::fmod((g - b) / d + 6, 6.0);
    else if (mx == g)
      h = 60 * ((b - r) / d + 2);
    else
      h = 60 * ((r - g) / d + 4);
  }
  return {h, mx > 0 ? d / mx : 0, mx};
}

TEST(SkinFiles, ThePaletteStripIsAHueGradientAndThePresetsKeepTheirColours) {
  using namespace colour_editor;
  for (const char* file : {"WholeKey_Normal.jpg", "WholeKey_Over.jpg", "WholeKey_Down.jpg"}) {
    const Image image = load(setDir("EN") / file);
    // The strip: each column one hue, at full saturation and value, turning once round the circle.
    double previous = -1;
    for (int x = kPaletteStrip.left; x < kPaletteStrip.right; ++x) {
      const Hsv c = hsv(image.at(x, (kPaletteStrip.top + kPaletteStrip.bottom) / 2));
      const double expected = (x - kPaletteStrip.left + 0.5) * 360.0 / kPaletteStrip.width();
      EXPECT_NEAR(c.h, expected, 6) << file << " column " << x;
      EXPECT_GT(c.s, 0.9) << file << " column " << x;
      EXPECT_GT(c.v, 0.9) << file << " column " << x;
      if (x > kPaletteStrip.left + 2 && x < kPaletteStrip.right - 3) {
        EXPECT_GT(c.h, previous) << file << " column " << x;
      }
      previous = c.h;
      for (int y = kPaletteStrip.top + 1; y < kPaletteStrip.bottom - 1; ++y)
        EXPECT_NEAR(hsv(image.at(x, y)).h, c.h, 6) << file << " " << x << "," << y;
    }
    // The presets: every pixel within the JPEG's rounding of the exact colour.
    for (const Preset& p : kPresets)
      for (int y = p.rect.top; y < p.rect.bottom; ++y)
        for (int x = p.rect.left; x < p.rect.right; ++x) {
          const uint8_t* q = image.at(x, y);
          const int d = std::max(
              {std::abs(q[0] - red(p.colour)), std::abs(q[1] - green(p.colour)), std::abs(q[2] - blue(p.colour))});
          EXPECT_LE(d, 4) << file << " preset at " << x << "," << y;
        }
  }
}

} // namespace
} // namespace q7
