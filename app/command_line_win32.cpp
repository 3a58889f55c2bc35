#include "app/command_line_win32.h"

#include "platform/win32/windows_only.h"

#include <shellapi.h>

#include <string>

#include "app/command_line.h"
#include "platform/win32/handles.h"
#include "platform/win32/win32_files.h"
#include "platform/win32/win32_messenger.h"
#include "platform/win32/win32_registry.h"

namespace q7 {

namespace {

class MutexLock final : public ConfigurationLock {
public:
  ~MutexLock() override { release(); }
  Take take() override {
    HANDLE h = CreateMutexW(nullptr, TRUE, win32::wide(kConfigurationMutexName));
    if (!h) return Take::Failed;
    if (GetLastError() == ERROR_ALREADY_EXISTS) {
      CloseHandle(h);
      return Take::HeldElsewhere;
    }
    mutex_ = win32::HeldMutex(h);
    return Take::Taken;
  }
  void release() override { mutex_ = win32::HeldMutex(); }

private:
  win32::HeldMutex mutex_;
};

bool usable(HANDLE h) { return h != nullptr && h != INVALID_HANDLE_VALUE; }

// The standard handle a message goes to: the one the process was given (a console, a file, a pipe),
// else the console of the process that started it, if it has one.
HANDLE standardHandle(DWORD which, win32::UniqueFile& owned) {
  HANDLE h = GetStdHandle(which);
  if (usable(h)) return h;
  if (!AttachConsole(ATTACH_PARENT_PROCESS) && GetLastError() != ERROR_ACCESS_DENIED) return nullptr;
  h = GetStdHandle(which);
  if (usable(h)) return h;
  owned = win32::UniqueFile(
      CreateFileW(L"CONOUT$", GENERIC_READ | GENERIC_WRITE, FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0, nullptr));
  return usable(owned.get()) ? owned.get() : nullptr;
}

void writeMessage(DWORD which, const std::u16string& message) {
  win32::UniqueFile owned;
  HANDLE h = standardHandle(which, owned);
  if (!h) return;
  std::wstring text = win32::widen(message);
  std::wstring lines;
  for (wchar_t c : text) {
    if (c == L'\n') lines += L'\r';
    lines += c;
  }
  lines += L"\r\n";
  DWORD mode = 0;
  DWORD written = 0;
  if (GetConsoleMode(h, &mode)) {
    WriteConsoleW(h, lines.data(), static_cast<DWORD>(lines.size()), &written, nullptr);
    return;
  }
  // A file or a pipe takes UTF-8.
  const int size =
      WideCharToMultiByte(CP_UTF8, 0, lines.data(), static_cast<int>(lines.size()), nullptr, 0, nullptr, nullptr);
  std::string utf8(static_cast<size_t>(size > 0 ? size : 0), '\0');
  if (size > 0)
    WideCharToMultiByte(CP_UTF8, 0, lines.data(), static_cast<int>(lines.size()), utf8.data(), size, nullptr, nullptr);
  WriteFile(h, utf8.data(), static_cast<DWORD>(utf8.size()), &written, nullptr);
}

} // namespace

std::vector<std::u16string> processArguments() {
  std::vector<std::u16string> args;
  int count = 0;
  LPWSTR* argv = CommandLineToArgvW(GetCommandLineW(), &count);
  if (!argv) return args;
  for (int i = 1; i < count; ++i) args.emplace_back(win32::u16(argv[i]));
  LocalFree(argv);
  return args;
}

int runCommandLineProcess(const std::vector<std::u16string>& args) {
  win32::Win32Registry registry;
  win32::Win32Files files;
  win32::Win32Messenger messenger;
  MutexLock lock;
  CommandSystem system{registry, files, messenger, lock};
  const CommandResult result = runCommand(parseCommandLine(args), system);
  writeMessage(result.exitCode == kExitDone ? STD_OUTPUT_HANDLE : STD_ERROR_HANDLE, result.message);
  return result.exitCode;
}

} // namespace q7
