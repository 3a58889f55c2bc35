#include "ui/skinned_control.h"

#include <commctrl.h>

#include <string>

#include "ui/keyboard_use.h"

namespace q7 {

namespace {
constexpr UINT_PTR kSubclassId = 0x5137; // one subclass per control
constexpr UINT_PTR kToolId = 1;
} // namespace

SkinnedControl::~SkinnedControl() { destroy(); }

void SkinnedControl::destroy() {
  if (HWND wnd = wnd_) {
    detach(); // no message reaches a half-destroyed object
    DestroyWindow(wnd);
  }
}

bool SkinnedControl::createWindow(HWND parent, const wchar_t* windowClass, DWORD style, const Rect& rect, Scale scale,
                                  int id) {
  destroy();
  tableRect_ = rect;
  scale_ = scale;
  const Rect at = scale.rect(rect);
  HWND wnd = CreateWindowExW(0, windowClass, L"", style, at.left, at.top, at.width(), at.height(), parent,
                             reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), GetModuleHandleW(nullptr), nullptr);
  if (!wnd) return false;
  if (!SetWindowSubclass(wnd, &SkinnedControl::subclassProc, kSubclassId, reinterpret_cast<DWORD_PTR>(this))) {
    DestroyWindow(wnd);
    return false;
  }
  wnd_ = wnd;
  return true;
}

namespace {
bool keyboardUse = false;
} // namespace

void readKeyboardUse() {
  BOOL screenReader = FALSE, keyboardPreferred = FALSE;
  if (!SystemParametersInfoW(SPI_GETSCREENREADER, 0, &screenReader, 0)) screenReader = FALSE;
  if (!SystemParametersInfoW(SPI_GETKEYBOARDPREF, 0, &keyboardPreferred, 0)) keyboardPreferred = FALSE;
  keyboardUse = keyboard_use::wanted(screenReader != FALSE, keyboardPreferred != FALSE);
}

bool keyboardUseOn() { return keyboardUse; }

void SkinnedControl::setTabStop(int group) const {
  if (!wnd_) return;
  SetPropW(wnd_, kTabStopProperty, reinterpret_cast<HANDLE>(1));
  if (group > 0) SetPropW(wnd_, kTabGroupProperty, reinterpret_cast<HANDLE>(static_cast<INT_PTR>(group)));
}

void SkinnedControl::setTabCurrent(bool current) const {
  if (!wnd_) return;
  if (current)
    SetPropW(wnd_, kTabCurrentProperty, reinterpret_cast<HANDLE>(1));
  else
    RemovePropW(wnd_, kTabCurrentProperty);
}

void SkinnedControl::detach() {
  RemoveWindowSubclass(wnd_, &SkinnedControl::subclassProc, kSubclassId);
  for (const wchar_t* property : {kTabStopProperty, kTabGroupProperty, kTabCurrentProperty})
    RemovePropW(wnd_, property);
  tooltip_.reset();
  toolAdded_ = false;
  wnd_ = nullptr;
  onDetach();
}

LRESULT CALLBACK SkinnedControl::subclassProc(HWND wnd, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                                              DWORD_PTR ref) {
  auto* self = reinterpret_cast<SkinnedControl*>(ref);
  if (!self || self->wnd_ != wnd) return DefSubclassProc(wnd, message, wParam, lParam);
  if (message == WM_NCDESTROY) {
    self->detach();
    return DefSubclassProc(wnd, message, wParam, lParam);
  }
  try {
    return self->onMessage(message, wParam, lParam);
  } catch (...) {
    return 0;
  }
}

LRESULT SkinnedControl::onMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  return defaultProcessing(message, wParam, lParam);
}

LRESULT SkinnedControl::defaultProcessing(UINT message, WPARAM wParam, LPARAM lParam) {
  return DefSubclassProc(wnd_, message, wParam, lParam);
}

void SkinnedControl::rescale(Scale scale) {
  scale_ = scale;
  if (!wnd_) return;
  const Rect at = scale.rect(tableRect_);
  SetWindowPos(wnd_, nullptr, at.left, at.top, at.width(), at.height(), SWP_NOZORDER | SWP_NOACTIVATE);
  onRescale();
}

void SkinnedControl::setAccessibleName(std::wstring_view name) {
  if (!wnd_) return;
  std::wstring now(static_cast<size_t>(GetWindowTextLengthW(wnd_)) + 1, L'\0');
  now.resize(static_cast<size_t>(GetWindowTextW(wnd_, now.data(), static_cast<int>(now.size()))));
  if (now == name) return;
  // Straight to the default handling: the push button would repaint itself for a text it never shows.
  const std::wstring text(name);
  DefWindowProcW(wnd_, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
}

bool SkinnedControl::makeTooltip(TooltipOwner owner) {
  if (tooltip_) return true;
  INITCOMMONCONTROLSEX icc{sizeof icc, ICC_BAR_CLASSES};
  InitCommonControlsEx(&icc);
  tooltip_.reset(CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX,
                                 CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT,
                                 owner == TooltipOwner::Control ? wnd_ : nullptr, nullptr, GetModuleHandleW(nullptr),
                                 nullptr));
  if (!tooltip_) return false;
  SendMessageW(tooltip_.get(), TTM_ACTIVATE, FALSE, 0);
  return true;
}

void SkinnedControl::showTooltip(std::wstring_view text, bool active) {
  if (!wnd_ || !makeTooltip(TooltipOwner::Control)) return;
  std::wstring buffer(text);
  TTTOOLINFOW tool{};
  tool.cbSize = sizeof tool;
  // The tooltip watches the control's mouse messages itself: a modal loop has no place to relay them.
  tool.uFlags = TTF_SUBCLASS;
  tool.hwnd = wnd_;
  tool.uId = kToolId;
  GetClientRect(wnd_, &tool.rect);
  tool.lpszText = buffer.data();
  if (!toolAdded_) toolAdded_ = SendMessageW(tooltip_.get(), TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool)) != 0;
  SendMessageW(tooltip_.get(), TTM_UPDATETIPTEXTW, 0, reinterpret_cast<LPARAM>(&tool));
  SendMessageW(tooltip_.get(), TTM_ACTIVATE, active ? TRUE : FALSE, 0);
}

} // namespace q7
