// SkinnedDialog<T>: the base of every skinned window of the program. It owns what they all share:
// the one dialog procedure (recovers the object, checks that it belongs to the window, lets no
// exception out, forgets the window at WM_NCDESTROY), the modal run on an empty template, the
// creation sequence (pictures, shape, controls, placement, initialisation), the double-buffered
// paint of the face plus the window's own texts without background erase, the key filter (Enter
// and Escape kept from the dialog manager; Tab, Enter and the window's keys in keyboard use), and
// the reflection of owner-draw, row measurement and
// colour requests to the controls that asked.
//
// A dialog derives from SkinnedDialog<Dialog> and supplies, as plain members that the base calls
// (each optional but onCommand):
//   void onCreate();                              pictures (loadSkins), size and controls, each
//                                                 control bound to its command (bindCommand)
//   void onInit();                                texts, title and focus, after placement and show
//   void onCommand(UINT code, ControlCommand c);  the command bound to the control that reported
//   void onDialogCommand(UINT id);                a command without a control (IDOK, IDCANCEL, close)
//   void onClose();                               WM_CLOSE; by default ends with kDialogNo
//   void paintFace(HDC dc, int width, int height); by default the normal picture or the plain face
//   void paintTexts(HDC dc);                      the window's own texts over the face
//   void onPaint();                               the whole paint, for a window that draws itself
//   bool onMessage(UINT, WPARAM, LPARAM, INT_PTR& result);  anything else; true when handled
//   bool onKeyboardKey(UINT vk, HWND focus);      in keyboard use, a key for the window itself
//   void onDestroy();
//   void onScaleChanged();                        the window moved to a display of another DPI: by
//                                                 default the pictures, shape, size and the buttons of
//                                                 makeButton follow; a dialog with other controls
//                                                 moves them too (at scale_)
// Every rectangle, font height and offset a dialog hands to the base is in table pixels (96 DPI);
// the base draws it at the window's scale (scale_), as do the buttons it makes.
// and makes the base its friend (`friend class SkinnedDialog<Dialog>;`).
#pragma once

#include "platform/win32/windows_only.h"

#include <optional>
#include <string_view>
#include <vector>

#include "platform/rect.h"
#include "platform/win32/handles.h"
#include "ui/bitmap_btn2.h"
#include "ui/control_commands.h"
#include "ui/dialog_result.h"
#include "ui/picture_cache.h"
#include "ui/reflect.h"
#include "ui/scale.h"
#include "ui/skin.h"
#include "ui/skin_canvas.h"
#include "ui/skin_family.h"
#include "ui/text_style.h"
#include "ui/window_messages.h"

namespace q7 {

// Modal results: 1 for OK or Yes, 2 for Cancel, No and every other way of closing.
inline constexpr INT_PTR kDialogOk = 1;
inline constexpr INT_PTR kDialogNo = 2;

// Where a dialog shows: on its owner's top-left corner (a dialog whose pictures cover the main
// window), centred on its owner, at the screen's top-left corner, or where the dialog moves itself.
enum class Placement { OwnerTopLeft, OwnerCentre, ScreenTopLeft, Self };

// The keys of a modal run, filtered before the dialog manager sees them, while one of these lives.
// Enter and Escape never reach it (it would turn them into OK and Cancel). In keyboard use, Tab and
// Shift+Tab move the focus through the window's controls in reading order, Enter presses the
// focused button, and other keys go to the window as msg::kKeyboardKey first. While the window
// captures keys, no key reaches it. One filter per modal run; filters of nested runs stack.
class EnterEscapeFilter {
public:
  struct Rules {
    bool enterEscape = true; // swallow Enter and Escape
    bool alsoKeyUp = false;  // and their releases
    bool captureKeys = false;
  };
  EnterEscapeFilter(const HWND& dialog, Rules rules);
  EnterEscapeFilter(const EnterEscapeFilter&) = delete;
  EnterEscapeFilter& operator=(const EnterEscapeFilter&) = delete;
  ~EnterEscapeFilter();
  // True for Enter or Escape going to the dialog or one of its controls.
  static bool swallows(HWND dialog, const MSG& m, bool alsoKeyUp);

private:
  static LRESULT CALLBACK filter(int code, WPARAM wParam, LPARAM lParam);
  bool takes(const MSG& m) const;
  const HWND& dialog_;
  Rules rules_;
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
// Gives the window the region; without one it stays rectangular.
void shapeWindow(HWND wnd, win32::UniqueGdi<HRGN> region);
void place(HWND wnd, HWND owner, Placement placement, Size size);
// Draws text into rect with style (both in table pixels, drawn at scale), single-line and
// vertically centred; format adds the alignment.
void drawText(HDC dc, std::u16string_view text, const Rect& rect, const TextStyle& style, UINT format, Scale scale);
// The scale a skinned window draws at (kept on it), else the DPI of the display the window is on
// (the system's where the system cannot tell per window).
Scale windowScale(HWND wnd);
// Keeps a skinned window's scale on it for windows it opens; forgotten before it is destroyed.
void keepScale(HWND wnd, Scale scale);
void forgetScale(HWND wnd);
// The window's new DPI, from a WM_DPICHANGED.
Scale scaleFromDpiChange(WPARAM wParam);
// Moves the window with the pointer as if its caption were dragged.
void dragWindow(HWND wnd);
// In keyboard use: acts on a key pressed in the dialog (Tab, Enter, or the window's own keys);
// true when the key is used up.
bool keyboardKey(HWND dialog, const MSG& m);
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
    bool captureKeys = false;    // the window captures keys while it shows: no key acts on it
  };

