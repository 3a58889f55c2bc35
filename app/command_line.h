// The program's command line: backup and restore of the stored settings without a window. Parsing
// and running are plain functions over the registry, files and monitor interfaces; the Win32 entry
// point only hands over the arguments and writes the one-line answer.
#pragma once

#include <string>
#include <vector>

#include "platform/files.h"
#include "platform/registry.h"
#include "platform/window_messenger.h"

namespace q7 {

struct CommandLineRequest {
  enum Kind { Window, Help, ExportAll, ImportAll, Export, Import, Invalid } kind = Window;
  int profile = -1;     // Export and Import: 0 ... 8
  std::u16string path;  // the file
  std::u16string error; // Invalid: what is wrong with the arguments
};

// args without the program's own name; none means the window starts as usual.
CommandLineRequest parseCommandLine(const std::vector<std::u16string>& args);

// The named mutex a running program holds: a second copy sees it and ends at once.
inline constexpr char16_t kConfigurationMutexName[] = u"Q7 Configuration";

// The named mutex "Q7 Configuration" that a running program holds. Taken for the length of an
// import, so that the program cannot start meanwhile; released by the destructor of the holder.
class ConfigurationLock {
public:
  enum class Take { Taken, HeldElsewhere, Failed };
  virtual ~ConfigurationLock() = default;
  virtual Take take() = 0;
  virtual void release() = 0;
};

struct CommandSystem {
  Registry& registry;
  Files& files;
  WindowMessenger& messenger;
  ConfigurationLock& lock;
};

// Exit codes; every failure is non-zero.
enum ExitCode : int {
  kExitDone = 0,
  kExitBadArguments = 1,
  kExitFileError = 2,     // the file cannot be read or written, or is refused
  kExitRegistryError = 3, // nothing stored to export, or a registry write failed
  kExitProgramRunning = 4,
  kExitLockFailed = 5,
};

struct CommandResult {
  int exitCode = kExitDone;
  std::u16string message; // one line (the usage text for --help); standard output on 0, error otherwise
};

CommandResult runCommand(const CommandLineRequest& command, CommandSystem& system);

std::u16string usageText();

} // namespace q7
