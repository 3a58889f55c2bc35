#include "app/accessible_names.h"

#include <algorithm>

namespace q7 {

std::u16string keyAccessibleName(std::u16string_view label, const KeyRecord& record, std::u16string_view target,
                                 TextLookup lookup) {
  if (label.empty()) return {};
  const AccessText* form = nullptr;
  switch (record.Kind) {
  case static_cast<uint8_t>(KeyKind::Default):
    return std::u16string(label);
  case static_cast<uint8_t>(KeyKind::Disabled):
    form = &access_text::kKeyDisabled;
    break;
  case static_cast<uint8_t>(KeyKind::Macro): {
    // The macro's own name; an unnamed macro is just "macro".
    const auto end = std::find(std::begin(record.MacroName), std::end(record.MacroName), u'\0');
    form = end == std::begin(record.MacroName) ? &access_text::kKeyMacroUnnamed : &access_text::kKeyMacro;
    break;
  }
  case static_cast<uint8_t>(KeyKind::SingleKey):
    form = &access_text::kKeySingle;
    break;
  case static_cast<uint8_t>(KeyKind::Program):
    form = &access_text::kKeyProgram;
    break;
  default:
    // A kind byte this program does not know marks the key as in use all the same.
    form = &access_text::kKeyOther;
    break;
  }
  return fillAccessText(accessText(*form, lookup), label, target);
}

} // namespace q7
