// The backup of everything the program stores under its registry key, as one file: a fixed header
// (magic word, format version, sizes, checksum), the values beside the image, then the image.
// A backup is read and checked in full before anything is written.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

#include "platform/files.h"
#include "platform/registry.h"
#include "settings/settings_image.h"

namespace q7 {

inline constexpr char kBackupMagic[8] = {'Q', '7', 'B', 'A', 'C', 'K', 'U', 'P'};
inline constexpr uint32_t kBackupVersion = 1;

struct BackupHeader {
  char magic[8];
  uint32_t version;
  uint32_t headerSize;         // sizeof(BackupHeader)
  uint32_t extrasSize;         // sizeof(BackupExtras)
  uint32_t settingsHeaderSize; // sizeof(SettingsHeader)
  uint32_t profileSize;        // sizeof(ProfileRecord)
  uint32_t profileCount;
  uint64_t contentSize; // the bytes after the header: extras, settings header, profiles
  uint64_t checksum;    // backupChecksum of those bytes
};

// What the registry holds beside the image: whether the optional values exist (an import removes
// those the backup lacks), and the two
// whole-keyboard arrays as each profile's key holds them (a key may hold none).
struct BackupExtras {
  uint8_t languageStored;
  uint8_t statusStored[kProfileCount];
  uint8_t colourStored[kProfileCount];
  uint8_t status[kProfileCount][kProfileCount];
  uint32_t colour[kProfileCount][kProfileCount];
};

static_assert(offsetof(BackupHeader, version) == 8);
static_assert(offsetof(BackupHeader, contentSize) == 32);
static_assert(offsetof(BackupHeader, checksum) == 40);
static_assert(sizeof(BackupHeader) == 48);
static_assert(offsetof(BackupExtras, status) == 19);
static_assert(offsetof(BackupExtras, colour) == 100);
static_assert(sizeof(BackupExtras) == 424);

inline constexpr size_t kBackupContentSize = sizeof(BackupExtras) + sizeof(SettingsBlock);
inline constexpr size_t kBackupFileSize = sizeof(BackupHeader) + kBackupContentSize;

// Why a file is refused; Good when it can be imported.
enum class BackupCheck { Good, NotBackup, OtherVersion, Cut, WrongSize, BadChecksum };

// A 64-bit checksum over bytes, four lanes of eight bytes at a time: every change of one byte
// changes it.
uint64_t backupChecksum(const uint8_t* data, size_t size);

// Checks a whole file held in memory: header, sizes, length and checksum.
BackupCheck checkBackup(const uint8_t* file, size_t size);

struct BackupResult {
  enum Kind {
    Done,
    NoSettings,     // export: nothing is stored under the key
    CannotOpen,     // the file could not be opened or created
    FileFailed,     // a read or write of the file failed; nothing changed
    Refused,        // import: the file failed its check (see check); nothing changed
    RegistryFailed, // import: a registry write failed (see code); values up to it may be written
  } kind = Done;
  BackupCheck check = BackupCheck::Good;
  uint32_t code = 0;           // the system's error code of RegistryFailed
  uint32_t fileVersion = 0;    // the version an OtherVersion file names
  uint64_t fileSize = 0;       // the bytes a Cut or WrongSize file holds
  uint32_t profileCurrent = 0; // import: the current profile the written settings name
};

// Reads everything stored under the program's key (creating nothing) and writes it as one backup
// file, atomically: the old file stays unless every byte was written.
BackupResult exportBackup(Registry& registry, Files& files, std::u16string_view path);
// Reads and checks the whole file, then writes every value it holds. A refused file writes nothing.
BackupResult importBackup(Registry& registry, Files& files, std::u16string_view path);

// Either step alone: what the registry stores, as stored, into block and extras (false when nothing
// is stored; nothing is created), and back. writeStoredSettings gives 0 or the system's error code
// of the first failed write, after trying every value.
bool readStoredSettings(Registry& registry, SettingsBlock& block, BackupExtras& extras);
uint32_t writeStoredSettings(Registry& registry, SettingsBlock& block, const BackupExtras& extras);

} // namespace q7
