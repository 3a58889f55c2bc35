#include "settings/profile_file.h"

#include <algorithm>
#include <cstring>
#include <memory>

namespace q7 {

FileResult exportProfile(Files& files, std::u16string_view path, const ProfileRecord& record) {
  return files.replaceWith(path, &record, sizeof(ProfileRecord));
}

FileResult importProfile(Files& files, std::u16string_view path, ProfileRecord& record) {
  // A whole record is far too big for a stack, and a failed read must leave the profile as it was:
  // read into a buffer kept for the process (made on the first import, never cleared: only the
  // bytes read are used), then copy what was read and zero the rest of the record.
  static const std::unique_ptr<ProfileRecord> buffer(new ProfileRecord);
  size_t got = 0;
  const FileResult result = files.readPrefix(path, buffer.get(), sizeof(ProfileRecord), &got);
  if (result == FileResult::Done) {
    got = std::min(got, sizeof(ProfileRecord));
    auto* to = reinterpret_cast<unsigned char*>(&record);
    std::memcpy(to, buffer.get(), got);
    std::memset(to + got, 0, sizeof(ProfileRecord) - got);
  }
  return result;
}

} // namespace q7
