#include "platform/win32/file_dialog.h"

#include <commdlg.h>

#include "platform/win32/handles.h"

namespace q7::win32 {

std::optional<std::u16string> fileDialog(HWND owner, bool save, const wchar_t* filter, const wchar_t* ext,
                                         const wchar_t* folder, DWORD flags) {
  wchar_t file[MAX_PATH] = {};
  std::wstring initial = std::wstring(L"*.") + ext;
  initial.copy(file, MAX_PATH - 1);
  OPENFILENAMEW ofn{};
  ofn.lStructSize = sizeof ofn;
  ofn.hwndOwner = owner;
  ofn.lpstrFilter = filter;
  ofn.lpstrFile = file;
  ofn.nMaxFile = MAX_PATH;
  ofn.lpstrInitialDir = folder;
  ofn.lpstrDefExt = ext;
  ofn.Flags = flags | OFN_EXPLORER;
  const BOOL ok = save ? GetSaveFileNameW(&ofn) : GetOpenFileNameW(&ofn);
  if (!ok) return std::nullopt;
  return std::u16string(u16(file));
}

} // namespace q7::win32
