#include "macro/macro_list_text.h"

#include <optional>

#include "keys/macro_event.h"
#include "macro/macro_key_names.h"

namespace q7 {

namespace {
std::u16string number(uint32_t n) {
  const std::string digits = std::to_string(n);
  return std::u16string(digits.begin(), digits.end());
}
} // namespace

std::u16string recordingLineText(std::u16string_view keyName) { return std::u16string(keyName) + u"  "; }

std::u16string lineTextWithPause(std::u16string_view text, uint32_t pauseMs) {
  return std::u16string(text) + u"        " + number(pauseMs) + u" MS";
}

std::u16string_view painterKeyPart(std::u16string_view text) {
  const size_t end = text.find(u"  ");
  if (end == std::u16string_view::npos) return {};
  std::u16string_view key = text.substr(0, end);
  while (!key.empty() && key.front() == u' ') key.remove_prefix(1);
  while (!key.empty() && key.back() == u' ') key.remove_suffix(1);
  return key;
}

std::u16string_view painterPausePart(std::u16string_view text) {
  if (text.size() <= 12 || text.starts_with(u"MS")) return {};
  return text.substr(text.size() - 10);
}

std::vector<MacroListLine> macroListLines(const KeyRecord& record, KeyboardText& keyboard) {
  std::vector<MacroListLine> lines;
  const uint32_t n = record.boundedEventCount();
  if (n == 1) return lines;
  lines.reserve((n + 1) / 2);
  // Each key is named once per list: the layout's answer can cost a trip to the window system.
  std::optional<std::u16string> names[256];
  for (uint32_t i = 0; i < n; ++i) {
    const MacroEvent e = eventAt(record, i);
    if (!e.isPause()) {
      std::optional<std::u16string>& name = names[e.Vk];
      if (!name) name = macroKeyName(e.Vk, keyboard);
      lines.push_back({*name, arrowFor(e.pressed())});
    } else if (!lines.empty()) // a pause before any key has no line to complete
      lines.back().text = lineTextWithPause(lines.back().text, e.PauseMs);
  }
  return lines;
}

} // namespace q7
