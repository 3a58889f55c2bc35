// CAboutDlg: the About window, opened modally from the main window's system menu. A skinned panel
// (about_layout.h) showing the product's title and maker from section "ABOUT" of the string file,
// with a button each for the maker's home and support pages and a close button. A click on its body
// drags it; the close button, Escape, Enter and the system's close end it.
#pragma once

#include "platform/win32/windows_only.h"

#include <string>
#include <string_view>

#include "text/string_lookup.h"
#include "ui/bitmap_btn2.h"
#include "ui/dialog_proc.h"
#include "ui/skin.h"

namespace q7 {

class CAboutDlg {
public:
  using Lookup = std::u16string (*)(std::u16string_view section, std::u16string_view key);
  // Opens a web address; the program hands it to the shell.
  using Opener = void (*)(std::u16string_view url);
  static void openWithShell(std::u16string_view url);

  explicit CAboutDlg(HWND owner, Lookup lookup = lookupString, Opener open = openWithShell);
  CAboutDlg(const CAboutDlg&) = delete;
  CAboutDlg& operator=(const CAboutDlg&) = delete;

  void runModal();
  // While running.
  HWND window() const { return wnd_; }

private:
  template <typename T> friend INT_PTR CALLBACK dialogProcOf(HWND, UINT, WPARAM, LPARAM);
  INT_PTR handle(UINT message, WPARAM wParam, LPARAM lParam);
  void onCreate();
  void onInitDialog();
  void onCommand(LPARAM lParam);
  void onPaint();

  HWND owner_;
  Lookup lookup_;
  Opener open_;
  HWND wnd_ = nullptr;
  SkinBitmap normal_, over_, down_, mask_;
  CBitmapBtn2 home_, support_, close_;
};

} // namespace q7
