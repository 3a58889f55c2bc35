// CSinglekeyDlg: asks the user to press one key and hands back its virtual-key code. It hears the
// keyboard through the hook library, not through its own window, so any key (Enter, Escape, the
// Windows keys) can be captured. Assign mode is opened by the main window's SINGLEKEY with the
// selected key's own code; insert mode by the macro editor with 0. It never touches a key record.
#pragma once

#include "platform/win32/windows_only.h"

#include <cstdint>
#include <optional>
#include <string>

#include "keys/single_key_capture.h"
#include "keys/single_key_dialog_layout.h"
#include "platform/win32/hook_library.h"
#include "platform/win32/win32_keyboard_text.h"
#include "ui/bitmap_btn2.h"
#include "ui/skinned_dialog.h"

namespace q7 {

class CSinglekeyDlg final : public SkinnedDialog<CSinglekeyDlg> {
public:
  CSinglekeyDlg(HWND owner, uint8_t code, single_key_dialog::Mode mode);

  // Runs the dialog modally on its owner: kResultYes for OK, kResultNo otherwise.
  int runModal();
  // The key of the last report before OK; the code given at construction when none came.
  uint8_t capturedKey() const { return capture_.captured(); }

private:
  friend class SkinnedDialog<CSinglekeyDlg>;
  void onCreate();
  void onInit();
  void onScaleChanged();
  void onCommand(UINT code, ControlCommand bound);
  bool onMessage(UINT message, WPARAM wParam, LPARAM lParam, INT_PTR& result);
  void paintTexts(HDC dc);
  void onDestroy();
  void makeText(CBitmapBtn2& control, const Rect& r, const std::u16string& text, uint32_t colour, int height);
  void showCaptured();

  single_key_dialog::Mode mode_;
  std::u16string languageCode_;
  win32::Win32KeyboardText keyboard_;
  single_key_dialog::Capture capture_;
  std::u16string titleText_, subtitleText_;
  std::optional<win32::HookLibrary> hook_; // loaded from initialisation to destruction
  CBitmapBtn2 ok_, cancel_, captured_, current_, currentLabel_, assignLabel_;
};

} // namespace q7
