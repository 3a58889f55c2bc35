#include "lighting/whole_keyboard.h"

#include <string>

#include "lighting/colour_editor_layout.h"
#include "ui/skin_family.h"
#include "ui/window_messages.h"

namespace q7 {

namespace {

using colour_editor::Control;
using colour_editor::ControlKind;

constexpr COLORREF kWhite = RGB(255, 255, 255);
constexpr COLORREF kBlack = RGB(0, 0, 0);
constexpr int kFieldLimit = 5;
constexpr ColourField kFieldOrder[] = {ColourField::Red, ColourField::Green, ColourField::Blue};
using colour_editor::kSkins;
constexpr const Rect* kFieldRects[] = {&colour_editor::kRedField, &colour_editor::kGreenField,
                                       &colour_editor::kBlueField};

} // namespace

CWholeKeyboard::CWholeKeyboard(HWND owner, SettingsImage& image, Registry& registry, Lookup lookup)
    : SkinnedDialog(owner), lookup_(lookup ? lookup : lookupString), editor_(image, registry, *this) {}

int CWholeKeyboard::runModal() { return static_cast<int>(SkinnedDialog::runModal()); }

void CWholeKeyboard::onCreate() {
  loadSkins(kSkins);
  const auto makeCaptioned = [&](const colour_editor::ControlEntry& c) {
    CBitmapBtn2& button = buttons_[static_cast<int>(c.id)];
    if (!makeButton(button, c.rect)) return;
    bindCommand(button, c.id);
    const COLORREF text = c.kind == ControlKind::DarkButton ? kBlack : kWhite;
    button.setTextColours(text, text, text);
    button.setFontHeight(c.fontHeight);
    const std::u16string caption = lookup_(c.section, c.text);
    const std::wstring wide = win32::widen(caption);
    button.setText(wide, c.align == colour_editor::TextAlign::Left ? 1 : 0);
    if (!c.mask.empty()) button.setMask(win32::widen(c.mask));
    if (c.kind != ControlKind::Caption) button.setTooltip(wide, true);
  };
  // Title, caption, OK, Cancel, Default; the three fields; then the R, G and B captions.
  for (Control id : {Control::Title, Control::AdjustCaption, Control::Ok, Control::Cancel, Control::Default})
    makeCaptioned(colour_editor::control(id));
  for (int i = 0; i < 3; ++i) {
    if (!fields_[i].create(wnd_, *kFieldRects[i], true, scale_)) continue;
    fields_[i].useSystemFont();
    SendMessageW(fields_[i].window(), EM_LIMITTEXT, kFieldLimit, 0);
  }
  for (Control id : {Control::RedCaption, Control::GreenCaption, Control::BlueCaption})
    makeCaptioned(colour_editor::control(id));
  editor_.showStored();
}

void CWholeKeyboard::onInit() {
  // The title also names the window, for accessibility tools and test drivers.
  const std::u16string title = lookup_(u"key", u"key_title");
  SetWindowTextW(wnd_, win32::wide(title.c_str()));
}

void CWholeKeyboard::onCommand(UINT, ControlCommand bound) {
  switch (static_cast<Control>(bound.command)) {
  case Control::Cancel:
    editor_.onCancel();
    break;
  case Control::Ok:
    editor_.onOk();
    break;
  case Control::Default:
    editor_.onDefault();
    break;
  default:
    break;
  }
}

void CWholeKeyboard::onScaleChanged() {
  // The fields keep what they show and what was typed into them; they move and take the font of
  // the new scale.
  SkinnedDialog::onScaleChanged();
  for (CCrledit& f : fields_) f.rescale(scale_);
}

void CWholeKeyboard::onPaint() {
  // Every paint shows the stored colour of the current profile again.
  editor_.showStored();
  SkinnedDialog::onPaint();
}

void CWholeKeyboard::paintTexts(HDC dc) { drawSwatch(dc); }

bool CWholeKeyboard::onMessage(UINT message, WPARAM wParam, LPARAM lParam, INT_PTR& result) {
  switch (message) {
  case WM_LBUTTONDOWN:
    editor_.onClick(static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam)), scale_);
    return false;
  case msg::kCrleditKeyUp:
    editor_.onFieldKeyUp(static_cast<unsigned>(wParam));
    result = 1;
    return true;
  default:
    return false;
  }
}

void CWholeKeyboard::showFields(uint8_t r, uint8_t g, uint8_t b) {
  const uint8_t values[] = {r, g, b};
  for (int i = 0; i < 3; ++i) {
    HWND f = fields_[i].window();
    if (!f) continue;
    SetWindowTextW(f, std::to_wstring(values[i]).c_str());
    SendMessageW(f, EM_LIMITTEXT, kFieldLimit, 0);
    fields_[i].setTextColour(kWhite);
    fields_[i].setBackgroundColour(kBlack);
  }
}

std::u16string CWholeKeyboard::fieldText(ColourField f) {
  HWND wnd = field(f).window();
  if (!wnd) return {};
  wchar_t text[16] = {};
  const int n = GetWindowTextW(wnd, text, 16);
  return std::u16string(win32::u16(text), static_cast<size_t>(n > 0 ? n : 0));
}

void CWholeKeyboard::setFieldText(ColourField f, std::u16string_view text) {
  if (HWND wnd = field(f).window()) SetWindowTextW(wnd, win32::widen(text).c_str());
}

void CWholeKeyboard::drawSwatch(HDC dc) const {
  // The outline is one table pixel wide, drawn as wide as the window's scale makes it.
  const Rect s = scale_.rect(colour_editor::kSwatch);
  const int line = scale_.px(1);
  win32::UniqueGdi<HBRUSH> fill(CreateSolidBrush(swatch_));
  win32::UniqueGdi<HBRUSH> outline(CreateSolidBrush(kBlack));
  const RECT outer{s.left, s.top, s.right, s.bottom};
  const RECT inner{s.left + line, s.top + line, s.right - line, s.bottom - line};
  FillRect(dc, &outer, outline.get());
  FillRect(dc, &inner, fill.get());
}

void CWholeKeyboard::paintSwatch(uint32_t colour) {
  swatch_ = colour;
  if (!wnd_) return;
  // Drawn at once rather than invalidated: the paint itself applies the stored colour.
  if (HDC dc = GetDC(wnd_)) {
    drawSwatch(dc);
    ReleaseDC(wnd_, dc);
  }
}

uint32_t CWholeKeyboard::shownColourAt(int x, int y) {
  HDC dc = GetDC(wnd_);
  if (!dc) return 0;
  const COLORREF c = GetPixel(dc, x, y);
  ReleaseDC(wnd_, dc);
  return c == CLR_INVALID ? 0 : static_cast<uint32_t>(c) & 0x00FFFFFF;
}

void CWholeKeyboard::showStoreError(uint32_t code) {
  // The system's own text for the error that kept the colour from the registry.
  wchar_t* text = nullptr;
  FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr,
                 code, 0, reinterpret_cast<wchar_t*>(&text), 0, nullptr);
  MessageBoxW(wnd_, text ? text : L"The colour could not be stored.", nullptr, MB_OK | MB_ICONEXCLAMATION);
  if (text) LocalFree(text);
}

} // namespace q7
