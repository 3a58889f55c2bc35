#include "settings/settings_backup.h"

#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "fakes/memory_files.h"
#include "fakes/memory_registry.h"
#include "settings/registry_store.h"

namespace q7 {
namespace {

std::vector<uint8_t> le32(uint32_t v) { return {uint8_t(v), uint8_t(v >> 8), uint8_t(v >> 16), uint8_t(v >> 24)}; }

// A registry holding settings that differ from the factory state in every part a backup carries.
void storeVariedSettings(test::MemoryRegistry& reg) {
  auto image = std::make_unique<SettingsImage>();
  ASSERT_TRUE(loadSettings(reg, *image));
  image->header().ProfileCurrent = 4;
  image->header().SetColor[8] = 0x00123456;
  image->header().Thumbkey[35] = 9;
  for (int p = 0; p < kProfileCount; ++p) {
    ProfileRecord& r = image->profile(p);
    r.Name[0] = static_cast<char16_t>(u'A' + p);
    r.LinkExe[4][129] = static_cast<char16_t>(u'x' + p);
    r.Button[113].KeyColor = 0x00010101u * static_cast<uint32_t>(p + 1);
    r.KeySets[19].ProfileButton[57].KeyColor = 0x00ABCDEFu + static_cast<uint32_t>(p);
    r.KeySets[19].ProfileName[129] = static_cast<char16_t>(u'z');
    r.RainType = static_cast<uint32_t>(p * 3 + 1);
  }
  ASSERT_EQ(saveSettings(reg, *image), 0u);
  // The arrays live in the keys of some profiles only, with other contents in each.
  image->WholeKeyColorStatus[2] = 1;
  image->WholeKeyColor[8] = 0x00FF0000;
  ASSERT_EQ(saveWholeKeyColours(reg, *image, 3), 0u);
  image->WholeKeyColor[8] = 0x0000FF00;
  ASSERT_EQ(saveWholeKeyColours(reg, *image, 7), 0u);
  reg.keys[kMainKeyPath][u"Language"] = le32(0x0411);
  reg.clearLog();
  reg.created.clear();
}

class SettingsBackup : public ::testing::Test {
protected:
  void SetUp() override {
    storeVariedSettings(source);
    ASSERT_EQ(exportBackup(source, files, u"all.bak").kind, BackupResult::Done);
    good = files.files[u"all.bak"];
  }

