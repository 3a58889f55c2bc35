#include "keys/sync_key_dialog.h"

#include <shlobj.h>

#include "keys/linked_programs_layout.h"
#include "platform/win32/file_dialog.h"
#include "text/access_text.h"

namespace q7 {

namespace {

constexpr TextStyle kHeadingStyle{"Calibri", 13, 400, 0x00FFFFFF};
constexpr TextStyle kSlotStyle{"Calibri", 13, 400, 0x00000000};
constexpr COLORREF kWhite = RGB(255, 255, 255);

enum class SyncCommand { Ok, Cancel, Clear, Browse };

} // namespace

CSyncKeyDlg::CSyncKeyDlg(HWND owner, int profile, const LinkSlots& slots, Lookup lookup)
    : SkinnedDialog(owner, {.keepEnterEscape = false}), lookup_(lookup ? lookup : lookupString),
      programs_(profile, slots, *this) {}

int CSyncKeyDlg::runModal() { return SkinnedDialog::runModal() == kResultYes ? kResultYes : kResultNo; }

void CSyncKeyDlg::onCreate() {
  loadSkins(linked_programs::kSkin);
  const auto caption = [&](CBitmapBtn2& button, const Rect& r, std::u16string_view section, std::u16string_view key) {
    if (!makeButton(button, r)) return false;
    button.setTextColours(kWhite, kWhite, kWhite);
    button.setFontHeight(13);
    const std::u16string text = lookup_(section, key);
    button.setText(std::wstring_view(win32::wide(text.c_str()), text.size()), 0);
    return true;
  };
  for (int i = 0; i < kLinkSlots; ++i)
    if (makeButton(browse_[i], linked_programs::kSlots[i].browse)) {
      bindCommand(browse_[i], SyncCommand::Browse, i);
      const std::u16string slot(1, static_cast<char16_t>(u'1' + i));
      browse_[i].setAccessibleName(win32::widen(fillAccessText(accessText(access_text::kBrowse, lookup_), slot)));
    }
  if (caption(clear_, linked_programs::kClear, u"SYNC", u"Init")) bindCommand(clear_, SyncCommand::Clear);
  if (caption(cancel_, linked_programs::kCancel, u"MAIN", u"CANCEL")) {
    cancel_.setMask(win32::widen(kCancelButtonMask));
    bindCommand(cancel_, SyncCommand::Cancel);
  }
  if (caption(ok_, linked_programs::kOk, u"MAIN", u"OK")) {
    ok_.setMask(win32::widen(kOkButtonMask));
    bindCommand(ok_, SyncCommand::Ok);
  }
}

void CSyncKeyDlg::onInit() {
  heading_ = lookup_(u"OTHER", u"SYNC1") + lookup_(u"OTHER", u"SYNC2");
  // The heading also names the window, for accessibility tools and test drivers.
  SetWindowTextW(wnd_, win32::wide(heading_.c_str()));
}

void CSyncKeyDlg::onCommand(UINT, ControlCommand bound) {
  switch (static_cast<SyncCommand>(bound.command)) {
  case SyncCommand::Ok:
    programs_.ok();
    break;
  case SyncCommand::Cancel:
    programs_.cancel();
    break;
  case SyncCommand::Clear:
    programs_.clear();
    break;
  case SyncCommand::Browse:
    programs_.browse(bound.argument);
    break;
  }
}

void CSyncKeyDlg::onDialogCommand(UINT id) {
  // The system's close arrives as IDCANCEL; Enter and Escape are kept from the dialog manager.
  if (id == IDOK)
    programs_.ok();
  else
    programs_.cancel();
}

void CSyncKeyDlg::paintTexts(HDC dc) {
  drawText(dc, heading_, linked_programs::kHeading, kHeadingStyle, DT_LEFT);
  win32::UniqueGdi<HBRUSH> grey(CreateSolidBrush(linked_programs::kSlotFieldColour));
  for (int i = 0; i < kLinkSlots; ++i) {
    const Rect& r = linked_programs::kSlots[i].text;
    const Rect at = scale_.rect(r);
    const RECT field{at.left, at.top, at.right, at.bottom};
    FillRect(dc, &field, grey.get());
    drawText(dc, programs_.shownName(i), r, kSlotStyle, DT_LEFT);
  }
}

std::optional<std::u16string> CSyncKeyDlg::chooseProgram() {
  wchar_t desktop[MAX_PATH] = {};
  SHGetSpecialFolderPathW(wnd_, desktop, CSIDL_DESKTOPDIRECTORY, FALSE);
  return win32::fileDialog(wnd_, false, L"Execute File(*.exe)\0*.exe\0", L"exe", desktop,
                           OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT);
}

void CSyncKeyDlg::repaintSlot(int slot) {
  if (!wnd_ || slot < 0 || slot >= kLinkSlots) return;
  const Rect r = scale_.rect(linked_programs::kSlots[slot].text);
  const RECT rc{r.left, r.top, r.right, r.bottom};
  InvalidateRect(wnd_, &rc, FALSE);
}

} // namespace q7
