// One event of a macro as the key record stores it: a key press or release, or a pause. Six bytes,
// read by the monitor and the keyboard, so every offset is part of the stored format.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <cstring>

#include "keys/key_record.h"

namespace q7 {

inline constexpr uint8_t kPauseMarker = 0xFF; // Usage of a pause event
inline constexpr uint8_t kKeyPressed = 0x80;  // State of a press; 0 for a release

struct MacroEvent {
  uint8_t Vk;       // key event: the virtual-key code's low byte; pause: 0
  uint8_t Usage;    // key event: HID usage (keyboard page) or 0; pause: kPauseMarker
  uint8_t State;    // key event: kKeyPressed or 0; pause: 0
  uint8_t Reserved; // always 0
  uint16_t PauseMs; // pause: length in milliseconds; key event: 0

  bool isPause() const { return Usage == kPauseMarker; }
  bool pressed() const { return State == kKeyPressed; }
};

static_assert(offsetof(MacroEvent, Vk) == 0);
static_assert(offsetof(MacroEvent, Usage) == 1);
static_assert(offsetof(MacroEvent, State) == 2);
static_assert(offsetof(MacroEvent, Reserved) == 3);
static_assert(offsetof(MacroEvent, PauseMs) == 4);
static_assert(sizeof(MacroEvent) == 6);
static_assert(sizeof(KeyRecord::Events) == kMaxMacroEvents * sizeof(MacroEvent));

inline constexpr int kMaxMacroLines = kMaxMacroEvents / 2; // 170 lines of a key event and its pause
inline constexpr size_t kLineBytes = 2 * sizeof(MacroEvent);

// The event in slot i (0 ... 339) of the record; the record's bytes carry no alignment.
inline MacroEvent eventAt(const KeyRecord& record, uint32_t i) {
  MacroEvent e{};
  if (i < kMaxMacroEvents) std::memcpy(&e, record.Events + i * sizeof e, sizeof e);
  return e;
}

inline void setEvent(KeyRecord& record, uint32_t i, const MacroEvent& e) {
  if (i < kMaxMacroEvents) std::memcpy(record.Events + i * sizeof e, &e, sizeof e);
}

namespace detail {
struct UsageEntry {
  uint8_t vk, usage;
};
// Virtual-key code to the USB HID usage of that key on a US layout. Print Screen's usage comes from
// VK_PRINT (0x2A), not VK_SNAPSHOT; VK_SEPARATOR gives keypad Enter; Shift, Ctrl and Alt have only
// their left and right codes.
inline constexpr UsageEntry kUsages[] = {
    {0x08, 0x2A}, {0x09, 0x2B}, {0x0D, 0x28}, {0x13, 0x48}, {0x14, 0x39}, {0x1B, 0x29}, {0x20, 0x2C}, {0x21, 0x4B},
    {0x22, 0x4E}, {0x23, 0x4D}, {0x24, 0x4A}, {0x25, 0x50}, {0x26, 0x52}, {0x27, 0x4F}, {0x28, 0x51}, {0x2A, 0x46},
    {0x2D, 0x49}, {0x2E, 0x4C}, {0x30, 0x27}, {0x31, 0x1E}, {0x32, 0x1F}, {0x33, 0x20}, {0x34, 0x21}, {0x35, 0x22},
    {0x36, 0x23}, {0x37, 0x24}, {0x38, 0x25}, {0x39, 0x26}, {0x41, 0x04}, {0x42, 0x05}, {0x43, 0x06}, {0x44, 0x07},
    {0x45, 0x08}, {0x46, 0x09}, {0x47, 0x0A}, {0x48, 0x0B}, {0x49, 0x0C}, {0x4A, 0x0D}, {0x4B, 0x0E}, {0x4C, 0x0F},
    {0x4D, 0x10}, {0x4E, 0x11}, {0x4F, 0x12}, {0x50, 0x13}, {0x51, 0x14}, {0x52, 0x15}, {0x53, 0x16}, {0x54, 0x17},
    {0x55, 0x18}, {0x56, 0x19}, {0x57, 0x1A}, {0x58, 0x1B}, {0x59, 0x1C}, {0x5A, 0x1D}, {0x5B, 0xE3}, {0x5C, 0xE7},
    {0x5D, 0x65}, {0x60, 0x62}, {0x61, 0x59}, {0x62, 0x5A}, {0x63, 0x5B}, {0x64, 0x5C}, {0x65, 0x5D}, {0x66, 0x5E},
    {0x67, 0x5F}, {0x68, 0x60}, {0x69, 0x61}, {0x6A, 0x55}, {0x6B, 0x57}, {0x6C, 0x58}, {0x6D, 0x56}, {0x6E, 0x63},
    {0x6F, 0x54}, {0x70, 0x3A}, {0x71, 0x3B}, {0x72, 0x3C}, {0x73, 0x3D}, {0x74, 0x3E}, {0x75, 0x3F}, {0x76, 0x40},
    {0x77, 0x41}, {0x78, 0x42}, {0x79, 0x43}, {0x7A, 0x44}, {0x7B, 0x45}, {0x90, 0x53}, {0x91, 0x47}, {0xA0, 0xE1},
    {0xA1, 0xE5}, {0xA2, 0xE0}, {0xA3, 0xE4}, {0xA4, 0xE2}, {0xA5, 0xE6}, {0xBA, 0x33}, {0xBB, 0x2E}, {0xBC, 0x36},
    {0xBD, 0x2D}, {0xBE, 0x37}, {0xBF, 0x38}, {0xC0, 0x35}, {0xDB, 0x2F}, {0xDC, 0x31}, {0xDD, 0x30}, {0xDE, 0x34},
};
static_assert(std::size(kUsages) == 104);

constexpr std::array<uint8_t, 256> usageTable() {
  std::array<uint8_t, 256> t{};
  for (const UsageEntry& e : kUsages) t[e.vk] = e.usage;
  return t;
}
inline constexpr std::array<uint8_t, 256> kUsageByVk = usageTable();
} // namespace detail

// The HID usage stored with a key event of vk; 0 for a code without one (mouse buttons, VK_SNAPSHOT,
// the side-neutral modifiers, ...).
constexpr uint8_t hidUsage(uint8_t vk) { return detail::kUsageByVk[vk]; }

constexpr MacroEvent keyEvent(uint8_t vk, bool released) {
  return {vk, hidUsage(vk), static_cast<uint8_t>(released ? 0 : kKeyPressed), 0, 0};
}
constexpr MacroEvent pauseEvent(uint16_t ms) { return {0, kPauseMarker, 0, 0, ms}; }

} // namespace q7
