#include "app/keyboard_layout_tables.h"

#include <gtest/gtest.h>

#include <climits>
#include <set>
#include <string>
#include <vector>

#include "keys/key_codes.h"

namespace q7 {
namespace {

constexpr KeyLayout kLayouts[] = {KeyLayout::Ansi, KeyLayout::Iso, KeyLayout::Japanese};

const char* nameOf(KeyLayout layout) {
  return layout == KeyLayout::Iso ? "ISO" : layout == KeyLayout::Japanese ? "Japanese" : "ANSI";
}

bool overlap(const Rect& a, const Rect& b) {
  return a.left < b.right && b.left < a.right && a.top < b.bottom && b.top < a.bottom;
}

bool inside(const Rect& r, const Rect& area) {
  return r.left >= area.left && r.top >= area.top && r.right <= area.right && r.bottom <= area.bottom;
}

TEST(KeyCodeTable, VirtualKeysOfNotedCodes) {
  const struct {
    int code;
    int32_t vk;
  } cases[] = {
      {0, 0x13},
      {11, 0x1B},
      {114, 0x6C},
      {80, 0x60},
      {99, 0x60},
      {84, 0x0D},
      {19, 1004},
      {53, 1005},
      {59, 1002},
      {68, 1003},
      {123, 1007},
      {21, 1008},
      {126, 1009},
      {129, 0x5B},
      {138, 1012},
      {139, 0xF9},
      {144, 0xE2},
      {-1, kNoVirtualKey},
      {145, kNoVirtualKey},
      {INT_MIN, kNoVirtualKey},
      {INT_MAX, kNoVirtualKey},
  };
  for (const auto& c : cases) EXPECT_EQ(virtualKeyForCode(c.code), c.vk) << "code " << c.code;
}

TEST(KeyCodeTable, PlaceholderOnlyAtCodesNoLayoutUses) {
  for (auto layout : kLayouts)
    for (int k = 0; k < kKeyCount; ++k)
      EXPECT_NE(virtualKeyForCode(keyCodeAt(layout, k)), 1000) << nameOf(layout) << " position " << k;
}

TEST(KeyLayoutTables, VisibleAndHiddenPositions) {
  struct Hidden {
    int position;
    int32_t code;
  };
  const struct {
    KeyLayout layout;
    int visible;
    std::vector<Hidden> hidden; // the key positions without a key, before the empty tail
    int tail;                   // first of the trailing positions with code 0
  } cases[] = {
      {KeyLayout::Ansi, 102, {{92, 129}, {96, 138}, {104, 144}}, 105},
      {KeyLayout::Iso, 103, {{93, 129}, {97, 138}, {105, 144}}, 106},
      {KeyLayout::Japanese, 107, {{94, 129}, {101, 138}, {109, 144}}, 110},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(nameOf(c.layout));
    EXPECT_EQ(visibleKeyCount(c.layout), c.visible);
    std::set<int> hidden;
    for (const auto& h : c.hidden) {
      hidden.insert(h.position);
      EXPECT_EQ(keyCodeAt(c.layout, h.position), h.code) << "position " << h.position;
    }
    for (int k = c.tail; k < kKeyCount; ++k) {
      hidden.insert(k);
      EXPECT_EQ(keyCodeAt(c.layout, k), 0) << "position " << k;
    }
    const auto rects = keyRectangles(c.layout);
    for (int k = 0; k < kKeyCount; ++k) {
      EXPECT_EQ(rects[k].empty(), hidden.count(k) == 1) << "position " << k;
      if (hidden.count(k)) {
        EXPECT_EQ(rects[k], Rect{}) << "position " << k;
      }
      EXPECT_EQ(keyVisible(c.layout, k), !rects[k].empty()) << "position " << k;
    }
  }
}

TEST(KeyLayoutTables, NamedKeysSitAtTheirPlaces) {
  const struct {
    KeyLayout layout;
    int position;
    int32_t code;
    Rect rect;
  } cases[] = {
      {KeyLayout::Ansi, 0, 11, {185, 233, 209, 258}},        // Esc
      {KeyLayout::Ansi, 15, 0, {727, 233, 751, 258}},        // Pause
      {KeyLayout::Ansi, 29, 81, {590, 277, 641, 299}},       // Backspace
      {KeyLayout::Ansi, 50, 82, {604, 308, 643, 331}},       // backslash
      {KeyLayout::Ansi, 57, 112, {864, 308, 887, 362}},      // pad +
      {KeyLayout::Ansi, 70, 84, {582, 339, 641, 370}},       // Enter, ends above Right Shift
      {KeyLayout::Ansi, 73, 105, {833, 339, 855, 370}},      // pad 6, ends above pad 3
      {KeyLayout::Ansi, 85, 122, {566, 370, 641, 402}},      // Right Shift
      {KeyLayout::Ansi, 86, 115, {696, 370, 718, 401}},      // Up, ends above Down
      {KeyLayout::Ansi, 90, 114, {863, 370, 885, 424}},      // pad Enter
      {KeyLayout::Ansi, 94, 91, {309, 403, 488, 426}},       // Space
      {KeyLayout::Ansi, 102, 99, {769, 401, 823, 423}},      // pad 0
      {KeyLayout::Iso, 50, 94, {665, 309, 687, 336}},        // Delete
      {KeyLayout::Iso, 57, 17, {184, 339, 230, 362}},        // Caps Lock
      {KeyLayout::Iso, 69, 68, {583, 339, 605, 362}},        // key left of Enter
      {KeyLayout::Iso, 70, 84, {607, 309, 643, 363}},        // tall Enter
      {KeyLayout::Iso, 73, 105, {833, 340, 855, 363}},       // pad 6
      {KeyLayout::Iso, 74, 121, {185, 370, 216, 393}},       // Left Shift
      {KeyLayout::Iso, 75, 19, {224, 370, 246, 393}},        // key right of Left Shift
      {KeyLayout::Iso, 86, 122, {566, 370, 641, 393}},       // Right Shift
      {KeyLayout::Iso, 87, 115, {696, 370, 718, 393}},       // Up
      {KeyLayout::Iso, 91, 114, {863, 370, 885, 424}},       // pad Enter
      {KeyLayout::Iso, 104, 107, {833, 401, 855, 423}},      // pad .
      {KeyLayout::Japanese, 29, 59, {590, 277, 611, 299}},   // key right of =
      {KeyLayout::Japanese, 30, 81, {621, 277, 643, 299}},   // Backspace
      {KeyLayout::Japanese, 50, 49, {575, 308, 599, 335}},   // ]
      {KeyLayout::Japanese, 70, 68, {583, 339, 605, 362}},   // key left of Enter
      {KeyLayout::Japanese, 71, 84, {607, 309, 645, 363}},   // Enter
      {KeyLayout::Japanese, 86, 53, {566, 370, 588, 393}},   // key right of /
      {KeyLayout::Japanese, 87, 122, {598, 370, 643, 393}},  // Right Shift
      {KeyLayout::Japanese, 95, 75, {263, 403, 299, 426}},   // Left Alt
      {KeyLayout::Japanese, 96, 123, {309, 403, 331, 426}},  // key left of Space
      {KeyLayout::Japanese, 97, 91, {342, 403, 410, 426}},   // Space
      {KeyLayout::Japanese, 98, 21, {419, 403, 457, 426}},   // first key right of Space
      {KeyLayout::Japanese, 99, 126, {466, 403, 488, 426}},  // second key right of Space
      {KeyLayout::Japanese, 100, 77, {496, 403, 533, 426}},  // Right Alt
      {KeyLayout::Japanese, 108, 107, {833, 401, 855, 423}}, // pad .
  };
  for (const auto& c : cases) {
    EXPECT_EQ(keyCodeAt(c.layout, c.position), c.code) << nameOf(c.layout) << " position " << c.position;
    EXPECT_EQ(keyRectangle(c.layout, c.position), c.rect) << nameOf(c.layout) << " position " << c.position;
  }
}

TEST(KeyLayoutTables, RowsSharedWithAnsi) {
  const struct {
    KeyLayout layout;
    int first, count, ansiFirst;
  } runs[] = {
      {KeyLayout::Iso, 0, 50, 0},       {KeyLayout::Iso, 91, 14, 90},      {KeyLayout::Japanese, 0, 29, 0},
      {KeyLayout::Japanese, 31, 8, 30}, {KeyLayout::Japanese, 39, 12, 38}, {KeyLayout::Japanese, 51, 8, 51},
      {KeyLayout::Japanese, 92, 2, 90}, {KeyLayout::Japanese, 102, 7, 97},
  };
  for (const auto& run : runs)
    for (int i = 0; i < run.count; ++i) {
      const int k = run.first + i, a = run.ansiFirst + i;
      SCOPED_TRACE(std::string(nameOf(run.layout)) + " position " + std::to_string(k));
      EXPECT_EQ(keyCodeAt(run.layout, k), keyCodeAt(KeyLayout::Ansi, a));
      EXPECT_EQ(keyRectangle(run.layout, k), keyRectangle(KeyLayout::Ansi, a));
    }
}

std::multiset<int32_t> visibleCodes(KeyLayout layout) {
  std::multiset<int32_t> codes;
  for (int k = 0; k < kKeyCount; ++k)
    if (keyVisible(layout, k)) codes.insert(keyCodeAt(layout, k));
  return codes;
}

TEST(KeyLayoutTables, EveryVisibleKeyIsOnePhysicalKey) {
  for (auto layout : kLayouts) {
    SCOPED_TRACE(nameOf(layout));
    const auto codes = visibleCodes(layout);
    EXPECT_EQ(std::set<int32_t>(codes.begin(), codes.end()).size(), codes.size()) << "a key code shows twice";
    for (int32_t code : codes) EXPECT_GE(virtualKeyForCode(code), 0) << "code " << code;
  }
  // ISO and Japanese keyboards lose the backslash key above Enter and gain their own keys.
  auto iso = visibleCodes(KeyLayout::Ansi), japanese = iso;
  iso.erase(82);
  iso.insert({68, 19});
  japanese.erase(82);
  japanese.insert({59, 68, 53, 123, 21, 126});
  EXPECT_EQ(visibleCodes(KeyLayout::Iso), iso);
  EXPECT_EQ(visibleCodes(KeyLayout::Japanese), japanese);
}

TEST(KeyLayoutTables, NoTwoKeysOverlap) {
  for (auto layout : kLayouts) {
    const auto rects = keyRectangles(layout);
    for (int a = 0; a < kKeyCount; ++a)
      for (int b = a + 1; b < kKeyCount; ++b) {
        if (rects[a].empty() || rects[b].empty()) continue;
        EXPECT_FALSE(overlap(rects[a], rects[b])) << nameOf(layout) << " positions " << a << " and " << b;
      }
  }
}

TEST(KeyLayoutTables, KeysStayInTheKeyboardArea) {
  for (auto layout : kLayouts)
    for (int k = 0; k < kKeyCount; ++k) {
      if (!keyVisible(layout, k)) continue;
      EXPECT_TRUE(inside(keyRectangle(layout, k), kKeyboardArea)) << nameOf(layout) << " position " << k;
    }
  // The main window's other controls and the progress ring lie outside the area.
  const Rect others[] = {
      {355, 153, 897, 183}, // profile buttons
      {71, 232, 148, 255},  // RESETPROFILE
      {95, 368, 138, 411},  // progress ring
      {94, 444, 142, 492},  // key name text
      {177, 474, 890, 491}, // key function text
      {133, 506, 903, 550}, // per-key buttons, EXPORT … APPLY
      {899, 99, 959, 160},  // minimise, close, help
  };
  for (const auto& other : others) EXPECT_FALSE(overlap(other, kKeyboardArea)) << other.left << "," << other.top;
}

TEST(KeyLayoutTables, LookupsStayInsideTheTables) {
  for (auto layout : kLayouts)
    for (int position : {-1, kKeyCount, kKeyCount + 1, INT_MIN, INT_MAX}) {
      EXPECT_EQ(keyCodeAt(layout, position), -1) << position;
      EXPECT_EQ(keyRectangle(layout, position), Rect{}) << position;
      EXPECT_FALSE(keyVisible(layout, position)) << position;
    }
  // A layout value from nowhere reads as ANSI.
  EXPECT_EQ(&keyPlaces(static_cast<KeyLayout>(7)), &keyPlaces(KeyLayout::Ansi));
}

} // namespace
} // namespace q7
