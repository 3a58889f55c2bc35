// The parent's side of a skinned control's own requests: owner drawing (WM_DRAWITEM) and colours
// (WM_CTLCOLOREDIT, WM_CTLCOLORSTATIC, WM_CTLCOLORLISTBOX) go back to the control that asked, which answers them;
// so does the row measurement of an owner-drawn list (WM_MEASUREITEM), which names its control by id.
#pragma once

#include "platform/win32/windows_only.h"

namespace q7 {

// True when the asking child answered; result then holds its answer (TRUE for a drawing, the
// brush for a colour request), to be returned by the parent's procedure.
bool reflectToChild(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result);
// WM_MEASUREITEM of a list box child of parent; true when the list answered.
bool reflectMeasureToChild(HWND parent, LPARAM lParam);

} // namespace q7
