#include "app/warning_dialog.h"

#include <string>
#include <utility>

#include "ui/fonts.h"
#include "ui/reflect.h"
#include "ui/region.h"

namespace q7 {

namespace {

// The layout table's names are plain ASCII.
std::wstring widen(const char* ascii) {
  return ascii ? std::wstring(ascii, ascii + std::char_traits<char>::length(ascii)) : std::wstring();
}

const wchar_t* wide(const std::u16string& s) { return win32::wide(s.c_str()); }

} // namespace

thread_local CWarningDlg* CWarningDlg::running_ = nullptr;

CWarningDlg::CWarningDlg(HWND parent, int kind, Lookup lookup)
    : parent_(parent), kind_(kind), lookup_(lookup ? lookup : lookupString) {}

CWarningDlg::~CWarningDlg() = default;

int CWarningDlg::runModal() {
  EmptyDialogTemplate tpl{};
  tpl.header.style = WS_POPUP | WS_SYSMENU;
  outer_ = std::exchange(running_, this);
  // Enter and Escape must never reach the dialog manager, which would turn them into commands.
  keyFilterHook_.reset(SetWindowsHookExW(WH_MSGFILTER, keyFilter, nullptr, GetCurrentThreadId()));
  const INT_PTR result = DialogBoxIndirectParamW(GetModuleHandleW(nullptr), &tpl.header, parent_,
                                                 dialogProcOf<CWarningDlg>, reinterpret_cast<LPARAM>(this));
  keyFilterHook_.reset();
  running_ = outer_;
  wnd_ = nullptr;
  return result == warning::kResultYes ? warning::kResultYes : warning::kResultNo;
}

LRESULT CALLBACK CWarningDlg::keyFilter(int code, WPARAM wParam, LPARAM lParam) {
  const CWarningDlg* dlg = running_;
  if (code == MSGF_DIALOGBOX && dlg && isEnterOrEscapeFor(dlg->wnd_, *reinterpret_cast<const MSG*>(lParam), false))
    return TRUE;
  return CallNextHookEx(nullptr, code, wParam, lParam);
}

INT_PTR CWarningDlg::handle(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
  case WM_INITDIALOG:
    // A dialog procedure sees no WM_CREATE: the creation steps run first, then initialisation.
    onCreate();
    onInitDialog();
    return FALSE; // the focus is set already
  case WM_DRAWITEM: {
    LRESULT result = 0;
    return reflectToChild(message, wParam, lParam, result) ? TRUE : FALSE;
  }
  case WM_COMMAND:
    onCommand(wParam, lParam);
    return TRUE;
  case WM_CLOSE:
    EndDialog(wnd_, warning::kResultNo);
    return TRUE;
  case WM_ERASEBKGND:
    return TRUE; // the paint covers the whole window
  case WM_PAINT:
    onPaint();
    return TRUE;
  default:
    return FALSE;
  }
}

std::u16string CWarningDlg::lookUp(const char* section, const char* key) const {
  if (!section || !key) return {};
  const std::wstring s = widen(section), k = widen(key);
  return lookup_(std::u16string_view(win32::u16(s.c_str()), s.size()),
                 std::u16string_view(win32::u16(k.c_str()), k.size()));
}

void CWarningDlg::onCreate() {
  const warning::KindLayout& k = warning::kindLayout(kind_);
  layout_ = &k;
  normal_ = loadSkinBitmap(skinFile(widen(k.skins->normal)));
  over_ = loadSkinBitmap(skinFile(widen(k.skins->over)));
  down_ = loadSkinBitmap(skinFile(widen(k.skins->down)));
  mask_ = loadSkinBitmap(skinFile(widen(k.skins->mask)));
  // Without its picture the dialog keeps the size its pictures are drawn for, on a plain face.
  width_ = normal_ ? normal_.width() : warning::kWindowWidth;
  height_ = normal_ ? normal_.height() : warning::kWindowHeight;

  for (int b = 0; b < k.buttonCount; ++b) {
    const warning::ButtonLayout& place = k.buttons[b];
    CBitmapBtn2& button = buttons_[b];
    if (!button.create(wnd_, place.rect)) continue;
    const Rect& r = place.rect;
    button.setImages(r.left, r.top, r.right, r.bottom, normal_, over_, down_, normal_);
    button.setTextColours(warning::kButtonTextColour, warning::kButtonTextColour, warning::kButtonTextColour);
    const std::u16string caption = lookUp(place.caption.section, place.caption.key);
    button.setText(std::wstring_view(wide(caption), caption.size()), 0);
  }

  // Without a mask (or with one that gives no region) the window stays rectangular.
  if (win32::UniqueGdi<HRGN> region = regionFromMask(mask_, kMaskKeyColour))
    if (SetWindowRgn(wnd_, region.get(), TRUE)) region.release();
}

