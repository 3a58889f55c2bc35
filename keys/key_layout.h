// Which of the three keyboard layouts the main window shows, chosen by the string file's language.
#pragma once

#include <string_view>

namespace q7 {

enum class KeyLayout { Ansi, Iso, Japanese };

// "UK", "FR" and "DE" are ISO keyboards, "JP" the Japanese one, anything else ANSI; exact comparison.
constexpr KeyLayout keyLayoutFor(std::u16string_view languageCode) {
  if (languageCode == u"UK" || languageCode == u"FR" || languageCode == u"DE") return KeyLayout::Iso;
  if (languageCode == u"JP") return KeyLayout::Japanese;
  return KeyLayout::Ansi;
}

} // namespace q7
