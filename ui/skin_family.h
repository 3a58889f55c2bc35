// A skinned dialog's pictures: the normal, hover and pressed images that its face and buttons are
// cut from, and the mask that shapes its window. The dialog families that several windows share
// live here, beside the skin code; the dialogs and the skin generator read them.
#pragma once

#include "platform/rect.h"

namespace q7 {

struct SkinFamily {
  const char* normal;
  const char* over;
  const char* down;
  const char* mask;
  Rect panel; // what the mask leaves visible (black in the mask, white around it)
};

// The two shapes the dialogs share: the single-key panel (large warnings, the single-key dialog, the
// linked-programs dialog) and the warning panel (small warnings, the single-key dialog's insert mode).
inline constexpr Rect kSingleKeyMaskPanel{500, 500, 895, 648};
inline constexpr Rect kWarningMaskPanel{300, 215, 645, 370};

inline constexpr SkinFamily kDefaultSkins{"default_normal.jpg", "default_over.jpg", "default_down.jpg",
                                          "single key_mask.bmp", kSingleKeyMaskPanel};
inline constexpr SkinFamily kWarning1Skins{"warning1_normal.jpg", "Warning1_over.jpg", "warning1_down.jpg",
                                           "warning_mask.bmp", kWarningMaskPanel};
inline constexpr SkinFamily kWarningSkins{"warning_normal.jpg", "warning_over.jpg", "warning_down.jpg",
                                          "warning_mask.bmp", kWarningMaskPanel};

} // namespace q7
