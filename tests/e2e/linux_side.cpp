#include "linux_side.h"

#include <algorithm>
#include <cstdlib>
#include <vector>

namespace q7::e2e {

namespace {

std::vector<std::wstring> numberedEntries(const std::wstring& folder) {
  std::vector<std::wstring> names;
  WIN32_FIND_DATAW d;
  HANDLE h = FindFirstFileW((folder + L"\\*").c_str(), &d);
  if (h == INVALID_HANDLE_VALUE) return names;
  do {
    if (d.cFileName[0] >= L'0' && d.cFileName[0] <= L'9') names.push_back(d.cFileName);
  } while (FindNextFileW(h, &d));
  FindClose(h);
  return names;
}

} // namespace

std::string readWholeFile(const std::wstring& path) {
  HANDLE f =
      CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0, nullptr);
  if (f == INVALID_HANDLE_VALUE) return {};
  std::string text;
  char buf[4096];
  DWORD n = 0;
  while (ReadFile(f, buf, sizeof buf, &n, nullptr) && n > 0) text.append(buf, n);
  CloseHandle(f);
  return text;
}

std::wstring linuxProcessOf(const char* image) {
  wchar_t prefix[MAX_PATH] = {};
  GetEnvironmentVariableW(L"WINEPREFIX", prefix, MAX_PATH);
  char ours[MAX_PATH * 3] = {};
  WideCharToMultiByte(CP_UTF8, 0, prefix, -1, ours, sizeof ours, nullptr, nullptr);
  const std::string wantPrefix = std::string("WINEPREFIX=") + ours + '\0';
  for (const std::wstring& pid : numberedEntries(L"Z:\\proc")) {
    if (readWholeFile(L"Z:\\proc\\" + pid + L"\\cmdline").find(image) == std::string::npos) continue;
    if (prefix[0] && readWholeFile(L"Z:\\proc\\" + pid + L"\\environ").find(wantPrefix) == std::string::npos) continue;
    return pid;
  }
  return {};
}

long long voluntarySwitches(const std::wstring& linuxPid) {
  long long total = 0;
  const std::wstring tasks = L"Z:\\proc\\" + linuxPid + L"\\task";
  for (const std::wstring& task : numberedEntries(tasks)) {
    const std::string status = readWholeFile(tasks + L"\\" + task + L"\\status");
    const size_t at = status.find("\nvoluntary_ctxt_switches:");
    if (at != std::string::npos) total += std::atoll(status.c_str() + at + 25);
  }
  return total;
}

bool xdotool(const std::wstring& args, const std::function<void(DWORD)>& pump) {
  // Wine starts a Linux program found by its command line alone and gives no handle that tells
  // when it ended: the shell leaves a file behind when xdotool is done.
  static int calls = 0;
  const std::wstring done =
      L"/tmp/q7-xdotool-" + std::to_wstring(GetCurrentProcessId()) + L"-" + std::to_wstring(++calls);
  std::wstring command = L"Z:\\bin\\sh -c \"xdotool " + args + L"; touch " + done + L"\"";
  STARTUPINFOW si{};
  si.cb = sizeof si;
  PROCESS_INFORMATION pi{};
  if (!CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi)) return false;
  if (pi.hThread) CloseHandle(pi.hThread);
  if (pi.hProcess) CloseHandle(pi.hProcess);
  std::wstring doneHere = L"Z:" + done;
  std::replace(doneHere.begin(), doneHere.end(), L'/', L'\\');
  const ULONGLONG end = GetTickCount64() + 10000;
  while (GetFileAttributesW(doneHere.c_str()) == INVALID_FILE_ATTRIBUTES && GetTickCount64() < end) pump(10);
  return DeleteFileW(doneHere.c_str()) != 0;
}

} // namespace q7::e2e