void CWarningDlg::onInitDialog() {
  RECT parent{};
  if (parent_) GetWindowRect(parent_, &parent);
  MoveWindow(wnd_, parent.left, parent.top, width_, height_, TRUE);
  ShowWindow(wnd_, SW_SHOW);

  const warning::KindLayout& k = *layout_;
  texts_[0] = lookUp(warning::kTextSection, k.titleKey);
  texts_[1] = lookUp(warning::kTextSection, k.line2Key);
  const std::u16string language = k.third == warning::ThirdLine::OnlyDeOrJp ? lookUp("MAIN", "LANG") : std::u16string();
  texts_[2] = lookUp(warning::kTextSection, warning::thirdLineKey(k, language));
  // The title also names the window, for accessibility tools and test drivers.
  SetWindowTextW(wnd_, wide(texts_[0]));
  SetFocus(wnd_);
}

void CWarningDlg::onCommand(WPARAM wParam, LPARAM lParam) {
  HWND from = reinterpret_cast<HWND>(lParam);
  if (!from) {
    // A command without a control: closing from the system menu (Enter and Escape never get here).
    EndDialog(wnd_, warning::kResultNo);
    return;
  }
  if (HIWORD(wParam) != BN_CLICKED) return;
  for (int b = 0; layout_ && b < layout_->buttonCount; ++b)
    if (from == buttons_[b].window()) {
      EndDialog(wnd_, layout_->buttons[b].result);
      return;
    }
}

void CWarningDlg::onPaint() {
  win32::PaintScope paint(wnd_);
  RECT client{};
  GetClientRect(wnd_, &client);
  const int w = client.right, h = client.bottom;
  // Drawn off-screen and copied in one step.
  win32::UniqueDc canvasDc(CreateCompatibleDC(paint.dc()));
  win32::UniqueGdi<HBITMAP> canvas(CreateCompatibleBitmap(paint.dc(), w, h));
  if (!canvasDc || !canvas || !layout_) return;
  win32::Selection onCanvas(canvasDc.get(), canvas.get());
  HDC dc = canvasDc.get();

  paintSkinFace(dc, normal_, w, h);

  SetBkMode(dc, TRANSPARENT);
  const warning::TextLayout& t = *layout_->texts;
  const struct {
    const std::u16string& text;
    const Rect& rect;
    const warning::TextStyle& style;
  } lines[] = {
      {texts_[0], t.title, t.titleStyle}, {texts_[1], t.line2, t.lineStyle}, {texts_[2], t.line3, t.lineStyle}};
  for (const auto& line : lines) {
    if (line.text.empty()) continue;
    win32::UniqueGdi<HFONT> font = createSkinFont(widen(line.style.face), line.style.height, line.style.weight);
    win32::Selection withFont(dc, font.get());
    SetTextColor(dc, line.style.colour);
    RECT r{line.rect.left, line.rect.top, line.rect.right, line.rect.bottom};
    DrawTextW(dc, wide(line.text), static_cast<int>(line.text.size()), &r,
              DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX | DT_END_ELLIPSIS | DT_LEFT);
  }
  BitBlt(paint.dc(), 0, 0, w, h, dc, 0, 0, SRCCOPY);
}

} // namespace q7
