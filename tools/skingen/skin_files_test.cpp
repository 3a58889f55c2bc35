// The skin sets as the build writes them (English, UK, German and Japanese: every keyboard layout and
// the language that moves the most buttons), decoded again and looked at: the 96-DPI pictures and the
// sets drawn at 150 % and 200 % beside them, each against the tables scaled as the program scales them.
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
#include "ui/scale.h"

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

// A set of pictures: the 96-DPI set in the language's folder, or a scaled set in its sub-folder.
struct Set {
  std::string folder; // "" for the 96-DPI set
  Scale scale;
};
std::vector<Set> allSets() {
  std::vector<Set> sets{{"", Scale{}}};
  for (const SkinSet& s : kScaledSkinSets) sets.push_back({std::string(s.folder), Scale{s.dpi}});
  return sets;
}
std::string nameOf(const Set& set) { return set.folder.empty() ? "96 DPI" : set.folder + " %"; }

fs::path setDir(const char* language, const Set& set = {}) {
  return set.folder.empty() ? fs::path(SKIN_SETS_DIR) / language : fs::path(SKIN_SETS_DIR) / language / set.folder;
}

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

// The program reads a scaled picture only when it is not older than its 96-DPI picture.
TEST(SkinFiles, ScaledFilesAreNotOlderThanTheir96DpiFiles) {
  for (const char* language : kLanguages)
    for (const SkinSet& set : kScaledSkinSets)
      for (const Expected& e : kSkinTable) {
        const fs::path base = setDir(language) / e.name, scaled = setDir(language) / set.folder / e.name;
        EXPECT_GE(fs::last_write_time(scaled), fs::last_write_time(base)) << scaled;
      }
}

