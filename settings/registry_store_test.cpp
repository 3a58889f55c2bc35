#include "settings/registry_store.h"

#include <gtest/gtest.h>

#include <cstring>
#include <functional>

#include "fakes/memory_registry.h"
#include "settings/settings_image.h"

namespace q7 {
namespace {

std::vector<uint8_t> le32(uint32_t v) { return {uint8_t(v), uint8_t(v >> 8), uint8_t(v >> 16), uint8_t(v >> 24)}; }

class RegistryStore : public ::testing::Test {
protected:
  const std::vector<uint8_t>* stored(int p, const char16_t* name) { return reg.value(profileKeyPath(p), name); }
  void firstRun() {
    ASSERT_TRUE(loadSettings(reg, image));
    reg.clearLog();
  }
  void roundTrip() {
    saveSettings(reg, image);
    EXPECT_FALSE(loadSettings(reg, image));
  }

  SettingsImage image;
  test::MemoryRegistry reg;
};

TEST_F(RegistryStore, ValueNamesAndKeyPathsAreSpelledAsStored) {
  EXPECT_EQ(valueName(u"Button", 7, 3).view(), u"Button007");
  EXPECT_EQ(valueName(u"ProfileButton", 113, 3).view(), u"ProfileButton113");
  EXPECT_EQ(valueName(u"ProfileName", 0).view(), u"ProfileName0");
  EXPECT_EQ(valueName(u"LinkExe", 4).view(), u"LinkExe4");
  EXPECT_EQ(keySetKeyPath(8, 19), u"Software\\VORTAN\\Q7\\Profile8\\ProfileName19");
}

TEST_F(RegistryStore, FirstRunWritesTheFactoryStateAndShowsProfileOne) {
  firstRun();
  EXPECT_EQ(reg.keys.size(), 190u); // main key, 9 profile keys, 180 key-set keys
  EXPECT_EQ(*reg.value(kMainKeyPath, u"ProfileCurrent"), std::vector<uint8_t>{0});
  EXPECT_EQ(reg.value(kMainKeyPath, u"Language"), nullptr);
  EXPECT_EQ(image.header().ProfileCurrent, 1u);
  EXPECT_EQ(image.saved().header.ProfileCurrent, 0u);
  EXPECT_TRUE(image.hasUnsavedChanges());
  for (int p = 0; p < kProfileCount; ++p) {
    SCOPED_TRACE(p);
    EXPECT_EQ(*stored(p, u"LEDIntensity"), std::vector<uint8_t>{4});
    EXPECT_EQ(*stored(p, u"ProfileCount"), std::vector<uint8_t>{1});
    EXPECT_EQ(*stored(p, u"LightingLED"), le32(0x00FF00FF));
    EXPECT_EQ(*stored(p, u"BreathingLED"), le32(0x0000FFFF));
    EXPECT_EQ(*stored(p, u"TriggerLED"), le32(0x00FFFF00));
    EXPECT_EQ(*stored(p, u"ExplosingLED"), le32(0x00FFFFFF));
    const ProfileRecord& r = image.profile(p);
    EXPECT_EQ(std::u16string(r.KeySets[0].ProfileName), u"DEFAULT");
    for (int j = 1; j < kKeySetCount; ++j) EXPECT_EQ(std::u16string(r.KeySets[j].ProfileName), u"NEW");
    EXPECT_EQ(r.KeySets[0].ProfileButton[37].KeyColor, 0x00FF8080u);
    EXPECT_EQ(r.KeySets[0].ProfileButton[79].KeyColor, 0x0000FF00u);
    EXPECT_EQ(r.KeySets[0].ProfileButton[23].KeyColor, 0u);
    EXPECT_EQ(r.KeySets[1].ProfileButton[37].KeyColor, 0u);
    EXPECT_EQ(r.FuncKey, 0u);
    EXPECT_EQ(r.Name[0], 0);
  }
  int coloured = 0;
  for (const KeyRecord& k : image.profile(4).KeySets[0].ProfileButton) coloured += k.KeyColor != 0;
  EXPECT_EQ(coloured, 16);
}

TEST_F(RegistryStore, DefaultsIgnoreWhatTheWorkingCopyHeldBefore) {
  image.profile(3).Name[0] = u'Z';
  image.header().TrayIcon = 1;
  firstRun();
  EXPECT_EQ(image.profile(3).Name[0], 0);
  EXPECT_EQ(*reg.value(kMainKeyPath, u"TrayIcon"), std::vector<uint8_t>{0});
}

TEST_F(RegistryStore, LanguageIsReadButNeverWritten) {
  firstRun();
  reg.keys[kMainKeyPath][u"Language"] = le32(0x0409);
  roundTrip();
  EXPECT_EQ(image.header().Language, 0x0409u);
  reg.clearLog();
  saveSettings(reg, image);
  EXPECT_FALSE(reg.wrote(u"Language"));
  EXPECT_EQ(*reg.value(kMainKeyPath, u"Language"), le32(0x0409));
}

TEST_F(RegistryStore, AudioLedKeepsOnlyTheThirdColour) {
  firstRun();
  image.profile(2).AudioLED[0] = 0x111111;
  image.profile(2).AudioLED[1] = 0x222222;
  image.profile(2).AudioLED[2] = 0x333333;
  roundTrip();
  EXPECT_EQ(*stored(2, u"AudioLED"), le32(0x333333));
  for (uint32_t c : image.profile(2).AudioLED) EXPECT_EQ(c, 0x333333u);
}

TEST_F(RegistryStore, WholeKeyColourFromTheHighestProfileKeyHoldingIt) {
  firstRun();
  std::vector<uint8_t> status2(9, 0), colour2(36, 0);
  status2[2] = 1;
  colour2[8] = 0xAB; // profile 2's colour, red byte
  reg.keys[profileKeyPath(2)][u"WholeKeyColorStatus"] = status2;
  reg.keys[profileKeyPath(2)][u"WholeKeyColor"] = colour2;
  loadSettings(reg, image);
  EXPECT_EQ(image.WholeKeyColorStatus[2], 1);
  EXPECT_EQ(image.WholeKeyColor[2], 0xABu);

  std::vector<uint8_t> older(9, 0);
  older[0] = 1;
  reg.keys[profileKeyPath(5)][u"WholeKeyColorStatus"] = older;
  reg.keys[profileKeyPath(5)][u"WholeKeyColor"] = std::vector<uint8_t>(36, 0);
  loadSettings(reg, image);
  EXPECT_EQ(image.WholeKeyColorStatus[2], 0);
  EXPECT_EQ(image.WholeKeyColorStatus[0], 1);
  EXPECT_EQ(image.WholeKeyColor[2], 0u);
  // A save never writes them back.
  reg.clearLog();
  saveSettings(reg, image);
  EXPECT_FALSE(reg.wrote(u"WholeKeyColorStatus"));
  EXPECT_FALSE(reg.wrote(u"WholeKeyColor"));
  EXPECT_EQ(reg.writesByName.at(u"AudioLED"), 3 * kProfileCount);
}

TEST_F(RegistryStore, ValuesOfAnyLengthOrTypeStayInsideTheirSlots) {
  firstRun();
  const std::u16string p1 = profileKeyPath(1);
  std::vector<uint8_t> longLink(700);
  for (size_t i = 0; i < longLink.size(); ++i) longLink[i] = uint8_t(i % 251 + 1);
  reg.keys[p1][u"LinkExe0"] = longLink;                                 // longer than the 520-byte slot
  reg.keys[p1][u"Button005"] = {10, 0};                                 // shorter than a key record
  reg.keys[p1][u"FuncKey"] = le32(0x01020304);                          // four bytes into a one-byte value
  reg.keys[kMainKeyPath][u"Thumbkey"] = std::vector<uint8_t>(80, 0xEE); // longer than its slot
  reg.keys[kMainKeyPath][u"ProfileCurrent"] = {200};                    // no such profile
  loadSettings(reg, image);
  const ProfileRecord& r = image.profile(1);
  EXPECT_EQ(0, std::memcmp(r.LinkExe[0], longLink.data(), 520));
  EXPECT_EQ(r.LinkExe[1][0], 0); // the next slot is untouched
  EXPECT_EQ(r.Button[5].Kind, 10);
  const auto* b = reinterpret_cast<const uint8_t*>(&r.Button[5]);
  for (size_t i = 1; i < sizeof(KeyRecord); ++i) ASSERT_EQ(b[i], 0) << i;
  EXPECT_EQ(r.FuncKey, 0x04u);
  EXPECT_EQ(image.header().Thumbkey[35], 0xEE);
  EXPECT_EQ(image.header().ProfileColor[0], 0u); // the next field is untouched
  EXPECT_EQ(image.header().ProfileCurrent, 1u);
  EXPECT_FALSE(image.hasUnsavedChanges());
}

TEST_F(RegistryStore, TextsComeBackCutToTheirStoredPart) {
  firstRun();
  std::u16string longName(200, u'n'), shortName = u"Arena";
  std::memcpy(image.profile(4).Name, longName.data(), longName.size() * 2);
  std::memcpy(image.profile(4).LinkExe[3], shortName.data(), shortName.size() * 2);
  std::u16string setName(129, u's');
  std::memcpy(image.profile(4).KeySets[7].ProfileName, setName.data(), setName.size() * 2);
  roundTrip();
  EXPECT_EQ(std::u16string(image.profile(4).Name), std::u16string(130, u'n'));
  EXPECT_EQ(std::u16string(image.profile(4).LinkExe[3]), shortName);
  EXPECT_EQ(std::u16string(image.profile(4).KeySets[7].ProfileName), setName);
  EXPECT_EQ(stored(4, u"Name")->size(), 260u);
  EXPECT_EQ(stored(4, u"LinkExe3")->size(), 260u);
}

TEST_F(RegistryStore, CarriedValuesSurviveALoadSaveCycle) {
  firstRun();
  SettingsHeader& h = image.working().header;
  h.ProfileTotle = 6;
  h.ShowScreen = 1;
  h.SetColor[8] = 0x00ABCDEF;
  h.Thumbkey[0] = 0x5A;
  image.profile(7).DeviceMode = 2;
  image.profile(7).AutoSwitch = 1;
  image.profile(7).RainType = 0x01020304;
  image.profile(7).AudioType = 3;
  image.profile(7).KeySets[13].ProfileButton[100].KeyColor = 0x00C0FFEE;
  image.key(7, 9).Kind = 2;
  image.key(7, 9).EventCount = 2;
  const SettingsHeader before = h;
  roundTrip();
  EXPECT_EQ(0, std::memcmp(&before, &image.working().header, sizeof before));
  EXPECT_EQ(image.profile(7).DeviceMode, 2u);
  EXPECT_EQ(image.profile(7).RainType, 0x01020304u);
  EXPECT_EQ(image.profile(7).AudioType, 3u);
  EXPECT_EQ(image.profile(7).KeySets[13].ProfileButton[100].KeyColor, 0x00C0FFEEu);
  EXPECT_EQ(image.key(7, 9).EventCount, 2u);
}

TEST_F(RegistryStore, EverySaveWritesEveryValueAndCommits) {
  firstRun();
  image.header().ProfileCurrent = 4;
  image.key(4, 0).Kind = 10;
  saveSettings(reg, image);
  EXPECT_FALSE(image.hasUnsavedChanges());
  image.key(4, 1).Kind = 9;
  saveSettings(reg, image);
  EXPECT_FALSE(image.hasUnsavedChanges());
  EXPECT_EQ(reg.firstWrite, std::u16string(kMainKeyPath) + u"|ProfileTotle");
  EXPECT_EQ(reg.writeCount, 2u * (9 + 9 * 137 + 9 * 20 * 115));
}

TEST_F(RegistryStore, KeysThatCannotBeOpenedAreSkipped) {
  firstRun();
  image.profile(3).LightingLED = 0x123;
  image.profile(3).KeySets[2].ProfileName[0] = u'Q';
  saveSettings(reg, image);
  reg.unopenable.insert(profileKeyPath(3));
  reg.unopenable.insert(keySetKeyPath(5, 2));
  image.profile(3).LightingLED = 0x456;
  saveSettings(reg, image);
  EXPECT_EQ(*stored(3, u"LightingLED"), le32(0x123));
  loadSettings(reg, image);
  EXPECT_EQ(image.profile(3).LightingLED, 0u);
  EXPECT_EQ(image.profile(3).KeySets[2].ProfileName[0], u'Q'); // its key sets are separate keys
  EXPECT_EQ(image.profile(5).KeySets[2].ProfileName[0], 0);
  EXPECT_EQ(std::u16string(image.profile(5).KeySets[3].ProfileName), u"NEW");
}

// A save that the registry refuses in part writes what it can, reports the first failure and
// leaves the edits unsaved.
TEST_F(RegistryStore, RefusedWritesAreReportedAndNothingIsCommitted) {
  struct Case {
    const char* what;
    std::function<void(test::MemoryRegistry&)> refuse;
  } cases[] = {
      {"value", [](test::MemoryRegistry& r) { r.unwritable.insert(u"LightingLED"); }},
      {"key-set key", [](test::MemoryRegistry& r) { r.unopenable.insert(keySetKeyPath(8, 19)); }},
      {"main key", [](test::MemoryRegistry& r) { r.unopenable.insert(kMainKeyPath); }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    test::MemoryRegistry fresh;
    reg = fresh;
    firstRun();
    ASSERT_EQ(saveSettings(reg, image), 0u);
    c.refuse(reg);
    reg.clearLog();
    image.key(8, 113).Kind = 10;
    EXPECT_EQ(saveSettings(reg, image), test::MemoryRegistry::kAccessDenied);
    EXPECT_TRUE(image.hasUnsavedChanges());
    EXPECT_EQ(image.saved().profiles[8].Button[113].Kind, 0);
    EXPECT_EQ(stored(8, u"Button113")->at(0), 10) << "the other values are still written";
    image.key(8, 113).Kind = 0;
    reg.unwritable.clear();
    reg.unopenable.clear();
    EXPECT_EQ(saveSettings(reg, image), 0u);
    EXPECT_FALSE(image.hasUnsavedChanges());
  }
}

TEST_F(RegistryStore, SecondTreeRefreshesOnlyTheLinksItHolds) {
  firstRun();
  std::u16string kept = u"kept.exe";
  std::memcpy(image.profile(3).LinkExe[1], kept.data(), kept.size() * 2);
  image.commitSaved();
  std::u16string game = u"game.exe";
  std::vector<uint8_t> v(reinterpret_cast<const uint8_t*>(game.c_str()),
                         reinterpret_cast<const uint8_t*>(game.c_str()) + (game.size() + 1) * 2);
  reg.keys[u"Software\\Arvel\\Prismo\\Profile3"][u"LinkExe2"] = v;
  readSecondTreeLinks(reg, image);
  EXPECT_EQ(std::u16string(image.profile(3).LinkExe[2]), game);
  EXPECT_EQ(std::u16string(image.profile(3).LinkExe[1]), kept);
  EXPECT_TRUE(image.hasUnsavedChanges());
  EXPECT_TRUE(reg.keys.count(u"Software\\Arvel\\Prismo\\Profile8")); // created empty
}

} // namespace
} // namespace q7
