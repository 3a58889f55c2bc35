#include "app/keyvane_app.h"

#include <commctrl.h>
#include <gdiplus.h>

#include <memory>

#include "app/command_line.h"
#include "app/main_window.h"
#include "settings/settings_image.h"
#include "platform/win32/handles.h"

namespace q7 {

namespace {

// GDI+ from start to end of the application.
class GdiplusSession {
public:
  GdiplusSession() {
    Gdiplus::GdiplusStartupInput input; // version 1, no suppressed thread, no debug callback
    if (Gdiplus::GdiplusStartup(&token_, &input, nullptr) != Gdiplus::Ok) token_ = 0;
  }
  ~GdiplusSession() {
    if (token_) Gdiplus::GdiplusShutdown(token_);
  }
  GdiplusSession(const GdiplusSession&) = delete;
  GdiplusSession& operator=(const GdiplusSession&) = delete;

private:
  ULONG_PTR token_ = 0;
};

} // namespace

int CKeyvaneApp::run() {
  INITCOMMONCONTROLSEX icc{8, 0xFF};
  InitCommonControlsEx(&icc);
  GdiplusSession gdiplus;

  HANDLE mutex = CreateMutexW(nullptr, FALSE, win32::wide(kConfigurationMutexName));
  if (mutex && GetLastError() == ERROR_ALREADY_EXISTS) {
    CloseHandle(mutex);
    return 0; // a second copy: nothing at all happens
  }
  win32::HeldMutex instanceMutex(mutex);

  // The program's one settings image, handed to the windows that read and edit it. The main window
  // owns big members; keep it off the stack.
  SettingsImage settings;
  auto mainWindow = std::make_unique<CKeyvaneDlg>(instance_, settings);
  mainWindow->runModal();
  return 0;
}

} // namespace q7