// Every set, scaled or not, holds the same file names, each in its size scaled as Scale::size scales
// it; the 96-DPI folder holds the scaled sets' folders and nothing else beside its files.
TEST(SkinFiles, EachSetHoldsExactlyTheFilesOfTheSkinTableInTheirSizes) {
  for (const char* language : kLanguages)
    for (const Set& set : allSets()) {
      std::set<std::string> present, folders;
      for (const auto& entry : fs::directory_iterator(setDir(language, set)))
        (entry.is_directory() ? folders : present).insert(entry.path().filename().string());
      std::set<std::string> expected, expectedFolders;
      for (const Expected& e : kSkinTable) expected.insert(e.name);
      if (set.folder.empty())
        for (const SkinSet& s : kScaledSkinSets) expectedFolders.insert(std::string(s.folder));
      EXPECT_EQ(present, expected) << language << " " << nameOf(set);
      EXPECT_EQ(folders, expectedFolders) << language << " " << nameOf(set);

      for (const Expected& e : kSkinTable) {
        const fs::path path = setDir(language, set) / e.name;
        const Image image = load(path);
        EXPECT_EQ((Size{image.width, image.height}), set.scale.size(e.size)) << language << " " << path;
        if (path.extension() == ".bmp") {
          // "BM", then the bit count at offset 28: one bit in every set, with a colour table of
          // black and then white after the 54 bytes of headers.
          std::ifstream in(path, std::ios::binary);
          unsigned char header[62] = {};
          in.read(reinterpret_cast<char*>(header), sizeof header);
          EXPECT_EQ(std::string(header, header + 2), "BM") << path;
          EXPECT_EQ(header[28], 1) << path;
          EXPECT_EQ(std::vector<unsigned char>(header + 54, header + 62),
                    (std::vector<unsigned char>{0, 0, 0, 0, 255, 255, 255, 0}))
              << path;
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
  for (const Rect& r : {macro_editor::kNameField, macro_editor::kPauseField, macro_editor::kCountField,
                        macro_editor::kEventList, macro_editor::kPreviewField})
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

// At every scale: the program places a control at its scaled table rectangle, which must lie on the
// scaled mask's shape.
TEST(SkinFiles, WindowMasksAreBlackExactlyOnTheirPanelsAndWhiteAround) {
  for (const Set& set : allSets())
    for (const WindowMask& m : windowMasks()) {
      const Image mask = load(setDir("EN", set) / m.file);
      const std::string where = nameOf(set) + " " + m.file;
      ASSERT_GT(mask.width, 0) << where;
      for (size_t i = 0; i < mask.rgb.size(); ++i) ASSERT_TRUE(mask.rgb[i] == 0 || mask.rgb[i] == 255) << where;
      const std::vector<Rect> runs = runsOf(mask);
      ASSERT_FALSE(runs.empty()) << where;
      const Rect bounds = boundsOf(runs);
      if (!m.panel.empty()) {
        EXPECT_EQ(bounds, set.scale.rect(m.panel)) << where; // and white everywhere around it
      }
      for (const Rect& table : m.inside) {
        const Rect r = set.scale.rect(table);
        EXPECT_TRUE(allBlack(mask, r)) << where << " " << r.left << "," << r.top << "," << r.right << "," << r.bottom;
      }
      // The corners of the canvas are cut away.
      for (const auto& [x, y] :
           {std::pair{0, 0}, {mask.width - 1, 0}, {0, mask.height - 1}, {mask.width - 1, mask.height - 1}})
        EXPECT_FALSE(black(mask, x, y)) << where;
    }
}

TEST(SkinFiles, TheMainWindowShapeHoldsEveryKeyOfEveryLayout) {
  for (const Set& set : allSets()) {
    const Image mask = load(setDir("EN", set) / "main_mask.bmp");
    for (KeyLayout layout : {KeyLayout::Ansi, KeyLayout::Iso, KeyLayout::Japanese})
      for (const KeyPlace& p : keyPlaces(layout))
        if (!p.rect.empty()) {
          EXPECT_TRUE(allBlack(mask, set.scale.rect(p.rect))) << nameOf(set) << " " << p.rect.left << "," << p.rect.top;
        }
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
  for (const Set& set : allSets())
    for (const auto& buttons : shapedButtonsByWindow()) {
      const Size canvas = set.scale.size(kSkinCanvas);
      std::vector<int> owner(static_cast<size_t>(canvas.width) * canvas.height, -1);
      for (size_t b = 0; b < buttons.size(); ++b) {
        const Image mask = load(setDir("EN", set) / buttons[b].mask);
        const Rect r = set.scale.rect(buttons[b].rect);
        int covered = 0;
        // A button window shows the part of its mask's shape that lies within its own rectangle.
        for (int y = 0; y < std::min(r.height(), mask.height); ++y)
          for (int x = 0; x < std::min(r.width(), mask.width); ++x) {
            if (!black(mask, x, y)) continue;
            ++covered;
            int& o = owner[static_cast<size_t>(r.top + y) * canvas.width + r.left + x];
            EXPECT_EQ(o, -1) << nameOf(set) << " " << buttons[b].mask << " at " << r.left + x << "," << r.top + y
                             << " also belongs to button " << o;
            o = static_cast<int>(b);
          }
        // The slant takes the corners away, but the button keeps most of its rectangle.
        EXPECT_GT(covered, r.width() * r.height() * 3 / 4) << nameOf(set) << " " << buttons[b].mask;
        EXPECT_FALSE(black(mask, 0, 0)) << nameOf(set) << " " << buttons[b].mask;
      }
    }
}

bool nearWhite(const uint8_t* p) { return p[0] >= 245 && p[1] >= 245 && p[2] >= 245; }

// Whether each pixel has a black mask pixel within `reach` pixels across and down (a square around
// it): the mask grown by reach, row by row and then column by column.
std::vector<bool> nearShape(const Image& mask, int reach) {
  const int w = mask.width, h = mask.height;
  std::vector<bool> rows(static_cast<size_t>(w) * h), out(static_cast<size_t>(w) * h);
  for (int y = 0; y < h; ++y) {
    int last = -1 - 2 * reach; // the last black pixel at or left of x
    for (int x = 0; x < w + reach; ++x) {
      if (x < w && black(mask, x, y)) last = x;
      const int at = x - reach; // black within [at - reach, at + reach]
      if (at >= 0 && last >= at - reach) rows[static_cast<size_t>(y) * w + at] = true;
    }
  }
  for (int x = 0; x < w; ++x) {
    int last = -1 - 2 * reach;
    for (int y = 0; y < h + reach; ++y) {
      if (y < h && rows[static_cast<size_t>(y) * w + x]) last = y;
      const int at = y - reach;
      if (at >= 0 && last >= at - reach) out[static_cast<size_t>(at) * w + x] = true;
    }
  }
  return out;
}

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
  for (const Set& set : allSets())
    for (const Dialog& d : dialogs) {
      const Image image = load(setDir("EN", set) / d.image);
      const Image mask = load(setDir("EN", set) / d.mask);
      const std::string where = nameOf(set) + " " + d.image;
      ASSERT_EQ(image.width, mask.width) << where;
      double insideLight = 0;
      int insideCount = 0, whiteMisses = 0;
      // Away from the shape's edge (5 pixels, scaled) the field is white.
      const std::vector<bool> near = nearShape(mask, set.scale.px(5));
      for (int y = 0; y < image.height; ++y)
        for (int x = 0; x < image.width; ++x) {
          if (black(mask, x, y)) {
            const uint8_t* p = image.at(x, y);
            insideLight += (p[0] + p[1] + p[2]) / 3.0;
            ++insideCount;
            continue;
          }
          if (!near[static_cast<size_t>(y) * image.width + x] && !nearWhite(image.at(x, y))) ++whiteMisses;
        }
      EXPECT_EQ(whiteMisses, 0) << where;
      EXPECT_LT(insideLight / insideCount, 70) << where; // a dark surface
    }
}

TEST(SkinFiles, TheThreeLooksOfEveryKeyDifferAtItsRectangle) {
  for (const Set& set : allSets())
    for (const char* language : kLanguages) {
      const Image normal = load(setDir(language, set) / "main_normal.jpg");
      const Image over = load(setDir(language, set) / "main_over.jpg");
      const Image down = load(setDir(language, set) / "main_down.jpg");
      const std::string where = std::string(language) + " " + nameOf(set);
      int keys = 0;
      for (const KeyPlace& p : keyPlaces(keyLayoutFor(u16(language)))) {
        if (p.rect.empty()) continue;
        ++keys;
        const Rect r = set.scale.rect(p.rect);
        EXPECT_GT(meanDifference(normal, over, r), 40) << where << " default/selected " << r.left << "," << r.top;
        EXPECT_GT(meanDifference(normal, down, r), 30) << where << " default/assigned " << r.left << "," << r.top;
        EXPECT_GT(meanDifference(over, down, r), 30) << where << " selected/assigned " << r.left << "," << r.top;
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
  for (const Set& set : allSets()) {
    const Image normal = load(setDir(language, set) / files.normal);
    const Image over = load(setDir(language, set) / files.over);
    const Image down = load(setDir(language, set) / files.down);
    ASSERT_GT(normal.width, 0) << files.normal;
    for (const Rect& table : buttons) {
      const Rect r = set.scale.rect(table);
      const std::string where =
          nameOf(set) + " " + files.normal + " " + std::to_string(table.left) + "," + std::to_string(table.top);
      EXPECT_GT(meanDifference(normal, over, r), 12) << where;
      EXPECT_GT(meanDifference(normal, down, r), 12) << where;
      EXPECT_GT(meanDifference(over, down, r), 12) << where;
    }
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
  for (const Set& set : allSets()) {
    const Image normal = load(setDir("EN", set) / "main_normal.jpg");
    const Image over = load(setDir("EN", set) / "main_over.jpg");
    const Image down = load(setDir("EN", set) / "main_down.jpg");
    for (Control id : {Control::Picture, Control::KeyName, Control::KeyFunction}) {
      const Rect r = set.scale.rect(control(id).rect);
      EXPECT_LT(meanDifference(normal, over, r), 1.5) << nameOf(set) << " " << static_cast<int>(id);
      EXPECT_LT(meanDifference(normal, down, r), 1.5) << nameOf(set) << " " << static_cast<int>(id);
    }
    const Image wholeNormal = load(setDir("EN", set) / "WholeKey_Normal.jpg");
    const Image wholeOver = load(setDir("EN", set) / "WholeKey_Over.jpg");
    for (const auto& c : colour_editor::kControls)
      if (c.kind == colour_editor::ControlKind::Caption) {
        EXPECT_LT(meanDifference(wholeNormal, wholeOver, set.scale.rect(c.rect)), 1.5) << nameOf(set);
      }
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
  for (const Set& set : allSets())
    for (const char* file : {"WholeKey_Normal.jpg", "WholeKey_Over.jpg", "WholeKey_Down.jpg"}) {
      const Image image = load(setDir("EN", set) / file);
      const std::string where = nameOf(set) + " " + file;
      // The strip: each column one hue, at full saturation and value, turning once round the circle.
      const Rect strip = set.scale.rect(kPaletteStrip);
      double previous = -1;
      for (int x = strip.left; x < strip.right; ++x) {
        const Hsv c = hsv(image.at(x, (strip.top + strip.bottom) / 2));
        const double expected = (x - strip.left + 0.5) * 360.0 / strip.width();
        EXPECT_NEAR(c.h, expected, 6) << where << " column " << x;
        EXPECT_GT(c.s, 0.9) << where << " column " << x;
        EXPECT_GT(c.v, 0.9) << where << " column " << x;
        if (x > strip.left + 2 && x < strip.right - 3) {
          EXPECT_GT(c.h, previous) << where << " column " << x;
        }
        previous = c.h;
        for (int y = strip.top + 1; y < strip.bottom - 1; ++y)
          EXPECT_NEAR(hsv(image.at(x, y)).h, c.h, 6) << where << " " << x << "," << y;
      }
      // The presets: every pixel of the scaled swatch within the JPEG's rounding of the exact colour.
      for (const Preset& p : kPresets) {
        const Rect r = set.scale.rect(p.rect);
        for (int y = r.top; y < r.bottom; ++y)
          for (int x = r.left; x < r.right; ++x) {
            const uint8_t* q = image.at(x, y);
            const int d = std::max(
                {std::abs(q[0] - red(p.colour)), std::abs(q[1] - green(p.colour)), std::abs(q[2] - blue(p.colour))});
            EXPECT_LE(d, 4) << where << " preset at " << x << "," << y;
          }
      }
    }
}

// The device pixel of a scaled picture that holds the centre of a 96-DPI pixel.
int scaledPixel(int v, Scale scale) { return static_cast<int>((v + 0.5) * scale.dpi / kBaseDpi); }

double meanChannel(const Image& image, const Rect& r, int channel) {
  double sum = 0;
  for (int y = r.top; y < r.bottom; ++y)
    for (int x = r.left; x < r.right; ++x) sum += image.at(x, y)[channel];
  return sum / (static_cast<double>(r.width()) * r.height());
}

// Whether the 96-DPI picture is flat around a pixel (a point away from edges, legends and icons).
bool flatAround(const Image& image, int x, int y) {
  for (int dy = -2; dy <= 2; ++dy)
    for (int dx = -2; dx <= 2; ++dx)
      for (int c = 0; c < 3; ++c)
        if (std::abs(image.at(x + dx, y + dy)[c] - image.at(x, y)[c]) > 3) return false;
  return true;
}

// Key caps and buttons drawn at a scale cover their scaled table rectangles with the colours they
// have at 96 DPI: the mean colour of each one's inside, and every sampled point of a flat part.
TEST(SkinFiles, ScaledPicturesShowTheSameColoursAtTheScaledRectangles) {
  std::vector<Rect> mainRects;
  for (const KeyPlace& p : keyPlaces(KeyLayout::Ansi))
    if (!p.rect.empty()) mainRects.push_back(p.rect);
  for (const main_window::ControlEntry& c : main_window::kControls)
    if (c.kind != main_window::ControlKind::Label) mainRects.push_back(main_window::control(c.id).rect);
  std::vector<Rect> macro, links{linked_programs::kClear, linked_programs::kCancel, linked_programs::kOk};
  for (const auto& c : macro_editor::kControls) macro.push_back(c.rect);
  for (const auto& sl : linked_programs::kSlots) links.push_back(sl.browse);
  std::vector<Rect> colour;
  for (const auto& c : colour_editor::kControls) colour.push_back(c.rect);
  for (const auto& pr : colour_editor::kPresets) colour.push_back(pr.rect);
  colour.push_back(colour_editor::kPaletteStrip);
  using single_key_dialog::kAssign, single_key_dialog::kInsert;
  const struct {
    std::vector<const char*> files;
    std::vector<Rect> rects;
  } cases[] = {
      {{"main_normal.jpg", "main_over.jpg", "main_down.jpg", "main_disable.jpg"}, mainRects},
      {{"macro_normal.jpg", "macro_over.jpg", "macro_down.jpg"}, macro},
      {{"single key_normal.jpg", "single key_down.jpg"}, {kAssign.ok, kAssign.cancel, kAssign.current}},
      {{"warning_normal.jpg", "warning_over.jpg"}, {kInsert.ok, kInsert.cancel, warning::kSmallYes}},
      {{"default_normal.jpg", "default_down.jpg"}, {warning::kLargeYes, warning::kLargeNo}},
      {{"switch_normal.jpg", "switch_over.jpg"}, links},
      {{"WholeKey_Normal.jpg", "WholeKey_Down.jpg"}, colour},
      {{"about_normal.jpg", "about_over.jpg"}, {about_window::kHomePage, about_window::kSupport, about_window::kClose}},
  };
  for (const SkinSet& scaledSet : kScaledSkinSets) {
    const Set set{std::string(scaledSet.folder), Scale{scaledSet.dpi}};
    int sampled = 0;
    for (const auto& c : cases)
      for (const char* file : c.files) {
        const Image base = load(setDir("EN") / file);
        const Image scaled = load(setDir("EN", set) / file);
        ASSERT_GT(scaled.width, 0) << nameOf(set) << " " << file;
        for (const Rect& r : c.rects) {
          const std::string where =
              nameOf(set) + " " + file + " " + std::to_string(r.left) + "," + std::to_string(r.top);
          const Rect inside{r.left + 2, r.top + 2, r.right - 2, r.bottom - 2};
          // (A 7-pixel option circle is too coarse at 96 DPI for its mean to compare.)
          if (r.width() >= 12 && r.height() >= 12) {
            for (int ch = 0; ch < 3; ++ch)
              EXPECT_NEAR(meanChannel(scaled, set.scale.rect(inside), ch), meanChannel(base, inside, ch), 6) << where;
          }
          for (int y = inside.top + 1; y < inside.bottom - 1; y += 2)
            for (int x = inside.left + 1; x < inside.right - 1; x += 2) {
              if (!flatAround(base, x, y)) continue;
              ++sampled;
              const uint8_t* p = base.at(x, y);
              const uint8_t* q = scaled.at(scaledPixel(x, set.scale), scaledPixel(y, set.scale));
              ASSERT_LE(std::max({std::abs(p[0] - q[0]), std::abs(p[1] - q[1]), std::abs(p[2] - q[2])}), 8)
                  << where << " at " << x << "," << y;
            }
        }
      }
    EXPECT_GT(sampled, 10000) << nameOf(set);
  }
}

// A scaled mask says inside or outside where the 96-DPI mask says it, at every point that lies two
// pixels or more from the 96-DPI mask's edge.
TEST(SkinFiles, ScaledMasksAgreeWithTheMasksAt96DpiAwayFromTheEdges) {
  for (const SkinSet& scaledSet : kScaledSkinSets) {
    const Set set{std::string(scaledSet.folder), Scale{scaledSet.dpi}};
    for (const Expected& e : kSkinTable) {
      if (!std::string_view(e.name).ends_with(".bmp")) continue;
      const Image base = load(setDir("EN") / e.name);
      const Image scaled = load(setDir("EN", set) / e.name);
      ASSERT_EQ((Size{scaled.width, scaled.height}), set.scale.size(e.size)) << e.name;
      int compared = 0, inside = 0;
      for (int y = 2; y < base.height - 2; ++y)
        for (int x = 2; x < base.width - 2; ++x) {
          const bool v = black(base, x, y);
          bool uniform = true;
          for (int dy = -2; dy <= 2 && uniform; ++dy)
            for (int dx = -2; dx <= 2 && uniform; ++dx) uniform = black(base, x + dx, y + dy) == v;
          if (!uniform) continue;
          ++compared;
          inside += v;
          ASSERT_EQ(black(scaled, scaledPixel(x, set.scale), scaledPixel(y, set.scale)), v)
              << nameOf(set) << " " << e.name << " at " << x << "," << y;
        }
      EXPECT_GT(compared, base.width * base.height / 2) << e.name;
      EXPECT_GT(inside, 0) << e.name;
    }
  }
}

} // namespace
} // namespace q7
