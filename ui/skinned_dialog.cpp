#include "ui/skinned_dialog.h"

#include <iterator>
#include <string>
#include <vector>

#include "ui/fonts.h"
#include "ui/keyboard_use.h"
#include "ui/region.h"

namespace q7 {

thread_local EnterEscapeFilter* EnterEscapeFilter::innermost_ = nullptr;

EnterEscapeFilter::EnterEscapeFilter(const HWND& dialog, Rules rules)
    : dialog_(dialog), rules_(rules), outer_(innermost_) {
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

bool EnterEscapeFilter::takes(const MSG& m) const {
  if (!dialog_ || !(m.hwnd == dialog_ || IsChild(dialog_, m.hwnd))) return false;
  if (rules_.captureKeys && m.message >= WM_KEYFIRST && m.message <= WM_KEYLAST) return true;
  if (keyboardUseOn() && dialog::keyboardKey(dialog_, m)) return true;
  return rules_.enterEscape && swallows(dialog_, m, rules_.alsoKeyUp);
}

LRESULT CALLBACK EnterEscapeFilter::filter(int code, WPARAM wParam, LPARAM lParam) {
  if (code == MSGF_DIALOGBOX && lParam) {
    const MSG& m = *reinterpret_cast<const MSG*>(lParam);
    try {
      for (const EnterEscapeFilter* f = innermost_; f; f = f->outer_)
        if (f->takes(m)) return TRUE;
    } catch (...) {
      // Nothing crosses the hook; the key goes on as usual.
    }
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

namespace {

bool classIs(HWND wnd, const wchar_t* name) {
  wchar_t buffer[32] = {};
  return GetClassNameW(wnd, buffer, static_cast<int>(std::size(buffer))) > 0 && lstrcmpiW(buffer, name) == 0;
}

// The dialog's own controls that Tab can stop at: visible, of some size and enabled, marked as
// stops (the skinned buttons with a command) or fields and lists.
std::vector<HWND> tabControls(HWND dialog) {
  std::vector<HWND> controls;
  for (HWND child = GetWindow(dialog, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
    RECT r{};
    if (!IsWindowVisible(child) || !IsWindowEnabled(child) || !GetClientRect(child, &r) || IsRectEmpty(&r)) continue;
    if (GetPropW(child, kTabStopProperty) || classIs(child, L"Edit") || classIs(child, L"ListBox"))
      controls.push_back(child);
  }
  return controls;
}

void moveFocus(HWND dialog, HWND focus, bool backwards) {
  const std::vector<HWND> controls = tabControls(dialog);
  std::vector<keyboard_use::TabItem> items;
  items.reserve(controls.size());
  int focused = -1;
  for (HWND c : controls) {
    RECT r{};
    GetWindowRect(c, &r);
    MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&r), 2);
    if (c == focus) focused = static_cast<int>(items.size());
    items.push_back({{r.left, r.top, r.right, r.bottom},
                     static_cast<int>(reinterpret_cast<INT_PTR>(GetPropW(c, kTabGroupProperty))),
                     GetPropW(c, kTabCurrentProperty) != nullptr});
  }
  const int next = keyboard_use::nextTabStop(items, focused, backwards);
  if (next < 0) return;
  HWND to = controls[static_cast<size_t>(next)];
  SetFocus(to);
  if (classIs(to, L"Edit")) SendMessageW(to, EM_SETSEL, 0, -1);
}

} // namespace

bool keyboardKey(HWND dialog, const MSG& m) {
  if (m.message != WM_KEYDOWN) return false;
  HWND focus = GetFocus();
  if (focus != dialog && !IsChild(dialog, focus)) focus = nullptr;
  const bool ctrl = GetKeyState(VK_CONTROL) < 0, alt = GetKeyState(VK_MENU) < 0;
  switch (m.wParam) {
  case VK_TAB:
    if (ctrl || alt) return false;
    moveFocus(dialog, focus, GetKeyState(VK_SHIFT) < 0);
    return true;
  case VK_RETURN:
    // Posted: the click may open a window of its own, which must not run inside this filter.
    if (focus && focus != dialog && classIs(focus, L"Button")) {
      PostMessageW(focus, BM_CLICK, 0, 0);
      return true;
    }
    return false;
  default:
    return SendMessageW(dialog, msg::kKeyboardKey, m.wParam, reinterpret_cast<LPARAM>(focus)) != 0;
  }
}

void dragWindow(HWND wnd) {
  ReleaseCapture();
  SendMessageW(wnd, WM_NCLBUTTONDOWN, HTCAPTION, 0);
}

} // namespace dialog
} // namespace q7