  test::MemoryRegistry source;
  test::MemoryFiles files;
  std::vector<uint8_t> good;
};

TEST_F(SettingsBackup, AWholeImageComesBackValueForValueAndTheExportChangesNothing) {
  EXPECT_EQ(good.size(), kBackupFileSize);
  EXPECT_EQ(source.writeCount, 0u);
  EXPECT_TRUE(source.created.empty());

  test::MemoryRegistry target;
  const BackupResult result = importBackup(target, files, u"all.bak");
  ASSERT_EQ(result.kind, BackupResult::Done);
  EXPECT_EQ(result.profileCurrent, 4u);
  EXPECT_EQ(target.keys, source.keys); // every key, every value name, every byte
  EXPECT_EQ(target.value(profileKeyPath(5), u"WholeKeyColor"), nullptr);

  // And the program reads back what it stored.
  auto image = std::make_unique<SettingsImage>();
  EXPECT_FALSE(loadSettings(target, *image));
  EXPECT_EQ(image->header().Language, 0x0411u);
  EXPECT_EQ(image->profile(6).KeySets[19].ProfileButton[57].KeyColor, 0x00ABCDEFu + 6);
  EXPECT_EQ(image->WholeKeyColor[8], 0x0000FF00u); // profile 7's key, the highest holding them
}

TEST_F(SettingsBackup, AnImportIntoStoredSettingsLeavesNoValueTheBackupLacks) {
  // Arrays in a higher profile's key win at the next start: left there, they would override the
  // backup's colours.
  test::MemoryRegistry target;
  storeVariedSettings(target);
  auto image = std::make_unique<SettingsImage>();
  image->WholeKeyColor[0] = 0x00DEAD00;
  ASSERT_EQ(saveWholeKeyColours(target, *image, 8), 0u);
  source.keys[kMainKeyPath].erase(u"Language");
  ASSERT_EQ(exportBackup(source, files, u"all.bak").kind, BackupResult::Done);
  ASSERT_EQ(importBackup(target, files, u"all.bak").kind, BackupResult::Done);
  EXPECT_EQ(target.value(profileKeyPath(8), u"WholeKeyColor"), nullptr);
  EXPECT_EQ(target.value(kMainKeyPath, u"Language"), nullptr);
  EXPECT_EQ(target.keys, source.keys);
}

TEST_F(SettingsBackup, EachBadFileIsRefusedWithItsReasonAndNothingIsWritten) {
  auto setField = [](std::vector<uint8_t>& f, size_t offset, uint32_t v) { std::memcpy(f.data() + offset, &v, 4); };
  struct Case {
    const char* name;
    std::function<void(std::vector<uint8_t>&)> damage;
    BackupCheck expected;
  };
  const Case cases[] = {
      {"good", [](auto&) {}, BackupCheck::Good},
      {"cut by one byte", [](auto& f) { f.pop_back(); }, BackupCheck::Cut},
      {"cut inside the header", [](auto& f) { f.resize(20); }, BackupCheck::Cut},
      {"cut after the header", [](auto& f) { f.resize(sizeof(BackupHeader)); }, BackupCheck::Cut},
      {"empty", [](auto& f) { f.clear(); }, BackupCheck::NotBackup},
      {"other magic word", [](auto& f) { f[0] = 'X'; }, BackupCheck::NotBackup},
      {"flipped byte in the extras", [](auto& f) { f[sizeof(BackupHeader) + 3] ^= 0x01; }, BackupCheck::BadChecksum},
      {"flipped byte in a key set", [](auto& f) { f[f.size() / 2] ^= 0x80; }, BackupCheck::BadChecksum},
      {"flipped last byte", [](auto& f) { f.back() ^= 0x10; }, BackupCheck::BadChecksum},
      {"flipped checksum", [](auto& f) { f[offsetof(BackupHeader, checksum)] ^= 0x01; }, BackupCheck::BadChecksum},
      {"other version", [&](auto& f) { setField(f, offsetof(BackupHeader, version), 2); }, BackupCheck::OtherVersion},
      {"other version, cut",
       [&](auto& f) {
         setField(f, offsetof(BackupHeader, version), 7);
         f.resize(30);
       },
       BackupCheck::OtherVersion},
      {"other profile size", [&](auto& f) { setField(f, offsetof(BackupHeader, profileSize), 7435000); },
       BackupCheck::WrongSize},
      {"other profile count", [&](auto& f) { setField(f, offsetof(BackupHeader, profileCount), 8); },
       BackupCheck::WrongSize},
      {"other content size", [&](auto& f) { f[offsetof(BackupHeader, contentSize) + 4] = 1; }, BackupCheck::WrongSize},
      {"one byte longer", [](auto& f) { f.push_back(0); }, BackupCheck::WrongSize},
  };
  // Settings other than the file's, so that any value written from it would show.
  test::MemoryRegistry target;
  storeVariedSettings(target);
  target.keys[kMainKeyPath][u"ProfileTotle"] = {9};
  const auto before = target.keys;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    std::vector<uint8_t> file = good;
    c.damage(file);
    EXPECT_EQ(checkBackup(file.data(), file.size()), c.expected);
    if (c.expected == BackupCheck::Good) continue;
    files.files[u"bad.bak"] = file;
    const BackupResult result = importBackup(target, files, u"bad.bak");
    EXPECT_EQ(result.kind, BackupResult::Refused);
    EXPECT_EQ(result.check, c.expected);
    EXPECT_EQ(result.fileSize, file.size());
    EXPECT_EQ(target.writeCount, 0u);
    EXPECT_TRUE(target.keys == before);
    if (c.expected == BackupCheck::OtherVersion) {
      EXPECT_GT(result.fileVersion, 1u);
    }
  }
}

TEST(SettingsBackupChecksum, EveryByteOfAShortInputCounts) {
  std::vector<uint8_t> bytes(77);
  for (size_t i = 0; i < bytes.size(); ++i) bytes[i] = static_cast<uint8_t>(i * 7);
  const uint64_t whole = backupChecksum(bytes.data(), bytes.size());
  for (size_t i = 0; i < bytes.size(); ++i) {
    for (uint8_t bit : {0x01, 0x80}) {
      bytes[i] ^= bit;
      EXPECT_NE(backupChecksum(bytes.data(), bytes.size()), whole) << i;
      bytes[i] ^= bit;
    }
  }
  EXPECT_NE(backupChecksum(bytes.data(), bytes.size() - 1), whole); // a trailing byte, even a zero one
  bytes.push_back(0);
  EXPECT_NE(backupChecksum(bytes.data(), bytes.size()), whole);
}

TEST(SettingsBackupFailures, NothingStoredFileErrorsAndRegistryErrorsAreToldApart) {
  test::MemoryRegistry empty;
  test::MemoryFiles files;
  EXPECT_EQ(exportBackup(empty, files, u"a.bak").kind, BackupResult::NoSettings);
  EXPECT_TRUE(empty.keys.empty()); // no first run's defaults written by an export
  EXPECT_TRUE(files.files.empty());

  test::MemoryRegistry reg;
  storeVariedSettings(reg);
  files.unopenable.insert(u"locked.bak");
  EXPECT_EQ(exportBackup(reg, files, u"locked.bak").kind, BackupResult::CannotOpen);
  files.failing.insert(u"full.bak");
  files.files[u"full.bak"] = {1, 2, 3};
  EXPECT_EQ(exportBackup(reg, files, u"full.bak").kind, BackupResult::FileFailed);
  EXPECT_EQ(files.files[u"full.bak"], (std::vector<uint8_t>{1, 2, 3})); // the old file stays
  EXPECT_EQ(importBackup(reg, files, u"missing.bak").kind, BackupResult::CannotOpen);

  ASSERT_EQ(exportBackup(reg, files, u"all.bak").kind, BackupResult::Done);
  test::MemoryRegistry target;
  target.unwritable.insert(u"Button050");
  const BackupResult result = importBackup(target, files, u"all.bak");
  EXPECT_EQ(result.kind, BackupResult::RegistryFailed);
  EXPECT_EQ(result.code, test::MemoryRegistry::kAccessDenied);
  // The writes went on past the refused value.
  EXPECT_EQ(*target.value(profileKeyPath(7), u"WholeKeyColor"), *reg.value(profileKeyPath(7), u"WholeKeyColor"));
}

} // namespace
} // namespace q7
