// Profile files: one raw profile record, byte for byte as in the working copy.
#pragma once

#include <string_view>

#include "platform/files.h"

namespace q7 {

// Writes the current profile's record of the working copy; changes nothing in the program.
FileResult exportProfile(Files& files, std::u16string_view path);
// Replaces the current profile's record by the file's first bytes, the rest of the record zero.
// A failed read leaves the record as it was.
FileResult importProfile(Files& files, std::u16string_view path);

} // namespace q7
