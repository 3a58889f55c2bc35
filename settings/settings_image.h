// The settings image: one fixed-size, flat byte image of every profile, persisted slice by slice.
// Its offsets and widths are a stored format (registry values, profile files, the monitor reads
// them), so every one of them is checked at compile time below.
#pragma once

#include <cstddef>
#include <cstdint>
#include <condition_variable>
#include <memory>
#include <mutex>

#include "keys/key_record.h"

namespace q7 {

constexpr int kProfileCount = 9;
constexpr int kKeySetCount = 20;
constexpr int kLinkCount = 5;
constexpr int kTextUnits = 260;       // a 520-byte text slot
constexpr int kStoredTextBytes = 260; // the part of a text slot the registry holds

struct SettingsHeader {
  uint32_t Language;       // read only; never written back
  uint32_t ProfileTotle;   // 1 byte stored
  uint32_t ProfileCurrent; // 1 byte stored; profile index 0 ... 8
  uint32_t AutoSwitch;
  uint32_t ShowScreen;
  uint32_t TrayIcon;
  uint32_t LightOption;
  uint32_t SetColor[9];
  uint32_t ProfileColor[9];
  uint8_t Thumbkey[36];
};

struct KeySet {
  KeyRecord ProfileButton[kKeyCount];
  char16_t ProfileName[130];
  uint8_t reserved[264];
};

struct ProfileRecord {
  uint32_t DeviceMode;
  char16_t Name[kTextUnits];
  char16_t LinkExe[kLinkCount][kTextUnits];
  uint32_t AutoSwitch;
  uint32_t FuncKey; // keys of Button whose kind is not 0
  KeyRecord Button[kKeyCount];
  KeySet KeySets[kKeySetCount];
  uint8_t ProfileCount;
  uint8_t LEDIntensity;
  uint8_t reserved[2];
  uint32_t LightingLED;
  uint32_t BreathingLED;
  uint32_t TriggerLED;
  uint32_t ExplosingLED;
  uint32_t AudioLED[3];
  uint32_t ExplosingType;
  uint32_t RandomType;
  uint32_t AudioType; // 1 byte stored
  uint32_t WaveType;
  uint32_t RainType;
};

struct SettingsBlock {
  SettingsHeader header;
  ProfileRecord profiles[kProfileCount];
};

static_assert(offsetof(SettingsHeader, Language) == 0);
static_assert(offsetof(SettingsHeader, ProfileTotle) == 4);
static_assert(offsetof(SettingsHeader, ProfileCurrent) == 8);
static_assert(offsetof(SettingsHeader, AutoSwitch) == 12);
static_assert(offsetof(SettingsHeader, ShowScreen) == 16);
static_assert(offsetof(SettingsHeader, TrayIcon) == 20);
static_assert(offsetof(SettingsHeader, LightOption) == 24);
static_assert(offsetof(SettingsHeader, SetColor) == 28);
static_assert(offsetof(SettingsHeader, ProfileColor) == 64);
static_assert(offsetof(SettingsHeader, Thumbkey) == 100);
static_assert(sizeof(SettingsHeader) == 136);

static_assert(offsetof(KeySet, ProfileButton) == 0);
static_assert(offsetof(KeySet, ProfileName) == 353400);
static_assert(offsetof(KeySet, reserved) == 353660);
static_assert(sizeof(KeySet) == 353924);

static_assert(offsetof(ProfileRecord, DeviceMode) == 0);
static_assert(offsetof(ProfileRecord, Name) == 4);
static_assert(offsetof(ProfileRecord, LinkExe) == 524);
static_assert(sizeof(ProfileRecord::LinkExe) == 5 * 520);
static_assert(offsetof(ProfileRecord, AutoSwitch) == 3124);
static_assert(offsetof(ProfileRecord, FuncKey) == 3128);
static_assert(offsetof(ProfileRecord, Button) == 3132);
static_assert(offsetof(ProfileRecord, KeySets) == 356532);
static_assert(offsetof(ProfileRecord, ProfileCount) == 7435012);
static_assert(offsetof(ProfileRecord, LEDIntensity) == 7435013);
static_assert(offsetof(ProfileRecord, reserved) == 7435014);
static_assert(offsetof(ProfileRecord, LightingLED) == 7435016);
static_assert(offsetof(ProfileRecord, BreathingLED) == 7435020);
static_assert(offsetof(ProfileRecord, TriggerLED) == 7435024);
static_assert(offsetof(ProfileRecord, ExplosingLED) == 7435028);
static_assert(offsetof(ProfileRecord, AudioLED) == 7435032);
static_assert(offsetof(ProfileRecord, ExplosingType) == 7435044);
static_assert(offsetof(ProfileRecord, RandomType) == 7435048);
static_assert(offsetof(ProfileRecord, AudioType) == 7435052);
static_assert(offsetof(ProfileRecord, WaveType) == 7435056);
static_assert(offsetof(ProfileRecord, RainType) == 7435060);
static_assert(sizeof(ProfileRecord) == 7435064);

static_assert(offsetof(SettingsBlock, profiles) == 136);
static_assert(sizeof(SettingsBlock) == 66915712);
static_assert(sizeof(SettingsBlock) % 4 == 0);

// Profiles 0 and 6 are the PC mode, in which keys cannot be edited; the main window shows profile 6
// on the button of profile 0 and has buttons for profiles 0 ... 5 only.
constexpr int kPcModeProfile = 0;
constexpr int kPcModeProfileToo = 6;
constexpr int kLastProfileWithButton = 5;
constexpr bool isPcModeProfile(int p) { return p == kPcModeProfile || p == kPcModeProfileToo; }

// A profile index read from the image or a message, made safe to address the image with:
// anything outside 0 ... 8 is taken as 1, the profile a first run shows.
constexpr int safeProfileIndex(uint32_t p) { return p < kProfileCount ? static_cast<int>(p) : 1; }

// The program's settings: the working copy of the image that the windows edit, the saved copy that
// says what the registry holds, and the two whole-keyboard colour arrays kept beside them. One of
// these lives per process, owned by the application and handed to the windows; tests build their own.
// Both copies are on the heap (some 67 MB each) and start all zero.
class SettingsImage {
public:
  SettingsImage();
  SettingsImage(const SettingsImage&) = delete;
  SettingsImage& operator=(const SettingsImage&) = delete;