  explicit SkinnedDialog(HWND owner) : owner_(owner) {}
  SkinnedDialog(HWND owner, Options options) : owner_(owner), options_(options) {}
  ~SkinnedDialog() = default;

  // Runs the dialog modally on its owner; the value given to end().
  INT_PTR runModal() {
    readKeyboardUse();
    EnterEscapeFilter filter(wnd_, {options_.keepEnterEscape, options_.filterKeyUps, options_.captureKeys});
    const INT_PTR result =
        dialog::run(owner_, &SkinnedDialog::procedure, reinterpret_cast<LPARAM>(this), options_.resource);
    wnd_ = nullptr;
    return result;
  }
  void end(INT_PTR result) { EndDialog(wnd_, result); }

  // Takes the family's pictures at the window's scale from the picture cache (decoded now when a
  // file changed or they were not cached yet) and the normal picture's size (the canvas's without
  // one); the mask's region shapes the window.
  void loadSkins(const SkinFamily& family) {
    family_ = &family;
    const FamilyPictures pictures = familyPictures(family, scale_);
    normal_ = pictures.normal;
    over_ = pictures.over;
    down_ = pictures.down;
    size_ = pictures.size.width > 0 ? pictures.size : scale_.size(kSkinCanvas);
    dialog::shapeWindow(wnd_, copyShape(pictures));
  }
  // The family is kept for a later change of scale: it must outlive the window, never a temporary.
  void loadSkins(SkinFamily&&) = delete;
  // Creates a skinned button at r (table pixels), drawn from the dialog's three pictures; false
  // when it could not.
  bool makeButton(CBitmapBtn2& button, const Rect& r) {
    if (!button.create(wnd_, r, scale_)) return false;
    button.setImages(r.left, r.top, r.right, r.bottom, normal_, over_, down_, normal_);
    made_.push_back({&button, r});
    return true;
  }
  // From now on a command reported by the control stands for command (with argument); in keyboard
  // use, Tab stops at it.
  template <typename Command> void bindCommand(const SkinnedControl& control, Command command, int argument = 0) {
    commands_.bind(control.window(), command, argument);
    control.setTabStop();
  }
  // A painted text at the window's scale.
  void drawText(HDC dc, std::u16string_view text, const Rect& rect, const TextStyle& style, UINT format) const {
    dialog::drawText(dc, text, rect, style, format, scale_);
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
  // In keyboard use, a key the filter leaves to the window (arrows, Delete, ...); true when used.
  bool onKeyboardKey(UINT, HWND) { return false; }
  void onDestroy() {}
  void onScaleChanged() {
    if (family_) loadSkins(*family_);
    for (const Made& m : made_) {
      m.button->rescale(scale_);
      const Rect& r = m.rect;
      m.button->setImages(r.left, r.top, r.right, r.bottom, normal_, over_, down_, normal_);
    }
  }

  HWND owner_;
  HWND wnd_ = nullptr;
  Options options_;
  SkinBitmap normal_, over_, down_;
  Size size_ = kSkinCanvas; // the window's size once placed, in device pixels
  Scale scale_;             // the display's, from creation on

private:
  struct Made {
    CBitmapBtn2* button;
    Rect rect;
  };
  const SkinFamily* family_ = nullptr; // the pictures of loadSkins
  std::vector<Made> made_;             // the buttons of makeButton
  ControlCommands commands_;           // control handle to command, of bindCommand

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
        dialog::forgetScale(wnd);
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
      scale_ = dialog::windowScale(owner_ ? owner_ : wnd_);
      dialog::keepScale(wnd_, scale_);
      d.onCreate();
      if (options_.placement != Placement::Self) {
        dialog::place(wnd_, owner_, options_.placement, size_);
        ShowWindow(wnd_, SW_SHOW);
      }
      if (options_.focusSelf) SetFocus(wnd_);
      d.onInit();
      return options_.focusSelf ? FALSE : TRUE; // FALSE: the focus is set already
    case WM_COMMAND:
      if (lParam) {
        // A control finds its command through the one table; a control bound to none has none.
        if (const ControlCommand* bound = commands_.find(reinterpret_cast<HWND>(lParam)))
          d.onCommand(HIWORD(wParam), *bound);
      } else
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
    case msg::kKeyboardKey:
      SetWindowLongPtrW(wnd_, DWLP_MSGRESULT,
                        d.onKeyboardKey(static_cast<UINT>(wParam), reinterpret_cast<HWND>(lParam)));
      return TRUE;
    case WM_DPICHANGED: {
      // Rebuilt at the new scale where the window is; what the user edited lives in the dialog's
      // own state and its controls, which stay.
      const Scale now = dialog::scaleFromDpiChange(wParam);
      if (now == scale_) return TRUE;
      scale_ = now;
      dialog::keepScale(wnd_, scale_);
      d.onScaleChanged();
      RECT at{};
      GetWindowRect(wnd_, &at);
      SetWindowPos(wnd_, nullptr, at.left, at.top, size_.width, size_.height, SWP_NOZORDER | SWP_NOACTIVATE);
      InvalidateRect(wnd_, nullptr, TRUE);
      return TRUE;
    }
    default: {
      INT_PTR result = FALSE;
      return d.onMessage(message, wParam, lParam, result) ? result : FALSE;
    }
    }
  }
};

} // namespace q7
