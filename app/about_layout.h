// The About window's geometry: a small rounded panel with the product's title and maker (section
// "ABOUT", "TITLE" and "COMPANY"), a button each for the maker's home page and support page, and a
// close button. The window and the skin generator both read it.
#pragma once

#include <cstdint>
#include <string_view>

#include "platform/rect.h"
#include "ui/text_style.h"
#include "ui/skin_canvas.h"
#include "ui/skin_family.h"

namespace q7::about_window {

inline constexpr std::string_view kNormalImage = "about_normal.jpg";
inline constexpr std::string_view kOverImage = "about_over.jpg";
inline constexpr std::string_view kDownImage = "about_down.jpg";
inline constexpr std::string_view kWindowMask = "about_mask.bmp";

// The window is its panel: a rectangle with rounded corners, cut by the mask.
inline constexpr Size kSize{380, 220};
inline constexpr Rect kPanel{0, 0, 380, 220};
// The window's pictures; kept for the window's life (a change of display scale loads them again).
inline constexpr SkinFamily kSkins{kNormalImage.data(), kOverImage.data(), kDownImage.data(), kWindowMask.data(),
                                   kPanel};

inline constexpr Rect kLogo{150, 22, 230, 62};      // part of the pictures
inline constexpr Rect kTitleText{20, 76, 360, 100}; // white, centred
inline constexpr Rect kCompanyText{20, 104, 360, 124};
inline constexpr Rect kHomePage{138, 150, 182, 186}; // opens the maker's home page
inline constexpr Rect kSupport{198, 150, 242, 186};  // opens the maker's support page
inline constexpr Rect kClose{350, 12, 368, 30};

// How the two texts are drawn: single-line, centred in their rectangles. Colours are 0x00BBGGRR.
inline constexpr TextStyle kTitleStyle{"Arial", 18, 700, 0x00FFFFFF};
inline constexpr TextStyle kCompanyStyle{"Arial", 15, 400, 0x00C8BEB9};

} // namespace q7::about_window
