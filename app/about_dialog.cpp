#include "app/about_dialog.h"

#include "app/resource.h"
#include "platform/win32/handles.h"
#include "text/string_lookup.h"

namespace q7 {

INT_PTR CAboutDlg::runModal(HWND owner) {
  return DialogBoxParamW(instance_, MAKEINTRESOURCEW(IDD_ABOUT), owner, dialogProc, reinterpret_cast<LPARAM>(this));
}

INT_PTR CALLBACK CAboutDlg::dialogProc(HWND wnd, UINT message, WPARAM wParam, LPARAM) {
  switch (message) {
  case WM_INITDIALOG:
    SetDlgItemTextW(wnd, IDC_ABOUT_TITLE, win32::wide(lookupString(u"ABOUT", u"TITLE").c_str()));
    SetDlgItemTextW(wnd, IDC_ABOUT_COMPANY, win32::wide(lookupString(u"ABOUT", u"COMPANY").c_str()));
    SetWindowTextW(wnd, win32::wide(lookupString(u"MAIN", u"NAME").c_str()));
    return TRUE;
  case WM_COMMAND:
    if (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL) EndDialog(wnd, LOWORD(wParam) == IDOK ? 1 : 2);
    return TRUE;
  case WM_CLOSE:
    EndDialog(wnd, 2);
    return TRUE;
  default:
    return FALSE;
  }
}

} // namespace q7
