// Profile files: one raw profile record, byte for byte as in the working copy.
#pragma once

#include <string_view>

#include "platform/files.h"
#include "settings/settings_image.h"

namespace q7 {

// Writes a profile's record; changes nothing in the program.
FileResult exportProfile(Files& files, std::u16string_view path, const ProfileRecord& record);
// Replaces a profile's record by the file's first bytes, the rest of the record zero. A failed read
// leaves the record as it was.
FileResult importProfile(Files& files, std::u16string_view path, ProfileRecord& record);

} // namespace q7
