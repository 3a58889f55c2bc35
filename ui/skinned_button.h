// What the two skinned push buttons share: a real owner-drawn BUTTON child with control id 0 (a
// skinned control), with hover tracking, shaped by an optional mask, with an optional tooltip. The parent
// routes WM_DRAWITEM back to the button with reflectToChild; a click reaches the parent as the
// push button's own WM_COMMAND (wParam 0, lParam the button's handle).
#pragma once

#include "platform/win32/windows_only.h"

#include <string>
#include <string_view>

#include "platform/rect.h"
#include "ui/hover_tracking.h"
#include "ui/skin.h"
#include "ui/skinned_control.h"

namespace q7 {

class SkinnedButton : public SkinnedControl {
public:
  ~SkinnedButton() override;

  // A visible child push button at rect (parent's client coordinates in table pixels, shown at
  // scale), empty window text, control id 0, owner-drawn; then attached. False when the window
  // could not be made. Everything the button is told later in pixels (picture pieces, fonts,
  // caption places) is in table pixels too and drawn at its scale.
  // At another scale (rescale) the button takes its shape again; the owner gives it pictures of
  // that scale.
  bool create(HWND parent, const Rect& rect, Scale scale = {});
  bool hovered() const { return hover_; }
  const std::wstring& caption() const { return caption_; }

  // Shapes the button by a mask file of the skin folder (white is cut away) and repaints without
  // erasing. When no region results or the window refuses it: a message box "error", and the
  // button stays rectangular.
  void setMask(std::wstring_view fileName);

protected:
  explicit SkinnedButton(ButtonFamily family) : family_(family) {}

  virtual void onAttach();
  virtual void draw(HDC dc, int width, int height, UINT itemState) = 0;
  LRESULT onMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

  void repaint(bool erase = false);
  // Stores the caption; it is also the window's text, for accessibility tools and test drivers.
  void storeCaption(std::wstring_view caption);
  void removeBorderAndTabStop();

  bool hover_ = false;
  std::wstring caption_;

private:
  void onMouseMove(WPARAM wParam, LPARAM lParam);
  void onRescale() override;
  void onDetach() override { hover_ = false; }

  ButtonFamily family_;
  std::wstring maskFile_; // its shape, read again at every scale; the window keeps the region
};

} // namespace q7
