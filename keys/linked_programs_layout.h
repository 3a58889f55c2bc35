// The linked-programs dialog's geometry: skin files, the heading, the five program slots with their
// browse buttons, and the clear, CANCEL and OK buttons. The dialog and the skin generator both read it.
#pragma once

#include <cstdint>
#include <string_view>

#include "ui/skin_family.h"
#include "platform/rect.h"
#include "ui/skin_canvas.h"

namespace q7::linked_programs {

// The window shape is the one of the single-key dialog and the large warnings.
inline constexpr SkinFamily kSkin{"switch_normal.jpg", "switch_over.jpg", "switch_down.jpg", kDefaultSkins.mask,
                                  kDefaultSkins.panel};
inline constexpr Size kSize = kSkinCanvas;

// "SYNC1" followed by "SYNC2" of section "OTHER".
inline constexpr Rect kHeading{550, 550, 856, 568};

struct Slot {
  Rect text;   // the program's file name on a grey field
  Rect browse; // opens the file dialog for this slot
};
inline constexpr int kSlotCount = 5;
inline constexpr Slot kSlots[kSlotCount] = {
    {{556, 576, 649, 588}, {656, 577, 669, 588}}, {{556, 594, 649, 606}, {656, 595, 669, 606}},
    {{556, 612, 649, 624}, {656, 613, 669, 624}}, {{709, 576, 803, 588}, {810, 577, 824, 587}},
    {{709, 594, 803, 606}, {810, 595, 824, 605}},
};
inline constexpr uint32_t kSlotFieldColour = 0x00B6B6B6; // 0x00BBGGRR

inline constexpr Rect kClear{810, 527, 878, 542};  // "Init" of section "SYNC"
inline constexpr Rect kCancel{711, 612, 774, 630}; // "CANCEL" of section "MAIN", shaped by the cancel mask
inline constexpr Rect kOk{773, 612, 839, 630};     // "OK" of section "MAIN", shaped by the OK mask

} // namespace q7::linked_programs
