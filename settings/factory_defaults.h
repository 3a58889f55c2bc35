// The factory values that both a first run and a profile reset give.
#pragma once

#include <cstddef>
#include <string_view>

#include "settings/settings_image.h"

namespace q7 {

// Intensity and the four effect colours.
void applyLedDefaults(ProfileRecord& profile);
// Key set 0: the name "DEFAULT" and the sixteen coloured keys.
void applyKeySetZeroDefaults(ProfileRecord& profile);
// Writes text into a zero-filled slot of units code units, always leaving a terminator.
void setText(char16_t* slot, size_t units, std::u16string_view text);

} // namespace q7
