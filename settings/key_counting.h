// FuncKey: how many of a profile's keys are in use, kept up to date by the commands that assign
// and free keys.
#pragma once

#include <cstdint>

#include "settings/settings_image.h"

namespace q7 {

// Number of the profile's 114 Button records whose kind byte is not 0.
uint32_t countKeysInUse(const ProfileRecord& profile);
// Sets FuncKey of the profile to that count and returns it.
uint32_t recountFuncKey(ProfileRecord& profile);
// A command gave a key a new non-zero kind: FuncKey rises only when the key was not in use before.
void countAssignment(ProfileRecord& profile, uint8_t previousKind);
// The DEFAULT command freed a key in use: FuncKey falls by one, never below zero.
void countReset(ProfileRecord& profile);
// MACRO, APP and DISABLE refuse to start while FuncKey has reached the number of keys.
bool keyLimitReached(const ProfileRecord& profile);

} // namespace q7
