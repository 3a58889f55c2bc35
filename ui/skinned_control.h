// SkinnedControl: what every skinned control shares. A child window of a system class, made at
// its rectangle of the layout table (table pixels, shown at a scale) and subclassed so that its
// messages reach the object's onMessage(); moved to the same rectangle at another scale; an
// optional tooltip with one tool covering the control. The window goes with the object, and no
// message reaches the object once the window is gone. No exception crosses into the system's code.
#pragma once

#include "platform/win32/windows_only.h"

#include <string_view>

#include "platform/rect.h"
#include "platform/win32/handles.h"
#include "ui/scale.h"

namespace q7 {

// Keyboard use (a screen reader runs, or the user prefers the keyboard): asked of the system each
// time a skinned window opens, and kept for the windows open then.
void readKeyboardUse();
bool keyboardUseOn();

// Window properties that a skinned window's key filter reads in keyboard use: a control that Tab
// stops at, the group of controls it belongs to (one stop), and the group's current member.
inline constexpr wchar_t kTabStopProperty[] = L"Q7.TabStop";
inline constexpr wchar_t kTabGroupProperty[] = L"Q7.TabGroup";
inline constexpr wchar_t kTabCurrentProperty[] = L"Q7.TabCurrent";

class SkinnedControl {
public:
  SkinnedControl(const SkinnedControl&) = delete;
  SkinnedControl& operator=(const SkinnedControl&) = delete;
  virtual ~SkinnedControl();

  HWND window() const { return wnd_; }
  Scale scale() const { return scale_; }
  // Moves the control to its rectangle at another scale; what else follows the scale (shape,
  // font, row heights) the control does in onRescale().
  void rescale(Scale scale);
  // The name accessibility tools read and say: the window's text, for a control that shows no
  // caption (or another one). Set without a repaint, and only when it differs.
  void setAccessibleName(std::wstring_view name);
  // In keyboard use: Tab stops at the control; group > 0 joins it to a group that makes one stop,
  // at its current member.
  void setTabStop(int group = 0) const;
  void setTabCurrent(bool current) const;

protected:
  SkinnedControl() = default;

  // Ends a window made before, then makes a visible child of windowClass at rect (the parent's
  // client coordinates in table pixels, shown at scale) with empty text and the control id, and
  // subclasses it. False when the window could not be made or subclassed.
  bool createWindow(HWND parent, const wchar_t* windowClass, DWORD style, const Rect& rect, Scale scale, int id = 0);
  // Ends the window now; a derived control whose members the window uses calls it first in its
  // destructor.
  void destroy();

  virtual LRESULT onMessage(UINT message, WPARAM wParam, LPARAM lParam);
  virtual void onRescale() {}
  virtual void onDetach() {}
  LRESULT defaultProcessing(UINT message, WPARAM wParam, LPARAM lParam);

  // The tooltip, made inactive: owned by the control, or without an owner (a list's, whose rows
  // come and go). True when there is one.
  enum class TooltipOwner { Control, None };
  bool makeTooltip(TooltipOwner owner);
  // Makes an owned tooltip on first use, adds its one tool once, sets its text, (de)activates it.
  void showTooltip(std::wstring_view text, bool active);
  HWND tooltipWindow() const { return tooltip_.get(); }

  HWND wnd_ = nullptr;
  Scale scale_;

private:
  static LRESULT CALLBACK subclassProc(HWND wnd, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR, DWORD_PTR ref);
  void detach();

  Rect tableRect_;
  win32::UniqueWindow tooltip_;
  bool toolAdded_ = false;
};

} // namespace q7
