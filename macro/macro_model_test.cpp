#include "macro/macro_model.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

namespace q7 {
namespace {

// A macro of complete lines, each named by its key: 'A' ... 'Z' pressed, 'a' ... 'z' released, with
// the pause 10 × the line's index + 10.
KeyRecord macroOf(const std::string& keys) {
  KeyRecord r{};
  for (size_t i = 0; i < keys.size(); ++i) {
    const char c = keys[i];
    const bool released = c >= 'a' && c <= 'z';
    EXPECT_TRUE(appendKey(r, static_cast<uint8_t>(released ? c - 'a' + 'A' : c), released));
    EXPECT_TRUE(appendPause(r, static_cast<uint16_t>(10 * i + 10)));
  }
  return r;
}

// The macro as the same letters, each followed by its pause: "A10 b20".
std::string describe(const KeyRecord& r) {
  std::string out;
  for (uint32_t i = 0; i < r.boundedEventCount(); ++i) {
    const MacroEvent e = eventAt(r, i);
    if (e.isPause()) {
      out += std::to_string(e.PauseMs);
    } else {
      if (!out.empty()) out += ' ';
      out += static_cast<char>(e.pressed() ? e.Vk : e.Vk - 'A' + 'a');
    }
  }
  return out;
}

bool slotsClearFrom(const KeyRecord& r, uint32_t first) {
  for (uint32_t i = first * sizeof(MacroEvent); i < sizeof r.Events; ++i)
    if (r.Events[i] != 0) return false;
  return true;
}

TEST(MacroEvent, StoredBytesOfAPressAndItsPause) {
  KeyRecord r{};
  ASSERT_TRUE(appendKey(r, 0x41, false));
  ASSERT_TRUE(appendPause(r, 130));
  ASSERT_TRUE(appendKey(r, 0x41, true));
  const uint8_t expected[] = {0x41, 0x04, 0x80, 0, 0, 0, 0, 0xFF, 0, 0, 0x82, 0, 0x41, 0x04, 0, 0, 0, 0};
  EXPECT_EQ(std::memcmp(r.Events, expected, sizeof expected), 0);
  EXPECT_EQ(r.EventCount, 3u);
  EXPECT_TRUE(slotsClearFrom(r, 3));
}

TEST(MacroEvent, UsageTableAndItsParticularChoices) {
  const struct {
    uint8_t vk, usage;
  } cases[] = {
      {0x41, 0x04}, {0x5A, 0x1D}, {0x30, 0x27}, {0x31, 0x1E}, {0x0D, 0x28}, {0x2A, 0x46}, // VK_PRINT: Print Screen
      {0x2C, 0x00},                                                                       // VK_SNAPSHOT: none
      {0x6C, 0x58},                                                                       // VK_SEPARATOR: keypad Enter
      {0x10, 0x00}, {0x11, 0x00}, {0x12, 0x00}, // side-neutral modifiers: none
      {0xA0, 0xE1}, {0xA1, 0xE5}, {0xA2, 0xE0}, {0xA3, 0xE4}, {0xA4, 0xE2}, {0xA5, 0xE6},
      {0x01, 0x00}, {0x02, 0x00}, {0x04, 0x00}, // mouse buttons
      {0x5D, 0x65}, {0x91, 0x47}, {0xDE, 0x34}, {0xFF, 0x00}, {0x00, 0x00},
  };
  for (const auto& c : cases) EXPECT_EQ(hidUsage(c.vk), c.usage) << std::hex << int(c.vk);
  int listed = 0;
  for (int vk = 0; vk < 256; ++vk) listed += hidUsage(static_cast<uint8_t>(vk)) != 0;
  EXPECT_EQ(listed, 104);
  // A key without a usage is still recorded, with 0 in byte 1.
  KeyRecord r{};
  ASSERT_TRUE(appendKey(r, 0x2C, false));
  EXPECT_EQ(eventAt(r, 0).Vk, 0x2C);
  EXPECT_EQ(eventAt(r, 0).Usage, 0);
  EXPECT_FALSE(eventAt(r, 0).isPause());
}

TEST(MacroModel, AppendStopsAtTheLastSlot) {
  KeyRecord r{};
  for (int i = 0; i < kMaxMacroEvents; ++i) ASSERT_TRUE(i % 2 ? appendPause(r, 1) : appendKey(r, 0x41, false));
  std::memset(r.MacroName, 0xAB, sizeof r.MacroName);
  EXPECT_FALSE(appendKey(r, 0x42, false));
  EXPECT_FALSE(appendPause(r, 5));
  EXPECT_EQ(r.EventCount, 340u);
  EXPECT_EQ(r.MacroName[0], 0xABAB) << "nothing written past Events";

  // A count claimed beyond the slots by an imported record is full, never an index past them.
  KeyRecord imported{};
  imported.EventCount = 0xFFFFFFFF;
  std::memset(imported.MacroName, 0xAB, sizeof imported.MacroName);
  EXPECT_FALSE(appendKey(imported, 0x41, false));
  EXPECT_EQ(imported.MacroName[0], 0xABAB);
}

TEST(MacroModel, RemoveLine) {
  const struct {
    const char* keys;
    uint32_t line;
    const char* after;
    uint32_t count;
  } cases[] = {
      {"ABC", 0, "B20 C30", 4}, {"ABC", 1, "A10 C30", 4},
      {"ABC", 2, "A10 B20", 4}, {"ABC", 3, "A10 B20 C30", 6}, // beyond the lines: nothing
      {"A", 0, "", 0},
  };
  for (const auto& c : cases) {
    KeyRecord r = macroOf(c.keys);
    removeLine(r, c.line);
    EXPECT_EQ(describe(r), c.after) << c.keys << " - " << c.line;
    EXPECT_EQ(r.EventCount, c.count);
    EXPECT_TRUE(slotsClearFrom(r, r.EventCount)) << "freed slots are cleared";
  }
}

TEST(MacroModel, RemovingTheUnfinishedLastLineTakesOnlyItsKeyEvent) {
  KeyRecord r = macroOf("AB");
  ASSERT_TRUE(appendKey(r, 'C', false)); // a recording ended without its closing pause
  removeLine(r, 2);
  EXPECT_EQ(describe(r), "A10 B20");
  EXPECT_EQ(r.EventCount, 4u);
  EXPECT_TRUE(slotsClearFrom(r, 4));
}

TEST(MacroModel, InsertLines) {
  const KeyRecord source = macroOf("XY"); // two lines to insert: X10 Y20
  const struct {
    const char* keys;
    uint32_t after;
    uint32_t lines;
    const char* result;
  } cases[] = {
      {"ABC", 0, 2, "A10 X10 Y20 B20 C30"},
      {"ABC", 2, 2, "A10 B20 C30 X10 Y20"},
      {"ABC", 1, 1, "A10 B20 X10 C30"},
      {"ABC", 99, 1, "A10 B20 C30 X10"}, // no such line: at the end
      {"", 0, 2, "X10 Y20"},
      {"ABC", 0, 0, "A10 B20 C30"},
  };
  for (const auto& c : cases) {
    KeyRecord r = macroOf(c.keys);
    EXPECT_TRUE(insertLines(r, c.after, source.Events, c.lines));
    EXPECT_EQ(describe(r), c.result) << c.keys << " after " << c.after;
  }
}

TEST(MacroModel, InsertBeyondTheSlotsIsRefusedWhole) {
  KeyRecord r{};
  for (int i = 0; i < 169; ++i) {
    ASSERT_TRUE(appendKey(r, 'A', false));
    ASSERT_TRUE(appendPause(r, 1));
  }
  const KeyRecord before = r;
  std::memset(r.MacroName, 0xAB, sizeof r.MacroName);
  const KeyRecord source = macroOf("XY");
  EXPECT_FALSE(insertLines(r, 0, source.Events, 2));
  EXPECT_EQ(std::memcmp(r.Events, before.Events, sizeof r.Events), 0);
  EXPECT_EQ(r.EventCount, 338u);
  EXPECT_EQ(r.MacroName[0], 0xABAB);
  EXPECT_TRUE(insertLines(r, 0, source.Events, 1)) << "one line still fits";
  EXPECT_EQ(r.EventCount, 340u);
  EXPECT_EQ(eventAt(r, 2).Vk, 'X');
}

TEST(MacroModel, SwapLines) {
  const struct {
    uint32_t i, j;
    const char* result;
  } cases[] = {
      {0, 1, "B20 A10 C30"}, {2, 0, "C30 B20 A10"}, {1, 1, "A10 B20 C30"}, {2, 3, "A10 B20 C30"}, // no line 3: nothing
  };
  for (const auto& c : cases) {
    KeyRecord r = macroOf("ABC");
    swapLines(r, c.i, c.j);
    EXPECT_EQ(describe(r), c.result) << c.i << "<->" << c.j;
  }
  // A line whose pause is not yet there stays where it is: a swap would pull a stale slot in.
  KeyRecord r = macroOf("AB");
  ASSERT_TRUE(appendKey(r, 'C', false));
  swapLines(r, 1, 2);
  EXPECT_EQ(describe(r), "A10 B20 C");
}

TEST(MacroModel, LineCount) {
  KeyRecord r = macroOf("ABC");
  EXPECT_EQ(macroLineCount(r), 3u);
  ASSERT_TRUE(appendKey(r, 'D', false));
  EXPECT_EQ(macroLineCount(r), 4u);
  r.EventCount = 1000;
  EXPECT_EQ(macroLineCount(r), 170u);
}

} // namespace
} // namespace q7
