#include "ui/crledit.h"

#include <string>

#include "ui/window_messages.h"

namespace q7 {

// The field ends before the font and brush it uses.
CCrledit::~CCrledit() { destroy(); }

bool CCrledit::create(HWND parent, const Rect& rect, bool digitsOnly, Scale scale) {
  systemFont_ = false;
  const DWORD style = WS_CHILD | WS_VISIBLE | WS_TABSTOP | ES_AUTOHSCROLL | (digitsOnly ? ES_NUMBER : 0);
  return createWindow(parent, L"EDIT", style, rect, scale);
}

void CCrledit::onRescale() {
  if (systemFont_) applyFont();
  InvalidateRect(wnd_, nullptr, TRUE);
}

void CCrledit::useSystemFont() {
  systemFont_ = true;
  if (wnd_) applyFont();
}

void CCrledit::applyFont() {
  // The stock fonts are made for the system's DPI; a window on a display of another DPI scales
  // them by the ratio of the two.
  win32::WindowDc screen(nullptr);
  const int systemDpi = Scale::of(GetDeviceCaps(screen.get(), LOGPIXELSY)).dpi;
  win32::UniqueGdi<HFONT> scaled;
  if (scale_.dpi != systemDpi) {
    LOGFONTW lf{};
    if (GetObjectW(GetStockObject(SYSTEM_FONT), sizeof lf, &lf) == sizeof lf) {
      lf.lfHeight = MulDiv(lf.lfHeight, scale_.dpi, systemDpi);
      lf.lfWidth = MulDiv(lf.lfWidth, scale_.dpi, systemDpi);
      scaled.reset(CreateFontIndirectW(&lf));
    }
  }
  // The field lets go of the old font before it is deleted.
  SendMessageW(wnd_, WM_SETFONT, reinterpret_cast<WPARAM>(scaled.get()), FALSE);
  font_ = std::move(scaled);
  InvalidateRect(wnd_, nullptr, TRUE);
}

void CCrledit::setTextColour(COLORREF colour) {
  text_ = colour;
  if (wnd_) InvalidateRect(wnd_, nullptr, TRUE);
}

void CCrledit::setBackgroundColour(COLORREF colour) {
  background_ = colour;
  if (wnd_) InvalidateRect(wnd_, nullptr, TRUE);
}

LRESULT CCrledit::onMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
  case msg::kReflectBase + WM_CTLCOLOREDIT:
  case msg::kReflectBase + WM_CTLCOLORSTATIC: // read-only and disabled fields ask this way
    return reinterpret_cast<LRESULT>(colourRequest(reinterpret_cast<HDC>(wParam)));
  case WM_KEYUP:
    // Posted: the parent sees it after the edit control has applied the key.
    if (HWND parent = GetParent(wnd_)) PostMessageW(parent, msg::kCrleditKeyUp, wParam, 0);
    return defaultProcessing(message, wParam, lParam);
  case WM_ERASEBKGND:
    return 1; // the edit control paints its background with the brush of the colour request
  case WM_PAINT:
    if (!IsWindowEnabled(wnd_)) {
      // A disabled edit control writes in the system's grey whatever its colour request says.
      paintDisabled();
      return 0;
    }
    return defaultProcessing(message, wParam, lParam);
  case WM_ENABLE: {
    const LRESULT r = defaultProcessing(message, wParam, lParam);
    InvalidateRect(wnd_, nullptr, TRUE);
    return r;
  }
  default:
    return defaultProcessing(message, wParam, lParam);
  }
}

HBRUSH CCrledit::colourRequest(HDC dc) {
  brush_.reset(CreateSolidBrush(background_));
  SetTextColor(dc, text_);
  SetBkColor(dc, background_);
  return brush_.get();
}

void CCrledit::paintDisabled() {
  win32::PaintScope paint(wnd_);
  HDC dc = paint.dc();
  RECT client{};
  GetClientRect(wnd_, &client);
  FillRect(dc, &client, colourRequest(dc));

  const int length = GetWindowTextLengthW(wnd_);
  if (length <= 0) return;
  std::wstring text(static_cast<size_t>(length) + 1, L'\0');
  text.resize(static_cast<size_t>(GetWindowTextW(wnd_, text.data(), length + 1)));
  if (const auto mask = static_cast<wchar_t>(SendMessageW(wnd_, EM_GETPASSWORDCHAR, 0, 0)))
    text.assign(text.size(), mask);

  HFONT font = reinterpret_cast<HFONT>(SendMessageW(wnd_, WM_GETFONT, 0, 0));
  win32::Selection withFont(dc, font);
  // Where the edit control itself puts the first character (margins, alignment and scrolling).
  const LRESULT at = SendMessageW(wnd_, EM_POSFROMCHAR, 0, 0);
  const int x = at == -1 ? LOWORD(SendMessageW(wnd_, EM_GETMARGINS, 0, 0)) : static_cast<short>(LOWORD(at));
  const int y = at == -1 ? 0 : static_cast<short>(HIWORD(at));
  SetBkMode(dc, OPAQUE);
  ExtTextOutW(dc, x, y, ETO_CLIPPED, &client, text.c_str(), static_cast<UINT>(text.size()), nullptr);
}

} // namespace q7
