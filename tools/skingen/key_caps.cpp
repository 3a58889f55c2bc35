// The key caps come from the keyboard view's own tables: the same rectangles the key buttons take,
// and the legends the keys are named by.
#include "app/key_labels.h"
#include "app/keyboard_layout_tables.h"
#include "tools/skingen/skin_set.h"

namespace q7::skin {

std::vector<KeyCap> keyCapsFor(std::u16string_view languageCode) {
  const KeyLayout layout = keyLayoutFor(languageCode);
  const auto& places = keyPlaces(layout);
  const auto legends = keyLegends(layout, germanLegendsFor(languageCode));
  std::vector<KeyCap> caps;
  for (int k = 0; k < kKeyCount; ++k)
    if (!places[k].rect.empty()) caps.push_back({places[k].rect, legends[k]});
  return caps;
}

} // namespace q7::skin
