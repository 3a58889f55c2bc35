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

// The key of the keyboard's tables that a hook event comes from, known by its place (scan code and
// extended flag), not only by its virtual key: the pad's Enter is Return with the extended flag
// (0x6C in the tables), and with Num Lock off or under Shift the pad's digits and point arrive as
// Home, End, the arrows, Ins, Del and Clear without the extended flag; they are still the pad's
// keys, never the navigation block's.
uint8_t keyOfHookEvent(uint8_t vk, uint32_t scan, bool extended);

// Scan codes with this bit are events that the system inserts itself, such as the Left Ctrl
// (0x21D) that comes before Right Alt on AltGr layouts: they pass unchanged.
constexpr uint32_t kSystemInsertedScan = 0x200;

// How a virtual key is sent: pad Enter is Return with the extended flag, and the keys of the
// navigation block, the right-hand modifiers, the Windows keys, Num Lock, pad /, Print Screen,
// Break and the browser and media keys are extended, as a keyboard sends them.
// The pad's keys have the same scan code in every layout; padScan gives it, for layouts that do
// not map the pad's virtual keys (0 for other keys: the layout in use tells).
struct SendableKey {
  uint8_t vk;
  bool extended;
  uint8_t padScan = 0;
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
  uint8_t vk = 0; // as the hook reports it
  bool release = false;
  bool ours = false;     // sent by this monitor (marked), never acted on again
  uint32_t scan = 0;     // the hook's scan code; 0 when unknown (then the key is known by vk alone)
  bool extended = false; // the hook's extended flag
  bool injected = false; // sent by another program: passes unchanged
};

class KeyActions {
public:
  // keys: the current profile, or null when no settings could be read. passThrough: the hook
  // library reports keys (recording or capture) or the user paused the monitor. playing: the
  // position whose macro the player plays now, or -1.
  KeyDecision decide(const KeyEvent& event, const ProfileKeys* keys, bool passThrough, int playing);

  // After the monitor released every key it held (pause, new settings, lock): a key still held
  // whose press sent a key or plays while held has its repeats and release swallowed.
  void keysReleased();
  // After the hook was installed again: what was seen before is forgotten, since keys may have
  // gone up while no hook saw them.
  void forget() { held_ = {}; }

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
  // By place: scan code (low byte) + 256 with the extended flag; 512 + vk without a scan code.
  static size_t place(const KeyEvent& event);
  std::array<HeldKey, 768> held_{};
};

} // namespace q7
