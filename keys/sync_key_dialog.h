// CSyncKeyDlg: the linked-programs dialog. A skinned panel (linked_programs_layout.h) that shows a
// private copy of a profile's five program slots on grey fields, fills a slot from the file dialog,
// clears them all, and ends with 1 on OK or 2 on CANCEL, Escape or the system's close. The caller
// takes slots() back after OK.
#pragma once

#include "platform/win32/windows_only.h"

#include <optional>
#include <string>

#include "keys/linked_programs.h"
#include "text/string_lookup.h"
#include "ui/bitmap_btn2.h"
#include "ui/skinned_dialog.h"

namespace q7 {

class CSyncKeyDlg final : public SkinnedDialog<CSyncKeyDlg>, private LinkedProgramsView {
public:
  using Lookup = std::u16string (*)(std::u16string_view section, std::u16string_view key);

  // Copies the 2600 bytes of the profile's slots.
  CSyncKeyDlg(HWND owner, int profile, const LinkSlots& slots, Lookup lookup = lookupString);

  // 1 for OK, 2 otherwise.
  int runModal();
  const LinkSlots& slots() const { return programs_.slots(); }

private:
  friend class SkinnedDialog<CSyncKeyDlg>;
  void onCreate();
  void onInit();
  void onCommand(UINT code, ControlCommand bound);
  void onDialogCommand(UINT id);
  void onClose() { programs_.cancel(); }
  void paintTexts(HDC dc);

  // LinkedProgramsView
  std::optional<std::u16string> chooseProgram() override;
  void repaintSlot(int slot) override;
  void endDialog(int result) override { end(result); }

  Lookup lookup_;
  LinkedPrograms programs_;
  CBitmapBtn2 ok_, cancel_, clear_;
  CBitmapBtn2 browse_[kLinkSlots];
  std::u16string heading_;
};

} // namespace q7
