#include "platform/win32/hook_library.h"

#include <cwchar>

#include "platform/hook_protocol.h"
#include "platform/win32/shell.h"

namespace q7::win32 {

namespace {
template <typename F> F entry(HMODULE module, const char* name) {
  return reinterpret_cast<F>(reinterpret_cast<void*>(GetProcAddress(module, name)));
}
} // namespace

HookLibrary::HookLibrary() : HookLibrary(programFolder()) {}

HookLibrary::HookLibrary(const std::wstring& folder, Trace trace) {
  const std::wstring path = folder + hook::kLibraryFile;
  module_.reset(LoadLibraryW(path.c_str()));
  const DWORD error = module_ ? 0 : GetLastError();
  if (trace) trace(path.c_str());
  if (!module_) {
    wchar_t line[32];
    std::swprintf(line, sizeof line / sizeof line[0], L"Error:%d", static_cast<int>(error));
    if (trace) trace(line);
    return;
  }
  if (trace) trace(L"HookDll IN");
  install_ = entry<Install>(module_.get(), hook::kInstall);
  remove_ = entry<Remove>(module_.get(), hook::kRemove);
  setStatus_ = entry<SetStatus>(module_.get(), hook::kSetStatus);
}

HookLibrary::~HookLibrary() {
  setStatus(0);
  remove();
}

void HookLibrary::install(HWND window) {
  if (install_) install_(window);
}

void HookLibrary::setStatus(int status) {
  if (setStatus_) setStatus_(status);
}

void HookLibrary::remove() {
  if (remove_) remove_();
}

} // namespace q7::win32
