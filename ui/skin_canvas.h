// The canvas the skinned windows are drawn on, and the button shapes that several dialogs share.
//
// The main window and every dialog that opens on its top-left corner have one size: a dialog's
// pictures cover the whole main window, its panel is drawn where its controls sit, and its mask cuts
// everything else away.
#pragma once

#include <string_view>

#include "platform/rect.h"

namespace q7 {

struct Size {
  int width = 0, height = 0;
  constexpr bool operator==(const Size&) const = default;
};

inline constexpr Size kSkinCanvas{1000, 720};

// The shaped OK and CANCEL buttons of the single-key, linked-programs and colour dialogs. Each mask is as
// large as the largest button that uses it; a smaller button is cut at its own rectangle.
inline constexpr std::string_view kOkButtonMask = "bottonok_mask.bmp";
inline constexpr Size kOkButtonMaskSize{67, 18};
inline constexpr std::string_view kCancelButtonMask = "bottoncancel_mask.bmp";
inline constexpr Size kCancelButtonMaskSize{66, 18};

} // namespace q7
