// The lighting values as the settings carry them: stored widths, first-run values, the profile
// reset, profile files, and the whole-keyboard arrays beside the image.
#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "fakes/memory_files.h"
#include "fakes/memory_registry.h"
#include "settings/factory_defaults.h"
#include "settings/profile_file.h"
#include "settings/registry_store.h"
#include "settings/settings_image.h"

namespace q7 {
namespace {

constexpr size_t kLightingBlock = offsetof(ProfileRecord, ProfileCount);
constexpr size_t kLightingBlockSize = sizeof(ProfileRecord) - kLightingBlock;
static_assert(kLightingBlockSize == 52);

const uint8_t* lightingBlock(const ProfileRecord& r) { return reinterpret_cast<const uint8_t*>(&r) + kLightingBlock; }

class LightingRules : public ::testing::Test {
protected:
  void SetUp() override { ASSERT_TRUE(loadSettings(reg, image)); }
  void roundTrip() {
    saveSettings(reg, image);
    loadSettings(reg, image);
  }
  SettingsImage image;
  test::MemoryRegistry reg;
};

TEST_F(LightingRules, EveryValueComesBackWithinItsStoredWidth) {
  struct Case {
    const char* name;
    void (*set)(ProfileRecord&);
    bool (*check)(const ProfileRecord&);
  };
  const Case cases[] = {
      {"ProfileCount", [](ProfileRecord& r) { r.ProfileCount = 0xC3; },
       [](const ProfileRecord& r) { return r.ProfileCount == 0xC3; }},
      {"LEDIntensity", [](ProfileRecord& r) { r.LEDIntensity = 0xFE; },
       [](const ProfileRecord& r) { return r.LEDIntensity == 0xFE; }},
      {"LightingLED", [](ProfileRecord& r) { r.LightingLED = 0x00123456; },
       [](const ProfileRecord& r) { return r.LightingLED == 0x00123456u; }},
      {"BreathingLED", [](ProfileRecord& r) { r.BreathingLED = 0xFF000001; },
       [](const ProfileRecord& r) { return r.BreathingLED == 0xFF000001u; }},
      {"TriggerLED", [](ProfileRecord& r) { r.TriggerLED = 0x00ABCDEF; },
       [](const ProfileRecord& r) { return r.TriggerLED == 0x00ABCDEFu; }},
      {"ExplosingLED", [](ProfileRecord& r) { r.ExplosingLED = 0x00010203; },
       [](const ProfileRecord& r) { return r.ExplosingLED == 0x00010203u; }},
      {"ExplosingType", [](ProfileRecord& r) { r.ExplosingType = 0x80000007; },
       [](const ProfileRecord& r) { return r.ExplosingType == 0x80000007u; }},
      {"RandomType", [](ProfileRecord& r) { r.RandomType = 70000; },
       [](const ProfileRecord& r) { return r.RandomType == 70000u; }},
      {"WaveType", [](ProfileRecord& r) { r.WaveType = 0xFFFFFFFF; },
       [](const ProfileRecord& r) { return r.WaveType == 0xFFFFFFFFu; }},
      {"RainType", [](ProfileRecord& r) { r.RainType = 9; }, [](const ProfileRecord& r) { return r.RainType == 9u; }},
      // One byte of a 32-bit slot is stored: 376 comes back as 120.
      {"AudioType", [](ProfileRecord& r) { r.AudioType = 376; },
       [](const ProfileRecord& r) { return r.AudioType == 120u; }},
      // Three colours, one value: the third one is what comes back, three times.
      {"AudioLED",
       [](ProfileRecord& r) {
         r.AudioLED[0] = 0x00AA0000;
         r.AudioLED[1] = 0x0000BB00;
         r.AudioLED[2] = 0x000000CC;
       },
       [](const ProfileRecord& r) {
         return r.AudioLED[0] == 0xCCu && r.AudioLED[1] == 0xCCu && r.AudioLED[2] == 0xCCu;
       }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    c.set(image.profile(6));
    const ProfileRecord& other = image.profile(5);
    std::vector<uint8_t> otherBefore(lightingBlock(other), lightingBlock(other) + kLightingBlockSize);
    roundTrip();
    EXPECT_TRUE(c.check(image.profile(6)));
    // Neither the neighbouring profile nor the reserved bytes pick anything up.
    EXPECT_EQ(0, std::memcmp(otherBefore.data(), lightingBlock(other), kLightingBlockSize));
    EXPECT_EQ(image.profile(6).reserved[0] | image.profile(6).reserved[1], 0);
  }
}

TEST_F(LightingRules, HeaderLightingValuesAreCarried) {
  SettingsHeader& h = image.working().header;
  h.LightOption = 0x1FF; // one byte stored
  for (int p = 0; p < kProfileCount; ++p) {
    h.SetColor[p] = 0x00010101u * static_cast<uint32_t>(p + 1);
    h.ProfileColor[p] = 0x00FF0000u + static_cast<uint32_t>(p);
  }
  const SettingsHeader before = h;
  roundTrip();
  EXPECT_EQ(h.LightOption, 0xFFu);
  EXPECT_EQ(0, std::memcmp(before.SetColor, h.SetColor, sizeof h.SetColor));
  EXPECT_EQ(0, std::memcmp(before.ProfileColor, h.ProfileColor, sizeof h.ProfileColor));
}

TEST_F(LightingRules, FirstRunValues) {
  EXPECT_EQ(image.header().LightOption, 0u);
  for (int p = 0; p < kProfileCount; ++p) {
    SCOPED_TRACE(p);
    const ProfileRecord& r = image.profile(p);
    EXPECT_EQ(image.header().SetColor[p], 0u);
    EXPECT_EQ(image.header().ProfileColor[p], 0u);
    EXPECT_EQ(r.ProfileCount, 1);
    EXPECT_EQ(r.LEDIntensity, 4);
    EXPECT_EQ(r.LightingLED, 0x00FF00FFu);
    EXPECT_EQ(r.BreathingLED, 0x0000FFFFu);
    EXPECT_EQ(r.TriggerLED, 0x00FFFF00u);
    EXPECT_EQ(r.ExplosingLED, 0x00FFFFFFu);
    for (uint32_t c : r.AudioLED) EXPECT_EQ(c, 0u);
    EXPECT_EQ(r.ExplosingType | r.RandomType | r.AudioType | r.WaveType | r.RainType, 0u);
  }
  // Key colours are little-endian 0x00BBGGRR in the stored key record: position 37 is 80 80 FF 00.
  const std::vector<uint8_t>* stored = reg.value(keySetKeyPath(4, 0), u"ProfileButton037");
  ASSERT_NE(stored, nullptr);
  ASSERT_EQ(stored->size(), sizeof(KeyRecord));
  EXPECT_EQ(std::vector<uint8_t>(stored->end() - 4, stored->end()), (std::vector<uint8_t>{0x80, 0x80, 0xFF, 0x00}));
  for (int p = 0; p < kProfileCount; ++p) EXPECT_EQ(image.WholeKeyColorStatus[p], 0) << p;
}

TEST_F(LightingRules, ResetOfOneProfileAndWhatItDoesToTheOthers) {
  for (int p = 0; p < kProfileCount; ++p) {
    ProfileRecord& r = image.profile(p);
    r.LEDIntensity = 1;
    r.LightingLED = r.BreathingLED = r.TriggerLED = r.ExplosingLED = 0x00777777;
    r.AudioLED[0] = r.AudioLED[1] = r.AudioLED[2] = 0x00100000u + static_cast<uint32_t>(p);
    r.ExplosingType = r.RandomType = r.AudioType = r.WaveType = r.RainType = 3;
    r.ProfileCount = 2;
    r.KeySets[0].ProfileButton[37].KeyColor = 0x00ABCDEF;
    r.KeySets[0].ProfileButton[50].KeyColor = 0x00ABCDEF;
  }
  image.WholeKeyColorStatus[3] = 1;
  image.WholeKeyColor[3] = 0x00123456;
  resetProfileSettings(image, 3);
  for (int p = 0; p < kProfileCount; ++p) {
    SCOPED_TRACE(p);
    const ProfileRecord& r = image.profile(p);
    EXPECT_EQ(r.LEDIntensity, 4);
    EXPECT_EQ(r.LightingLED, 0x00FF00FFu);
    EXPECT_EQ(r.BreathingLED, 0x0000FFFFu);
    EXPECT_EQ(r.TriggerLED, 0x00FFFF00u);
    EXPECT_EQ(r.ExplosingLED, 0x00FFFFFFu);
    EXPECT_EQ(r.KeySets[0].ProfileButton[37].KeyColor, p == 3 ? 0x00FF8080u : 0x00ABCDEFu);
    EXPECT_EQ(r.KeySets[0].ProfileButton[50].KeyColor, p == 3 ? 0u : 0x00ABCDEFu);
    if (p == 3) {
      EXPECT_EQ(r.ProfileCount, 0);
      for (uint32_t c : r.AudioLED) EXPECT_EQ(c, 0u);
      EXPECT_EQ(r.ExplosingType | r.RandomType | r.AudioType | r.WaveType | r.RainType, 0u);
    } else {
      EXPECT_EQ(r.ProfileCount, 2);
      for (uint32_t c : r.AudioLED) EXPECT_EQ(c, 0x00100000u + static_cast<uint32_t>(p));
      EXPECT_EQ(r.ExplosingType + r.RandomType + r.AudioType + r.WaveType + r.RainType, 15u);
    }
  }
  EXPECT_EQ(image.header().ProfileColor[3], 0x00FFFFFFu);
  // The arrays beside the image are the colour editor's alone.
  EXPECT_EQ(image.WholeKeyColorStatus[3], 1);
  EXPECT_EQ(image.WholeKeyColor[3], 0x00123456u);
}

TEST_F(LightingRules, ProfileFilesCarryTheLightingBlockByteForByte) {
  test::MemoryFiles files;
  ProfileRecord& source = image.profile(2);
  uint8_t* block = reinterpret_cast<uint8_t*>(&source) + kLightingBlock;
  for (size_t i = 0; i < kLightingBlockSize; ++i) block[i] = static_cast<uint8_t>(0xA0 + i);
  source.KeySets[0].ProfileButton[10].KeyColor = 0x00C0FFEE;
  image.WholeKeyColorStatus[2] = 1;
  image.WholeKeyColor[2] = 0x00FEDCBA;
  image.header().ProfileCurrent = 2;
  ASSERT_EQ(exportProfile(files, u"x.prof", image.currentProfile()), FileResult::Done);
  const std::vector<uint8_t>& file = files.files.at(u"x.prof");
  ASSERT_EQ(file.size(), sizeof(ProfileRecord));
  EXPECT_EQ(0, std::memcmp(file.data() + kLightingBlock, block, kLightingBlockSize));

  image.header().ProfileCurrent = 7;
  ASSERT_EQ(importProfile(files, u"x.prof", image.currentProfile()), FileResult::Done);
  EXPECT_EQ(0, std::memcmp(lightingBlock(image.profile(7)), block, kLightingBlockSize));
  EXPECT_EQ(image.profile(7).KeySets[0].ProfileButton[10].KeyColor, 0x00C0FFEEu);
  // The whole-keyboard colour is not part of a profile file.
  EXPECT_EQ(image.WholeKeyColorStatus[7], 0);
  EXPECT_EQ(image.WholeKeyColor[7], 0u);
}

TEST_F(LightingRules, WholeKeyboardArraysComeFromEveryProfileKeyAndAreNeverSaved) {
  // Each key holds the arrays as a colour editor left them: the highest-numbered one wins, whole.
  auto storeArrays = [&](int p, uint8_t marker) {
    std::vector<uint8_t> status(9, 0), colours(36, 0);
    status[p] = 1;
    colours[4 * p] = marker;
    reg.keys[profileKeyPath(p)][u"WholeKeyColorStatus"] = status;
    reg.keys[profileKeyPath(p)][u"WholeKeyColor"] = colours;
  };
  storeArrays(1, 0x11);
  storeArrays(8, 0x88);
  storeArrays(4, 0x44);
  loadSettings(reg, image);
  for (int p = 0; p < kProfileCount; ++p) {
    EXPECT_EQ(image.WholeKeyColorStatus[p], p == 8 ? 1 : 0) << p;
    EXPECT_EQ(image.WholeKeyColor[p], p == 8 ? 0x88u : 0u) << p;
  }
  // A short value fills its front and zeroes the rest of the array; a long one is cut.
  reg.keys[profileKeyPath(8)][u"WholeKeyColorStatus"] = {1, 1};
  reg.keys[profileKeyPath(8)][u"WholeKeyColor"] = std::vector<uint8_t>(100, 0x5A);
  loadSettings(reg, image);
  EXPECT_EQ(image.WholeKeyColorStatus[1], 1);
  EXPECT_EQ(image.WholeKeyColorStatus[2], 0);
  EXPECT_EQ(image.WholeKeyColor[8], 0x5A5A5A5Au);
  EXPECT_FALSE(image.hasUnsavedChanges());

  image.WholeKeyColor[0] = 0x00FFFFFF;
  reg.clearLog();
  saveSettings(reg, image);
  EXPECT_FALSE(reg.wrote(u"WholeKeyColorStatus"));
  EXPECT_FALSE(reg.wrote(u"WholeKeyColor"));
  EXPECT_EQ(reg.value(profileKeyPath(0), u"WholeKeyColor"), nullptr);
}

} // namespace
} // namespace q7
