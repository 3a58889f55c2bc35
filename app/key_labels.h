// The names of keys as the main window shows them: the selected key's caption, what it is
// assigned to, and the names of single-key targets.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

#include "keys/key_layout.h"
#include "keys/key_names.h"
#include "keys/key_record.h"
#include "platform/keyboard_text.h"
#include "text/string_lookup.h"

namespace q7 {

class KeyLabels {
public:
  // keyboard supplies the characters of keys without a fixed name and must outlive the labels.
  KeyLabels(KeyLayout layout, bool germanLegends, KeyboardText& keyboard)
      : layout_(layout), germanLegends_(germanLegends), keyboard_(&keyboard) {}
  // The layout and legends that a language code chooses.
  static KeyLabels forLanguage(std::u16string_view languageCode, KeyboardText& keyboard) {
    return KeyLabels(keyLayoutFor(languageCode), germanLegendsFor(languageCode), keyboard);
  }

  KeyLayout layout() const { return layout_; }
  bool germanLegends() const { return germanLegends_; }

  // The key name of keys/key_names.h with this window's legends and layout.
  std::u16string keyName(uint32_t code) const;
  // Name of the key at a key position of the layout; "" for a position outside 0 … 113.
  std::u16string keyCaption(int position) const;
  // What a key record assigns the key to: the target's name (single key), the macro's name or
  // the "MACRO" text, the program path, the "DISABLE" text; "" for every other kind. Texts of the
  // string file come from lookup, asked only when needed.
  std::u16string keyFunctionText(const KeyRecord& record, TextLookup lookup) const;

private:
  KeyLayout layout_;
  bool germanLegends_;
  KeyboardText* keyboard_;
};

// The caption of every position of a layout as a US keyboard names its keys, "" at hidden
// positions: the legends of the generated key caps.
std::array<std::u16string, kKeyCount> keyLegends(KeyLayout layout, bool germanLegends = false);

} // namespace q7
