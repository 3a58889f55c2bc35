// The factory values that both a first run and a profile reset give.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

#include "settings/settings_image.h"

namespace q7 {

// The colour a profile reset gives ProfileColor of profiles 0 ... 5 (profiles 6 ... 8 get none).
constexpr uint32_t kResetProfileColours[kLastProfileWithButton + 1] = {0x00FF00FF, 0x00FF0000, 0x000000FF,
                                                                       0x00FFFFFF, 0x0000FF00, 0x0000FFFF};

// Intensity and the four effect colours.
void applyLedDefaults(ProfileRecord& profile);
// Key set 0: the name "DEFAULT" and the sixteen coloured keys.
void applyKeySetZeroDefaults(ProfileRecord& profile);
// The settings side of a profile reset, in the working copy: the whole record of profile p zero
// (lighting block and key colours included, ProfileCount stays 0), its ProfileColor entry from the
// table above, the LED defaults again for all nine profiles (their AudioLED colours and effect types
// stay), and key set 0 of p named "DEFAULT" with its sixteen coloured keys.
void resetProfileSettings(SettingsImage& image, int p);
// Writes text into a zero-filled slot of units code units, always leaving a terminator.
void setText(char16_t* slot, size_t units, std::u16string_view text);

} // namespace q7
