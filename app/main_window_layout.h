// The main window's geometry: its size and skin files, every control in the order of creation with its
// rectangle, caption and button mask, the per-language moves of the per-key buttons, the area of the
// key buttons and the progress ring. The window and the skin generator both read these tables.
#pragma once

#include <string_view>

#include "app/keyboard_layout_tables.h"
#include "platform/rect.h"
#include "ui/skin_canvas.h"

namespace q7::main_window {

inline constexpr Size kSize = kSkinCanvas;

inline constexpr std::string_view kNormalImage = "main_normal.jpg"; // background, normal and disabled looks
inline constexpr std::string_view kOverImage = "main_over.jpg";     // hover looks; the selected key
inline constexpr std::string_view kDownImage = "main_down.jpg";     // pressed looks; assigned keys
inline constexpr std::string_view kDisableImage =
    "main_disable.jpg"; // part of the set; the window cuts disabled looks from the normal image
inline constexpr std::string_view kWindowMask = "main_mask.bmp";

struct ButtonMask {
  std::string_view file;
  Size size; // as large as the largest button that uses it
};
inline constexpr ButtonMask kButtonMask{"botton_mask.bmp", {80, 27}};   // EXPORT, IMPORT, OK
inline constexpr ButtonMask kButton4Mask{"botton4_mask.bmp", {79, 26}}; // CANCEL
inline constexpr ButtonMask kButton5Mask{"botton5_mask.bmp", {92, 28}}; // APPLY

enum class Control {
  Picture,
  Close,
  Help,
  Minimise,
  Export,
  Import,
  Ok,
  Cancel,
  Apply,
  WebLink1,
  WebLink2,
  WebLink3,
  Profile0,
  Profile1,
  Profile2,
  Profile3,
  Profile4,
  Profile5,
  ResetProfile,
  KeyName,
  KeyFunction,
  Macro,
  SingleKey,
  App,
  Sync,
  Disable,
  Default,
  WholeKeyboardColour, // opens the colour editor
};

// What a control is, which decides how its pictures look.
enum class ControlKind {
  Picture,       // a picture without a command
  IconButton,    // a small button that shows a symbol and no caption
  CommandButton, // a shaped button with a black caption that turns white on hover and press
  ProfileButton, // a profile tab with a black caption in every state
  WhiteButton,   // a button with a white caption in every state
  Label,         // a text the keyboard view fills in
};

struct ControlEntry {
  Control id;
  ControlKind kind;
  Rect rect;
  std::u16string_view text; // key of section "MAIN", empty when the control has no fixed caption
  const ButtonMask* mask;   // nullptr: rectangular
};

// The whole-keyboard colour button, which opens the colour editor: on the left panel between
// RESETPROFILE and the progress ring.
inline constexpr Rect kWholeKeyboardColourRoom{71, 272, 148, 295};

inline constexpr ControlEntry kControls[] = {
    {Control::Picture, ControlKind::Picture, {715, 52, 886, 101}, {}, nullptr},
    {Control::Close, ControlKind::IconButton, {920, 118, 938, 135}, {}, nullptr},
    {Control::Help, ControlKind::IconButton, {940, 141, 959, 160}, {}, nullptr},
    {Control::Minimise, ControlKind::IconButton, {899, 99, 918, 115}, {}, nullptr},
    {Control::Export, ControlKind::CommandButton, {510, 507, 590, 534}, u"EXPORT", &kButtonMask},
    {Control::Import, ControlKind::CommandButton, {587, 507, 665, 534}, u"IMPORT", &kButtonMask},
    {Control::Ok, ControlKind::CommandButton, {661, 507, 741, 533}, u"OK", &kButtonMask},
    {Control::Cancel, ControlKind::CommandButton, {737, 506, 816, 532}, u"CANCEL", &kButton4Mask},
    {Control::Apply, ControlKind::CommandButton, {811, 506, 903, 534}, u"APPLY", &kButton5Mask},
    {Control::WebLink1, ControlKind::IconButton, {768, 667, 789, 686}, {}, nullptr},
    {Control::WebLink2, ControlKind::IconButton, {798, 666, 816, 686}, {}, nullptr},
    {Control::WebLink3, ControlKind::IconButton, {826, 666, 845, 685}, {}, nullptr},
    {Control::Profile0, ControlKind::ProfileButton, {355, 153, 442, 183}, u"PCMODE", nullptr},
    {Control::Profile1, ControlKind::ProfileButton, {447, 153, 533, 183}, u"PROFILE", nullptr},
    {Control::Profile2, ControlKind::ProfileButton, {537, 153, 623, 183}, u"PROFILE", nullptr},
    {Control::Profile3, ControlKind::ProfileButton, {628, 153, 716, 183}, u"PROFILE", nullptr},
    {Control::Profile4, ControlKind::ProfileButton, {719, 153, 806, 183}, u"PROFILE", nullptr},
    {Control::Profile5, ControlKind::ProfileButton, {810, 153, 897, 183}, u"PROFILE", nullptr},
    {Control::ResetProfile, ControlKind::WhiteButton, {71, 232, 148, 255}, u"RESETPROFILE", nullptr},
    {Control::KeyName, ControlKind::Label, {94, 444, 142, 492}, {}, nullptr},
    {Control::KeyFunction, ControlKind::Label, {177, 474, 890, 491}, {}, nullptr},
    {Control::Macro, ControlKind::WhiteButton, {138, 512, 236, 550}, u"MACRO", nullptr},
    {Control::SingleKey, ControlKind::WhiteButton, {250, 512, 347, 550}, u"SINGLEKEY", nullptr},
    {Control::App, ControlKind::WhiteButton, {355, 512, 457, 550}, u"APP", nullptr},
    {Control::Sync, ControlKind::WhiteButton, {138, 559, 236, 593}, u"SYNC", nullptr},
    {Control::Disable, ControlKind::WhiteButton, {250, 559, 347, 593}, u"DISABLE", nullptr},
    {Control::Default, ControlKind::WhiteButton, {360, 559, 457, 593}, u"DEFAULT", nullptr},
    {Control::WholeKeyboardColour, ControlKind::WhiteButton, kWholeKeyboardColourRoom, u"WHOLECOLOR", nullptr},
};

// Where a per-key button sits for some language codes instead of its rectangle above.
struct LanguageRect {
  Control id;
  std::u16string_view languageCode;
  Rect rect;
};

inline constexpr LanguageRect kLanguageRects[] = {
    {Control::Macro, u"DE", {133, 510, 236, 547}},     {Control::SingleKey, u"FR", {243, 510, 350, 547}},
    {Control::SingleKey, u"JP", {243, 510, 347, 547}}, {Control::App, u"DE", {355, 512, 457, 547}},
    {Control::App, u"FR", {355, 512, 457, 547}},       {Control::App, u"JP", {355, 512, 457, 547}},
    {Control::Sync, u"DE", {138, 557, 236, 592}},
};

constexpr bool controlsInEnumOrder() {
  int i = 0;
  for (const ControlEntry& c : kControls)
    if (static_cast<int>(c.id) != i++) return false;
  return i == static_cast<int>(Control::WholeKeyboardColour) + 1;
}
static_assert(controlsInEnumOrder(), "kControls holds every control once, in the order of Control");

constexpr const ControlEntry& control(Control id) { return kControls[static_cast<int>(id)]; }

// The control's rectangle for the string file's language code (exact comparison).
constexpr Rect controlRect(Control id, std::u16string_view languageCode) {
  for (const LanguageRect& l : kLanguageRects)
    if (l.id == id && l.languageCode == languageCode) return l.rect;
  return control(id).rect;
}

// Caption height in pixels of a control for the string file's language (the per-language adjustments).
constexpr int captionHeight(Control id, std::u16string_view lang) {
  switch (id) {
  case Control::Export:
  case Control::Import:
    return lang == u"JP" ? 12 : lang == u"DE" ? 11 : 14;
  case Control::Cancel:
  case Control::Apply:
    return lang == u"JP" ? 12 : 14;
  case Control::ResetProfile:
    return lang == u"EN" ? 13 : lang == u"JP" ? 9 : 11;
  case Control::KeyName:
    return 12;
  case Control::Macro:
  case Control::Disable:
  case Control::Default:
    return 15;
  case Control::Sync:
    return lang == u"DE" ? 10 : lang == u"GE" ? 13 : 14;
  case Control::App:
    return lang == u"JP" ? 12 : 14;
  default:
    return 14;
  }
}

// Caption weight of a kind of control: bold on the shaped buttons and tabs, medium elsewhere.
constexpr int captionWeight(ControlKind kind) {
  return kind == ControlKind::CommandButton || kind == ControlKind::ProfileButton ? 700 : 500;
}

// The area of the key buttons, which the keyboard layout tables fix.
using q7::kKeyboardArea;

// The progress ring of assigned keys, painted by the window over its background.
struct ProgressRing {
  Rect arcBox; // bounding box of the arc
  float penWidth;
  unsigned int argb; // pen colour, alpha in the top byte
  Rect percentBox;   // layout box of the percentage
  Rect invalidatedAfterAssignment;
};

inline constexpr ProgressRing kProgressRing{
    {95, 368, 138, 411}, 12.5f, 0xFF4C1479u, {103, 382, 133, 396}, {63, 306, 113, 356}};

} // namespace q7::main_window
