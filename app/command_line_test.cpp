#include "app/command_line.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "fakes/memory_files.h"
#include "fakes/memory_registry.h"
#include "fakes/recording_messenger.h"
#include "monitor/messages.h"
#include "monitor/monitor_link.h"
#include "settings/registry_store.h"
#include "settings/settings_backup.h"

namespace q7 {
namespace {

class FakeLock final : public ConfigurationLock {
public:
  Take answer = Take::Taken;
  bool held = false;
  int takes = 0;
  Take take() override {
    ++takes;
    held = answer == Take::Taken;
    return answer;
  }
  void release() override { held = false; }
};

// Passes everything to a memory registry and counts the writes made while the lock was not held.
class LockCheckingRegistry final : public Registry {
public:
  LockCheckingRegistry(test::MemoryRegistry& inner, FakeLock& lock) : inner_(inner), lock_(lock) {}
  int unlockedWrites = 0;
  std::unique_ptr<RegistryKey> open(std::u16string_view path) override { return wrap(inner_.open(path)); }
  std::unique_ptr<RegistryKey> create(std::u16string_view path) override {
    if (!lock_.held) ++unlockedWrites;
    return wrap(inner_.create(path));
  }
  uint32_t lastError() const override { return inner_.lastError(); }

private:
  struct Key final : RegistryKey {
    Key(std::unique_ptr<RegistryKey> k, LockCheckingRegistry& r) : inner(std::move(k)), reg(r) {}
    bool read(std::u16string_view name, void* slot, size_t size) override { return inner->read(name, slot, size); }
    uint32_t write(std::u16string_view name, const void* data, size_t size) override {
      if (!reg.lock_.held) ++reg.unlockedWrites;
      return inner->write(name, data, size);
    }
    uint32_t remove(std::u16string_view name) override {
      if (!reg.lock_.held) ++reg.unlockedWrites;
      return inner->remove(name);
    }
    std::unique_ptr<RegistryKey> inner;
    LockCheckingRegistry& reg;
  };
  std::unique_ptr<RegistryKey> wrap(std::unique_ptr<RegistryKey> key) {
    return key ? std::make_unique<Key>(std::move(key), *this) : nullptr;
  }
  test::MemoryRegistry& inner_;
  FakeLock& lock_;
};

void storeSettings(test::MemoryRegistry& reg, uint32_t seed) {
  auto image = std::make_unique<SettingsImage>();
  loadSettings(reg, *image);
  image->header().ProfileCurrent = 3;
  for (int p = 0; p < kProfileCount; ++p) {
    image->profile(p).Button[10].KeyColor = seed + static_cast<uint32_t>(p);
    image->profile(p).KeySets[4].ProfileButton[20].KeyColor = seed * 2 + static_cast<uint32_t>(p);
  }
  ASSERT_EQ(saveSettings(reg, *image), 0u);
  image->WholeKeyColor[1] = seed;
  ASSERT_EQ(saveWholeKeyColours(reg, *image, 2), 0u);
  reg.clearLog();
}

class CommandLine : public ::testing::Test {
protected:
  CommandResult run(std::vector<std::u16string> args) {
    LockCheckingRegistry checked(reg, lock);
    CommandSystem system{checked, files, messenger, lock};
    const CommandResult result = runCommand(parseCommandLine(args), system);
    unlockedWrites += checked.unlockedWrites;
    return result;
  }
  std::vector<test::Posted> savedNotices() const {
    std::vector<test::Posted> saved;
    for (const test::Posted& p : messenger.posted)
      if (p.message == msg::kSettingsSaved) saved.push_back(p);
    return saved;
  }

