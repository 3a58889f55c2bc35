// What a key event seen by the monitor's keyboard hook becomes under the current profile: passed
// on, swallowed, replaced by another key, or the start or end of a macro or a program. Portable,
// so that every rule is a row of a table test; the hook thread is the only caller.
#pragma once

#include <array>
#include <cstdint>
#include <memory>

#include "keys/key_layout.h"
#include "keys/key_record.h"

namespace q7 {

// One profile's key records as the monitor acts on them, with the virtual key of every position
// that the layout shows. Built once per load and then only read.
struct ProfileKeys {
  int profile = -1; // 0 … 8
  std::array<KeyRecord, kKeyCount> records{};
  std::array<int16_t, 256> positionOfVk{}; // -1: no key position reports this virtual key

  ProfileKeys() { positionOfVk.fill(-1); }
  // Fills positionOfVk from the layout's visible keys; the first position of a virtual key wins.
  void mapPositions(KeyLayout layout);
};

// Profiles 0 and 6 are the plain PC mode: every key keeps its own function.
constexpr bool isPcMode(int profile) { return profile == 0 || profile == 6; }

// A virtual key that may be sent or looked up: 0 and 0xFF are no keys.
constexpr bool usableVk(int vk) { return vk > 0 && vk < 0xFF; }

// The hook reports the pad's Enter as Return with the extended flag; the keyboard's tables call it 0x6C.
constexpr uint8_t keyOfHookEvent(uint8_t vk, bool extended) { return vk == 0x0D && extended ? 0x6C : vk; }

// How a virtual key is sent: pad Enter is Return with the extended flag, and the keys of the
// navigation block, the right-hand modifiers, the Windows keys, Num Lock and pad / are extended.
struct SendableKey {
  uint8_t vk;
  bool extended;
};
SendableKey sendableKey(uint8_t vk);

enum class KeyEffect : uint8_t {
  Pass,         // the key goes on unchanged
  Swallow,      // nothing reaches any program
  SendKey,      // swallowed; vk is sent instead, with the same press or release
  PlayMacro,    // swallowed; the player starts the macro of position
  StopMacro,    // swallowed; the player stops the macro of position if it plays it
  StartProgram, // swallowed; the program of position starts
};

struct KeyDecision {
  KeyEffect effect = KeyEffect::Pass;
  uint8_t vk = 0;    // SendKey: the key to send
  int position = -1; // PlayMacro, StopMacro, StartProgram
  bool operator==(const KeyDecision&) const = default;
};

struct KeyEvent {
  uint8_t vk = 0; // after keyOfHookEvent
  bool release = false;
  bool ours = false; // sent by this monitor (marked), never acted on again
};

class KeyActions {
public:
  // keys: the current profile, or null when no settings could be read. passThrough: the hook
  // library reports keys (recording or capture) or the user paused the monitor. playing: the
  // position whose macro the player plays now, or -1.
  KeyDecision decide(const KeyEvent& event, const ProfileKeys* keys, bool passThrough, int playing);

private:
  // What the press of a held key became, so that its release and its auto-repeat follow it
  // whatever changed since (a new profile, recording started): no key is left stuck down.
  enum class Held : uint8_t { None, Passed, Swallowed, Sent, MacroWhileHeld };
  struct HeldKey {
    Held held = Held::None;
    uint8_t vk = 0;
    int16_t position = -1;
  };
  KeyDecision press(uint8_t vk, const ProfileKeys* keys, bool passThrough, int playing, HeldKey& memory);
  std::array<HeldKey, 256> held_{};
};

} // namespace q7
