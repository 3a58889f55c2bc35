#include "monitor/key_actions.h"

#include "keys/key_codes.h"
#include "keys/key_places.h"

namespace q7 {

void ProfileKeys::mapPositions(KeyLayout layout) {
  positionOfVk.fill(-1);
  const auto& places = keyPlaces(layout);
  for (int k = 0; k < kKeyCount; ++k) {
    if (places[k].rect.empty()) continue; // hidden: no button, nothing the user could set
    const int32_t vk = virtualKeyForCode(places[k].code);
    if (usableVk(vk) && positionOfVk[vk] < 0) positionOfVk[vk] = static_cast<int16_t>(k);
  }
}

uint8_t keyOfHookEvent(uint8_t vk, uint32_t scan, bool extended) {
  if (extended) return vk == 0x0D ? 0x6C : vk;
  const bool padAsNavigation = vk == 0x0C || (vk >= 0x21 && vk <= 0x28) || vk == 0x2D || vk == 0x2E;
  if (!padAsNavigation) return vk;
  // The pad's rows by scan code: 7 8 9 at 0x47-0x49, 4 5 6 at 0x4B-0x4D, 1 2 3 at 0x4F-0x51, 0 and point.
  static constexpr uint8_t pad[] = {0x67, 0x68, 0x69, 0, 0x64, 0x65, 0x66, 0, 0x61, 0x62, 0x63, 0x60, 0x6E};
  const uint32_t s = scan & 0xFF;
  if (s < 0x47 || s > 0x53 || pad[s - 0x47] == 0) return vk;
  return pad[s - 0x47];
}

SendableKey sendableKey(uint8_t vk) {
  if (vk >= 0xA6 && vk <= 0xB7) return {vk, true}; // browser, volume, media, mail and application keys
  // The pad: 0-9 (0x60-0x69), *, +, separator, -, point, / (0x6A-0x6F).
  static constexpr uint8_t pad[] = {0x52, 0x4F, 0x50, 0x51, 0x4B, 0x4C, 0x4D, 0x47,
                                    0x48, 0x49, 0x37, 0x4E, 0,    0x4A, 0x53, 0x35};
  if (vk >= 0x60 && vk <= 0x6F && vk != 0x6C) return {vk, vk == 0x6F, pad[vk - 0x60]};
  switch (vk) {
  case 0x6C: // the pad's Enter
    return {0x0D, true, 0x1C};
  case 0x03: // Break
  case 0x2C: // Print Screen
  case 0x21:
  case 0x22:
  case 0x23:
  case 0x24:
  case 0x25:
  case 0x26:
  case 0x27:
  case 0x28: // navigation, arrows
  case 0x2D:
  case 0x2E: // Insert, Delete
  case 0x5B:
  case 0x5C:
  case 0x5D: // Windows keys, Apps
  case 0x90: // Num Lock
  case 0xA3:
  case 0xA5: // right Ctrl, right Alt
    return {vk, true};
  default:
    return {vk, false};
  }
}

namespace {

bool hasProgram(const KeyRecord& r) { return r.ProgramPath[0] != 0; }

bool hasMacroKeys(const KeyRecord& r) {
  const uint32_t n = r.boundedEventCount();
  for (uint32_t i = 0; i < n; ++i) {
    const uint8_t* e = r.Events + 6 * i;
    if (e[1] != 0xFF && usableVk(e[0])) return true;
  }
  return false;
}

} // namespace

KeyDecision KeyActions::press(uint8_t vk, const ProfileKeys* keys, bool passThrough, int playing, HeldKey& memory) {
  memory = {Held::Passed, 0, -1};
  if (passThrough || !keys || isPcMode(keys->profile)) return {};
  const int position = keys->positionOfVk[vk];
  if (position < 0) return {};
  const KeyRecord& r = keys->records[position];
  switch (static_cast<KeyKind>(r.Kind)) {
  case KeyKind::Disabled:
    memory.held = Held::Swallowed;
    return {KeyEffect::Swallow};
  case KeyKind::SingleKey:
    if (!usableVk(r.singleKeyVk())) return {}; // no target: the key keeps its own function
    memory = {Held::Sent, r.singleKeyVk(), -1};
    return {KeyEffect::SendKey, r.singleKeyVk()};
  case KeyKind::Macro: {
    if (!hasMacroKeys(r)) return {};
    memory = {Held::Swallowed, 0, static_cast<int16_t>(position)};
    if (r.RepeatMode == 1) {
      memory.held = Held::MacroWhileHeld;
      return {KeyEffect::PlayMacro, 0, position};
    }
    if (r.RepeatMode == 2 && playing == position) return {KeyEffect::StopMacro, 0, position};
    return {KeyEffect::PlayMacro, 0, position};
  }
  case KeyKind::Program:
    if (!hasProgram(r)) return {};
    memory.held = Held::Swallowed;
    return {KeyEffect::StartProgram, 0, position};
  default: // 0 and the kinds that only the keyboard itself knows
    return {};
  }
}

size_t KeyActions::place(const KeyEvent& event) {
  if ((event.scan & 0xFF) == 0) return 512 + event.vk;
  return (event.scan & 0xFF) + (event.extended ? 256 : 0);
}

void KeyActions::keysReleased() {
  for (HeldKey& h : held_)
    if (h.held == Held::Sent || h.held == Held::MacroWhileHeld) h = {Held::Swallowed, 0, -1};
}

KeyDecision KeyActions::decide(const KeyEvent& event, const ProfileKeys* keys, bool passThrough, int playing) {
  if (event.ours || event.injected || (event.scan & kSystemInsertedScan)) return {};
  HeldKey& memory = held_[place(event)];
  if (event.release) {
    const HeldKey was = memory;
    memory = {};
    switch (was.held) {
    case Held::Swallowed:
      return {KeyEffect::Swallow};
    case Held::Sent:
      return {KeyEffect::SendKey, was.vk};
    case Held::MacroWhileHeld:
      return {KeyEffect::StopMacro, 0, was.position};
    case Held::None:
    case Held::Passed:
      break;
    }
    return {};
  }
  switch (memory.held) { // a press while the key is down: the keyboard's auto-repeat
  case Held::Passed:
    return {};
  case Held::Sent:
    return {KeyEffect::SendKey, memory.vk};
  case Held::Swallowed:
  case Held::MacroWhileHeld:
    return {KeyEffect::Swallow};
  case Held::None:
    break;
  }
  return press(keyOfHookEvent(event.vk, event.scan, event.extended), keys, passThrough, playing, memory);
}

} // namespace q7
