// CWarningDlg: the program's one message box, a skinned modal dialog with a title, up to two lines
// and one or two buttons, all fixed by its kind (warning_dialog_layout.h). Answers 1 for YES or OK,
// 2 for NO and for any other way of closing. Enter and Escape do nothing. While it runs, its owner
// keeps handling posted messages.
#pragma once

#include "platform/win32/windows_only.h"

#include <string>
#include <string_view>

#include "app/warning_dialog_layout.h"
#include "text/string_lookup.h"
#include "ui/bitmap_btn2.h"
#include "ui/skinned_dialog.h"

namespace q7 {

class CWarningDlg final : public SkinnedDialog<CWarningDlg> {
public:
  // Where the dialog's texts come from: section and key of the string file.
  using Lookup = std::u16string (*)(std::u16string_view section, std::u16string_view key);

  CWarningDlg(HWND parent, int kind, Lookup lookup = lookupString);

  void setKind(int kind) { kind_ = kind; }
  int kind() const { return kind_; }

  // Runs the dialog modally on its parent; 1 for YES or OK, otherwise 2.
  int runModal();

  // While running: the texts it shows (title, line 2, line 3).
  const std::u16string& text(int line) const { return texts_[line < 0 || line > 2 ? 0 : line]; }

private:
  friend class SkinnedDialog<CWarningDlg>;
  void onCreate();
  void onInit();
  void onCommand(UINT code, ControlCommand bound);
  void paintTexts(HDC dc);
  std::u16string lookUp(const char* section, const char* key) const;

  int kind_;
  Lookup lookup_;
  const warning::KindLayout* layout_ = nullptr;
  CBitmapBtn2 buttons_[2];
  std::u16string texts_[3];
};

} // namespace q7
