#include "ui/reflect.h"

#include "ui/window_messages.h"

namespace q7 {

bool reflectToChild(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) {
  HWND child = nullptr;
  switch (message) {
  case WM_DRAWITEM: {
    const auto* item = reinterpret_cast<const DRAWITEMSTRUCT*>(lParam);
    if (item && (item->CtlType == ODT_BUTTON || item->CtlType == ODT_LISTBOX)) child = item->hwndItem;
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

bool reflectMeasureToChild(HWND parent, LPARAM lParam) {
  const auto* item = reinterpret_cast<const MEASUREITEMSTRUCT*>(lParam);
  if (!item || item->CtlType != ODT_LISTBOX) return false;
  HWND child = GetDlgItem(parent, static_cast<int>(item->CtlID));
  return child && SendMessageW(child, msg::kReflectBase + WM_MEASUREITEM, 0, lParam) != 0;
}

} // namespace q7
