// The colour editor's geometry: skin files, its buttons and captions, the three number fields, the
// colour swatch, the palette strip and the nine preset swatches with their colours. The editor and the
// skin generator both read these tables.
#pragma once

#include <cstdint>
#include <string_view>

#include "platform/rect.h"
#include "ui/skin_canvas.h"
#include "ui/skin_family.h"

namespace q7::colour_editor {

inline constexpr std::string_view kNormalImage = "WholeKey_Normal.jpg";
inline constexpr std::string_view kOverImage = "WholeKey_Over.jpg";
inline constexpr std::string_view kDownImage = "WholeKey_Down.jpg";
inline constexpr std::string_view kWindowMask = "PerKey_mask.bmp";

inline constexpr Size kSize = kSkinCanvas;
inline constexpr Rect kPanel{500, 500, 895, 648}; // where the other large dialogs stand
// The editor's pictures; kept for the window's life (a change of display scale loads them again).
inline constexpr SkinFamily kSkins{kNormalImage.data(), kOverImage.data(), kDownImage.data(), kWindowMask.data(),
                                   kPanel};

enum class Control { Title, AdjustCaption, Ok, Cancel, Default, RedCaption, GreenCaption, BlueCaption };

enum class ControlKind {
  Caption,    // a button used as a label: no command
  Button,     // white caption
  DarkButton, // black caption in every state
};

enum class TextAlign { Left, Centre };

struct ControlEntry {
  Control id;
  ControlKind kind;
  Rect rect;
  std::u16string_view section, text;
  TextAlign align;
  int fontHeight;
  std::string_view mask; // empty: rectangular
};

inline constexpr ControlEntry kControls[] = {
    {Control::Title, ControlKind::Caption, {530, 519, 650, 535}, u"key", u"key_title", TextAlign::Left, 15, {}},
    {Control::AdjustCaption, ControlKind::Caption, {533, 552, 698, 570}, u"Wholekey", u"Adj1", TextAlign::Left, 15, {}},
    {Control::Ok, ControlKind::Button, {709, 613, 775, 629}, u"Wholekey", u"OK", TextAlign::Centre, 13, kOkButtonMask},
    {Control::Cancel,
     ControlKind::Button,
     {773, 612, 839, 628},
     u"Wholekey",
     u"Cancel",
     TextAlign::Centre,
     13,
     kCancelButtonMask},
    {Control::Default,
     ControlKind::DarkButton,
     {777, 515, 883, 535},
     u"Wholekey",
     u"Default",
     TextAlign::Centre,
     15,
     {}},
    {Control::RedCaption, ControlKind::Caption, {563, 605, 576, 618}, u"Wholekey", u"R", TextAlign::Centre, 15, {}},
    {Control::GreenCaption, ControlKind::Caption, {604, 606, 619, 620}, u"Wholekey", u"G", TextAlign::Centre, 15, {}},
    {Control::BlueCaption, ControlKind::Caption, {648, 605, 660, 618}, u"Wholekey", u"B", TextAlign::Centre, 15, {}},
};

constexpr bool controlsInEnumOrder() {
  int i = 0;
  for (const ControlEntry& c : kControls)
    if (static_cast<int>(c.id) != i++) return false;
  return i == static_cast<int>(Control::BlueCaption) + 1;
}
static_assert(controlsInEnumOrder(), "kControls holds every control once, in the order of Control");

constexpr const ControlEntry& control(Control id) { return kControls[static_cast<int>(id)]; }

// Number fields: white text on black, at most 5 digits.
inline constexpr Rect kRedField{576, 604, 602, 619};
inline constexpr Rect kGreenField{619, 605, 645, 618};
inline constexpr Rect kBlueField{661, 605, 687, 618};

// Filled by the editor in the current colour, with a one-pixel black outline.
inline constexpr Rect kSwatch{528, 579, 556, 619};

// A click here takes the colour the window shows at that point: the pictures hold a hue gradient.
inline constexpr Rect kPaletteStrip{720, 581, 844, 595};

struct Preset {
  Rect rect;
  uint32_t colour; // 0x00BBGGRR
};
inline constexpr int kPresetCount = 9;
inline constexpr Preset kPresets[kPresetCount] = {
    {{567, 579, 580, 593}, 0x001800E7}, {{582, 579, 596, 593}, 0x00009CEE}, {{598, 579, 612, 593}, 0x0000F3FF},
    {{615, 579, 628, 593}, 0x0063B110}, {{630, 579, 644, 593}, 0x00B76F11}, {{646, 579, 660, 593}, 0x008F2913},
    {{662, 579, 676, 593}, 0x00841B5E}, {{678, 579, 692, 593}, 0x007F00E8}, {{694, 579, 708, 593}, 0x00FFFFFF},
};

constexpr uint8_t red(uint32_t colour) { return static_cast<uint8_t>(colour); }
constexpr uint8_t green(uint32_t colour) { return static_cast<uint8_t>(colour >> 8); }
constexpr uint8_t blue(uint32_t colour) { return static_cast<uint8_t>(colour >> 16); }

} // namespace q7::colour_editor
