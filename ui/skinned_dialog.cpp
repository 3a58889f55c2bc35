#include "ui/skinned_dialog.h"

#include <string>

#include "ui/fonts.h"
#include "ui/region.h"

namespace q7 {

thread_local EnterEscapeFilter* EnterEscapeFilter::innermost_ = nullptr;

EnterEscapeFilter::EnterEscapeFilter(const HWND& dialog, bool alsoKeyUp)
    : dialog_(dialog), alsoKeyUp_(alsoKeyUp), outer_(innermost_) {
  innermost_ = this;
  hook_.reset(SetWindowsHookExW(WH_MSGFILTER, filter, nullptr, GetCurrentThreadId()));
}

EnterEscapeFilter::~EnterEscapeFilter() {
  hook_.reset();
  innermost_ = outer_;
}

bool EnterEscapeFilter::swallows(HWND dialog, const MSG& m, bool alsoKeyUp) {
  const bool key = m.message == WM_KEYDOWN || (alsoKeyUp && m.message == WM_KEYUP);
  return dialog && key && (m.wParam == VK_RETURN || m.wParam == VK_ESCAPE) &&
         (m.hwnd == dialog || IsChild(dialog, m.hwnd));
}

LRESULT CALLBACK EnterEscapeFilter::filter(int code, WPARAM wParam, LPARAM lParam) {
  if (code == MSGF_DIALOGBOX && lParam) {
    const MSG& m = *reinterpret_cast<const MSG*>(lParam);
    for (const EnterEscapeFilter* f = innermost_; f; f = f->outer_)
      if (swallows(f->dialog_, m, f->alsoKeyUp_)) return TRUE;
  }
  return CallNextHookEx(nullptr, code, wParam, lParam);
}

namespace dialog {

namespace {
// An empty dialog template: the window is sized, shaped and filled in code. DLGTEMPLATE is packed
// to 2 bytes; a template must start on a DWORD boundary.
struct alignas(4) EmptyTemplate {
  DLGTEMPLATE header;
  WORD menu = 0, windowClass = 0, title = 0;
};
} // namespace

INT_PTR run(HWND owner, DLGPROC procedure, LPARAM self, int resource) {
  HINSTANCE instance = GetModuleHandleW(nullptr);
  if (resource) return DialogBoxParamW(instance, MAKEINTRESOURCEW(resource), owner, procedure, self);
  EmptyTemplate tpl{};
  tpl.header.style = WS_POPUP | WS_SYSMENU;
  return DialogBoxIndirectParamW(instance, &tpl.header, owner, procedure, self);
}

void shapeWindow(HWND wnd, const SkinBitmap& mask) { shapeWindow(wnd, regionFromMask(mask, kMaskKeyColour)); }

void shapeWindow(HWND wnd, win32::UniqueGdi<HRGN> region) {
  if (region && SetWindowRgn(wnd, region.get(), TRUE)) region.release(); // the window owns it now
}

void place(HWND wnd, HWND owner, Placement placement, Size size) {
  RECT over{};
  switch (placement) {
  case Placement::OwnerTopLeft:
    if (owner) GetWindowRect(owner, &over);
    MoveWindow(wnd, over.left, over.top, size.width, size.height, TRUE);
    break;
  case Placement::OwnerCentre:
    // On the screen's work area without an owner.
    if (!owner || !GetWindowRect(owner, &over)) SystemParametersInfoW(SPI_GETWORKAREA, 0, &over, 0);
    MoveWindow(wnd, (over.left + over.right - size.width) / 2, (over.top + over.bottom - size.height) / 2, size.width,
               size.height, TRUE);
    break;
  case Placement::ScreenTopLeft:
    MoveWindow(wnd, 0, 0, size.width, size.height, TRUE);
    break;
  case Placement::Self:
    break;
  }
}

void drawText(HDC dc, std::u16string_view text, const Rect& rect, const TextStyle& style, UINT format, Scale scale) {
  if (text.empty()) return;
  win32::UniqueGdi<HFONT> font = createSkinFont(win32::widen(style.face), scale.font(style.height), style.weight);
  win32::Selection withFont(dc, font.get());
  SetTextColor(dc, style.colour);
  const Rect at = scale.rect(rect);
  RECT r{at.left, at.top, at.right, at.bottom};
  DrawTextW(dc, win32::wide(text.data()), static_cast<int>(text.size()), &r,
            format | DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX | DT_END_ELLIPSIS);
}

namespace {
// The scale a skinned window draws at, kept on the window so that the windows it opens follow it
// (after a move to another display it may differ from what the system says of new windows).
constexpr wchar_t kScaleProperty[] = L"Q7.Dpi";
} // namespace

void keepScale(HWND wnd, Scale scale) {
  if (wnd) SetPropW(wnd, kScaleProperty, reinterpret_cast<HANDLE>(static_cast<INT_PTR>(scale.dpi)));
}

void forgetScale(HWND wnd) {
  if (wnd) RemovePropW(wnd, kScaleProperty);
}

Scale windowScale(HWND wnd) {
  if (wnd)
    if (HANDLE kept = GetPropW(wnd, kScaleProperty))
      return Scale::of(static_cast<int>(reinterpret_cast<INT_PTR>(kept)));
  // Asked of the system only where it knows per-window DPI (Windows 10 and later).
  using PerWindow = UINT(WINAPI*)(HWND);
  static const auto perWindow = reinterpret_cast<PerWindow>(
      reinterpret_cast<void (*)()>(GetProcAddress(GetModuleHandleW(L"user32.dll"), "GetDpiForWindow")));
  if (wnd && perWindow)
    if (const UINT dpi = perWindow(wnd)) return Scale::of(static_cast<int>(dpi));
  win32::WindowDc screen(nullptr);
  return Scale::of(GetDeviceCaps(screen.get(), LOGPIXELSX));
}

Scale scaleFromDpiChange(WPARAM wParam) { return Scale::of(LOWORD(wParam)); }

void dragWindow(HWND wnd) {
  ReleaseCapture();
  SendMessageW(wnd, WM_NCLBUTTONDOWN, HTCAPTION, 0);
}

} // namespace dialog
} // namespace q7
