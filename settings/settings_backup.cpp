#include "settings/settings_backup.h"

#include <cstring>
#include <memory>

#include "settings/registry_names.h"
#include "settings/registry_store.h"

namespace q7 {

namespace {

constexpr uint64_t kPrime1 = 0x9E3779B185EBCA87ull;
constexpr uint64_t kPrime2 = 0xC2B2AE3D27D4EB4Full;
constexpr uint64_t kPrime3 = 0x165667B19E3779F9ull;

constexpr uint64_t rotl(uint64_t v, int r) { return (v << r) | (v >> (64 - r)); }
uint64_t load64(const uint8_t* p) {
  uint64_t v;
  std::memcpy(&v, p, sizeof v); // little-endian targets only
  return v;
}
uint32_t load32(const uint8_t* p) {
  uint32_t v;
  std::memcpy(&v, p, sizeof v);
  return v;
}

BackupHeader expectedHeader() {
  BackupHeader h{};
  std::memcpy(h.magic, kBackupMagic, sizeof h.magic);
  h.version = kBackupVersion;
  h.headerSize = sizeof(BackupHeader);
  h.extrasSize = sizeof(BackupExtras);
  h.settingsHeaderSize = sizeof(SettingsHeader);
  h.profileSize = sizeof(ProfileRecord);
  h.profileCount = kProfileCount;
  h.contentSize = kBackupContentSize;
  return h;
}

uint32_t openError(Registry& registry) { return registry.lastError() ? registry.lastError() : kUnknownRegistryError; }

} // namespace

uint64_t backupChecksum(const uint8_t* data, size_t size) {
  uint64_t lane[4] = {kPrime1 + kPrime2, kPrime2, 0, 0 - kPrime1};
  size_t i = 0;
  for (; i + 32 <= size; i += 32)
    for (int l = 0; l < 4; ++l) lane[l] = rotl(lane[l] + load64(data + i + 8 * l) * kPrime2, 31) * kPrime1;
  uint64_t h = rotl(lane[0], 1) + rotl(lane[1], 7) + rotl(lane[2], 12) + rotl(lane[3], 18);
  for (uint64_t l : lane) h = (h ^ (rotl(l * kPrime2, 31) * kPrime1)) * kPrime1 + kPrime3;
  h += size;
  for (; i < size; ++i) h = rotl(h ^ (data[i] * kPrime3), 11) * kPrime1;
  h ^= h >> 33;
  h *= kPrime2;
  h ^= h >> 29;
  h *= kPrime3;
  h ^= h >> 32;
  return h;
}

BackupCheck checkBackup(const uint8_t* file, size_t size) {
  if (size < sizeof kBackupMagic || std::memcmp(file, kBackupMagic, sizeof kBackupMagic) != 0)
    return BackupCheck::NotBackup;
  if (size < offsetof(BackupHeader, version) + 4) return BackupCheck::Cut;
  if (load32(file + offsetof(BackupHeader, version)) != kBackupVersion) return BackupCheck::OtherVersion;
  if (size < sizeof(BackupHeader)) return BackupCheck::Cut;
  BackupHeader header;
  std::memcpy(&header, file, sizeof header);
  BackupHeader expected = expectedHeader();
  expected.checksum = header.checksum;
  if (std::memcmp(&header, &expected, sizeof header) != 0) return BackupCheck::WrongSize;
  if (size < kBackupFileSize) return BackupCheck::Cut;
  if (size > kBackupFileSize) return BackupCheck::WrongSize;
  if (backupChecksum(file + sizeof(BackupHeader), kBackupContentSize) != header.checksum)
    return BackupCheck::BadChecksum;
  return BackupCheck::Good;
}

bool readStoredSettings(Registry& registry, SettingsBlock& block, BackupExtras& extras) {
  ReadOnlyRegistry reader(registry);
  auto mainKey = reader.open(kMainKeyPath);
  if (!mainKey) return false;
  extras = BackupExtras{};
  uint32_t language = 0;
  extras.languageStored = mainKey->read(kLanguageValue, &language, sizeof language) ? 1 : 0;
  mainKey.reset();
  readBlock(reader, block);
  for (int p = 0; p < kProfileCount; ++p) {
    auto key = reader.open(profileKeyPath(p));
    if (!key) continue;
    extras.statusStored[p] = key->read(kWholeKeyColorStatusValue, extras.status[p], sizeof extras.status[p]) ? 1 : 0;
    extras.colourStored[p] = key->read(kWholeKeyColorValue, extras.colour[p], sizeof extras.colour[p]) ? 1 : 0;
  }
  return true;
}

uint32_t writeStoredSettings(Registry& registry, SettingsBlock& block, const BackupExtras& extras) {
  uint32_t failure = writeBlock(registry, block);
  auto note = [&](uint32_t rc) {
    if (failure == 0) failure = rc;
  };
  // A value the backup lacks is removed: left behind, the arrays of a higher profile's key would
  // win over the backup's at the next start.
  auto put = [&](RegistryKey& key, bool stored, std::u16string_view name, const void* data, size_t size) {
    note(stored ? key.write(name, data, size) : key.remove(name));
  };
  if (auto key = registry.openOrCreate(kMainKeyPath))
    put(*key, extras.languageStored, kLanguageValue, &block.header.Language, sizeof block.header.Language);
  else
    note(openError(registry));
  for (int p = 0; p < kProfileCount; ++p) {
    auto key = registry.openOrCreate(profileKeyPath(p));
    if (!key) {
      note(openError(registry));
      continue;
    }
    put(*key, extras.statusStored[p], kWholeKeyColorStatusValue, extras.status[p], sizeof extras.status[p]);
    put(*key, extras.colourStored[p], kWholeKeyColorValue, extras.colour[p], sizeof extras.colour[p]);
  }
  return failure;
}

namespace {

// The file's parts in one buffer, so that the registry is read into and written from the file's
// own bytes: no second copy of 64 MB.
constexpr size_t kExtrasAt = sizeof(BackupHeader);
constexpr size_t kBlockAt = kExtrasAt + sizeof(BackupExtras);
static_assert(kBlockAt % alignof(SettingsBlock) == 0);
SettingsBlock& blockIn(uint8_t* file) { return *reinterpret_cast<SettingsBlock*>(file + kBlockAt); }

} // namespace

BackupResult exportBackup(Registry& registry, Files& files, std::u16string_view path) {
  BackupResult result;
  const std::unique_ptr<uint8_t[]> file(new uint8_t[kBackupFileSize]);
  BackupExtras extras;
  if (!readStoredSettings(registry, blockIn(file.get()), extras)) {
    result.kind = BackupResult::NoSettings;
    return result;
  }
  std::memcpy(file.get() + kExtrasAt, &extras, sizeof extras);
  BackupHeader header = expectedHeader();
  header.checksum = backupChecksum(file.get() + kExtrasAt, kBackupContentSize);
  std::memcpy(file.get(), &header, sizeof header);
  switch (files.replaceWith(path, file.get(), kBackupFileSize)) {
  case FileResult::Done:
    break;
  case FileResult::CannotOpen:
    result.kind = BackupResult::CannotOpen;
    break;
  case FileResult::Failed:
    result.kind = BackupResult::FileFailed;
    break;
  }
  return result;
}

BackupResult importBackup(Registry& registry, Files& files, std::u16string_view path) {
  BackupResult result;
  // One byte more than a backup holds, to tell a longer file; never more than that is read.
  const size_t capacity = kBackupFileSize + 1;
  const std::unique_ptr<uint8_t[]> file(new uint8_t[capacity]);
  size_t got = 0;
  switch (files.readPrefix(path, file.get(), capacity, &got)) {
  case FileResult::Done:
    break;
  case FileResult::CannotOpen:
    result.kind = BackupResult::CannotOpen;
    return result;
  case FileResult::Failed:
    result.kind = BackupResult::FileFailed;
    return result;
  }
  result.check = checkBackup(file.get(), got);
  if (result.check != BackupCheck::Good) {
    result.kind = BackupResult::Refused;
    result.fileSize = got;
    if (result.check == BackupCheck::OtherVersion)
      result.fileVersion = load32(file.get() + offsetof(BackupHeader, version));
    return result;
  }
  BackupExtras extras;
  std::memcpy(&extras, file.get() + kExtrasAt, sizeof extras);
  SettingsBlock& block = blockIn(file.get());
  result.profileCurrent = block.header.ProfileCurrent;
  result.code = writeStoredSettings(registry, block, extras);
  if (result.code != 0) result.kind = BackupResult::RegistryFailed;
  return result;
}

} // namespace q7
