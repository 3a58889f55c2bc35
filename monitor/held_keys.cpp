#include "monitor/held_keys.h"

#include <algorithm>

namespace q7 {

namespace {

constexpr uint8_t kModifiers[] = {0xA0, 0xA1, 0xA2, 0xA3, 0xA4, 0xA5, 0x5B, 0x5C};

void erase(std::vector<uint8_t>& keys, uint8_t vk) {
  keys.erase(std::remove(keys.begin(), keys.end(), vk), keys.end());
}

} // namespace

void HeldKeys::sent(uint8_t vk, bool release) {
  erase(down_, vk);
  if (!release) down_.push_back(vk);
}

void HeldKeys::passed(uint8_t vk, bool release) {
  user_[vk] = !release;
  if (release) erase(down_, vk);
}

bool HeldKeys::holds(uint8_t vk) const { return std::find(down_.begin(), down_.end(), vk) != down_.end(); }

bool HeldKeys::userHolds(uint8_t vk) const {
  switch (vk) {
  case 0x10: // Shift
    return user_[0xA0] || user_[0xA1] || user_[vk];
  case 0x11: // Ctrl
    return user_[0xA2] || user_[0xA3] || user_[vk];
  case 0x12: // Alt
    return user_[0xA4] || user_[0xA5] || user_[vk];
  default:
    return user_[vk];
  }
}

std::vector<uint8_t> HeldKeys::releaseAll() {
  std::vector<uint8_t> releases;
  for (uint8_t vk : down_)
    if (!userHolds(vk)) releases.push_back(vk);
  down_.clear();
  return releases;
}

std::vector<uint8_t> HeldKeys::userModifiers() const {
  std::vector<uint8_t> held;
  for (uint8_t vk : kModifiers)
    if (user_[vk]) held.push_back(vk);
  return held;
}

std::vector<uint8_t> HeldKeys::stillHeld(const std::vector<uint8_t>& lifted) const {
  std::vector<uint8_t> held;
  for (uint8_t vk : lifted)
    if (user_[vk]) held.push_back(vk);
  return held;
}

} // namespace q7
