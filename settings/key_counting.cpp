#include "settings/key_counting.h"

namespace q7 {

uint32_t countKeysInUse(const ProfileRecord& profile) {
  uint32_t n = 0;
  for (const KeyRecord& k : profile.Button) n += k.inUse() ? 1 : 0;
  return n;
}

uint32_t recountFuncKey(ProfileRecord& profile) {
  profile.FuncKey = countKeysInUse(profile);
  return profile.FuncKey;
}

void countAssignment(ProfileRecord& profile, uint8_t previousKind) {
  if (previousKind == 0) ++profile.FuncKey;
}

void countReset(ProfileRecord& profile) {
  if (profile.FuncKey > 0) --profile.FuncKey;
}

bool keyLimitReached(const ProfileRecord& profile) { return profile.FuncKey >= kKeyCount; }

} // namespace q7
