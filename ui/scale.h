// Display scale: every rectangle, font height, pen width and offset of the program's tables is in
// pixels of a 96-DPI display, and a window at another DPI multiplies them by dpi / 96.
//
// Values round to the nearest pixel (halves away from zero). A rectangle scales its four edges, not
// its origin and size: two controls that meet at 96 DPI still meet, and two that do not overlap
// never come to overlap, because rounding never changes the order of two edges.
#pragma once

#include <iterator>
#include <string_view>

#include "platform/rect.h"
#include "ui/skin_canvas.h"

namespace q7 {

inline constexpr int kBaseDpi = 96;

struct Scale {
  int dpi = kBaseDpi;

  // A DPI that no display has (0, negative, absurd) is taken as 96.
  static constexpr Scale of(int dpi) { return Scale{dpi >= 48 && dpi <= 960 ? dpi : kBaseDpi}; }

  constexpr bool identity() const { return dpi == kBaseDpi; }
  constexpr int px(int v) const {
    const long long n = static_cast<long long>(v) * dpi;
    return static_cast<int>(n >= 0 ? (n + kBaseDpi / 2) / kBaseDpi : -((-n + kBaseDpi / 2) / kBaseDpi));
  }
  constexpr float px(float v) const { return v * static_cast<float>(dpi) / kBaseDpi; }
  // A font height rounds down: a rectangle's scaled height is never less than its height times the
  // scale rounded down, so a caption that fits its rectangle at 96 DPI fits it at every scale.
  constexpr int font(int height) const {
    return height > 0 ? static_cast<int>(static_cast<long long>(height) * dpi / kBaseDpi) : px(height);
  }
  constexpr Rect rect(const Rect& r) const { return {px(r.left), px(r.top), px(r.right), px(r.bottom)}; }
  constexpr Size size(Size s) const { return {px(s.width), px(s.height)}; }
  // A point of a scaled window back in table pixels: the table pixel whose scaled square holds it,
  // so that hit tests against the tables agree with what is drawn.
  constexpr int unscale(int v) const {
    // The largest u with px(u) <= v (px is monotonic); start near v * 96 / dpi and correct.
    int u = static_cast<int>(static_cast<long long>(v) * kBaseDpi / dpi);
    while (px(u + 1) <= v) ++u;
    while (px(u) > v) --u;
    return u;
  }
  constexpr bool operator==(const Scale&) const = default;
};

// The skin sets drawn beside the 96-DPI pictures: a sub-folder of the skin folder per set, holding
// the same file names. A display between two sets takes the next larger set and scales it down.
struct SkinSet {
  int dpi;                 // the DPI the set is drawn for
  std::string_view folder; // its sub-folder of "Skins"
};
inline constexpr SkinSet kScaledSkinSets[] = {{144, "150"}, {192, "200"}};

// The set that serves a DPI: nullptr at 96 DPI and below (the 96-DPI pictures themselves).
constexpr const SkinSet* skinSetFor(int dpi) {
  if (dpi <= kBaseDpi) return nullptr;
  for (const SkinSet& set : kScaledSkinSets)
    if (dpi <= set.dpi) return &set;
  return &kScaledSkinSets[std::size(kScaledSkinSets) - 1];
}

} // namespace q7
