// The keys this monitor holds down, and what it sends to let them go: every key it pressed (a
// remap's target, a macro's key) and did not release, set against the keys that the user holds
// on the keyboard, which it never releases for him. Portable; the engine guards it with a lock.
#pragma once

#include <bitset>
#include <cstdint>
#include <vector>

namespace q7 {

class HeldKeys {
public:
  // A key this monitor sent.
  void sent(uint8_t vk, bool release);
  // A physical key that went on unchanged: the user holds it until its release, which also ends
  // any hold of the same key by the monitor (the system sees it up).
  void passed(uint8_t vk, bool release);

  // The releases to send so that the monitor holds nothing, in the order the keys were pressed:
  // each key it pressed and did not release, except one that the user holds himself. Afterwards
  // the monitor holds nothing.
  std::vector<uint8_t> releaseAll();

  // Whether the monitor holds the key down.
  bool holds(uint8_t vk) const;
  // Whether the user holds the key; Shift, Ctrl and Alt without a side mean either side.
  bool userHolds(uint8_t vk) const;
  // The modifiers (Shift, Ctrl, Alt and Windows keys of either side) that the user holds: a macro
  // lifts them before it plays, so that it plays exactly its own keys.
  std::vector<uint8_t> userModifiers() const;
  // Of the modifiers lifted for a macro, those the user still holds when it ended: pressed again.
  std::vector<uint8_t> stillHeld(const std::vector<uint8_t>& lifted) const;

private:
  std::vector<uint8_t> down_; // pressed by the monitor, in order, each once
  std::bitset<256> user_;
};

} // namespace q7
