#include "settings/registry_store.h"

#include <cstring>
#include <string>

#include "settings/factory_defaults.h"
#include "settings/settings_image.h"

namespace q7 {

namespace {

struct Field {
  const char16_t* name;
  size_t offset; // in the record the table belongs to
  size_t width;  // bytes held by the registry value
};

#define HDR(f, w)                                                                                                      \
  Field { u## #f, offsetof(SettingsHeader, f), w }
#define PRF(f, w)                                                                                                      \
  Field { u## #f, offsetof(ProfileRecord, f), w }

constexpr Field kHeaderValues[] = {
    HDR(ProfileTotle, 1),  Field{kProfileCurrentValue, offsetof(SettingsHeader, ProfileCurrent), 1},
    HDR(AutoSwitch, 1),    HDR(ShowScreen, 1),
    HDR(TrayIcon, 1),      HDR(LightOption, 1),
    HDR(Thumbkey, 36),     HDR(SetColor, 36),
    HDR(ProfileColor, 36),
};
constexpr Field kLanguage = Field{kLanguageValue, offsetof(SettingsHeader, Language), 4};

constexpr size_t kAudioLED = offsetof(ProfileRecord, AudioLED);
constexpr Field kLightingValues[] = {
    PRF(LightingLED, 4),
    PRF(BreathingLED, 4),
    PRF(TriggerLED, 4),
    PRF(ExplosingLED, 4),
    {u"AudioLED", kAudioLED, 4},
    {u"AudioLED", kAudioLED + 4, 4},
    {u"AudioLED", kAudioLED + 8, 4},
    PRF(ExplosingType, 4),
    PRF(RandomType, 4),
    PRF(WaveType, 4),
    PRF(RainType, 4),
};
constexpr Field kLoadSmallValues[] = {PRF(DeviceMode, 1),   PRF(AutoSwitch, 1), PRF(FuncKey, 1),     PRF(Name, 260),
                                      PRF(LEDIntensity, 1), PRF(AudioType, 1),  PRF(ProfileCount, 1)};
constexpr Field kSaveSmallValues[] = {PRF(DeviceMode, 1),   PRF(AutoSwitch, 1), PRF(FuncKey, 1),
                                      PRF(LEDIntensity, 1), PRF(AudioType, 1),  PRF(ProfileCount, 1)};
constexpr Field kName = PRF(Name, 260);

#undef HDR
#undef PRF

uint8_t* bytes(void* record) { return static_cast<uint8_t*>(record); }

void readFields(RegistryKey& key, void* record, const Field* begin, const Field* end) {
  for (const Field* f = begin; f != end; ++f) key.read(f->name, bytes(record) + f->offset, f->width);
}

// The first failure of a run of writes: the writes go on, so that one refused value costs no other.
struct FirstFailure {
  uint32_t code = 0;
  void note(uint32_t rc) {
    if (code == 0) code = rc;
  }
  void noteOpen(Registry& registry) { note(registry.lastError() ? registry.lastError() : kUnknownRegistryError); }
};

void writeFields(RegistryKey& key, void* record, const Field* begin, const Field* end, FirstFailure& failure) {
  for (const Field* f = begin; f != end; ++f) failure.note(key.write(f->name, bytes(record) + f->offset, f->width));
}

template <size_t N> void readFields(RegistryKey& key, void* record, const Field (&table)[N]) {
  readFields(key, record, table, table + N);
}
template <size_t N> void writeFields(RegistryKey& key, void* record, const Field (&table)[N], FirstFailure& failure) {
  writeFields(key, record, table, table + N, failure);
}

// Key records are read and written through a name buffer that only changes its last digits.
template <typename Op> void forEachKeyRecord(std::u16string_view prefix, KeyRecord* records, Op op) {
  for (int k = 0; k < kKeyCount; ++k) op(valueName(prefix, k, kKeyRecordDigits), records[k]);
}

void writeHeader(Registry& registry, SettingsHeader& header, FirstFailure& failure) {
  auto key = registry.openOrCreate(kMainKeyPath);
  if (!key) return failure.noteOpen(registry);
  writeFields(*key, &header, kHeaderValues, failure);
}

void writeProfile(Registry& registry, ProfileRecord& rec, int p, FirstFailure& failure) {
  if (auto key = registry.openOrCreate(profileKeyPath(p))) {
    writeFields(*key, &rec, kSaveSmallValues, failure);
    writeFields(*key, &rec, kLightingValues, failure);
    writeFields(*key, &rec, &kName, &kName + 1, failure);
    for (int i = 0; i < kLinkCount; ++i)
      failure.note(key->write(valueName(kLinkExeValue, i), rec.LinkExe[i], kStoredTextBytes));
    forEachKeyRecord(kButtonValue, rec.Button,
                     [&](std::u16string_view name, KeyRecord& r) { failure.note(key->write(name, &r, sizeof r)); });
  } else {
    failure.noteOpen(registry);
  }
  for (int j = 0; j < kKeySetCount; ++j) {
    auto key = registry.openOrCreate(keySetKeyPath(p, j));
    if (!key) {
      failure.noteOpen(registry);
      continue;
    }
    KeySet& set = rec.KeySets[j];
    failure.note(key->write(kProfileNameValue, set.ProfileName, sizeof set.ProfileName));
    forEachKeyRecord(kProfileButtonValue, set.ProfileButton,
                     [&](std::u16string_view name, KeyRecord& r) { failure.note(key->write(name, &r, sizeof r)); });
  }
}

// Reads profile p into the working copy; whatever the registry lacks is zero.
void readProfile(Registry& registry, ProfileRecord& rec, int p, SettingsImage::WholeKeyArrays& arrays) {
  std::memset(&rec, 0, sizeof rec);
  if (auto key = registry.openOrCreate(profileKeyPath(p))) {
    readFields(*key, &rec, kLoadSmallValues);
    readFields(*key, &rec, kLightingValues);
    for (int i = 0; i < kLinkCount; ++i) key->read(valueName(kLinkExeValue, i), rec.LinkExe[i], sizeof rec.LinkExe[i]);
    forEachKeyRecord(kButtonValue, rec.Button,
                     [&](std::u16string_view name, KeyRecord& r) { key->read(name, &r, sizeof r); });
    // Stored whole in one profile's key; the highest-numbered key holding them wins.
    key->read(kWholeKeyColorStatusValue, arrays.status, sizeof arrays.status);
    key->read(kWholeKeyColorValue, arrays.colour, sizeof arrays.colour);
  }
  for (int j = 0; j < kKeySetCount; ++j) {
    auto key = registry.openOrCreate(keySetKeyPath(p, j));
    if (!key) continue;
    KeySet& set = rec.KeySets[j];
    key->read(kProfileNameValue, set.ProfileName, sizeof set.ProfileName);
    forEachKeyRecord(kProfileButtonValue, set.ProfileButton,
                     [&](std::u16string_view name, KeyRecord& r) { key->read(name, &r, sizeof r); });
  }
}

// The arrays as they stand before a read: a profile key without them leaves them as they were.
SettingsImage::WholeKeyArrays arraysOf(const SettingsImage& image) {
  SettingsImage::WholeKeyArrays arrays;
  std::memcpy(arrays.status, image.WholeKeyColorStatus, sizeof arrays.status);
  std::memcpy(arrays.colour, image.WholeKeyColor, sizeof arrays.colour);
  return arrays;
}

void readArrays(Registry& registry, int p, SettingsImage::WholeKeyArrays& arrays) {
  if (auto key = registry.open(profileKeyPath(p))) {
    key->read(kWholeKeyColorStatusValue, arrays.status, sizeof arrays.status);
    key->read(kWholeKeyColorValue, arrays.colour, sizeof arrays.colour);
  }
}

} // namespace

ValueName::ValueName(std::u16string_view prefix, int number, int digits) {
  char16_t digitsText[12];
  int n = 0;
  unsigned v = number < 0 ? 0u : static_cast<unsigned>(number);
  do {
    digitsText[n++] = static_cast<char16_t>(u'0' + v % 10);
    v /= 10;
  } while (v != 0);
  for (; n < digits && n < 12; ++n) digitsText[n] = u'0';
  size_ = std::min(prefix.size(), sizeof text_ / sizeof text_[0] - n);
  prefix.copy(text_, size_);
  while (n > 0) text_[size_++] = digitsText[--n];
}

std::u16string profileKeyPath(int profile) {
  return std::u16string(kMainKeyPath) + u"\\" + valueName(kProfileKeyPrefix, profile).str();
}

std::u16string keySetKeyPath(int profile, int set) {
  return profileKeyPath(profile) + u"\\" + valueName(kProfileNameValue, set).str();
}

void writeFactoryDefaults(Registry& registry, SettingsImage& image) {
  // Everything not named below is zero, whatever the working copy held before.
  image.resetWorking();
  for (int p = 0; p < kProfileCount; ++p) {
    ProfileRecord& rec = image.profile(p);
    applyLedDefaults(rec);
    rec.ProfileCount = 1;
    applyKeySetZeroDefaults(rec);
    for (int j = 1; j < kKeySetCount; ++j) setText(rec.KeySets[j].ProfileName, 130, u"NEW");
  }
  // A first run whose writes fail still shows the factory state; the next save reports the failure.
  FirstFailure ignored;
  writeHeader(registry, image.header(), ignored);
  for (int p = 0; p < kProfileCount; ++p) writeProfile(registry, image.profile(p), p, ignored);
  image.commitSaved();
}

bool loadCurrentProfile(Registry& registry, SettingsImage& image) {
  auto mainKey = registry.open(kMainKeyPath);
  const bool firstRun = !mainKey;
  if (firstRun) {
    writeFactoryDefaults(registry, image);
    mainKey = registry.create(kMainKeyPath);
  }
  // Only what is read is cleared and committed here: a value the registry lacks reads as zero, and
  // the rest of the image waits for its own read (touching 134 MB would cost the start its time).
  SettingsHeader& header = image.header();
  header = SettingsHeader{};
  if (mainKey) {
    readFields(*mainKey, &header, &kLanguage, &kLanguage + 1);
    readFields(*mainKey, &header, kHeaderValues);
    mainKey.reset();
  }
  // One stored byte can hold up to 255: never let it address the image.
  header.ProfileCurrent = static_cast<uint32_t>(safeProfileIndex(header.ProfileCurrent));
  image.headerRead();
  if (firstRun) {
    // Rare, and the defaults were just written: read everything back at once.
    SettingsImage::WholeKeyArrays arrays = arraysOf(image);
    for (int p = 0; p < kProfileCount; ++p) {
      readProfile(registry, image.profile(p), p, arrays);
      image.profileRead(p);
    }
    image.readComplete(arrays);
    header.ProfileCurrent = 1;
    return true;
  }
  const int current = image.currentIndex();
  SettingsImage::WholeKeyArrays unused = arraysOf(image); // the arrays come with the other profiles
  readProfile(registry, image.profile(current), current, unused);
  image.beginPartialRead(current);
  return false;
}

void loadOtherProfiles(Registry& registry, SettingsImage& image) {
  if (image.allRead()) return;
  // Only the read state tells which profile the first step read: the window may already change the
  // header, and the arrays are not touched before the read is complete.
  SettingsImage::WholeKeyArrays arrays = arraysOf(image);
  for (int p = 0; p < kProfileCount; ++p) {
    if (image.isRead(p)) {
      readArrays(registry, p, arrays);
      continue;
    }
    readProfile(registry, image.profile(p), p, arrays);
    image.profileRead(p);
  }
  image.readComplete(arrays);
}

bool loadSettings(Registry& registry, SettingsImage& image) {
  image.waitUntilRead();
  const bool firstRun = loadCurrentProfile(registry, image);
  loadOtherProfiles(registry, image);
  return firstRun;
}

uint32_t writeSettings(Registry& registry, SettingsImage& image) { return writeBlock(registry, image.working()); }

uint32_t writeBlock(Registry& registry, SettingsBlock& block) {
  FirstFailure failure;
  writeHeader(registry, block.header, failure);
  for (int p = 0; p < kProfileCount; ++p) writeProfile(registry, block.profiles[p], p, failure);
  return failure.code;
}

void readBlock(Registry& registry, SettingsBlock& block) {
  block.header = SettingsHeader{};
  if (auto key = registry.open(kMainKeyPath)) {
    readFields(*key, &block.header, &kLanguage, &kLanguage + 1);
    readFields(*key, &block.header, kHeaderValues);
  }
  SettingsImage::WholeKeyArrays unused{};
  for (int p = 0; p < kProfileCount; ++p) readProfile(registry, block.profiles[p], p, unused);
}

uint32_t saveSettings(Registry& registry, SettingsImage& image) {
  const uint32_t failure = writeSettings(registry, image);
  // Only what the registry now holds in full counts as saved.
  if (failure == 0) image.commitSaved();
  return failure;
}

uint32_t writeProfileSettings(Registry& registry, SettingsImage& image, int p) {
  FirstFailure failure;
  writeProfile(registry, image.profile(p), safeProfileIndex(static_cast<uint32_t>(p)), failure);
  return failure.code;
}

void loadProfile(Registry& registry, SettingsImage& image, int p) {
  SettingsImage::WholeKeyArrays unused = arraysOf(image);
  const int index = safeProfileIndex(static_cast<uint32_t>(p));
  readProfile(registry, image.profile(index), index, unused);
}

uint32_t saveWholeKeyColours(Registry& registry, const SettingsImage& image, int p) {
  if (!registry.openOrCreate(kMainKeyPath)) return registry.lastError() ? registry.lastError() : kUnknownRegistryError;
  auto key = registry.openOrCreate(profileKeyPath(safeProfileIndex(static_cast<uint32_t>(p))));
  if (!key) return registry.lastError() ? registry.lastError() : kUnknownRegistryError;
  if (const uint32_t rc =
          key->write(kWholeKeyColorStatusValue, image.WholeKeyColorStatus, sizeof image.WholeKeyColorStatus))
    return rc;
  return key->write(kWholeKeyColorValue, image.WholeKeyColor, sizeof image.WholeKeyColor);
}

void readSecondTreeLinks(Registry& registry, SettingsImage& image) {
  for (int p = 0; p < kProfileCount; ++p) {
    auto key = registry.openOrCreate(std::u16string(kSecondTreePath) + u"\\" + valueName(kProfileKeyPrefix, p).str());
    if (!key) continue;
    ProfileRecord& rec = image.profile(p);
    for (int i = 0; i < kLinkCount; ++i) key->read(valueName(kLinkExeValue, i), rec.LinkExe[i], sizeof rec.LinkExe[i]);
  }
}

} // namespace q7
