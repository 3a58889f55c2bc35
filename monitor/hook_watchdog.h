// Whether the keyboard hook is still in place. The system removes a low-level hook without notice
// when one of its calls takes too long; raw input still reports every physical key. A key press
// that raw input reported and the hook did not see within kHookGraceMs means the hook is gone.
// Portable and driven by the caller's clock: it wakes nobody, it only says when to look again.
#pragma once

#include <cstddef>
#include <cstdint>
#include <deque>

namespace q7 {

constexpr int64_t kHookGraceMs = 500;

class HookWatchdog {
public:
  // A key press by place (scan code + 256 with the extended flag), reported by raw input.
  void rawKey(int64_t nowMs, uint32_t place);
  // A physical key press that the hook saw.
  void hookKey(int64_t nowMs, uint32_t place);
  // True when a press that raw input reported kHookGraceMs or more ago was not seen by the hook.
  bool hookLost(int64_t nowMs) const;
  // When hookLost may next become true, or -1 when nothing is pending (an idle keyboard: no check).
  int64_t nextCheck() const;
  // After the hook was installed again, or when keys were hidden from it (an elevated window in
  // front): what is pending is forgotten.
  void reset();

private:
  struct Seen {
    int64_t ms;
    uint32_t place;
  };
  static constexpr size_t kMaxPending = 64; // bounds memory whatever arrives
  void expire(int64_t nowMs);
  std::deque<Seen> raw_;  // reported by raw input, not yet seen by the hook
  std::deque<Seen> hook_; // seen by the hook, not yet reported by raw input
};

} // namespace q7
