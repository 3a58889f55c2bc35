#include "ui/reflect.h"

#include "ui/window_messages.h"

namespace q7 {

bool reflectToChild(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) {
  HWND child = nullptr;
  switch (message) {
  case WM_DRAWITEM: {
    const auto* item = reinterpret_cast<const DRAWITEMSTRUCT*>(lParam);
    if (item && item->CtlType == ODT_BUTTON) child = item->hwndItem;
    break;
  }
  case WM_CTLCOLOREDIT:
  case WM_CTLCOLORSTATIC:
  case WM_CTLCOLORLISTBOX:
    child = reinterpret_cast<HWND>(lParam);
    break;
  default:
    return false;
  }
  if (!child || !IsWindow(child)) return false;
  result = SendMessageW(child, msg::kReflectBase + message, wParam, lParam);
  return result != 0;
}

} // namespace q7
