#include "keys/single_key_dlg.h"

#include <utility>

#include "keys/key_names.h"
#include "platform/hook_protocol.h"
#include "text/string_lookup.h"
#include "ui/skin_canvas.h"

namespace q7 {

using namespace single_key_dialog;

namespace {
std::wstring_view wideView(const std::u16string& s) { return {win32::wide(s.c_str()), s.size()}; }
} // namespace

CSinglekeyDlg::CSinglekeyDlg(HWND owner, uint8_t code, Mode mode)
    : SkinnedDialog(owner, {.captureKeys = true}), mode_(mode), languageCode_(lookupString(u"MAIN", u"LANG")),
      capture_(code, mode, germanLegendsFor(languageCode_), keyboard_) {}

int CSinglekeyDlg::runModal() { return SkinnedDialog::runModal() == kResultYes ? kResultYes : kResultNo; }

void CSinglekeyDlg::makeText(CBitmapBtn2& control, const Rect& r, const std::u16string& text, uint32_t colour,
                             int height) {
  if (!control.create(wnd_, r, scale_)) return;
  // A text control shows the background picture in every state.
  control.setImages(r.left, r.top, r.right, r.bottom, normal_, normal_, normal_, normal_);
  control.setTextColours(colour, colour, colour);
  if (height > 0) control.setFontHeight(height);
  control.setText(wideView(text), 0);
}

void CSinglekeyDlg::onCreate() {
  const ModeLayout& at = layout(mode_);
  loadSkins(skin(mode_));

  const struct {
    CBitmapBtn2& button;
    const Rect& rect;
    const char16_t* caption;
    std::string_view mask;
    int result; // the button ends the dialog with it
  } buttons[] = {{ok_, at.ok, u"OK", kOkButtonMask, kResultYes},
                 {cancel_, at.cancel, u"CANCEL", kCancelButtonMask, kResultNo}};
  for (const auto& b : buttons) {
    if (!makeButton(b.button, b.rect)) continue;
    bindCommand(b.button, b.result);
    b.button.setTextColours(kWhite, kWhite, kWhite);
    b.button.setFontHeight(kButtonTextHeight);
    b.button.setText(wideView(lookupString(u"MAIN", b.caption)), 0);
    if (at.shapedButtons) b.button.setMask(win32::widen(b.mask));
  }

  makeText(captured_, at.captured, {}, capture_.capturedColour(), 0);
  if (mode_ == Mode::Assign) makeText(current_, at.current, {}, kCapturedAssignColour, 0);

  const std::u16string current = lookupString(u"MACRO", u"CURRENT");
  const std::u16string assign = lookupString(u"MACRO", u"ASSIGN");
  makeText(currentLabel_, kCurrentLabel, current, kWhite, currentLabelHeight(languageCode_));
  currentLabel_.setTooltip(wideView(current), true);
  makeText(assignLabel_, assignLabelRect(languageCode_), assign, kWhite, assignLabelHeight(languageCode_));
  assignLabel_.setTooltip(wideView(assign), true);

  // The library is loaded before the window first shows, so that showing it switches reporting on
  // and hiding it switches reporting off: keys are captured exactly while the dialog is on screen.
  hook_.emplace();
  hook_->install(wnd_);
  hook_->setStatus(0);
}

void CSinglekeyDlg::onScaleChanged() {
  SkinnedDialog::onScaleChanged();
  // The text controls show the background picture: pieces of the new pictures at their places.
  // Their texts and colours stay.
  const ModeLayout& at = layout(mode_);
  const std::pair<CBitmapBtn2*, Rect> texts[] = {{&captured_, at.captured},
                                                 {&current_, at.current},
                                                 {&currentLabel_, kCurrentLabel},
                                                 {&assignLabel_, assignLabelRect(languageCode_)}};
  for (auto [control, r] : texts) {
    if (!control->window()) continue;
    control->rescale(scale_);
    control->setImages(r.left, r.top, r.right, r.bottom, normal_, normal_, normal_, normal_);
  }
}

void CSinglekeyDlg::onInit() {
  if (mode_ == Mode::Assign) {
    titleText_ = lookupString(u"MACRO", u"TITLE");
    subtitleText_ = lookupString(u"MACRO", u"SINGLEKEY");
    current_.setText(wideView(capture_.currentName()), 0);
  } else {
    titleText_ = lookupString(u"MACRO", u"INSERTSINGLEKEY");
  }
  // The title also names the window, for accessibility tools and test drivers.
  SetWindowTextW(wnd_, win32::wide(titleText_.c_str()));
}

void CSinglekeyDlg::onCommand(UINT code, ControlCommand bound) {
  if (code == BN_CLICKED) end(bound.command);
}

bool CSinglekeyDlg::onMessage(UINT message, WPARAM wParam, LPARAM, INT_PTR& result) {
  switch (message) {
  case WM_SHOWWINDOW:
    if (hook_) hook_->setStatus(wParam ? 1 : 0);
    return false; // default processing goes on
  case hook::kReport:
    capture_.onReport(wParam);
    showCaptured();
    result = TRUE;
    return true;
  default:
    return false;
  }
}

void CSinglekeyDlg::showCaptured() {
  const std::u16string name = capture_.capturedName();
  const uint32_t colour = capture_.capturedColour();
  captured_.setTextColours(colour, colour, colour);
  captured_.setText(wideView(name), 0);
  OutputDebugStringW(win32::wide(name.c_str()));
}

void CSinglekeyDlg::paintTexts(HDC dc) {
  if (mode_ == Mode::Assign) {
    drawText(dc, titleText_, kTitleText, kTitleStyle, DT_LEFT);
    drawText(dc, subtitleText_, kSingleKeyText, kSingleKeyStyle, DT_LEFT);
    return;
  }
  drawText(dc, titleText_, kInsertTitleText, kTitleStyle, DT_LEFT);
  win32::UniqueGdi<HPEN> pen(CreatePen(PS_SOLID, scale_.px(kInsertFrameWidth), kInsertFrameColour));
  win32::Selection withPen(dc, pen.get());
  const Rect f = scale_.rect(kInsertFrame);
  const POINT corners[] = {{f.left, f.top}, {f.left, f.bottom}, {f.right, f.bottom}, {f.right, f.top}, {f.left, f.top}};
  Polyline(dc, corners, static_cast<int>(std::size(corners)));
}

void CSinglekeyDlg::onDestroy() {
  hook_.reset(); // status 0, hook removed, library unloaded
}

} // namespace q7
