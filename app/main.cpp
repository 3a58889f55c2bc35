#include "platform/win32/windows_only.h"

#include "app/command_line_win32.h"
#include "app/keyvane_app.h"

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, LPWSTR, int) {
  // With arguments the program runs one command and makes no window.
  const auto args = q7::processArguments();
  if (!args.empty()) return q7::runCommandLineProcess(args);
  q7::CKeyvaneApp app(instance);
  const int code = app.run();
  return code;
}
