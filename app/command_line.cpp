#include "app/command_line.h"

#include <memory>
#include <string_view>

#include "monitor/monitor_link.h"
#include "settings/profile_file.h"
#include "settings/registry_names.h"
#include "settings/registry_store.h"
#include "settings/settings_backup.h"

namespace q7 {

namespace {

std::u16string number(uint64_t v) {
  std::u16string text;
  do {
    text.insert(text.begin(), static_cast<char16_t>(u'0' + v % 10));
    v /= 10;
  } while (v != 0);
  return text;
}

std::u16string quoted(std::u16string_view path) { return u"\"" + std::u16string(path) + u"\""; }

bool parseProfile(std::u16string_view text, int& profile) {
  if (text.size() != 1 || text[0] < u'0' || text[0] >= u'0' + kProfileCount) return false;
  profile = text[0] - u'0';
  return true;
}

CommandLineRequest invalid(std::u16string error) {
  CommandLineRequest c;
  c.kind = CommandLineRequest::Invalid;
  c.error = std::move(error) + u" Try --help.";
  return c;
}

// Holds the lock from take() to the end of the scope.
class LockHolder {
public:
  explicit LockHolder(ConfigurationLock& lock) : lock_(lock) {}
  ~LockHolder() {
    if (taken_) lock_.release();
  }
  LockHolder(const LockHolder&) = delete;
  LockHolder& operator=(const LockHolder&) = delete;
  ConfigurationLock::Take take() {
    const ConfigurationLock::Take result = lock_.take();
    taken_ = result == ConfigurationLock::Take::Taken;
    return result;
  }

private:
  ConfigurationLock& lock_;
  bool taken_ = false;
};

CommandResult fail(int code, std::u16string message) { return {code, std::move(message)}; }

// Refuses an import while the program runs; otherwise the lock stays taken by holder.
bool mayImport(LockHolder& holder, CommandResult& refusal) {
  switch (holder.take()) {
  case ConfigurationLock::Take::Taken:
    return true;
  case ConfigurationLock::Take::HeldElsewhere:
    refusal = fail(kExitProgramRunning, u"Q7Config is running: close it, then import again. Nothing was changed.");
    return false;
  case ConfigurationLock::Take::Failed:
    break;
  }
  refusal = fail(kExitLockFailed, u"Cannot tell whether Q7Config is running. Nothing was changed.");
  return false;
}

std::u16string refusedReason(const BackupResult& r) {
  switch (r.check) {
  case BackupCheck::NotBackup:
    return u"is not a settings backup";
  case BackupCheck::OtherVersion:
    return u"is a backup of format version " + number(r.fileVersion) + u"; this program reads version " +
           number(kBackupVersion);
  case BackupCheck::Cut:
    return u"is cut short: " + number(r.fileSize) + u" of " + number(kBackupFileSize) + u" bytes";
  case BackupCheck::WrongSize:
    return u"has sizes that do not match these settings";
  case BackupCheck::BadChecksum:
    return u"is damaged: its checksum does not match";
  case BackupCheck::Good:
    break;
  }
  return u"is refused";
}

std::u16string registryFailure(uint32_t code) {
  return u"Writing the settings failed (system error " + number(code) +
         u"): some values may already be from the file; import it again.";
}

void tellMonitor(WindowMessenger& messenger, uint32_t profileCurrent) {
  MonitorLink(messenger).notifySaved(safeProfileIndex(profileCurrent));
}

CommandResult exportAll(const CommandLineRequest& c, CommandSystem& s) {
  const BackupResult r = exportBackup(s.registry, s.files, c.path);
  switch (r.kind) {
  case BackupResult::Done:
    return {kExitDone, u"Exported all settings to " + quoted(c.path) + u"."};
  case BackupResult::NoSettings:
    return fail(kExitRegistryError, u"No settings are stored yet: nothing was exported.");
  case BackupResult::CannotOpen:
    return fail(kExitFileError, u"Cannot create " + quoted(c.path) + u".");
  default:
    return fail(kExitFileError, u"Cannot write " + quoted(c.path) + u" completely; an old file there stays as it was.");
  }
}

CommandResult importAll(const CommandLineRequest& c, CommandSystem& s) {
  LockHolder holder(s.lock);
  CommandResult refusal;
  if (!mayImport(holder, refusal)) return refusal;
  const BackupResult r = importBackup(s.registry, s.files, c.path);
  switch (r.kind) {
  case BackupResult::Done:
    tellMonitor(s.messenger, r.profileCurrent);
    return {kExitDone, u"Imported all settings from " + quoted(c.path) + u"."};
  case BackupResult::CannotOpen:
    return fail(kExitFileError, u"Cannot open " + quoted(c.path) + u". Nothing was changed.");
  case BackupResult::FileFailed:
    return fail(kExitFileError, u"Cannot read " + quoted(c.path) + u". Nothing was changed.");
  case BackupResult::Refused:
    return fail(kExitFileError, quoted(c.path) + u" " + refusedReason(r) + u". Nothing was changed.");
  case BackupResult::RegistryFailed:
  case BackupResult::NoSettings:
    break;
  }
  tellMonitor(s.messenger, r.profileCurrent); // some values changed: the monitor reads what is there
  return fail(kExitRegistryError, registryFailure(r.code));
}

CommandResult exportOne(const CommandLineRequest& c, CommandSystem& s) {
  if (!s.registry.open(kMainKeyPath))
    return fail(kExitRegistryError, u"No settings are stored yet: nothing was exported.");
  auto image = std::make_unique<SettingsImage>();
  ReadOnlyRegistry reader(s.registry);
  loadProfile(reader, *image, c.profile);
  switch (exportProfile(s.files, c.path, image->profile(c.profile))) {
  case FileResult::Done:
    return {kExitDone, u"Exported profile " + number(c.profile) + u" to " + quoted(c.path) + u"."};
  case FileResult::CannotOpen:
    return fail(kExitFileError, u"Cannot create " + quoted(c.path) + u".");
  case FileResult::Failed:
    break;
  }
  return fail(kExitFileError, u"Cannot write " + quoted(c.path) + u" completely; an old file there stays as it was.");
}

CommandResult importOne(const CommandLineRequest& c, CommandSystem& s) {
  LockHolder holder(s.lock);
  CommandResult refusal;
  if (!mayImport(holder, refusal)) return refusal;
  auto image = std::make_unique<SettingsImage>();
  // The file is read before anything is written.
  switch (importProfile(s.files, c.path, image->profile(c.profile))) {
  case FileResult::Done:
    break;
  case FileResult::CannotOpen:
    return fail(kExitFileError, u"Cannot open " + quoted(c.path) + u". Nothing was changed.");
  case FileResult::Failed:
    return fail(kExitFileError, u"Cannot read " + quoted(c.path) + u". Nothing was changed.");
  }
  // Settings never stored: the factory state first, as the program's first start writes it, so
  // that the other profiles are whole.
  if (!s.registry.open(kMainKeyPath)) {
    auto defaults = std::make_unique<SettingsImage>();
    writeFactoryDefaults(s.registry, *defaults);
    if (!s.registry.open(kMainKeyPath))
      return fail(kExitRegistryError,
                  registryFailure(s.registry.lastError() ? s.registry.lastError() : kUnknownRegistryError));
  }
  const uint32_t code = writeProfileSettings(s.registry, *image, c.profile);
  uint8_t current = 0;
  if (auto key = s.registry.open(kMainKeyPath)) key->read(kProfileCurrentValue, &current, 1);
  tellMonitor(s.messenger, current);
  if (code != 0) return fail(kExitRegistryError, registryFailure(code));
  return {kExitDone, u"Imported profile " + number(c.profile) + u" from " + quoted(c.path) + u"."};
}

} // namespace

std::u16string usageText() {
  return u"Usage: Q7Config.exe [option]\n"
         u"  (no option)          start the program's window\n"
         u"  --export-all FILE    write every stored setting to FILE\n"
         u"  --import-all FILE    replace the stored settings by those of FILE (Q7Config must be closed)\n"
         u"  --export N FILE      write profile N (0 to 8) to FILE, a .prof file\n"
         u"  --import N FILE      replace profile N (0 to 8) by the .prof file FILE (Q7Config must be closed)\n"
         u"  --help               show this text\n"
         u"Exit code 0 on success; otherwise non-zero, with the reason on one line.";
}

CommandLineRequest parseCommandLine(const std::vector<std::u16string>& args) {
  CommandLineRequest c;
  if (args.empty()) return c;
  const std::u16string& option = args[0];
  const size_t operands = args.size() - 1;
  if (option == u"--help" || option == u"-h" || option == u"/?") {
    if (operands != 0) return invalid(u"--help takes nothing after it.");
    c.kind = CommandLineRequest::Help;
    return c;
  }
  if (option == u"--export-all" || option == u"--import-all") {
    if (operands != 1 || args[1].empty()) return invalid(option + u" needs one file name.");
    c.kind = option == u"--export-all" ? CommandLineRequest::ExportAll : CommandLineRequest::ImportAll;
    c.path = args[1];
    return c;
  }
  if (option == u"--export" || option == u"--import") {
    if (operands != 2 || args[2].empty()) return invalid(option + u" needs a profile number and a file name.");
    if (!parseProfile(args[1], c.profile))
      return invalid(u"The profile number must be 0 to 8, not " + quoted(args[1]) + u".");
    c.kind = option == u"--export" ? CommandLineRequest::Export : CommandLineRequest::Import;
    c.path = args[2];
    return c;
  }
  return invalid(u"Unknown option " + quoted(option) + u".");
}

CommandResult runCommand(const CommandLineRequest& command, CommandSystem& system) {
  switch (command.kind) {
  case CommandLineRequest::Help:
    return {kExitDone, usageText()};
  case CommandLineRequest::ExportAll:
    return exportAll(command, system);
  case CommandLineRequest::ImportAll:
    return importAll(command, system);
  case CommandLineRequest::Export:
    return exportOne(command, system);
  case CommandLineRequest::Import:
    return importOne(command, system);
  case CommandLineRequest::Invalid:
    return fail(kExitBadArguments, command.error);
  case CommandLineRequest::Window:
    break;
  }
  return fail(kExitBadArguments, u"No command given. Try --help.");
}

} // namespace q7
