// SkinnedDialog<T>: the base of every skinned window of the program. It owns what they all share:
// the one dialog procedure (recovers the object, checks that it belongs to the window, lets no
// exception out, forgets the window at WM_NCDESTROY), the modal run on an empty template, the
// creation sequence (pictures, shape, controls, placement, initialisation), the double-buffered
// paint of the face plus the window's own texts without background erase, the filter that keeps
// Enter and Escape from the dialog manager, and the reflection of owner-draw, row measurement and
// colour requests to the controls that asked.
//
// A dialog derives from SkinnedDialog<Dialog> and supplies, as plain members that the base calls
// (each optional but onCommand):
//   void onCreate();                              pictures (loadSkins), size and controls
//   void onInit();                                texts, title and focus, after placement and show
//   void onCommand(UINT code, HWND control);      a control's command
//   void onDialogCommand(UINT id);                a command without a control (IDOK, IDCANCEL, close)
//   void onClose();                               WM_CLOSE; by default ends with kDialogNo
//   void paintFace(HDC dc, int width, int height); by default the normal picture or the plain face
//   void paintTexts(HDC dc);                      the window's own texts over the face
//   void onPaint();                               the whole paint, for a window that draws itself
//   bool onMessage(UINT, WPARAM, LPARAM, INT_PTR& result);  anything else; true when handled
//   void onDestroy();
// and makes the base its friend (`friend class SkinnedDialog<Dialog>;`).
#pragma once

#include "platform/win32/windows_only.h"

#include <optional>
#include <string_view>

#include "platform/win32/handles.h"
#include "ui/bitmap_btn2.h"
#include "ui/dialog_result.h"
#include "ui/rect.h"
#include "ui/reflect.h"
#include "ui/skin.h"
#include "ui/skin_canvas.h"
#include "ui/skin_family.h"
#include "ui/text_style.h"

