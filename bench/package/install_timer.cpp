// Times a silent install and the uninstall after it, inside one Wine prefix, as a user's machine
// would run them; bench/package/package_bench.sh sets them against unpacking the zip.
//   install_timer.exe SETUP   prints "install_ms N" and "uninstall_ms N"
#include "platform/win32/windows_only.h"

#include <cstdio>
#include <string>

namespace {

const wchar_t* const kUninstallKey = L"Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Q7PrismoConfig";

// Runs a command line to its end; false when it could not start or failed.
bool runToEnd(std::wstring command) {
  STARTUPINFOW si{};
  si.cb = sizeof si;
  PROCESS_INFORMATION pi{};
  if (!CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi)) return false;
  WaitForSingleObject(pi.hProcess, INFINITE);
  DWORD code = 1;
  GetExitCodeProcess(pi.hProcess, &code);
  CloseHandle(pi.hThread);
  CloseHandle(pi.hProcess);
  return code == 0;
}

bool entryExists() {
  HKEY key;
  if (RegOpenKeyExW(HKEY_CURRENT_USER, kUninstallKey, 0, KEY_READ, &key) != ERROR_SUCCESS) return false;
  RegCloseKey(key);
  return true;
}

} // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc != 2) {
    std::fwprintf(stderr, L"usage: install_timer SETUP\n");
    return 2;
  }
  LARGE_INTEGER frequency, start, end;
  QueryPerformanceFrequency(&frequency);
  auto ms = [&] { return (end.QuadPart - start.QuadPart) * 1000.0 / frequency.QuadPart; };

  QueryPerformanceCounter(&start);
  if (!runToEnd(L"\"" + std::wstring(argv[1]) + L"\" /S /LANG=EN /NOAUTOSTART")) return 1;
  QueryPerformanceCounter(&end);
  std::printf("install_ms %.0f\n", ms());

  wchar_t uninstaller[1024] = {};
  DWORD size = sizeof uninstaller - sizeof(wchar_t);
  if (RegGetValueW(HKEY_CURRENT_USER, kUninstallKey, L"UninstallString", RRF_RT_REG_SZ, nullptr, uninstaller, &size) !=
      ERROR_SUCCESS)
    return 1;
  // The uninstaller hands over to a copy of itself and ends; its entry goes last.
  QueryPerformanceCounter(&start);
  if (!runToEnd(std::wstring(uninstaller) + L" /S")) return 1;
  while (entryExists()) Sleep(10);
  QueryPerformanceCounter(&end);
  std::printf("uninstall_ms %.0f\n", ms());
  return 0;
}
