// CAboutDlg: the About window, opened modally from the main window's system menu. A skinned panel
// (about_layout.h) showing the product's title and maker from section "ABOUT" of the string file,
// with a button each for the maker's home and support pages and a close button. A click on its body
// drags it; the close button, Escape, Enter and the system's close end it.
#pragma once

#include "platform/win32/windows_only.h"

#include <string>
#include <string_view>

#include "platform/win32/shell.h"
#include "text/string_lookup.h"
#include "ui/bitmap_btn2.h"
#include "ui/skinned_dialog.h"

namespace q7 {

class CAboutDlg final : public SkinnedDialog<CAboutDlg> {
public:
  using Lookup = std::u16string (*)(std::u16string_view section, std::u16string_view key);
  // Opens a web address; the program hands it to the shell.
  using Opener = void (*)(std::u16string_view url);

  explicit CAboutDlg(HWND owner, Lookup lookup = lookupString, Opener open = win32::openWithShell);

  void runModal() { SkinnedDialog::runModal(); }

private:
  friend class SkinnedDialog<CAboutDlg>;
  void onCreate();
  void onInit();
  void onScaleChanged();
  void onCommand(UINT code, ControlCommand bound);
  void onDialogCommand(UINT) { end(kResultYes); } // Enter, Escape or the system menu's close
  void onClose() { end(kResultYes); }
  bool onMessage(UINT message, WPARAM wParam, LPARAM lParam, INT_PTR& result);
  void paintTexts(HDC dc);

  Lookup lookup_;
  Opener open_;
  CBitmapBtn2 home_, support_, close_;
};

} // namespace q7
