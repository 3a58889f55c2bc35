// The backup commands as whole processes against a bare process doing the same registry and file
// work: Q7Config.exe --export-all / --import-all vs bare_backup.exe export / import, alternating,
// medians of several rounds. Goal: each ratio <= 1.10.
#include "platform/win32/windows_only.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "platform/win32/win32_registry.h"
#include "settings/registry_store.h"
#include "settings/settings_image.h"

namespace {

using Clock = std::chrono::steady_clock;

double runMs(const std::wstring& exe, const std::wstring& args, DWORD* exitCode) {
  std::wstring cmd = L"\"" + exe + L"\" " + args;
  STARTUPINFOW si{};
  si.cb = sizeof si;
  PROCESS_INFORMATION pi{};
  const auto start = Clock::now();
  if (!CreateProcessW(exe.c_str(), cmd.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi)) {
    *exitCode = GetLastError();
    return -1;
  }
  WaitForSingleObject(pi.hProcess, INFINITE);
  const double ms = std::chrono::duration<double, std::milli>(Clock::now() - start).count();
  GetExitCodeProcess(pi.hProcess, exitCode);
  CloseHandle(pi.hProcess);
  CloseHandle(pi.hThread);
  return ms;
}

double median(std::vector<double> v) {
  std::sort(v.begin(), v.end());
  return v[v.size() / 2];
}

std::wstring besideThis(const wchar_t* name) {
  wchar_t self[MAX_PATH];
  GetModuleFileNameW(nullptr, self, MAX_PATH);
  std::wstring folder(self);
  return folder.substr(0, folder.find_last_of(L'\\') + 1) + name;
}

} // namespace

int wmain() {
  // Settings whose every profile and key set holds data.
  {
    q7::win32::Win32Registry registry;
    auto image = std::make_unique<q7::SettingsImage>();
    q7::loadSettings(registry, *image);
    for (int p = 0; p < q7::kProfileCount; ++p)
      for (int j = 0; j < q7::kKeySetCount; ++j)
        for (int k = 0; k < q7::kKeyCount; ++k)
          image->profile(p).KeySets[j].ProfileButton[k].KeyColor = static_cast<uint32_t>(p * 100000 + j * 200 + k);
    if (q7::saveSettings(registry, *image) != 0) {
      std::printf("could not store the settings\n");
      return 1;
    }
  }
  const std::wstring program = std::wstring(Q7_DIST_DIR) + L"\\Q7Config.exe";
  const std::wstring bare = besideThis(L"bare_backup.exe");
  wchar_t temp[MAX_PATH];
  GetTempPathW(MAX_PATH, temp);
  const std::wstring ours = std::wstring(L"\"") + temp + L"bench-ours.q7b\"";
  const std::wstring floorFile = std::wstring(L"\"") + temp + L"bench-bare.q7b\"";

  const int rounds = 5;
  std::vector<double> exportOurs, exportBare, importOurs, importBare;
  for (int r = 0; r < rounds; ++r) {
    DWORD a = 0, b = 0, c = 0, d = 0;
    exportBare.push_back(runMs(bare, L"export " + floorFile, &a));
    exportOurs.push_back(runMs(program, L"--export-all " + ours, &b));
    importBare.push_back(runMs(bare, L"import " + floorFile, &c));
    importOurs.push_back(runMs(program, L"--import-all " + ours, &d));
    if (a || b || c || d) {
      std::printf("a run failed: exit codes %lu %lu %lu %lu\n", a, b, c, d);
      return 1;
    }
  }
  const double eb = median(exportBare), eo = median(exportOurs), ib = median(importBare), io = median(importOurs);
  std::printf("backup_bench: medians of %d whole processes each, 64 MB of stored values\n", rounds);
  std::printf("  --export-all  %8.1f ms   bare read+write %8.1f ms   ratio %.3f (goal <= 1.10)\n", eo, eb, eo / eb);
  std::printf("  --import-all  %8.1f ms   bare read+write %8.1f ms   ratio %.3f (goal <= 1.10)\n", io, ib, io / ib);
  return 0;
}
