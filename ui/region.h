// A window region from a mask picture: every pixel that is not the key colour.
#pragma once

#include "platform/win32/windows_only.h"

#include "platform/win32/handles.h"
#include "ui/skin.h"

namespace q7 {

// Nothing for a mask without a bitmap; an empty region for a mask of nothing but the key colour.
// keyColour is matched exactly (every caller uses white). Built in batches of runs, each batch a
// region of its own united with the rest, so no single region request grows without bound.
win32::UniqueGdi<HRGN> regionFromMask(const SkinBitmap& mask, COLORREF keyColour);

// The key colour of every mask of the program.
inline constexpr COLORREF kMaskKeyColour = RGB(255, 255, 255);

} // namespace q7
