#include "app/warning_dialog.h"

#include <string>

namespace q7 {

CWarningDlg::CWarningDlg(HWND parent, int kind, Lookup lookup)
    : SkinnedDialog(parent), kind_(kind), lookup_(lookup ? lookup : lookupString) {}

int CWarningDlg::runModal() { return SkinnedDialog::runModal() == kResultYes ? kResultYes : kResultNo; }

std::u16string CWarningDlg::lookUp(const char* section, const char* key) const {
  if (!section || !key) return {};
  const std::wstring s = win32::widen(section), k = win32::widen(key);
  return lookup_(std::u16string_view(win32::u16(s.c_str()), s.size()),
                 std::u16string_view(win32::u16(k.c_str()), k.size()));
}

void CWarningDlg::onCreate() {
  const warning::KindLayout& k = warning::kindLayout(kind_);
  layout_ = &k;
  loadSkins(*k.skins);
  for (int b = 0; b < k.buttonCount; ++b) {
    const warning::ButtonLayout& place = k.buttons[b];
    CBitmapBtn2& button = buttons_[b];
    if (!makeButton(button, place.rect)) continue;
    bindCommand(button, place.result);
    button.setTextColours(warning::kButtonTextColour, warning::kButtonTextColour, warning::kButtonTextColour);
    const std::u16string caption = lookUp(place.caption.section, place.caption.key);
    button.setText(std::wstring_view(win32::wide(caption.c_str()), caption.size()), 0);
  }
}

void CWarningDlg::onInit() {
  const warning::KindLayout& k = *layout_;
  texts_[0] = lookUp(warning::kTextSection, k.titleKey);
  texts_[1] = lookUp(warning::kTextSection, k.line2Key);
  const std::u16string language = k.third == warning::ThirdLine::OnlyDeOrJp ? lookUp("MAIN", "LANG") : std::u16string();
  texts_[2] = lookUp(warning::kTextSection, warning::thirdLineKey(k, language));
  // The title also names the window, for accessibility tools and test drivers.
  SetWindowTextW(wnd_, win32::wide(texts_[0].c_str()));
}

void CWarningDlg::onCommand(UINT code, ControlCommand bound) {
  // A button's command is the result it ends the question with.
  if (code == BN_CLICKED) end(bound.command);
}

void CWarningDlg::paintTexts(HDC dc) {
  if (!layout_) return;
  const warning::TextLayout& t = *layout_->texts;
  drawText(dc, texts_[0], t.title, t.titleStyle, DT_LEFT);
  drawText(dc, texts_[1], t.line2, t.lineStyle, DT_LEFT);
  drawText(dc, texts_[2], t.line3, t.lineStyle, DT_LEFT);
}

} // namespace q7
