#include "platform/win32/windows_only.h"

#include "app/keyvane_app.h"

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, LPWSTR, int) {
  q7::CKeyvaneApp app(instance);
  const int code = app.run();
  return code;
}
