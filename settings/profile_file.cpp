#include "settings/profile_file.h"

#include <cstring>
#include <memory>

#include "settings/settings_image.h"

namespace q7 {

FileResult exportProfile(Files& files, std::u16string_view path) {
  return files.replaceWith(path, &currentProfile(), sizeof(ProfileRecord));
}

FileResult importProfile(Files& files, std::u16string_view path) {
  // A whole record is far too big for a stack: read into a heap buffer first (value-initialised,
  // so all zero: a short file leaves the rest of the record zero).
  auto buffer = std::make_unique<ProfileRecord>();
  size_t got = 0;
  const FileResult result = files.readPrefix(path, buffer.get(), sizeof(ProfileRecord), &got);
  if (result == FileResult::Done) std::memcpy(&currentProfile(), buffer.get(), sizeof(ProfileRecord));
  return result;
}

} // namespace q7
