// The floor of the backup commands: a bare process that reads every stored value into one buffer
// and writes it as a file of the backup's size ("export FILE"), or reads such a file and writes
// every value of a save from it ("import FILE"). Nothing else: no checks, no image, no checksum.
#include "platform/win32/windows_only.h"

#include <cstring>
#include <memory>
#include <string>

#include "registry_floor.h"
#include "settings/settings_backup.h"

namespace {

bool exportFloor(const std::wstring& path) {
  const std::unique_ptr<uint8_t[]> buffer(new uint8_t[q7::kBackupFileSize]);
  size_t at = 0;
  for (const q7::bench::KeyValues& k : q7::bench::registryLayout(true)) {
    HKEY h = nullptr;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, k.path.c_str(), 0, q7::kRegistryAccess, &h)) continue;
    for (const auto& [name, size] : k.values) {
      DWORD got = size;
      if (at + size > q7::kBackupFileSize) break;
      RegQueryValueExW(h, name.c_str(), nullptr, nullptr, buffer.get() + at, &got);
      at += size;
    }
    RegCloseKey(h);
  }
  HANDLE f = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (f == INVALID_HANDLE_VALUE) return false;
  DWORD n = 0;
  const bool ok = WriteFile(f, buffer.get(), static_cast<DWORD>(q7::kBackupFileSize), &n, nullptr);
  CloseHandle(f);
  return ok;
}

bool importFloor(const std::wstring& path) {
  const std::unique_ptr<uint8_t[]> buffer(new uint8_t[q7::kBackupFileSize]);
  HANDLE f = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
  if (f == INVALID_HANDLE_VALUE) return false;
  DWORD n = 0;
  const bool ok = ReadFile(f, buffer.get(), static_cast<DWORD>(q7::kBackupFileSize), &n, nullptr);
  CloseHandle(f);
  if (!ok) return false;
  size_t at = 0;
  for (const q7::bench::KeyValues& k : q7::bench::registryLayout(false)) {
    HKEY h = nullptr;
    if (RegCreateKeyExW(HKEY_CURRENT_USER, k.path.c_str(), 0, nullptr, 0, q7::kRegistryAccess, nullptr, &h, nullptr))
      continue;
    for (const auto& [name, size] : k.values) {
      if (at + size > q7::kBackupFileSize) break;
      RegSetValueExW(h, name.c_str(), 0, REG_BINARY, buffer.get() + at, size);
      at += size;
    }
    RegCloseKey(h);
  }
  return true;
}

} // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc != 3) return 2;
  const std::wstring mode = argv[1];
  const bool ok = mode == L"export" ? exportFloor(argv[2]) : mode == L"import" ? importFloor(argv[2]) : false;
  return ok ? 0 : 1;
}
