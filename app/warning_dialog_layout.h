// The warning dialog's look, as plain data: window size, skin files, text and button rectangles of
// every kind. The dialog draws itself from these tables and the skin generator draws the dialog's
// pictures from the same tables, so the two cannot drift apart. No Windows headers.
#pragma once

#include <cstdint>
#include <string_view>

#include "ui/dialog_result.h"
#include "platform/rect.h"
#include "ui/text_style.h"
#include "ui/skin_canvas.h"
#include "ui/skin_family.h"

namespace q7::warning {

// The skin pictures are as large as the main window's, so that the dialog, placed on its owner's
// top-left corner, shows its panel over the middle of the owner; the mask cuts away the rest. This
// is also the size the dialog takes when its normal picture is missing or cannot be decoded.
inline constexpr int kWindowWidth = kSkinCanvas.width;
inline constexpr int kWindowHeight = kSkinCanvas.height;

// Colours are 0x00BBGGRR.
inline constexpr uint32_t kWhite = 0x00FFFFFF;
inline constexpr uint32_t kRed = 0x000000FF;
inline constexpr int kBold = 700;
inline constexpr int kNormalWeight = 400;

// Where the title and the two lines go. All three are drawn single-line, vertically centred,
// left-aligned, with an ellipsis when too long, on a transparent background.
struct TextLayout {
  Rect title, line2, line3;
  TextStyle titleStyle, lineStyle;
};
inline constexpr TextLayout kLargeTexts{{525, 518, 659, 535},
                                        {590, 569, 850, 586},
                                        {590, 584, 734, 606},
                                        {"BankGothic Lt BT", 18, kBold, kWhite},
                                        {"Calibri", 16, kNormalWeight, kWhite}};
inline constexpr TextLayout kSmallTexts{{320, 240, 555, 260},
                                        {320, 262, 615, 280},
                                        {320, 280, 595, 300},
                                        {"BankGothic Lt BT", 20, kBold, kRed},
                                        {"Calibri", 18, kBold, kWhite}};

// A text of the string file.
struct StringKey {
  const char* section;
  const char* key;
};
inline constexpr StringKey kYesCaption{"WARNING", "YES"};
inline constexpr StringKey kNoCaption{"WARNING", "NO"};
inline constexpr StringKey kOkCaption{"MAIN", "OK"};

// Button captions are white, in the skinned button's default font height.
inline constexpr uint32_t kButtonTextColour = kWhite;

struct ButtonLayout {
  Rect rect;
  StringKey caption;
  int result; // what the dialog answers when this button is pressed
};

inline constexpr Rect kLargeYes{751, 610, 789, 628};
inline constexpr Rect kLargeNo{795, 611, 831, 629};
inline constexpr Rect kSmallYes{518, 334, 570, 351};
inline constexpr Rect kSmallNo{572, 334, 623, 351};
inline constexpr Rect kSmallOk{572, 334, 623, 351};

// When a kind's third line is shown.
enum class ThirdLine { Never, Always, OnlyDeOrJp };

struct KindLayout {
  int kind;
  const SkinFamily* skins;
  const TextLayout* texts;
  const char* titleKey; // all three in section "WARNING"; nullptr: the line stays empty
  const char* line2Key;
  const char* line3Key;
  ThirdLine third;
  int buttonCount;
  ButtonLayout buttons[2]; // the YES or OK button first
};

inline constexpr const char* kTextSection = "WARNING";

// Kinds 4 and 5 place their NO button at the large layout's NO rectangle, outside the small
// panel: the mask hides it, and these notices show OK alone.
// clang-format off
inline constexpr KindLayout kKinds[] = {
    {0, &kDefaultSkins, &kLargeTexts, "DEFAULT", "DEFAULT1", "DEFAULT3", ThirdLine::Always, 2,
     {{kLargeYes, kYesCaption, kResultYes}, {kLargeNo, kNoCaption, kResultNo}}},
    {1, &kDefaultSkins, &kLargeTexts, "WARNING", "DISABLE", "DISABLE2", ThirdLine::OnlyDeOrJp, 2,
     {{kLargeYes, kYesCaption, kResultYes}, {kLargeNo, kNoCaption, kResultNo}}},
    {2, &kWarning1Skins, &kSmallTexts, "WARNING", "DEVICE", nullptr, ThirdLine::Never, 1,
     {{kSmallOk, kOkCaption, kResultYes}, {}}},
    {3, &kWarningSkins, &kSmallTexts, "WARNING", "SAVE", "SAVE1", ThirdLine::Always, 2,
     {{kSmallYes, kYesCaption, kResultYes}, {kSmallNo, kNoCaption, kResultNo}}},
    {4, &kWarning1Skins, &kSmallTexts, "WARNING", "DELAYWARN", nullptr, ThirdLine::Never, 2,
     {{kSmallOk, kOkCaption, kResultYes}, {kLargeNo, kNoCaption, kResultNo}}},
    {5, &kWarning1Skins, &kSmallTexts, "WARNING", "MAXWARN", nullptr, ThirdLine::Never, 2,
     {{kSmallOk, kOkCaption, kResultYes}, {kLargeNo, kNoCaption, kResultNo}}},
    {6, &kWarningSkins, &kSmallTexts, "WARNING", "LEAVE3", nullptr, ThirdLine::Never, 2,
     {{kSmallYes, kYesCaption, kResultYes}, {kSmallNo, kNoCaption, kResultNo}}},
    {9, &kWarningSkins, &kSmallTexts, "WARNING", "LEAVE1", "LEAVE2", ThirdLine::Always, 2,
     {{kSmallYes, kYesCaption, kResultYes}, {kSmallNo, kNoCaption, kResultNo}}},
};
// clang-format on

// A kind no caller should pass (7, 8 or anything else): a plain notice with the title alone and OK.
inline constexpr KindLayout kUnknownKind{-1,
                                         &kWarning1Skins,
                                         &kSmallTexts,
                                         "WARNING",
                                         nullptr,
                                         nullptr,
                                         ThirdLine::Never,
                                         1,
                                         {{kSmallOk, kOkCaption, kResultYes}, {}}};

constexpr const KindLayout& kindLayout(int kind) {
  for (const KindLayout& k : kKinds)
    if (k.kind == kind) return k;
  return kUnknownKind;
}

// The key of the third line for this language code (the text of "LANG" in section "MAIN"), or
// nullptr when the line stays empty.
constexpr const char* thirdLineKey(const KindLayout& k, std::u16string_view languageCode) {
  switch (k.third) {
  case ThirdLine::Always:
    return k.line3Key;
  case ThirdLine::OnlyDeOrJp:
    return languageCode == u"DE" || languageCode == u"JP" ? k.line3Key : nullptr;
  case ThirdLine::Never:
    break;
  }
  return nullptr;
}

} // namespace q7::warning
