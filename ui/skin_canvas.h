// The canvas the skinned windows are drawn on, and the pieces of it that several windows share.
//
// The main window and every dialog that opens on its top-left corner have one size: a dialog's
// pictures cover the whole main window, its panel is drawn where its controls sit, and its mask cuts
// everything else away. Two panel shapes and two button shapes are shared by several windows through
// their mask files, so they are fixed here once.
#pragma once

#include <string_view>

#include "ui/rect.h"

namespace q7 {

struct Size {
  int width = 0, height = 0;
  constexpr bool operator==(const Size&) const = default;
};

inline constexpr Size kSkinCanvas{1000, 720};

// "single key_mask.bmp": the single-key dialog while it assigns a key, the linked-programs dialog and
// the two large warnings (DEFAULT and DISABLE).
inline constexpr std::string_view kLargePanelMask = "single key_mask.bmp";
inline constexpr Rect kLargePanel{508, 502, 896, 646};

// "warning_mask.bmp": the other warnings and the single-key dialog while it inserts a key into a macro.
inline constexpr std::string_view kSmallPanelMask = "warning_mask.bmp";
inline constexpr Rect kSmallPanel{300, 214, 642, 366};

// The OK and CANCEL buttons of the single-key, linked-programs and colour dialogs. Each mask is as
// large as the largest button that uses it; a smaller button is cut at its own rectangle.
inline constexpr std::string_view kOkButtonMask = "bottonok_mask.bmp";
inline constexpr Size kOkButtonMaskSize{67, 18};
inline constexpr std::string_view kCancelButtonMask = "bottoncancel_mask.bmp";
inline constexpr Size kCancelButtonMaskSize{66, 18};

} // namespace q7