  test::MemoryRegistry reg;
  test::MemoryFiles files;
  test::RecordingMessenger messenger;
  FakeLock lock;
  int unlockedWrites = 0;
};

TEST(CommandLineParsing, EachFormAndEachBadArgument) {
  struct Case {
    std::vector<std::u16string> args;
    CommandLineRequest::Kind kind;
    int profile;
    std::u16string path;
  };
  const Case cases[] = {
      {{}, CommandLineRequest::Window, -1, u""},
      {{u"--help"}, CommandLineRequest::Help, -1, u""},
      {{u"--export-all", u"C:\\b\\all.q7b"}, CommandLineRequest::ExportAll, -1, u"C:\\b\\all.q7b"},
      {{u"--import-all", u"all.q7b"}, CommandLineRequest::ImportAll, -1, u"all.q7b"},
      {{u"--export", u"0", u"p.prof"}, CommandLineRequest::Export, 0, u"p.prof"},
      {{u"--import", u"8", u"p.prof"}, CommandLineRequest::Import, 8, u"p.prof"},
      {{u"--import", u"6", u"--help"}, CommandLineRequest::Import, 6, u"--help"}, // a file may be named anything
      {{u"--import", u"9", u"p.prof"}, CommandLineRequest::Invalid, -1, u""},
      {{u"--export", u"-1", u"p.prof"}, CommandLineRequest::Invalid, -1, u""},
      {{u"--export", u"01", u"p.prof"}, CommandLineRequest::Invalid, -1, u""},
      {{u"--export", u"x", u"p.prof"}, CommandLineRequest::Invalid, -1, u""},
      {{u"--export", u"3"}, CommandLineRequest::Invalid, -1, u""},
      {{u"--export", u"3", u""}, CommandLineRequest::Invalid, -1, u""},
      {{u"--import", u"3", u"a", u"b"}, CommandLineRequest::Invalid, -1, u""},
      {{u"--export-all"}, CommandLineRequest::Invalid, -1, u""},
      {{u"--import-all", u""}, CommandLineRequest::Invalid, -1, u""},
      {{u"--import-all", u"a", u"b"}, CommandLineRequest::Invalid, -1, u""},
      {{u"--help", u"x"}, CommandLineRequest::Invalid, -1, u""},
      {{u"--exportall", u"a"}, CommandLineRequest::Invalid, -1, u""},
      {{u"a.q7b"}, CommandLineRequest::Invalid, -1, u""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::PrintToString(c.args.size()) +
                 (c.args.empty() ? "" : " first arg size " + std::to_string(c.args[0].size())));
    const CommandLineRequest command = parseCommandLine(c.args);
    EXPECT_EQ(command.kind, c.kind);
    if (c.kind == CommandLineRequest::Invalid) {
      EXPECT_FALSE(command.error.empty());
      continue;
    }
    EXPECT_EQ(command.profile, c.profile);
    EXPECT_EQ(command.path, c.path);
  }
}

TEST_F(CommandLine, HelpAndBadArgumentsAnswerWithoutTouchingAnything) {
  const CommandResult help = run({u"--help"});
  EXPECT_EQ(help.exitCode, 0);
  for (const char16_t* option : {u"--export-all", u"--import-all", u"--export N", u"--import N"})
    EXPECT_NE(help.message.find(option), std::u16string::npos);
  const CommandResult bad = run({u"--import", u"9", u"p.prof"});
  EXPECT_EQ(bad.exitCode, kExitBadArguments);
  EXPECT_EQ(bad.message.find(u'\n'), std::u16string::npos);
  EXPECT_TRUE(reg.keys.empty());
  EXPECT_EQ(lock.takes, 0);
}

TEST_F(CommandLine, ExportAllThenImportAllGivesTheSameRegistryAndTellsTheMonitor) {
  storeSettings(reg, 0x00102030);
  const auto stored = reg.keys;
  const CommandResult exported = run({u"--export-all", u"all.q7b"});
  EXPECT_EQ(exported.exitCode, 0) << std::string(exported.message.begin(), exported.message.end());
  EXPECT_EQ(lock.takes, 0); // an export reads what is stored, program running or not
  EXPECT_EQ(reg.writeCount, 0u);
  ASSERT_EQ(files.files[u"all.q7b"].size(), kBackupFileSize);

  reg.keys.clear();
  storeSettings(reg, 0x00776655); // other settings, to be replaced
  messenger.windows[kMonitorTitle] = 77;
  const CommandResult imported = run({u"--import-all", u"all.q7b"});
  EXPECT_EQ(imported.exitCode, 0);
  EXPECT_TRUE(reg.keys == stored);
  EXPECT_EQ(unlockedWrites, 0);
  EXPECT_FALSE(lock.held); // released at the end
  EXPECT_EQ(savedNotices(), (std::vector<test::Posted>{{77, msg::kSettingsSaved, 1, 3}}));
}

TEST_F(CommandLine, ImportsAreRefusedWhileTheProgramRunsOrTheLockCannotBeTold) {
  storeSettings(reg, 1);
  ASSERT_EQ(run({u"--export-all", u"all.q7b"}).exitCode, 0);
  ASSERT_EQ(run({u"--export", u"2", u"p.prof"}).exitCode, 0);
  messenger.windows[kMonitorTitle] = 77;
  const auto before = reg.keys;
  struct Case {
    ConfigurationLock::Take answer;
    std::vector<std::u16string> args;
    int exitCode;
  };
  const Case cases[] = {
      {ConfigurationLock::Take::HeldElsewhere, {u"--import-all", u"all.q7b"}, kExitProgramRunning},
      {ConfigurationLock::Take::HeldElsewhere, {u"--import", u"4", u"p.prof"}, kExitProgramRunning},
      {ConfigurationLock::Take::Failed, {u"--import-all", u"all.q7b"}, kExitLockFailed},
      {ConfigurationLock::Take::Failed, {u"--import", u"4", u"p.prof"}, kExitLockFailed},
  };
  for (const Case& c : cases) {
    lock.answer = c.answer;
    const CommandResult r = run(c.args);
    EXPECT_EQ(r.exitCode, c.exitCode);
    EXPECT_FALSE(r.message.empty());
    EXPECT_EQ(reg.writeCount, 0u);
    EXPECT_TRUE(reg.keys == before);
    EXPECT_TRUE(messenger.posted.empty());
  }
  lock.answer = ConfigurationLock::Take::Taken; // the program has ended: an export still works anyway
  EXPECT_EQ(run({u"--import-all", u"all.q7b"}).exitCode, 0);
}

TEST_F(CommandLine, BadFilesAndFailedWritesAreNeverReportedAsSuccess) {
  storeSettings(reg, 5);
  ASSERT_EQ(run({u"--export-all", u"all.q7b"}).exitCode, 0);
  std::vector<uint8_t> cut = files.files[u"all.q7b"];
  cut.resize(cut.size() / 2);
  files.files[u"cut.q7b"] = cut;
  std::vector<uint8_t> flipped = files.files[u"all.q7b"];
  flipped[flipped.size() - 100] ^= 4;
  files.files[u"flipped.q7b"] = flipped;
  messenger.windows[kMonitorTitle] = 77;
  struct Case {
    std::vector<std::u16string> args;
    int exitCode;
    std::u16string reason;
  };
  const Case cases[] = {
      {{u"--import-all", u"cut.q7b"}, kExitFileError, u"cut short"},
      {{u"--import-all", u"flipped.q7b"}, kExitFileError, u"checksum"},
      {{u"--import-all", u"missing.q7b"}, kExitFileError, u"Cannot open"},
      {{u"--import", u"1", u"missing.prof"}, kExitFileError, u"Cannot open"},
  };
  for (const Case& c : cases) {
    const CommandResult r = run(c.args);
    EXPECT_EQ(r.exitCode, c.exitCode);
    EXPECT_NE(r.message.find(c.reason), std::u16string::npos);
    EXPECT_NE(r.message.find(u"Nothing was changed"), std::u16string::npos);
    EXPECT_EQ(reg.writeCount, 0u);
    EXPECT_TRUE(messenger.posted.empty());
  }

  reg.unwritable.insert(u"Button010");
  for (const auto& args :
       std::vector<std::vector<std::u16string>>{{u"--import-all", u"all.q7b"}, {u"--import", u"3", u"all.q7b"}}) {
    const CommandResult r = run(args);
    EXPECT_EQ(r.exitCode, kExitRegistryError);
    EXPECT_NE(r.message.find(u"system error 5"), std::u16string::npos);
  }
  files.unopenable.insert(u"locked.q7b");
  EXPECT_EQ(run({u"--export-all", u"locked.q7b"}).exitCode, kExitFileError);
  EXPECT_EQ(run({u"--export", u"0", u"locked.q7b"}).exitCode, kExitFileError);
}

TEST_F(CommandLine, NothingStoredIsNotExportedAndCreatesNothing) {
  reg.keys[kMainKeyPath]; // a main key with no profile keys: an export of one profile creates none
  const CommandResult one = run({u"--export", u"6", u"six.prof"});
  EXPECT_EQ(one.exitCode, 0);
  EXPECT_EQ(reg.keys.size(), 1u);
  EXPECT_EQ(files.files[u"six.prof"], std::vector<uint8_t>(sizeof(ProfileRecord), 0));
  reg.keys.clear();
  files.files.clear();
  for (const auto& args :
       std::vector<std::vector<std::u16string>>{{u"--export-all", u"a.q7b"}, {u"--export", u"1", u"a.prof"}}) {
    const CommandResult r = run(args);
    EXPECT_EQ(r.exitCode, kExitRegistryError);
    EXPECT_TRUE(reg.keys.empty());
    EXPECT_TRUE(files.files.empty());
  }
}

TEST_F(CommandLine, OneProfileMovesToAnotherNumberAndTheOthersStay) {
  storeSettings(reg, 0x00AA0000);
  ASSERT_EQ(run({u"--export", u"2", u"two.prof"}).exitCode, 0);
  EXPECT_EQ(files.files[u"two.prof"].size(), sizeof(ProfileRecord));
  const auto before = reg.keys;
  messenger.windows[kMonitorTitle] = 77;
  ASSERT_EQ(run({u"--import", u"7", u"two.prof"}).exitCode, 0);
  EXPECT_EQ(unlockedWrites, 0);
  EXPECT_EQ(savedNotices(), (std::vector<test::Posted>{{77, msg::kSettingsSaved, 1, 3}}));
  for (const auto& [path, values] : before) {
    const bool inSeven = path.rfind(profileKeyPath(7), 0) == 0;
    const std::u16string twin = inSeven ? profileKeyPath(2) + path.substr(profileKeyPath(7).size()) : path;
    for (const auto& [name, bytes] : values) {
      SCOPED_TRACE(std::string(path.begin(), path.end()) + " " + std::string(name.begin(), name.end()));
      if (inSeven && name.rfind(u"WholeKeyColor", 0) == 0) continue; // not part of a profile file
      EXPECT_EQ(*reg.value(path, name), before.at(twin).at(name));
    }
  }
}

TEST_F(CommandLine, AProfileImportedWithNothingStoredCompletesTheFactoryState) {
  test::MemoryRegistry other;
  storeSettings(other, 9);
  auto image = std::make_unique<SettingsImage>();
  loadSettings(other, *image);
  files.files[u"p.prof"].assign(reinterpret_cast<const uint8_t*>(&image->profile(5)),
                                reinterpret_cast<const uint8_t*>(&image->profile(5)) + sizeof(ProfileRecord));
  ASSERT_EQ(run({u"--import", u"0", u"p.prof"}).exitCode, 0);
  EXPECT_EQ(reg.keys.size(), 190u); // main key, nine profiles, their key sets
  EXPECT_EQ(*reg.value(profileKeyPath(0), u"Button010"), *other.value(profileKeyPath(5), u"Button010"));
  EXPECT_EQ(*reg.value(profileKeyPath(1), u"LEDIntensity"), std::vector<uint8_t>{4});
}

} // namespace
} // namespace q7
