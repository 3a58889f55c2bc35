// CMacroListBox: the macro editor's event list. One row per macro line: a tick box for the
// selection, the key name, an arrow for a press or a release and the pause, drawn from the text
// and item data the editor writes (macro_list_text.h). A click toggles a row's selection.
#pragma once

#include "platform/win32/windows_only.h"

#include <vector>

#include "macro/macro_list_text.h"
#include "ui/list_box_ex.h"

namespace q7 {

class CMacroListBox final : public CListBoxEx {
public:
  CMacroListBox();
  // The list at its place in the editor, with the macro look, drawn at scale.
  bool create(HWND parent, Scale scale = {});

  // Every line replaced, the given ones selected; the scroll position and the caret stay. The list
  // is drawn once, afterwards, and its scroll bar set once.
  void setLines(const std::vector<MacroListLine>& lines, const std::vector<int>& selected);
  // While held, the list draws nothing and leaves its scroll bar; released, it is drawn once.
  void holdRedraw(bool hold);
  void addLine(const MacroListLine& line);
  void rewriteLastLine(const std::u16string& text); // keeps the line's item data
  void showLastLine();
  void selectAll(bool selected);
  std::vector<int> selectedLines() const;
  int caretLine() const;
  int lineCount() const;

private:
  void drawItem(const DRAWITEMSTRUCT& item) override;
  // A list-box message handed straight to the list's own procedure. Every message sent to the list
  // passes the layers subclassed over it (ours, the tooltip's), each looking itself up on the
  // window; the messages that fill, read and append rows concern none of them.
  LRESULT listCall(UINT message, WPARAM wParam = 0, LPARAM lParam = 0) const;
  void drawIcon(HDC dc, int resource, int x, int y);

  win32::UniqueGdi<HBITMAP> icons_[4]; // resources kTickedBox ... kArrowUp
  WNDPROC listProc_ = nullptr;         // the list-box class's own procedure
};

} // namespace q7
