// The macro player: a key record's events read within their bounds, and played on a clock that
// the caller provides (the real one in the monitor, a fake one in tests). Pauses are kept as
// deadlines from the start, so that waking late for one pause does not lengthen the macro.
#pragma once

#include <atomic>
#include <cstdint>
#include <vector>

#include "keys/key_record.h"
#include "keys/macro_event.h"

namespace q7 {

struct MacroStep {
  bool pause = false;
  uint8_t vk = 0;       // key step
  bool release = false; // key step
  uint16_t ms = 0;      // pause step
  bool operator==(const MacroStep&) const = default;
};

// The most plays that play mode 0 gives (the editor's count field holds five digits).
constexpr int kMaxPlays = 99999;
// A round of a repeating macro lasts at least this long, so that one without pauses cannot flood
// the input queue.
constexpr int64_t kMinRoundMicros = 10000;
// When the player is more than this behind its schedule (it woke late, or sending a key took
// long), the schedule goes on from now: a later pause is never cut short by more than this to
// catch up, and a stall never ends in a burst of keys.
constexpr int64_t kMaxLatenessMicros = 2000;

struct MacroScript {
  std::vector<MacroStep> steps; // key events with a usable virtual key, and pauses
  int plays = 1;                // 0: until stopped (play modes 1 and 2)
  bool hasKeys() const;
};

// Reads at most 340 events whatever EventCount claims; key events with virtual key 0 or 0xFF are
// dropped. Play mode 0 (and any unknown mode) plays RepeatCount + 1 times, at least once and at
// most kMaxPlays; modes 1 and 2 repeat until stopped.
MacroScript macroScript(const KeyRecord& record);

class MacroClock {
public:
  virtual ~MacroClock() = default;
  virtual int64_t nowMicros() = 0;
  // Waits until the time; false when the player was told to stop meanwhile.
  virtual bool waitUntil(int64_t micros) = 0;
};

class MacroKeys {
public:
  virtual ~MacroKeys() = default;
  virtual void key(uint8_t vk, bool release) = 0;
};

// Plays the script until its plays are done or stop is set; every key that it pressed and did
// not release is released before it returns. Returns the number of complete plays.
int playMacro(const MacroScript& script, MacroClock& clock, MacroKeys& keys, const std::atomic<bool>& stop);

} // namespace q7
