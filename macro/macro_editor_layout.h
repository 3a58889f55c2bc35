// The macro editor's geometry: skin files, its buttons with their captions, the caption-only labels
// (some only for some languages), the three edit fields, the event list and the headings it paints.
// The editor and the skin generator both read these tables.
#pragma once

#include <cstdint>
#include <string_view>

#include "platform/rect.h"
#include "ui/skin_canvas.h"
#include "ui/text_style.h"

namespace q7::macro_editor {

inline constexpr std::string_view kNormalImage = "macro_normal.jpg";
inline constexpr std::string_view kOverImage = "macro_over.jpg"; // also the ticked look of an option
inline constexpr std::string_view kDownImage = "macro_down.jpg";
inline constexpr std::string_view kWindowMask = "macro_mask.bmp";

inline constexpr Size kSize = kSkinCanvas;
inline constexpr Rect kPanel{455, 86, 946, 514};

enum class Control {
  Close,
  Ok,
  Cancel,
  Record,
  Stop,
  Up,
  Down,
  Select,
  SelectNone,
  Delete,
  Copy,
  InsertKey,
  Paste,
  PauseOption0,
  PauseOption1,
  ApplyPause,
  PlayOption0,
  PlayOption1,
  PlayOption2,
  Test, // plays the working copy into the preview field; latched while it plays
};

enum class ControlKind {
  Close,  // the window's close button
  Record, // starts a recording; latched while recording
  Stop,   // ends a recording
  Text,   // a button with a caption
  Option, // one choice of a group; the chosen one is latched (ticked)
};

struct ControlEntry {
  Control id;
  ControlKind kind;
  Rect rect;
  std::u16string_view section; // of the caption; empty when the button has none
  std::u16string_view text;
};

inline constexpr ControlEntry kControls[] = {
    {Control::Close, ControlKind::Close, {852, 108, 864, 120}, {}, {}},
    {Control::Ok, ControlKind::Text, {851, 482, 903, 499}, u"MAIN", u"OK"},
    {Control::Cancel, ControlKind::Text, {798, 483, 849, 498}, u"MAIN", u"CANCEL"},
    {Control::Record, ControlKind::Record, {742, 170, 758, 186}, {}, {}},
    {Control::Stop, ControlKind::Stop, {742, 192, 758, 207}, {}, {}},
    {Control::Up, ControlKind::Text, {608, 326, 651, 348}, u"MACRO", u"UP"},
    {Control::Down, ControlKind::Text, {658, 327, 703, 349}, u"MACRO", u"DOWN"},
    {Control::Select, ControlKind::Text, {469, 337, 535, 349}, u"MACRO", u"SELECT"},
    {Control::SelectNone, ControlKind::Text, {538, 337, 605, 349}, u"MACRO", u"SELECTNONE"},
    {Control::Delete, ControlKind::Text, {576, 362, 639, 387}, u"MACRO", u"DELETE"},
    {Control::Copy, ControlKind::Text, {644, 362, 705, 387}, u"MACRO", u"COPY"},
    {Control::InsertKey, ControlKind::Text, {574, 397, 703, 418}, u"MACRO", u"INSERTSINGLEKEY"},
    {Control::Paste, ControlKind::Text, {576, 427, 703, 453}, u"MACRO", u"INSERTCOPY"},
    {Control::PauseOption0, ControlKind::Option, {740, 278, 747, 286}, {}, {}},
    {Control::PauseOption1, ControlKind::Option, {739, 312, 747, 320}, {}, {}},
    {Control::ApplyPause, ControlKind::Text, {872, 325, 914, 336}, u"MACRO", u"SETTING"},
    {Control::PlayOption0, ControlKind::Option, {740, 399, 747, 406}, {}, {}},
    {Control::PlayOption1, ControlKind::Option, {740, 411, 747, 422}, {}, {}},
    {Control::PlayOption2, ControlKind::Option, {740, 427, 747, 434}, {}, {}},
    {Control::Test, ControlKind::Text, {738, 482, 792, 499}, u"MACRO", u"TEST"},
};

constexpr bool controlsInEnumOrder() {
  int i = 0;
  for (const ControlEntry& c : kControls)
    if (static_cast<int>(c.id) != i++) return false;
  return i == static_cast<int>(Control::Test) + 1;
}
static_assert(controlsInEnumOrder(), "kControls holds every control once, in the order of Control");

constexpr const ControlEntry& control(Control id) { return kControls[static_cast<int>(id)]; }

// Caption-only buttons without a command, texts of section "MACRO". A label with a language code is
// created only for that code.
struct Label {
  std::u16string_view text;
  Rect rect;
  std::u16string_view languageCode; // empty: every language
};

inline constexpr Label kLabels[] = {
    {u"RECORD", {760, 173, 920, 183}, {}},       {u"STOP", {760, 194, 885, 206}, {}},
    {u"SELDELAY", {750, 275, 911, 286}, {}},     {u"DELAYTIMES", {810, 289, 906, 300}, {}},
    {u"ALLDELAY", {751, 309, 920, 323}, {}},     {u"ALLDELAY2", {751, 324, 830, 338}, u"FR"},
    {u"ALLDELAY2", {751, 324, 850, 338}, u"JP"}, {u"REPEAT1", {750, 396, 807, 408}, {}},
    {u"REPEAT2", {750, 413, 930, 425}, {}},      {u"REPEAT3", {751, 427, 920, 439}, {}},
    {u"REPEAT35", {751, 439, 920, 451}, u"GE"},  {u"REPEAT35", {751, 439, 920, 451}, u"FR"},
};

constexpr bool labelShown(const Label& label, std::u16string_view languageCode) {
  return label.languageCode.empty() || label.languageCode == languageCode;
}

// Coloured edit fields (white text).
inline constexpr Rect kNameField{612, 98, 703, 113};   // at most 20 characters
inline constexpr Rect kPauseField{751, 289, 808, 300}; // digits only, at most 5
inline constexpr Rect kCountField{805, 397, 846, 407}; // digits only, at most 5
// Read-only: what a test play types, then its played and stored time.
inline constexpr Rect kPreviewField{468, 482, 730, 499};

// The event list, control id 257: a visible child with a vertical scroll bar, LBS_NOTIFY,
// LBS_MULTIPLESEL (a click toggles a row), LBS_OWNERDRAWVARIABLE and LBS_HASSTRINGS.
inline constexpr Rect kEventList{530, 130, 703, 318};
inline constexpr int kEventListId = 257;
inline constexpr uint32_t kEventListStyle = 0x50200069;

// The list's look. Colours are 0x00BBGGRR.
struct ListLook {
  const char* face;
  int fontHeight, fontWeight;
  int rowHeight;
  uint32_t text, selectedText, highlight, background;
  int iconSize;
};
inline constexpr ListLook kListLook{"MyriadPro-Regular", 14,         400,        15, 0x00FFFFFF,
                                    0x00FFFFFF,          0x0000AFFF, 0x001B1C1F, 13};
// Where a row draws its parts, from the row's left edge: the tick box at 0, the arrow, the key name
// up to kKeyPartRight, the pause from kPausePartLeft to the row's end.
inline constexpr int kArrowOffset = 65;
inline constexpr int kKeyPartLeft = 15;
inline constexpr int kKeyPartRight = 70;
inline constexpr int kPausePartLeft = 80;

// Headings the editor paints in white, texts of section "MACRO".
struct Heading {
  std::u16string_view text;
  Rect rect;
  Rect frenchRect; // where it stands for "FR"
};
inline constexpr Heading kHeadings[] = {
    {u"MACRONAME", {535, 100, 605, 114}, {515, 100, 610, 114}}, // right-aligned
    {u"RECORD", {737, 140, 890, 158}, {737, 140, 890, 158}},
    {u"DELAYTIME", {740, 248, 881, 265}, {740, 248, 881, 265}},
    {u"REPEAT", {738, 369, 876, 384}, {738, 369, 876, 384}},
};

constexpr Rect headingRect(const Heading& heading, std::u16string_view languageCode) {
  return languageCode == u"FR" ? heading.frenchRect : heading.rect;
}

inline constexpr uint32_t kWhite = 0x00FFFFFF;
inline constexpr TextStyle kHeadingStyle{"Calibri", 15, 400, kWhite};
inline constexpr TextStyle kFrenchHeadingStyle{"Calibri", 13, 400, kWhite};
constexpr const TextStyle& headingStyle(std::u16string_view languageCode) {
  return languageCode == u"FR" ? kFrenchHeadingStyle : kHeadingStyle;
}
// Caption heights in pixels: the buttons' captions and the labels beside the options.
inline constexpr int kCaptionHeight = 12;
inline constexpr int kLabelHeight = 12;
// The edit fields: white text on the list's background.
inline constexpr uint32_t kFieldText = kWhite;
inline constexpr uint32_t kFieldBackground = 0x001B1C1F;
inline constexpr TextStyle kNameFieldFont{"Arial", 13, 400, kFieldText};
inline constexpr TextStyle kDigitFieldFont{"Arial", 11, 400, kFieldText}; // the pause and count fields are 11 px high
inline constexpr TextStyle kPreviewFieldFont{"Arial", 13, 400, kFieldText};
inline constexpr int kPauseFieldStart = 50;

} // namespace q7::macro_editor
