#include "platform/win32/shell.h"

#include <shellapi.h>

#include "platform/win32/handles.h"

#include <cstdlib>

namespace q7::win32 {

std::wstring programFolder() {
  wchar_t self[MAX_PATH] = {}, drive[_MAX_DRIVE] = {}, dir[_MAX_DIR] = {};
  const DWORD n = GetModuleFileNameW(nullptr, self, MAX_PATH);
  if (n == 0 || n == MAX_PATH) return {};
  if (_wsplitpath_s(self, drive, _MAX_DRIVE, dir, _MAX_DIR, nullptr, 0, nullptr, 0) != 0) return {};
  return std::wstring(drive) + dir;
}

void openWithShell(std::wstring_view target, int show) {
  const std::wstring t(target);
  ShellExecuteW(nullptr, L"open", t.c_str(), nullptr, nullptr, show);
}

void openWithShell(std::u16string_view target) { openWithShell(widen(target)); }

} // namespace q7::win32
