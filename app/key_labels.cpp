#include "app/key_labels.h"

#include <algorithm>

#include "keys/key_codes.h"
#include "app/keyboard_layout_tables.h"
#include "app/us_keyboard_text.h"

namespace q7 {
namespace {

// A text field read up to its first NUL or its end, whichever comes first.
template <size_t N> std::u16string fieldText(const char16_t (&field)[N]) {
  return std::u16string(field, std::find(field, field + N, u'\0'));
}

} // namespace

std::u16string KeyLabels::keyName(uint32_t code) const { return q7::keyName(code, germanLegends_, *keyboard_); }

std::u16string KeyLabels::keyCaption(int position) const {
  const int32_t vk = virtualKeyForCode(keyCodeAt(layout_, position));
  if (vk == kNoVirtualKey) return {};
  return keyName(static_cast<uint32_t>(vk));
}

std::u16string KeyLabels::keyFunctionText(const KeyRecord& record, TextLookup lookup) const {
  const auto text = [lookup](const char16_t* key) { return lookup ? lookup(u"MAIN", key) : std::u16string(); };
  switch (record.Kind) {
  case static_cast<uint8_t>(KeyKind::SingleKey):
    return keyName(record.singleKeyVk());
  case static_cast<uint8_t>(KeyKind::Macro): {
    auto name = fieldText(record.MacroName);
    return name.empty() ? text(u"MACRO") : name;
  }
  case static_cast<uint8_t>(KeyKind::Program):
    return fieldText(record.ProgramPath);
  case static_cast<uint8_t>(KeyKind::Disabled):
    return text(u"DISABLE");
  default:
    return {};
  }
}

std::array<std::u16string, kKeyCount> keyLegends(KeyLayout layout, bool germanLegends) {
  UsKeyboardText us;
  const KeyLabels labels(layout, germanLegends, us);
  std::array<std::u16string, kKeyCount> legends;
  for (int k = 0; k < kKeyCount; ++k)
    if (keyVisible(layout, k)) legends[k] = labels.keyCaption(k);
  return legends;
}

} // namespace q7
