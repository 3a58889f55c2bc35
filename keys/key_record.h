// The 3100-byte record of one key position: what the key does on the keyboard. Stored byte for
// byte in the registry and in profile files, and read by the monitor.
#pragma once

#include <cstddef>
#include <cstdint>

namespace q7 {

constexpr int kKeyCount = 114;
constexpr int kMaxMacroEvents = 340;

enum class KeyKind : uint8_t {
  Default = 0,
  SingleKey = 1,
  Macro = 2,
  Program = 9,
  Disabled = 10,
};

struct KeyRecord {
  uint8_t Kind; // a KeyKind value; other bytes are stored and counted as they are
  uint8_t reserved1[3];
  int32_t RepeatMode;
  int32_t RepeatCount;
  uint32_t EventCount;
  uint8_t Events[kMaxMacroEvents * 6]; // 6-byte macro events; byte 1 doubles as SingleKeyVk
  char16_t MacroName[260];
  char16_t ProgramPath[130];
  uint8_t reserved2[260];
  uint32_t KeyColor; // 0x00BBGGRR

  bool inUse() const { return Kind != 0; }
  uint8_t singleKeyVk() const { return Events[1]; }
  void setSingleKeyVk(uint8_t vk) { Events[1] = vk; }
  // EventCount as far as the record can hold: a record from a file or another program may claim more.
  uint32_t boundedEventCount() const { return EventCount > kMaxMacroEvents ? kMaxMacroEvents : EventCount; }
};

static_assert(offsetof(KeyRecord, Kind) == 0);
static_assert(offsetof(KeyRecord, RepeatMode) == 4);
static_assert(offsetof(KeyRecord, RepeatCount) == 8);
static_assert(offsetof(KeyRecord, EventCount) == 12);
static_assert(offsetof(KeyRecord, Events) == 16);
static_assert(offsetof(KeyRecord, Events) + 1 == 17); // SingleKeyVk
static_assert(offsetof(KeyRecord, MacroName) == 2056);
static_assert(offsetof(KeyRecord, ProgramPath) == 2576);
static_assert(offsetof(KeyRecord, reserved2) == 2836);
static_assert(offsetof(KeyRecord, KeyColor) == 3096);
static_assert(sizeof(KeyRecord) == 3100);

} // namespace q7