namespace q7 {

// Modal results: 1 for OK or Yes, 2 for Cancel, No and every other way of closing.
inline constexpr INT_PTR kDialogOk = 1;
inline constexpr INT_PTR kDialogNo = 2;

// Where a dialog shows: on its owner's top-left corner (a dialog whose pictures cover the main
// window), centred on its owner, at the screen's top-left corner, or where the dialog moves itself.
enum class Placement { OwnerTopLeft, OwnerCentre, ScreenTopLeft, Self };

// Enter and Escape never reach the dialog manager while one of these lives: it would turn them
// into OK and Cancel. One filter per modal run; filters of nested runs stack.
class EnterEscapeFilter {
public:
  EnterEscapeFilter(const HWND& dialog, bool alsoKeyUp);
  EnterEscapeFilter(const EnterEscapeFilter&) = delete;
  EnterEscapeFilter& operator=(const EnterEscapeFilter&) = delete;
  ~EnterEscapeFilter();
  // True for Enter or Escape going to the dialog or one of its controls.
  static bool swallows(HWND dialog, const MSG& m, bool alsoKeyUp);

private:
  static LRESULT CALLBACK filter(int code, WPARAM wParam, LPARAM lParam);
  const HWND& dialog_;
  bool alsoKeyUp_;
  EnterEscapeFilter* outer_;
  win32::UniqueHook hook_;
  static thread_local EnterEscapeFilter* innermost_;
};

// The pieces of the base that need no knowledge of the dialog.
namespace dialog {
// Runs a modal dialog on an empty in-memory template (resource 0) or on a template resource.
INT_PTR run(HWND owner, DLGPROC procedure, LPARAM self, int resource);
// Cuts the window to its mask's shape; without a mask (or a region) it stays rectangular.
void shapeWindow(HWND wnd, const SkinBitmap& mask);
void place(HWND wnd, HWND owner, Placement placement, Size size);
// Draws text into rect with style, single-line and vertically centred; format adds the alignment.
void drawText(HDC dc, std::u16string_view text, const Rect& rect, const TextStyle& style, UINT format);
// Moves the window with the pointer as if its caption were dragged.
void dragWindow(HWND wnd);
} // namespace dialog

template <typename Derived> class SkinnedDialog {
public:
  SkinnedDialog(const SkinnedDialog&) = delete;
  SkinnedDialog& operator=(const SkinnedDialog&) = delete;

  // While running: the dialog's window.
  HWND window() const { return wnd_; }

protected:
  struct Options {
    Placement placement = Placement::OwnerTopLeft;
    bool keepEnterEscape = true; // Enter and Escape never reach the dialog manager (which would close)
    bool filterKeyUps = false;   // also swallow the releases of Enter and Escape
    int resource = 0;            // dialog template resource; 0 for an empty one
    bool focusSelf = true;       // the window takes the focus; otherwise the dialog manager chooses
  };

  explicit SkinnedDialog(HWND owner) : owner_(owner) {}
  SkinnedDialog(HWND owner, Options options) : owner_(owner), options_(options) {}
  ~SkinnedDialog() = default;

  // Runs the dialog modally on its owner; the value given to end().
  INT_PTR runModal() {
    std::optional<EnterEscapeFilter> filter;
    if (options_.keepEnterEscape) filter.emplace(wnd_, options_.filterKeyUps);
    const INT_PTR result =
        dialog::run(owner_, &SkinnedDialog::procedure, reinterpret_cast<LPARAM>(this), options_.resource);
    wnd_ = nullptr;
    return result;
  }
  void end(INT_PTR result) { EndDialog(wnd_, result); }

  // Loads the family's four pictures and takes the normal picture's size (the canvas's without
  // one); the mask shapes the window.
  void loadSkins(const SkinFamily& family) {
    normal_ = loadSkinBitmap(skinFile(win32::widen(family.normal)));
    over_ = loadSkinBitmap(skinFile(win32::widen(family.over)));
    down_ = loadSkinBitmap(skinFile(win32::widen(family.down)));
    mask_ = loadSkinBitmap(skinFile(win32::widen(family.mask)));
    size_ = normal_ ? Size{normal_.width(), normal_.height()} : kSkinCanvas;
    dialog::shapeWindow(wnd_, mask_);
  }
  // Creates a skinned button at r, drawn from the dialog's three pictures; false when it could not.
  bool makeButton(CBitmapBtn2& button, const Rect& r) {
    if (!button.create(wnd_, r)) return false;
    button.setImages(r.left, r.top, r.right, r.bottom, normal_, over_, down_, normal_);
    return true;
  }

  // The members the base calls, with what a dialog gets when it does not supply its own.
  void onCreate() {}
  void onInit() {}
  void onDialogCommand(UINT) { self().onClose(); }
  void onClose() { end(kDialogNo); }
  void paintFace(HDC dc, int width, int height) { paintSkinFace(dc, normal_, width, height); }
  void paintTexts(HDC) {}
  void onPaint() {
    win32::PaintScope paint(wnd_);
    RECT client{};
    GetClientRect(wnd_, &client);
    const int w = client.right, h = client.bottom;
    // Drawn off-screen and copied in one step.
    win32::UniqueDc canvasDc(CreateCompatibleDC(paint.dc()));
    win32::UniqueGdi<HBITMAP> canvas(CreateCompatibleBitmap(paint.dc(), w, h));
    if (!canvasDc || !canvas) return;
    win32::Selection onCanvas(canvasDc.get(), canvas.get());
    self().paintFace(canvasDc.get(), w, h);
    SetBkMode(canvasDc.get(), TRANSPARENT);
    self().paintTexts(canvasDc.get());
    BitBlt(paint.dc(), 0, 0, w, h, canvasDc.get(), 0, 0, SRCCOPY);
  }
  bool onMessage(UINT, WPARAM, LPARAM, INT_PTR&) { return false; }
  void onDestroy() {}

  HWND owner_;
  HWND wnd_ = nullptr;
  Options options_;
  SkinBitmap normal_, over_, down_, mask_;
  Size size_ = kSkinCanvas; // the window's size once placed

private:
  Derived& self() { return static_cast<Derived&>(*this); }

  static INT_PTR CALLBACK procedure(HWND wnd, UINT message, WPARAM wParam, LPARAM lParam) {
    SkinnedDialog* base = nullptr;
    if (message == WM_INITDIALOG) {
      base = reinterpret_cast<SkinnedDialog*>(lParam);
      if (base) base->wnd_ = wnd;
      SetWindowLongPtrW(wnd, DWLP_USER, lParam);
    } else {
      base = reinterpret_cast<SkinnedDialog*>(GetWindowLongPtrW(wnd, DWLP_USER));
    }
    if (!base || base->wnd_ != wnd) return FALSE;
    try {
      const INT_PTR result = base->dispatch(message, wParam, lParam);
      if (message == WM_NCDESTROY) {
        SetWindowLongPtrW(wnd, DWLP_USER, 0);
        base->wnd_ = nullptr;
      }
      return result;
    } catch (...) {
      return FALSE;
    }
  }

  INT_PTR dispatch(UINT message, WPARAM wParam, LPARAM lParam) {
    Derived& d = self();
    switch (message) {
    case WM_INITDIALOG:
      // A dialog procedure sees no WM_CREATE: the creation steps run first, then initialisation.
      d.onCreate();
      if (options_.placement != Placement::Self) {
        dialog::place(wnd_, owner_, options_.placement, size_);
        ShowWindow(wnd_, SW_SHOW);
      }
      if (options_.focusSelf) SetFocus(wnd_);
      d.onInit();
      return options_.focusSelf ? FALSE : TRUE; // FALSE: the focus is set already
    case WM_COMMAND:
      if (lParam)
        d.onCommand(HIWORD(wParam), reinterpret_cast<HWND>(lParam));
      else
        d.onDialogCommand(LOWORD(wParam));
      return TRUE;
    case WM_DRAWITEM:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORLISTBOX: {
      LRESULT answer = 0;
      if (!reflectToChild(message, wParam, lParam, answer)) return FALSE;
      return message == WM_DRAWITEM ? TRUE : static_cast<INT_PTR>(answer);
    }
    case WM_MEASUREITEM:
      return reflectMeasureToChild(wnd_, lParam) ? TRUE : FALSE;
    case WM_CLOSE:
      d.onClose();
      return TRUE;
    case WM_ERASEBKGND:
      return TRUE; // the paint covers the whole window
    case WM_PAINT:
      d.onPaint();
      return TRUE;
    case WM_DESTROY:
      d.onDestroy();
      return FALSE;
    default: {
      INT_PTR result = FALSE;
      return d.onMessage(message, wParam, lParam, result) ? result : FALSE;
    }
    }
  }
};

} // namespace q7
