// The single-key dialog's geometry in its two modes: skin files, control rectangles, the texts it paints
// and the frame around the captured key. The dialog and the skin generator both read these tables.
#pragma once

#include <cstdint>
#include <string_view>

#include "ui/skin_family.h"
#include "platform/rect.h"
#include "ui/skin_canvas.h"
#include "ui/text_style.h"

namespace q7::single_key_dialog {

enum class Mode { Assign, Insert };

// Assign mode: opened by SINGLEKEY on the main window; its mask is shared with the large warnings.
inline constexpr SkinFamily kAssignSkin{"single key_normal.jpg", "single key_over.jpg", "single key_down.jpg",
                                        kDefaultSkins.mask, kDefaultSkins.panel};
// Insert mode: opened by the macro editor; it wears the question warning's pictures and shape.
inline constexpr SkinFamily kInsertSkin = kWarningSkins;

inline constexpr Size kSize = kSkinCanvas;

struct ModeLayout {
  Rect ok;            // caption "OK" of section "MAIN"
  Rect cancel;        // caption "CANCEL" of section "MAIN"
  Rect captured;      // name of the key just pressed
  Rect current;       // name of the key's own code; empty in insert mode (not created)
  bool shapedButtons; // OK and CANCEL take their shapes from the OK and CANCEL button masks
};

inline constexpr ModeLayout kAssign{
    {772, 608, 839, 625}, {711, 608, 776, 624}, {742, 577, 834, 593}, {588, 577, 681, 593}, true};
inline constexpr ModeLayout kInsert{{518, 334, 570, 351}, {572, 334, 623, 351}, {320, 265, 540, 295}, {}, false};

constexpr const ModeLayout& layout(Mode mode) { return mode == Mode::Assign ? kAssign : kInsert; }
constexpr const SkinFamily& skin(Mode mode) { return mode == Mode::Assign ? kAssignSkin : kInsertSkin; }

// The two labels of section "MACRO", created at the same place in both modes (outside the insert-mode
// panel, so only assign mode shows them).
inline constexpr Rect kCurrentLabel{541, 576, 587, 593}; // "CURRENT"
inline constexpr Rect kAssignLabel{696, 577, 742, 593};  // "ASSIGN"
inline constexpr Rect kAssignLabelJapanese{690, 577, 745, 591};

constexpr Rect assignLabelRect(std::u16string_view languageCode) {
  return languageCode == u"JP" ? kAssignLabelJapanese : kAssignLabel;
}
// The labels' text heights: smaller for the Japanese captions.
constexpr int currentLabelHeight(std::u16string_view languageCode) { return languageCode == u"JP" ? 11 : 13; }
constexpr int assignLabelHeight(std::u16string_view languageCode) { return languageCode == u"JP" ? 10 : 13; }

// Colours, 0x00BBGGRR. Labels and button captions are white; the captured key's name is black on the
// assign panel's light field and white on the insert panel.
inline constexpr uint32_t kWhite = 0x00FFFFFF;
inline constexpr uint32_t kCapturedAssignColour = 0x00000000;
inline constexpr uint32_t kCapturedInsertColour = kWhite;
inline constexpr int kButtonTextHeight = 12;

// Texts the dialog paints itself, white, from section "MACRO".
inline constexpr Rect kTitleText{524, 518, 660, 535};                        // assign mode: "TITLE"
inline constexpr Rect kSingleKeyText{532, 541, 640, 558};                    // assign mode: "SINGLEKEY"
inline constexpr Rect kInsertTitleText{320, 230, 550, 260};                  // insert mode: "INSERTSINGLEKEY"
inline constexpr TextStyle kTitleStyle{"BankGothic Lt BT", 14, 700, kWhite}; // "TITLE", "INSERTSINGLEKEY"
inline constexpr TextStyle kSingleKeyStyle{"MyriadPro-Regular", 12, 400, kWhite};

// Insert mode: a 2-pixel frame through these corners around the captured key, colour 0x00BBGGRR.
inline constexpr Rect kInsertFrame{318, 263, 542, 297};
inline constexpr uint32_t kInsertFrameColour = 0x007E1E47;
inline constexpr int kInsertFrameWidth = 2;

} // namespace q7::single_key_dialog
