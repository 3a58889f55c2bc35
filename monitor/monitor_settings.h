// What the monitor reads of the saved settings: the current profile, the linked programs of every
// profile and one profile's key records. Only opens and reads: the monitor never creates a key or
// writes a value. Every read is bounded by its slot.
#pragma once

#include <array>
#include <memory>
#include <string>
#include <string_view>

#include "keys/key_layout.h"
#include "monitor/key_actions.h"
#include "platform/registry.h"
#include "settings/settings_image.h"

namespace q7 {

using LinkedPrograms = std::array<std::array<std::u16string, kLinkCount>, kProfileCount>;

// "ProfileCurrent" (one byte; outside 0 … 8 it reads as 1), or -1 when the main key is missing.
int readCurrentProfile(Registry& registry);

// "LinkExe0" … "LinkExe4" of every profile; a text ends at its first NUL or at 260 code units.
LinkedPrograms readLinkedPrograms(Registry& registry);

// The 114 "Button%.3d" records of a profile, mapped by the layout; a missing key or value leaves
// its records zero (default function). Null for a profile outside 0 … 8.
std::unique_ptr<ProfileKeys> readProfileKeys(Registry& registry, int profile, KeyLayout layout);

// The profile that a program (a full path or a bare file name) is linked to, comparing file
// names without case; the current profile wins when it lists the program too, else the lowest
// index. -1 when no profile lists it.
int linkedProfile(const LinkedPrograms& links, std::u16string_view program, int current);

// The file name of a path: what follows its last backslash or slash.
std::u16string_view fileNameOf(std::u16string_view path);

} // namespace q7
