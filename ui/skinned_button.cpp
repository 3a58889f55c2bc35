#include "ui/skinned_button.h"

#include "ui/window_messages.h"
#include "ui/button_look.h"
#include "ui/region.h"

namespace q7 {

SkinnedButton::~SkinnedButton() { destroy(); }

bool SkinnedButton::create(HWND parent, const Rect& rect, Scale scale) {
  maskFile_.clear();
  if (!createWindow(parent, L"BUTTON", WS_CHILD | WS_VISIBLE | BS_OWNERDRAW, rect, scale)) return false;
  onAttach();
  return true;
}

void SkinnedButton::onAttach() {
  const LONG_PTR style = GetWindowLongPtrW(wnd_, GWL_STYLE);
  SendMessageW(wnd_, BM_SETSTYLE, static_cast<WPARAM>((style & 0xFFFF) | BS_OWNERDRAW), TRUE);
  SetWindowLongPtrW(wnd_, GWL_STYLE, GetWindowLongPtrW(wnd_, GWL_STYLE) & ~static_cast<LONG_PTR>(WS_TABSTOP));
}

LRESULT SkinnedButton::onMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
  case msg::kReflectBase + WM_DRAWITEM: {
    const auto* item = reinterpret_cast<const DRAWITEMSTRUCT*>(lParam);
    RECT client{};
    GetClientRect(wnd_, &client);
    draw(item->hDC, client.right, client.bottom, item->itemState);
    // In keyboard use the focused control shows a dotted frame inside its edge, over any picture.
    if (keyboardUseOn() && (item->itemState & ODS_FOCUS) && client.right > 4 && client.bottom > 4) {
      RECT mark{2, 2, client.right - 2, client.bottom - 2};
      SetTextColor(item->hDC, RGB(0, 0, 0));
      SetBkColor(item->hDC, RGB(255, 255, 255));
      DrawFocusRect(item->hDC, &mark);
    }
    return TRUE;
  }
  case WM_MOUSEMOVE:
    onMouseMove(wParam, lParam);
    return 0;
  case WM_KILLFOCUS: {
    const LRESULT r = defaultProcessing(message, wParam, lParam);
    hover_ = false;
    repaint();
    return r;
  }
  case WM_CAPTURECHANGED:
    // The push button takes the capture again itself when pressed: that is no loss. Otherwise the
    // capture is already gone; releasing here would only take it from its new owner.
    if (hover_ && reinterpret_cast<HWND>(lParam) != wnd_) repaint();
    return defaultProcessing(message, wParam, lParam);
  case WM_ERASEBKGND:
    return 0; // the drawing covers the whole button
  case WM_LBUTTONDBLCLK:
    // A quick second press is one more click: the push button would report it as a double click
    // and then as a click, two commands for one press and release.
    return onMessage(WM_LBUTTONDOWN, wParam, lParam);
  default:
    return defaultProcessing(message, wParam, lParam);
  }
}

void SkinnedButton::onMouseMove(WPARAM wParam, LPARAM lParam) {
  defaultProcessing(WM_MOUSEMOVE, wParam, lParam);
  if (!wnd_) return;
  POINT at{static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
  ClientToScreen(wnd_, &at);
  HWND parent = GetParent(wnd_);
  HWND under = WindowFromPoint(at);

  MouseMoveFacts facts;
  facts.leftDown = (wParam & MK_LBUTTON) != 0;
  facts.hover = hover_;
  facts.holdsCapture = GetCapture() == wnd_;
  facts.appHasActiveWindow = GetActiveWindow() != nullptr;
  facts.hasParent = parent != nullptr;
  facts.otherWindowUnderCursor = under && under != wnd_;
  const MouseMoveSteps steps = mouseMoveSteps(family_, facts);

  if (steps.requestLeave) {
    TRACKMOUSEEVENT track{sizeof track, TME_LEAVE, wnd_, 0};
    TrackMouseEvent(&track);
  }
  if (steps.setHover) hover_ = true;
  if (steps.clearHover) hover_ = false;
  if (steps.capture) SetCapture(wnd_);
  if (steps.repaint) repaint();
  if (steps.release) ReleaseCapture();
  if (steps.forwardToParent && parent) PostMessageW(parent, WM_MOUSEMOVE, wParam, MAKELPARAM(at.x, at.y));
}

void SkinnedButton::repaint(bool erase) {
  if (wnd_) InvalidateRect(wnd_, nullptr, erase ? TRUE : FALSE);
}

void SkinnedButton::storeCaption(std::wstring_view caption) {
  caption_.assign(caption);
  if (wnd_) SetWindowTextW(wnd_, caption_.c_str());
  repaint();
}

void SkinnedButton::removeBorderAndTabStop() {
  if (!wnd_) return;
  const LONG_PTR style = GetWindowLongPtrW(wnd_, GWL_STYLE);
  SetWindowLongPtrW(wnd_, GWL_STYLE, style & ~static_cast<LONG_PTR>(WS_BORDER | WS_TABSTOP));
}

void SkinnedButton::onRescale() {
  if (!maskFile_.empty()) {
    const std::wstring file = maskFile_;
    setMask(file);
  }
  repaint();
}

void SkinnedButton::setMask(std::wstring_view fileName) {
  const std::wstring path = skinFile(fileName);
  // A skin folder without this mask: the button stays rectangular and the window usable, without
  // a message for every button. A mask that is there but gives no shape is reported.
  if (GetFileAttributesW(path.c_str()) == INVALID_FILE_ATTRIBUTES) return;
  maskFile_.assign(fileName);
  const SkinBitmap mask = loadScaledSkin(fileName, scale_, Resample::Nearest);
  win32::UniqueGdi<HRGN> region = regionFromMask(mask, kMaskKeyColour);
  if (!region || !wnd_ || !SetWindowRgn(wnd_, region.get(), FALSE)) {
    MessageBoxW(wnd_ ? GetParent(wnd_) : nullptr, L"error", nullptr, MB_OK);
    return;
  }
  region.release(); // the window owns it now
  repaint();
}

} // namespace q7
