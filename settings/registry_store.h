// Moves the settings image between memory and the per-user registry, value by value, and writes
// the factory defaults on a first run.
#pragma once

#include "platform/registry.h"
#include "settings/registry_names.h"
#include "settings/settings_image.h"

#include <string>
#include <string_view>

namespace q7 {

// Fills the working copy from the registry and commits it; a first run (no main key) writes the
// factory defaults first and leaves ProfileCurrent 1 in the working copy. Returns true on a first run.
// A two-step read of the same image must have finished or be running on its thread: this waits for it.
bool loadSettings(Registry& registry, SettingsImage& image);
// The same load in two steps, so that a start can show the current profile before the rest is read.
// The first reads the header and the current profile and commits them; on a first run it reads
// everything, as loadSettings does. The second, on any thread, reads the other profiles and the
// whole-keyboard arrays and marks each slice read (nothing when the first step read everything).
// Between the two, only the header and the current profile may be touched (SettingsImage).
bool loadCurrentProfile(Registry& registry, SettingsImage& image);
void loadOtherProfiles(Registry& registry, SettingsImage& image);
// Writes the whole working copy, every value even after a refused one. 0 when every key opened and
// every value was written, and the working copy is then committed; otherwise the system's error code
// of the first failure, and the saved copy stays as it was. Telling the monitor is the caller's part.
uint32_t saveSettings(Registry& registry, SettingsImage& image);
// The writes of saveSettings alone: the saved copy stays as it was, for a caller that commits
// (SettingsImage::commitSaved) after telling the monitor, which reads the registry meanwhile.
uint32_t writeSettings(Registry& registry, SettingsImage& image);
// The values of profile p alone (its key and its key sets' keys), every value even after a refused
// one: 0 or the system's error code of the first failure. Nothing is committed.
uint32_t writeProfileSettings(Registry& registry, SettingsImage& image, int p);
// Reads profile p alone into the working copy (what the registry lacks is zero); commits nothing.
void loadProfile(Registry& registry, SettingsImage& image, int p);
// The same reads and writes on a bare block, as stored: nothing clamped, nothing committed, the
// whole-keyboard arrays left out. A read zeroes what the registry lacks.
void readBlock(Registry& registry, SettingsBlock& block);
uint32_t writeBlock(Registry& registry, SettingsBlock& block);
// The factory state of every profile, written to the registry and committed.
void writeFactoryDefaults(Registry& registry, SettingsImage& image);

// The registry as an export sees it: keys open, none is ever created and nothing is written by a
// store's read through it (a read of a missing key then finds nothing).
class ReadOnlyRegistry final : public Registry {
public:
  explicit ReadOnlyRegistry(Registry& inner) : inner_(inner) {}
  std::unique_ptr<RegistryKey> open(std::u16string_view path) override { return inner_.open(path); }
  std::unique_ptr<RegistryKey> create(std::u16string_view) override { return nullptr; }
  uint32_t lastError() const override { return inner_.lastError(); }

private:
  Registry& inner_;
};

// A value or key name built as the stored format spells them ("Button007", "LinkExe2", ...), held
// without allocating: a save or load builds some 22,000 of them.
class ValueName {
public:
  ValueName(std::u16string_view prefix, int number, int digits = 1);
  std::u16string_view view() const { return {text_, size_}; }
  operator std::u16string_view() const { return view(); }
  std::u16string str() const { return std::u16string(view()); }

private:
  char16_t text_[40];
  size_t size_ = 0;
};
inline ValueName valueName(std::u16string_view prefix, int number, int digits = 1) {
  return ValueName(prefix, number, digits);
}
std::u16string profileKeyPath(int profile);
std::u16string keySetKeyPath(int profile, int set);

// Writes the whole-keyboard arrays, all nine entries of each, into the key of profile p only (the
// main key is created first when missing). 0 when both values were written, otherwise the system's
// error code of the first failure.
uint32_t saveWholeKeyColours(Registry& registry, const SettingsImage& image, int p);
inline constexpr uint32_t kUnknownRegistryError = 1; // ERROR_INVALID_FUNCTION: a failure with no code of its own

// Reads "LinkExe%d" of every profile from the second tree into the working copy (activation refresh).
void readSecondTreeLinks(Registry& registry, SettingsImage& image);

} // namespace q7
