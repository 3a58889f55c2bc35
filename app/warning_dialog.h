// CWarningDlg: the program's one message box, a skinned modal dialog with a title, up to two lines
// and one or two buttons, all fixed by its kind (warning_dialog_layout.h). Answers 1 for YES or OK,
// 2 for NO and for any other way of closing. Enter and Escape do nothing. While it runs, its owner
// keeps handling posted messages.
#pragma once

#include "platform/win32/windows_only.h"

#include "ui/dialog_proc.h"

#include <string>
#include <string_view>

#include "app/warning_dialog_layout.h"
#include "platform/win32/handles.h"
#include "text/string_lookup.h"
#include "ui/bitmap_btn2.h"
#include "ui/skin.h"

namespace q7 {

class CWarningDlg {
public:
  // Where the dialog's texts come from: section and key of the string file.
  using Lookup = std::u16string (*)(std::u16string_view section, std::u16string_view key);

  CWarningDlg(HWND parent, int kind, Lookup lookup = lookupString);
  CWarningDlg(const CWarningDlg&) = delete;
  CWarningDlg& operator=(const CWarningDlg&) = delete;
  ~CWarningDlg();

  void setKind(int kind) { kind_ = kind; }
  int kind() const { return kind_; }

  // Runs the dialog modally on its parent; 1 for YES or OK, otherwise 2.
  int runModal();

  // While running: the dialog's window and the texts it shows (title, line 2, line 3).
  HWND window() const { return wnd_; }
  const std::u16string& text(int line) const { return texts_[line < 0 || line > 2 ? 0 : line]; }

private:
  template <typename T> friend INT_PTR CALLBACK dialogProcOf(HWND, UINT, WPARAM, LPARAM);
  static LRESULT CALLBACK keyFilter(int code, WPARAM wParam, LPARAM lParam);
  INT_PTR handle(UINT message, WPARAM wParam, LPARAM lParam);

  void onCreate();
  void onInitDialog();
  void onCommand(WPARAM wParam, LPARAM lParam);
  void onPaint();
  std::u16string lookUp(const char* section, const char* key) const;

  HWND parent_;
  int kind_;
  Lookup lookup_;
  HWND wnd_ = nullptr;
  const warning::KindLayout* layout_ = nullptr;
  SkinBitmap normal_, over_, down_, mask_;
  int width_ = warning::kWindowWidth, height_ = warning::kWindowHeight;
  CBitmapBtn2 buttons_[2];
  std::u16string texts_[3];
  win32::UniqueHook keyFilterHook_;
  CWarningDlg* outer_ = nullptr; // a warning dialog running when this one started

  static thread_local CWarningDlg* running_;
};

} // namespace q7
