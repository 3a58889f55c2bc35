// Fonts of the skinned windows. A named face that is not installed (a user's Windows, like a fresh
// Wine prefix, may lack "BankGothic Lt BT" or even "Arial") falls back to the system's sans-serif
// family instead of whatever the font mapper would pick.
#pragma once

#include "platform/win32/windows_only.h"

#include <string_view>

#include "platform/win32/handles.h"

namespace q7 {

bool fontInstalled(std::wstring_view face);

// height in pixels (cell height), weight 100 ... 900; default character set.
win32::UniqueGdi<HFONT> createSkinFont(std::wstring_view face, int height, int weight);

} // namespace q7