  SettingsBlock& working() { return *working_; }
  const SettingsBlock& working() const { return *working_; }
  const SettingsBlock& saved() const { return *saved_; }
  SettingsHeader& header() { return working_->header; }

  // The current profile's index, made safe to address the image with.
  int currentIndex() const { return safeProfileIndex(working_->header.ProfileCurrent); }
  // Working-copy accessors. p and k outside their ranges are clamped by safeProfileIndex / to key 0
  // rather than addressing outside the image.
  ProfileRecord& profile(int p);
  ProfileRecord& currentProfile() { return profile(currentIndex()); }
  KeyRecord& key(int p, int k);

  void commitSaved();             // saved copy := working copy
  bool hasUnsavedChanges() const; // the two copies differ in any byte
  void resetWorking();            // working copy := all zero

  // Outside the image: each is stored whole in one profile's key, and only the colour editor saves
  // them. WholeKeyColorSaved is set by the colour editor's OK once the registry holds them.
  uint8_t WholeKeyColorStatus[kProfileCount] = {};
  uint32_t WholeKeyColor[kProfileCount] = {};
  bool WholeKeyColorSaved = false;

  // A start may fill the image in two steps: the header and the current profile, then the other
  // profiles and the two arrays on another thread. Until that read is done, nothing but the header
  // and the profiles already read may be touched; everything else waits with waitUntilRead. A new
  // image counts as read.
  struct WholeKeyArrays {
    uint8_t status[kProfileCount];
    uint32_t colour[kProfileCount];
  };
  // The header is read into the working copy: the saved copy takes it.
  void headerRead();
  // Profile p is read into the working copy: the saved copy takes that slice alone.
  void profileRead(int p);
  // First step done: profile p is read (and committed with profileRead's copy), the others not yet.
  void beginPartialRead(int p);
  // The read is complete: the arrays take what it found, and every waiter goes on.
  void readComplete(const WholeKeyArrays& arrays);
  bool isRead(int p) const;
  bool allRead() const;
  void waitUntilRead() const;

private:
  mutable std::mutex readMutex_;
  mutable std::condition_variable readDone_;
  bool read_[kProfileCount] = {true, true, true, true, true, true, true, true, true};
  bool allRead_ = true;

  struct FreeBlock {
    void operator()(SettingsBlock* block) const;
  };
  std::unique_ptr<SettingsBlock, FreeBlock> working_;
  std::unique_ptr<SettingsBlock, FreeBlock> saved_;
};

} // namespace q7
