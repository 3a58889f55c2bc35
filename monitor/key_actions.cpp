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

SendableKey sendableKey(uint8_t vk) {
  switch (vk) {
  case 0x6C: // the pad's Enter
    return {0x0D, true};
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
  case 0x6F: // pad /
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

KeyDecision KeyActions::decide(const KeyEvent& event, const ProfileKeys* keys, bool passThrough, int playing) {
  if (event.ours) return {};
  HeldKey& memory = held_[event.vk];
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
  return press(event.vk, keys, passThrough, playing, memory);
}

} // namespace q7
