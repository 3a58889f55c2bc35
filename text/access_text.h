// The words a screen reader says for controls that show no caption, from section ACCESS of the
// string file; a string file without them gets the English words.
#pragma once

#include <string>
#include <string_view>

#include "text/string_lookup.h"

namespace q7 {

struct AccessText {
  std::u16string_view key;     // in section ACCESS
  std::u16string_view english; // when the string file has no such text
};

namespace access_text {
inline constexpr AccessText kClose{u"CLOSE", u"Close"};
inline constexpr AccessText kMinimise{u"MINIMISE", u"Minimise"};
inline constexpr AccessText kHelp{u"HELP", u"Help"};
inline constexpr AccessText kWebHome{u"WEBHOME", u"Open the home page"};
inline constexpr AccessText kWebSocial1{u"WEBSOCIAL1", u"Open the social page"};
inline constexpr AccessText kWebSocial2{u"WEBSOCIAL2", u"Open the video page"};
inline constexpr AccessText kSupport{u"SUPPORT", u"Open the support page"};
inline constexpr AccessText kLogo{u"LOGO", u"Q7 Prismo"};
// %1 the number of the program slot.
inline constexpr AccessText kBrowse{u"BROWSE", u"Choose program %1"};
} // namespace access_text

// The text from the string file, or its English words when the file has none (or no lookup).
std::u16string accessText(const AccessText& text, TextLookup lookup);

// Puts first for %1 and second for %2 into a text; every other character stays as it is. Each
// part goes in at most twice, so the result stays bounded whatever a string file holds.
std::u16string fillAccessText(std::u16string_view text, std::u16string_view first, std::u16string_view second = {});

} // namespace q7
